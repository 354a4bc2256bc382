// One index language: a name and the 256-entry character table that says which
// characters belong to words and as which character each is indexed. Either built in
// ("English (i)") or read from a .LNG file:
//
//   offset 0   17 bytes  signature "Vellumar_Language" (no terminator)
//   offset 17  4 bytes   N, the name's length in bytes, signed little-endian
//   offset 21  N bytes   the name
//   offset 21+N 256 bytes the character table; anything after it is ignored
//
// A file that ends early leaves the missing bytes of the name and table zero; a wrong
// signature is ELangStorageException "Wrong language file format".
//
// Ownership: the language list owns its entries; whoever keeps a table beyond a refill
// of the list copies it. Immutable after construction; any thread may read.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "textfold/TextFold.h"

namespace vellumar {

inline constexpr const char* kLangSignature = "Vellumar_Language";
inline constexpr const char* kBuiltInLanguageName = "English (i)";
inline constexpr const char* kWrongLanguageFileFormat = "Wrong language file format";

class ELangStorageException : public std::runtime_error {
  public:
    ELangStorageException() : std::runtime_error(kWrongLanguageFileFormat) {}
};

class TLangStorage {
  public:
    // Reads a .LNG file. Throws ELangStorageException for a wrong signature and
    // std::runtime_error ("Cannot open file ...", "not an ordinary file", "larger than
    // 4 MB") when the file cannot be read (see readUserFile).
    explicit TLangStorage(const std::filesystem::path& file);
    // The same from the file's bytes, already read.
    TLangStorage(const std::filesystem::path& file, std::string_view bytes);
    // A built-in language: the name and a copy of the table.
    TLangStorage(std::string name, const textfold::CharTable& table);

    // The built-in "English (i)".
    static TLangStorage BuiltIn();

    bool IsBuiltIn() const { return builtIn_; }
    const std::filesystem::path& FilePath() const { return filePath_; }
    const std::string& Name() const { return name_; }
    // The table handed to the parser sets and to the engine.
    const textfold::CharTable& CharacterTable() const { return table_; }

  private:
    void parse(std::string_view bytes);

    bool builtIn_ = false;
    std::filesystem::path filePath_;
    std::string name_;
    textfold::CharTable table_{};
};

// Writes a .LNG file (the name as UTF-8 bytes). Throws std::runtime_error on failure.
void writeLangFile(const std::filesystem::path& file, const std::string& name,
                   const textfold::CharTable& table);

}  // namespace vellumar
