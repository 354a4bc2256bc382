// The index engine as the program calls it: one index object per index, with the
// operations the program has always used, under their classic names. The engine library
// (libs/vellcore, on Xapian) provides an implementation; the window and the command-line
// tool receive an IndexEngine (the CreateIndexObject of the engine) through their
// constructors, so tests can hand in a fake. DestroyIndexObject is the end of the
// unique_ptr.
//
// Errors are codes: after a failing call GetErrorCode tells why, ClearError resets it.
// Thread: an index object is used by one thread at a time (the notifier lock guarantees
// it between the main thread and the notifier thread).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <textfold/TextFold.h>

namespace vellumar {

class UserInterface;

// DOS date (high 16 bits) and time (low 16 bits), 2-second resolution.
using DosStamp = std::uint32_t;

// One entry (hit) of a found document, 8 bytes as the engine delivers them.
struct HitRecord {
    std::uint32_t firstWord = 0xFFFFFFFFu;  // word number; 0xFFFFFFFF = no position
    std::uint16_t unused = 0;
    std::uint16_t wordCount = 1;  // a phrase has several words
};
static_assert(sizeof(HitRecord) == 8);

namespace engine_error {
inline constexpr int kNone = 0;
inline constexpr int kOutOfMemoryOrDisk = 1;
inline constexpr int kInvalidValue = 2;
inline constexpr int kCannotOpenFile = 4;
inline constexpr int kStatisticsCorrupted = 5;
inline constexpr int kMappingFailed = 6;
inline constexpr int kDocumentRejected = 7;  // skipped silently
inline constexpr int kOnlyStopWords = 10;
}  // namespace engine_error

// Modes of Prepare.
inline constexpr int kPrepareCreate = 2;
inline constexpr int kPrepareSearch = 3;
// Orders of SortResults.
inline constexpr int kSortAlphabetically = 1;
inline constexpr int kSortByRelevancy = 2;

class IndexObject {
  public:
    virtual ~IndexObject() = default;

    virtual void ClearError() = 0;
    virtual int GetErrorCode() const = 0;
    virtual std::string GetIndexPath() const = 0;  // the creation path
    virtual std::string GetLanguageName() const = 0;
    virtual textfold::CharTable GetLanguageTable() const = 0;
    virtual int GetMaxWordLength() const = 0;
    virtual int GetMinWordLength() const = 0;
    virtual int GetCompactingRatio() const = 0;  // percent
    virtual int GetRecordCount() const = 0;
    virtual int GetTagCount() const = 0;
    virtual int GetRemovedCount() const = 0;
    virtual int GetTotalSizeKB() const = 0;
    virtual int GetWordCount() const = 0;
    virtual int GetUniqueWordCount() const = 0;

    // Bracket each search and each update.
    virtual void BeginSession() = 0;
    virtual void EndSession() = 0;

    virtual bool RemoveDocument(std::string_view name) = 0;  // true if it was indexed
    virtual bool FindDocument(std::string_view name, DosStamp& stamp) = 0;
    // size: the document size in bytes as its parser reports it (0 when none). Declines
    // with kDocumentRejected when the name is indexed with the same stamp and size.
    virtual bool BeginDocument(std::string_view name, DosStamp stamp, std::uint32_t size) = 0;
    // An empty word with position 0 and field -1 ends a dictionary load.
    virtual bool AddWord(std::string_view word, std::int32_t position, std::int32_t field) = 0;

    virtual bool DeleteIndexFiles() = 0;  // false while the files are in use elsewhere
    // kPrepareCreate (re)creates with a language; kPrepareSearch opens for searching
    // (no language name, the table unused).
    virtual void Prepare(int mode, std::string_view languageName, const textfold::CharTable& table,
                         int maxWordLength, int minWordLength, int compactingRatio) = 0;
    virtual bool CloseFiles() = 0;
    virtual bool CanModify() = 0;  // false when opened for writing elsewhere

    virtual void SetStayOnFile(std::string_view name) = 0;
    // One element path (such as /a/b) per call, first call with first set; false at the end.
    virtual bool EnumElementPaths(bool first, std::string& path) = 0;
    virtual int GetFieldNumber(std::string_view tagName) = 0;  // 0: none
    // pattern "**" first, then no pattern; false when there are no more words.
    virtual bool EnumWords(const std::optional<std::string>& pattern, std::string& word) = 0;

    // 0 on failure, else the 1-based position of the stay-on file among the results (or
    // a position beyond them). The engine lets ui process pending messages while it
    // works, so that CancelSearch can arrive.
    virtual int RunQuery(std::string_view query, UserInterface* ui, int& files, int& entries) = 0;
    virtual bool GetResult(int index, std::string& name, DosStamp& stamp) = 0;
    // Valid until the next GetHits.
    virtual std::span<const HitRecord> GetHits(int index) = 0;
    virtual bool ReadyForRescan() = 0;
    virtual void SortResults(int order) = 0;
    virtual void CancelSearch() = 0;
};

// CreateIndexObject(path): path is the index folder, "/" and the index name. Returns none
// when memory or disk space is short; a non-zero GetErrorCode right after creation marks
// the index unusable.
using IndexEngine =
    std::function<std::unique_ptr<IndexObject>(const std::filesystem::path& indexPath)>;

}  // namespace vellumar
