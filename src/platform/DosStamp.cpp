#include "platform/DosStamp.h"

#include <sys/stat.h>
#include <cstdio>

namespace vellumar {

DosStamp dosStampOf(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    // DOS dates start in 1980; earlier times are clamped to its first day.
    if (local.tm_year < 80) return (1u << 5 | 1u) << 16;
    const std::uint32_t date = static_cast<std::uint32_t>(((local.tm_year - 80) & 0x7F) << 9 |
                                                          (local.tm_mon + 1) << 5 | local.tm_mday);
    const std::uint32_t clock =
        static_cast<std::uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return date << 16 | clock;
}

std::optional<DosStamp> dosStampOfFile(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return dosStampOf(info.st_mtime);
}

std::string formatDosStamp(DosStamp stamp) {
    const unsigned date = stamp >> 16, clock = stamp & 0xFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (date >> 9),
                  (date >> 5) & 0xF, date & 0x1F, clock >> 11, (clock >> 5) & 0x3F,
                  (clock & 0x1F) * 2);
    return text;
}

}  // namespace vellumar
