// Result codes of creating and updating an index, and the texts that failure messages
// add for them. Codes of 1 and above are failures; 0 and below are success; the cancel
// code counts as success (what was indexed is kept).
#pragma once

#include <cstdint>
#include <string>

namespace vellumar {

namespace BuildResult {
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kOutOfMemory = 1;
inline constexpr std::int32_t kInvalidValue = 2;
inline constexpr std::int32_t kNameTooLong = 3;
inline constexpr std::int32_t kStatusFile = 4;
inline constexpr std::int32_t kMappingFailure = 6;
inline constexpr std::int32_t kPrepareFailed = 27;
inline constexpr std::int32_t kNoFiles = 77;
inline constexpr std::int32_t kAbandoned = 99;  // empty dictionary declined: no message
inline constexpr std::int32_t kAccessViolation = 0x20000000;
inline constexpr std::int32_t kUserCancel = 0x40000000;
}  // namespace BuildResult

inline bool isBuildSuccess(std::int32_t code) {
    return code <= 0 || code == BuildResult::kUserCancel;
}

// The text a failure message adds for the code ("Unknown error." for codes it does not know).
std::string buildResultText(std::int32_t code);

}  // namespace vellumar
