// Scope strings: the parser's entries stay inside its normalised text, every entry splits
// into a folder and pattern groups without a fault, and normalising is stable.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "scope/ScopeCompose.h"
#include "scope/ScopeParser.h"
#include "scope/ScopeStrings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string scope(reinterpret_cast<const char*>(data), size);
    (void)vellumar::checkScope(scope);
    (void)vellumar::RetargetScopeDrive(scope, "/media/fuzz");
    // Callers never parse a blank scope.
    if (scope.find_first_not_of(" \t\r\n") == std::string::npos) return 0;

    const vellumar::TScopeParser parser(scope);
    const std::string& text = parser.Text();
    for (const vellumar::TScopeItem& item : parser.Items()) {
        FUZZ_CHECK(item.start >= 1 && item.length >= 0);
        FUZZ_CHECK(static_cast<std::size_t>(item.start - 1 + item.length) <= text.size());
    }
    for (int i = 0; i < parser.Count(); ++i) {
        const vellumar::TScopeEntry entry = parser.GetEntry(i);
        const std::string folder = vellumar::ScopeFolder(entry.text);
        (void)vellumar::normalizeScopeFolder(folder);
        const std::string patterns = vellumar::ScopePatterns(entry.text);
        for (const auto& group : vellumar::splitPatternGroups(patterns))
            for (const std::string& p : group.patterns) FUZZ_CHECK(!p.empty());
    }
    FUZZ_CHECK(parser.GetEntry(parser.Count()).text.empty());

    // The normalised text parses to itself.
    if (text.find_first_not_of(" \t\r\n") != std::string::npos)
        FUZZ_CHECK(vellumar::TScopeParser(text).Text() == text);
    return 0;
}
