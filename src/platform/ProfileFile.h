// Profile (INI) files with the semantics of the classic private-profile calls: sections in
// square brackets, key=value lines, section and key names compared without regard to case,
// the first matching section and key win, values kept exactly as written (only the blanks
// around them are dropped; quotes are not removed). Lines that are not sections or
// key=value pairs are kept untouched when the file is written back.
//
// Used for the settings file, the index definition files and Registry.ini. A ProfileFile
// is a plain value; it touches the disk only in load() and save(). load() reads through
// readUserFile, so a file that is not a regular file or is too large reads as empty and
// says so (damaged(), problem()). save() replaces the file whole
// (a temporary file renamed over it), so two programs writing the same file never
// interleave: the last writer wins.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumar {

class ProfileFile {
  public:
    ProfileFile() = default;

    // Reads the file; a missing or damaged file gives an empty profile (existed() false).
    static ProfileFile load(const std::filesystem::path& path);
    static ProfileFile parse(std::string_view text);

    bool existed() const { return existed_; }
    // Something is at the path but could not be read (not a regular file, over
    // kUserFileLimit, unreadable); problem() names the file and says what is wrong.
    bool damaged() const { return !problem_.empty(); }
    const std::string& problem() const { return problem_; }

    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    // An optionally signed decimal integer; anything else (missing, empty, not a number,
    // out of range) yields the default. Text after the digits is ignored, as the classic
    // call does.
    std::int32_t readInt(std::string_view section, std::string_view key,
                         std::int32_t defaultValue) const;
    // Stored as "1"/"0"; any non-zero integer reads as true.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, std::int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    // Removes the first matching key; true when there was one.
    bool removeKey(std::string_view section, std::string_view key);

    std::string text() const;
    // Writes the whole file atomically; false (file unchanged) when it cannot be written.
    bool save(const std::filesystem::path& path) const;

  private:
    struct Line {
        std::string raw;      // the line as read (without line end)
        std::string section;  // for a section header: its name
        std::string key;      // for key=value: the key (trimmed)
        std::string value;    // for key=value: the value (trimmed)
        enum class Kind { Other, Section, Entry } kind = Kind::Other;
    };
    // Index of the first line of the first section with that name, or npos.
    std::size_t findSection(std::string_view section) const;
    std::size_t findKey(std::size_t sectionLine, std::string_view key) const;

    std::vector<Line> lines_;
    bool existed_ = false;
    std::string problem_;
};

// Case-insensitive comparison of ASCII names (section and key names).
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vellumar
