#include "platform/SupportRequest.h"

#include "platform/AtomicFile.h"

namespace vellumar {

std::string supportRequestText() {
    return std::string("Please fill in the form below and send it by e-mail to ") +
           kSupportAddress +
           ", the support of Vellumar.\r\n"
           "\r\nDate: (enter the date)"
           "\r\nOperation system: (enter your OS, for example Debian 12)"
           "\r\nRAM: (enter how much memory, in Mb, you have)"
           "\r\nYour Name: (enter your name)"
           "\r\nYour e-mail: (our response will be sent to this address)"
           "\r\nProblem description: (describe your problem here)\r\n";
}

std::optional<std::filesystem::path> writeSupportRequest(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kSupportFileName;
    if (!writeFileAtomically(file, supportRequestText())) return std::nullopt;
    return file;
}

}  // namespace vellumar
