#include "lang/TLangStorage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/UserFileReader.h"

namespace vellumar {

namespace {

constexpr std::size_t kSignatureLength = 17;
constexpr std::size_t kNameOffset = kSignatureLength + 4;

}  // namespace

TLangStorage::TLangStorage(const std::filesystem::path& file) : filePath_(file) {
    // Through the one reader of user files: a FIFO or a device named *.LNG never blocks
    // the language box, and a huge file is refused before it is read.
    const UserFileRead read = readUserFile(file);
    if (read.status == UserFileStatus::Missing)
        throw std::runtime_error(std::string("Cannot open file: ") + std::strerror(ENOENT));
    if (!read.ok()) throw std::runtime_error(problemReason(read));
    parse(read.data);
}

TLangStorage::TLangStorage(const std::filesystem::path& file, std::string_view bytes)
    : filePath_(file) {
    parse(bytes);
}

void TLangStorage::parse(std::string_view bytes) {
    if (bytes.size() < kSignatureLength ||
        std::memcmp(bytes.data(), kLangSignature, kSignatureLength) != 0)
        throw ELangStorageException();
    // What the file does not have reads as zero bytes.
    auto byteAt = [&](std::size_t i) -> unsigned char {
        return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
    };
    const std::int32_t length = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(byteAt(17)) | (static_cast<std::uint32_t>(byteAt(18)) << 8) |
        (static_cast<std::uint32_t>(byteAt(19)) << 16) |
        (static_cast<std::uint32_t>(byteAt(20)) << 24));
    if (length < 0) throw ELangStorageException();
    // The name is read only as far as the file goes, so a damaged length can never ask
    // for gigabytes.
    const std::size_t available = bytes.size() > kNameOffset ? bytes.size() - kNameOffset : 0;
    const std::size_t nameLength =
        std::min<std::size_t>(static_cast<std::size_t>(length), available);
    std::string raw(nameLength ? bytes.substr(kNameOffset, nameLength) : std::string_view());
    const std::size_t nul = raw.find('\0');
    if (nul != std::string::npos) raw.resize(nul);
    name_ = textfold::toUtf8Document(raw);
    // The table starts after the name's full length, as written, even where the file
    // ended before it.
    const std::uint64_t tableAt = kNameOffset + static_cast<std::uint64_t>(length);
    for (std::size_t i = 0; i < table_.size(); ++i)
        table_[i] = tableAt + i < bytes.size() ? static_cast<unsigned char>(bytes[tableAt + i]) : 0;
}

TLangStorage::TLangStorage(std::string name, const textfold::CharTable& table)
    : builtIn_(true), name_(std::move(name)), table_(table) {}

TLangStorage TLangStorage::BuiltIn() {
    return TLangStorage(kBuiltInLanguageName, textfold::englishTable());
}

void writeLangFile(const std::filesystem::path& file, const std::string& name,
                   const textfold::CharTable& table) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("Cannot create file " + file.string());
    out.write(kLangSignature, kSignatureLength);
    const auto n = static_cast<std::uint32_t>(name.size());
    const char length[4] = {static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                            static_cast<char>((n >> 16) & 0xFF),
                            static_cast<char>((n >> 24) & 0xFF)};
    out.write(length, 4);
    out.write(name.data(), static_cast<std::streamsize>(name.size()));
    out.write(reinterpret_cast<const char*>(table.data()),
              static_cast<std::streamsize>(table.size()));
    if (!out.flush()) throw std::runtime_error("Cannot write file " + file.string());
}

}  // namespace vellumar
