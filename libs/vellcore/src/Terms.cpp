#include "Terms.h"

#include <cstdio>

namespace vellcore {

namespace {

constexpr std::size_t kDirectNameBytes = 200;

std::uint64_t fnv1a(std::string_view s) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

void putLe(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t getLe(std::string_view in, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

}  // namespace

std::string nameTerm(std::string_view name) {
    std::string term(1, kNamePrefix);
    if (name.size() <= kDirectNameBytes) return term.append(name);
    // Xapian terms are limited to 245 bytes. Long names share a term only when their first
    // 200 bytes and their hash agree; lookups compare the stored name anyway.
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(fnv1a(name)));
    term.append(name.substr(0, kDirectNameBytes));
    term += '\0';
    return term.append(hash);
}

std::string nameTermPrefix(std::string_view namePrefix) {
    std::string term(1, kNamePrefix);
    return term.append(namePrefix.substr(0, kDirectNameBytes));
}

std::string fieldTermPrefix(int field) {
    std::string term(1, kFieldPrefix);
    term += std::to_string(field);
    term += ':';
    return term;
}

std::string_view termWord(std::string_view term) {
    if (!isFieldTerm(term)) return term;
    const std::size_t colon = term.find(':');
    return colon == std::string_view::npos ? std::string_view{} : term.substr(colon + 1);
}

std::string packMeta(const DocMeta& meta) {
    std::string out;
    out.reserve(32);
    putLe(out, meta.stamp, 4);
    putLe(out, meta.size, 8);
    putLe(out, meta.words, 4);
    // The file version only when known, so documents stored without one keep the layout
    // that every earlier index has.
    if (meta.fileSize != 0 || meta.modified != 0) {
        putLe(out, meta.fileSize, 8);
        putLe(out, static_cast<std::uint64_t>(meta.modified), 8);
    }
    return out;
}

bool unpackMeta(std::string_view packed, DocMeta& meta) {
    if (packed.size() != 16 && packed.size() != 32) return false;
    meta.stamp = static_cast<std::uint32_t>(getLe(packed, 0, 4));
    meta.size = getLe(packed, 4, 8);
    meta.words = static_cast<std::uint32_t>(getLe(packed, 12, 4));
    meta.fileSize = packed.size() == 32 ? getLe(packed, 16, 8) : 0;
    meta.modified = packed.size() == 32 ? static_cast<std::int64_t>(getLe(packed, 24, 8)) : 0;
    return true;
}

}  // namespace vellcore
