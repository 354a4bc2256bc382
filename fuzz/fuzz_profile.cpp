// Profile (INI) files: any bytes parse; writing the text back and reading it again finds
// the same values; a value written reads back, on one line.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vellumar::ProfileFile profile = vellumar::ProfileFile::parse(text);

    // The input's first line names a section and a key, the rest is a value.
    const std::size_t nl = text.find('\n');
    const std::string_view head = text.substr(0, nl);
    const std::string_view value = nl == std::string_view::npos ? "" : text.substr(nl + 1);
    const std::size_t eq = head.find('=');
    const std::string section(head.substr(0, eq));
    const std::string key(eq == std::string_view::npos ? "Key" : head.substr(eq + 1));

    // Writing the text back changes no value (line ends may become plain LF).
    FUZZ_CHECK(vellumar::ProfileFile::parse(profile.text()).find(section, key) ==
               profile.find(section, key));
    (void)profile.readString(section, key);
    (void)profile.readInt(section, key, 7);
    (void)profile.readBool(section, key, true);
    // Names as the program passes them: no brackets or line breaks in a section name, no
    // "=", ";" or line break in a key, and no blanks around either (the reader trims them).
    auto blankAround = [](const std::string& name) {
        const char* blanks = " \t\f\v";
        return !name.empty() &&
               (std::strchr(blanks, name.front()) || std::strchr(blanks, name.back()));
    };
    if (section.find_first_of("[]\r\n") != std::string::npos || key.empty() ||
        key.find_first_of("=\r\n;[") != std::string::npos || blankAround(section) ||
        blankAround(key))
        return 0;
    profile.writeString(section, key, value);
    const vellumar::ProfileFile again = vellumar::ProfileFile::parse(profile.text());
    const auto read = again.find(section, key);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(read->find_first_of("\r\n") == std::string::npos);
    return 0;
}
