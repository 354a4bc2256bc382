// The files of the preview: the program temp folder, where archive members are extracted
// for as long as they are viewed (emptied at the start of every preview, handing out
// unique temporary names), whether a listed file changed since it was indexed, and the
// text-file reader that shows any file as text.
//
// The temp folder is emptied freely, so everything here refuses to touch anything outside
// it: symbolic links inside are removed as links, never followed, and a folder given to
// EmptyFolder that does not lie inside the program temp folder is left alone.
//
// Ownership: the window (or the command-line tool) owns one ProgramTempFolder beside its
// preview. Thread: the main thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DosStamp.h"

namespace vellumar {

class ProgramTempFolder {
  public:
    explicit ProgramTempFolder(std::filesystem::path folder);

    const std::filesystem::path& path() const { return folder_; }

    // Deletes the folder's files (when deleteFiles) and its subfolders, whatever their
    // permissions; the folder itself stays. False when `folder` is not the program temp
    // folder or inside it, is itself a symbolic link, or something could not be deleted.
    bool EmptyFolder(const std::filesystem::path& folder, bool deleteFiles) const;
    bool Empty() const { return EmptyFolder(folder_, true); }
    // Empties the folder but for `file` (a regular file directly in it): the parser set's
    // PDF text, so that a PDF shown again needs no second conversion.
    bool EmptyKeeping(const std::filesystem::path& file) const;

    // A new, empty file with a unique name in the temp folder (created with its parents
    // when missing), ending in extension (".txt"; empty: no extension). The file exists
    // when this returns, so no one else can take the name.
    std::optional<std::filesystem::path> MakeTempFileName(std::string_view extension) const;

  private:
    bool emptyFolder(const std::filesystem::path& folder, bool deleteFiles,
                     const std::string& keepFile) const;

    std::filesystem::path folder_;
};

// True when the file's last-write time (as a DOS stamp) differs from stamp. False when the
// file is not there (fileExists false, or it cannot be read) and when the program runs from
// read-only media, where files never change. An archive member ("a.zip//x.txt") carries
// its archive's stamp, so the archive on disk is compared.
bool IsFileModified(const std::string& fileName, DosStamp stamp, bool fileExists, bool runFromCd);

// A file opened for reading as text: every byte below 32 other than TAB, LF and CR reads as
// a blank, so that a binary file can be shown as text without cutting it at a NUL or
// confusing the text control.
class TTextFileStream {
  public:
    explicit TTextFileStream(const std::filesystem::path& file);
    ~TTextFileStream();
    TTextFileStream(const TTextFileStream&) = delete;
    TTextFileStream& operator=(const TTextFileStream&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // Bytes read into buffer (0 at the end or on an error), control bytes blanked.
    std::size_t Read(char* buffer, std::size_t size);

  private:
    std::FILE* file_ = nullptr;
};

// Replaces every byte below 32 other than TAB, LF and CR by a blank.
void blankControlBytes(char* bytes, std::size_t size);

// The whole file as the viewer shows it: read through TTextFileStream and decoded as the
// parsers decode documents (UTF-8 when valid, else Windows-1252), so that it is exactly
// the text whose character offsets the text parser reports. Nothing when unreadable.
std::optional<std::string> readTextForDisplay(const std::filesystem::path& file);

// The large-file limit in bytes from the text of "Warn if file is more than (KB)": the
// text (blanks around it allowed) as a 32-bit integer times 1024, or 500 KB when it is
// not such a number.
std::int64_t FileSizeLimit(std::string_view kilobytesText);

}  // namespace vellumar
