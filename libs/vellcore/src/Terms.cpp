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

// splitmix64's finaliser: every input bit reaches every output bit.
std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
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

void WordDigest::Add(std::string_view word, std::int32_t position, int field) {
    // Eight bytes at a time, little-endian whatever the machine, the length last.
    std::size_t at = 0;
    for (; at + 8 <= word.size(); at += 8) state_ = mix(state_ ^ getLe(word, at, 8));
    std::uint64_t tail = word.size();
    for (std::size_t i = at; i < word.size(); ++i)
        tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i]))
                << (8 * (i - at + 1));
    state_ = mix(state_ ^ tail);
    // A word without a position is stored the same whatever number came with it.
    const auto number = static_cast<std::uint32_t>(position < 0 ? -1 : position);
    state_ = mix(state_ ^
                 (static_cast<std::uint64_t>(number) << 32 | static_cast<std::uint32_t>(field)));
}

std::string packMeta(const DocMeta& meta) {
    std::string out;
    out.reserve(40);
    putLe(out, meta.stamp, 4);
    putLe(out, meta.size, 8);
    putLe(out, meta.words, 4);
    // The file version and the digest only when known, so documents stored without them
    // keep the layouts that earlier indexes have (16 or 32 bytes).
    if (meta.fileSize != 0 || meta.modified != 0 || meta.digest != 0) {
        putLe(out, meta.fileSize, 8);
        putLe(out, static_cast<std::uint64_t>(meta.modified), 8);
    }
    if (meta.digest != 0) putLe(out, meta.digest, 8);
    return out;
}

bool unpackMeta(std::string_view packed, DocMeta& meta) {
    if (packed.size() != 16 && packed.size() != 32 && packed.size() != 40) return false;
    meta.stamp = static_cast<std::uint32_t>(getLe(packed, 0, 4));
    meta.size = getLe(packed, 4, 8);
    meta.words = static_cast<std::uint32_t>(getLe(packed, 12, 4));
    const bool versioned = packed.size() >= 32;
    meta.fileSize = versioned ? getLe(packed, 16, 8) : 0;
    meta.modified = versioned ? static_cast<std::int64_t>(getLe(packed, 24, 8)) : 0;
    meta.digest = packed.size() == 40 ? getLe(packed, 32, 8) : 0;
    return true;
}

}  // namespace vellcore
