// DOS date and time stamps: the file's last-write time in local time, date in the high
// 16 bits (year - 1980, month, day) and time in the low 16 bits (hour, minute, seconds/2).
// The engine stores one per document; the indexing step and the result list compare them
// with the files on disk. Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace vellumar {

using DosStamp = std::uint32_t;

DosStamp dosStampOf(std::time_t time);
// The stamp of a file's last-write time, or nothing when it cannot be read.
std::optional<DosStamp> dosStampOfFile(const std::filesystem::path& file);
// "2026-12-08 14:05:08" for display.
std::string formatDosStamp(DosStamp stamp);

}  // namespace vellumar
