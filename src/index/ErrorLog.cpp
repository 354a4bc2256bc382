#include "index/ErrorLog.h"

#include "platform/AtomicFile.h"

namespace vellumar {

bool ErrorLog::save(const std::filesystem::path& file) const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return writeFileAtomically(file, text);
}

}  // namespace vellumar
