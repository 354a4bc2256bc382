// The terms and values one document leaves in the Xapian database (the layout is written
// down in docs/engine-storage.md):
//   word terms     the folded word, with positions (word number + 1)
//   field terms    "\xFF" <field number> ":" word, for words inside an element or tag
//   the name term  "\xFE" name (names over 200 bytes: the first 200, NUL, a hash)
//   value 0        the document name;  value 1  stamp, size, word count and, when known,
//                  the file's size and exact modification time and the digest of the
//                  words as stored (DocMeta)
// Word terms are valid UTF-8, so they never begin with 0xFE or 0xFF and sort first.
//
// Threads: pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellcore {

constexpr unsigned kNameSlot = 0;
constexpr unsigned kMetaSlot = 1;
constexpr char kNamePrefix = '\xFE';
constexpr char kFieldPrefix = '\xFF';

std::string nameTerm(std::string_view name);
// The bytes every name term of a name with this prefix begins with (for prefix scans).
std::string nameTermPrefix(std::string_view namePrefix);

std::string fieldTermPrefix(int field);
inline std::string fieldTerm(int field, std::string_view word) {
    return fieldTermPrefix(field).append(word);
}

inline bool isWordTerm(std::string_view term) {
    return !term.empty() && static_cast<unsigned char>(term[0]) < 0xFE;
}
inline bool isFieldTerm(std::string_view term) { return !term.empty() && term[0] == kFieldPrefix; }
// The word of a word or field term.
std::string_view termWord(std::string_view term);

// Xapian positions start at 1 here; the caller's word numbers start at 0.
inline std::uint32_t toTermPos(std::int32_t wordNumber) {
    return static_cast<std::uint32_t>(wordNumber) + 1;
}
inline std::uint32_t toWordNumber(std::uint32_t termPos) { return termPos - 1; }

struct DocMeta {
    std::uint32_t stamp = 0;
    std::uint64_t size = 0;
    std::uint32_t words = 0;
    std::uint64_t fileSize = 0;  // with modified: 0 when not known
    std::int64_t modified = 0;   // nanoseconds since the epoch
    std::uint64_t digest = 0;    // of the words as stored (WordDigest); 0 when not known
};

// What a document's words leave in the index, reduced to 64 bits: each word as folded,
// its word number (or none) and its field, in order. Two versions of a file with equal
// digests store the same terms and positions, so a file that was only touched needs its
// stamp stored anew, not its words. Stable across runs and machines: indexes keep it.
class WordDigest {
  public:
    void Add(std::string_view word, std::int32_t position, int field);
    // Never 0, which stands for "not known".
    std::uint64_t Value() const { return state_ == 0 ? 1 : state_; }

  private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

std::string packMeta(const DocMeta& meta);
// False when the value is not a DocMeta (a damaged document).
bool unpackMeta(std::string_view packed, DocMeta& meta);

}  // namespace vellcore
