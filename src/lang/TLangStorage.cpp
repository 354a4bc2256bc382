#include "lang/TLangStorage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace vellumar {

namespace {

constexpr std::size_t kSignatureLength = 17;

// Reads up to n bytes; what the file does not have stays zero.
void readZeroFilled(std::istream& in, char* out, std::size_t n) {
    std::memset(out, 0, n);
    in.read(out, static_cast<std::streamsize>(n));
    in.clear();
}

}  // namespace

TLangStorage::TLangStorage(const std::filesystem::path& file) : filePath_(file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("Cannot open file: ") + std::strerror(errno));
    char signature[kSignatureLength];
    in.read(signature, kSignatureLength);
    if (in.gcount() != static_cast<std::streamsize>(kSignatureLength) ||
        std::memcmp(signature, kLangSignature, kSignatureLength) != 0)
        throw ELangStorageException();

    unsigned char lengthBytes[4];
    readZeroFilled(in, reinterpret_cast<char*>(lengthBytes), 4);
    const std::int32_t length =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(lengthBytes[0]) |
                                  (static_cast<std::uint32_t>(lengthBytes[1]) << 8) |
                                  (static_cast<std::uint32_t>(lengthBytes[2]) << 16) |
                                  (static_cast<std::uint32_t>(lengthBytes[3]) << 24));
    if (length < 0) throw ELangStorageException();
    // The name is read only as far as the file goes (the rest of a short file counts as
    // zero bytes), so a damaged length can never ask for gigabytes.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    const std::uintmax_t available = !ec && size > 21 ? size - 21 : 0;
    std::string raw(static_cast<std::size_t>(
                        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(length), available)),
                    '\0');
    readZeroFilled(in, raw.data(), raw.size());
    const std::size_t nul = raw.find('\0');
    if (nul != std::string::npos) raw.resize(nul);
    name_ = textfold::toUtf8Document(raw);
    readZeroFilled(in, reinterpret_cast<char*>(table_.data()), table_.size());
}

TLangStorage::TLangStorage(std::string name, const textfold::CharTable& table)
    : builtIn_(true), name_(std::move(name)), table_(table) {}

TLangStorage TLangStorage::BuiltIn() {
    return TLangStorage(kBuiltInLanguageName, textfold::englishTable());
}

void WriteLangFile(const std::filesystem::path& file, const std::string& name,
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
