#include "index/ErrorLog.h"

#include "platform/AtomicFile.h"

namespace vellumar {

bool ErrorLog::save(const std::filesystem::path& file) const {
    return writeLinesAtomically(file, lines_, "\n");
}

}  // namespace vellumar
