#include "index/ErrorLog.h"

#include "platform/AtomicFile.h"

namespace vellumar {

void ErrorLog::report(std::string line) {
    std::string clean;
    clean.reserve(line.size());
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            clean += "\\x";
            clean += hex[b >> 4];
            clean += hex[b & 15];
        } else {
            clean += c;
        }
    }
    if (!seen_.insert(clean).second) return;
    lines_.push_back(std::move(clean));
}

bool ErrorLog::save(const std::filesystem::path& file) const {
    return writeLinesAtomically(file, lines_, "\n");
}

}  // namespace vellumar
