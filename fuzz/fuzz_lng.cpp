// .LNG language files: any bytes either read as a language (a name of valid UTF-8 no
// longer than the file) or fail with the one format error.
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "lang/TLangStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const vellumar::TLangStorage language("fuzz.LNG", bytes);
        FUZZ_CHECK(textfold::isValidUtf8(language.Name()));
        FUZZ_CHECK(language.Name().size() <= 3 * size);  // Windows-1252 grows at most 3x
        FUZZ_CHECK(!language.IsBuiltIn());
    } catch (const vellumar::ELangStorageException&) {
    }
    return 0;
}
