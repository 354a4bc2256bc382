#include "index/BuildResult.h"

namespace vellumar {

std::string buildResultText(std::int32_t code) {
    using namespace BuildResult;
    switch (code) {
        case kOutOfMemory:
            return "Out of memory or disk space.";
        case kInvalidValue:
            return "Some variable obtained invalid value.";
        case kNameTooLong:
            return "Full index or record name too long.";
        case kStatusFile:
            return "Can not open/create .STS file.";
        case kMappingFailure:
            return "Failure when mapping some index files.";
        case kNoFiles:
            return "No files are found to index.";
        case kAbandoned:
            return "";
        case kAccessViolation:
            return "Access violation. Index will be remove.";
        case kUserCancel:
            return "User cancellation occured.";
        default:
            return code <= 0 ? "" : "Unknown error.";
    }
}

}  // namespace vellumar
