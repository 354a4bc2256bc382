// The catalogue of indexes: one index object per definition file of the index folder, in
// the order of the folder listing, and exactly one of them opened for searching.
//
// Four lists stay position-parallel at all times: the index objects held here, the items
// of the window's two index boxes (kept by the CatalogueListener) and the notifier's scope
// list. Every insertion and removal goes through insert() and erase(), which change all
// four together; nothing else touches them.
//
// Owned by whoever drives the program (the main window, the command-line tool); it
// borrows the notifier and the user interface. Thread: the main thread, or the thread that
// holds the notifier lock.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "index/IndexDefinition.h"
#include "platform/UserInterface.h"
#include "vellcore/IndexObject.h"

namespace vellumar {

class TNotifier;

// Mirrors the catalogue into the window's index boxes (cmbIndexName and cmbUsedIndex).
class CatalogueListener {
  public:
    virtual ~CatalogueListener() = default;
    virtual void indexInserted(int position, const std::string& name) = 0;
    virtual void indexRemoved(int position) = 0;
};

struct CatalogueSettings {
    std::string indexFolder;
    bool runFromCd = false;  // scopes are retargeted to the volume's mount point
    std::string mountPoint;  // of the program's volume, in CD-ROM mode
};

class Catalogue {
  public:
    Catalogue(TNotifier& notifier, UserInterface& ui, CatalogueSettings settings);
    ~Catalogue();

    void setListener(CatalogueListener* listener) { listener_ = listener; }
    const CatalogueSettings& settings() const { return settings_; }
    void setIndexFolder(const std::string& folder) { settings_.indexFolder = folder; }

    // Loads every definition file in order (see the window's start-up); returns how many
    // indexes were loaded. A definition file whose engine folder is gone is deleted (or,
    // with keepDefinitionsWithoutIndex, kept and remembered); an index the engine cannot
    // create is skipped; an empty scope is reported and skipped.
    int LoadIndexes(const std::vector<std::filesystem::path>& definitionFiles);

    // The command-line tool lists an index whose engine folder was deleted as broken, so
    // loading must not delete its definition file behind the user's back.
    void setKeepDefinitionsWithoutIndex(bool keep) { keepDefinitionsWithoutIndex_ = keep; }
    // The definition files without an engine folder that the last LoadIndexes kept.
    const std::vector<std::filesystem::path>& definitionsWithoutIndex() const {
        return definitionsWithoutIndex_;
    }

    // Makes the index at position ready for searching: 0, or the engine's error code when
    // it is broken and was not repaired (it is then gone from the catalogue). A broken
    // index leads to the repair question; `repair` recreates it and returns the new object
    // (nullptr when that failed).
    using RepairFunction = std::function<std::unique_ptr<vellcore::IndexObject>(int position)>;
    int OpenIndex(int position, const RepairFunction& repair);

    // A full update of the index at position. When one is set, OpenIndex offers it for an
    // index of an older engine format (whose phrases may step over left-out words) and
    // runs it on Yes; OpenIndex then answers for the index as the update left it. Not
    // offered on read-only media.
    using UpdateFunction = std::function<void(int position)>;
    void setUpdateOffer(UpdateFunction update) { updateOffer_ = std::move(update); }

    // Closes the index's files (asking Retry/Cancel while that fails; Cancel removes the
    // index's files); the opened index becomes none.
    void UnloadIndex(int position);
    // Unloads and forgets every index (the notifier's scopes are left to the caller, who
    // clears the notifier as a whole).
    void UnloadAllIndexes();

    int count() const { return static_cast<int>(objects_.size()); }
    vellcore::IndexObject* object(int position) const;
    const std::string& name(int position) const { return names_.at(position); }
    std::filesystem::path indexPath(int position) const;
    std::filesystem::path definitionFile(int position) const;
    // Position of the index whose trimmed name equals the trimmed text without regard to
    // case, or -1.
    int find(const std::string& name) const;

    int opened() const { return opened_; }
    void setOpened(int position) { opened_ = position; }

    // Registers the scope with the notifier (walking it when scan is set; walkResult, when
    // given, receives the walk's stop code) and inserts the object and name at the position
    // the notifier returns; returns that position.
    int insert(std::unique_ptr<vellcore::IndexObject> object, const std::string& name,
               const std::string& scope, bool autoUpdate, bool scan, int* walkResult = nullptr);
    // Puts a freshly made object in the place of the one at position.
    void replace(int position, std::unique_ptr<vellcore::IndexObject> object);
    // Removes the index at position from all four lists and returns its object.
    std::unique_ptr<vellcore::IndexObject> erase(int position);

    // The scope of a definition as the program uses it (retargeted in CD-ROM mode).
    std::string effectiveScope(const std::string& storedScope) const;

    TNotifier& notifier() { return notifier_; }

  private:
    TNotifier& notifier_;
    UserInterface& ui_;
    CatalogueSettings settings_;
    CatalogueListener* listener_ = nullptr;
    UpdateFunction updateOffer_;
    std::vector<std::unique_ptr<vellcore::IndexObject>> objects_;
    std::vector<std::string> names_;
    int opened_ = -1;
    bool keepDefinitionsWithoutIndex_ = false;
    std::vector<std::filesystem::path> definitionsWithoutIndex_;
};

// The message that starts the repair question for an engine error code when opening.
std::string openFailureText(int errorCode, const std::string& indexName);

// The question that offers the update of an index of an older engine format.
std::string olderFormatQuestion(const std::string& indexName);

}  // namespace vellumar
