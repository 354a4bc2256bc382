#include "index/Catalogue.h"

#include <system_error>

#include "index/DocumentIndexer.h"
#include "index/IndexFolder.h"
#include "index/WordListFiles.h"
#include "monitor/MonitorLock.h"
#include "scope/ScopeCompose.h"
#include "scope/ScopeStrings.h"

namespace vellumar {

namespace {}  // namespace

std::string openFailureText(int errorCode, const std::string& indexName) {
    const std::string quoted = "\"" + indexName + "\"";
    switch (errorCode) {
        case 1:
            return "Out of memory or disk space. can not load\r" + quoted + " index.";
        case 4:
            return "Can't open the file \rfor " + quoted + " index.";
        case 5:
            return "S.STS file for\r" + quoted + " index are corrupted.";
        case 6:
            return "Mapping failure: can not load\r" + quoted + " index.";
        default:
            return "";
    }
}

std::string olderFormatQuestion(const std::string& indexName) {
    return "\"" + indexName +
           "\" index was built by an earlier version of Vellumar:\rits phrases may match words "
           "that are not next to each other.\rAn update builds the index again.\rDo you want to "
           "update this index now?";
}

Catalogue::Catalogue(TNotifier& notifier, UserInterface& ui, CatalogueSettings settings)
    : notifier_(notifier), ui_(ui), settings_(std::move(settings)) {}

Catalogue::~Catalogue() = default;

vellcore::IndexObject* Catalogue::object(int position) const {
    if (position < 0 || position >= count()) return nullptr;
    return objects_[position].get();
}

std::filesystem::path Catalogue::indexPath(int position) const {
    return indexPathOf(settings_.indexFolder, names_.at(position));
}

std::filesystem::path Catalogue::definitionFile(int position) const {
    return definitionFileOf(indexPath(position));
}

int Catalogue::find(const std::string& name) const {
    const std::string wanted = asciiLower(trimmed(name));
    for (int i = 0; i < count(); ++i)
        if (asciiLower(trimmed(names_[i])) == wanted) return i;
    return -1;
}

std::string Catalogue::effectiveScope(const std::string& storedScope) const {
    if (!settings_.runFromCd) return storedScope;
    return RetargetScopeDrive(storedScope, settings_.mountPoint);
}

int Catalogue::insert(std::unique_ptr<vellcore::IndexObject> object, const std::string& name,
                      const std::string& scope, bool autoUpdate, bool scan, int* walkResult) {
    MonitorLock lock(notifier_);
    const int position = notifier_.AddScope(scope, autoUpdate, scan, walkResult);
    objects_.insert(objects_.begin() + position, std::move(object));
    names_.insert(names_.begin() + position, name);
    if (opened_ >= position) ++opened_;
    if (listener_) listener_->indexInserted(position, name);
    return position;
}

void Catalogue::replace(int position, std::unique_ptr<vellcore::IndexObject> object) {
    objects_.at(position) = std::move(object);
}

std::unique_ptr<vellcore::IndexObject> Catalogue::erase(int position) {
    MonitorLock lock(notifier_);
    notifier_.RemoveScope(position);
    auto object = std::move(objects_.at(position));
    objects_.erase(objects_.begin() + position);
    names_.erase(names_.begin() + position);
    if (opened_ == position)
        opened_ = -1;
    else if (opened_ > position)
        --opened_;
    if (listener_) listener_->indexRemoved(position);
    return object;
}

int Catalogue::LoadIndexes(const std::vector<std::filesystem::path>& definitionFiles) {
    ui_.showStatus("Loading Indexes...");
    MonitorLock lock(notifier_);
    int loaded = 0;
    definitionsWithoutIndex_.clear();
    if (!isUsableIndexFolder(settings_.indexFolder)) return 0;
    try {
        for (const auto& file : definitionFiles) {
            const std::string name = indexNameOfDefinition(file);
            const std::filesystem::path path = indexPathOf(settings_.indexFolder, name);
            std::error_code ec;
            if (!std::filesystem::is_directory(path, ec)) {
                // A definition without its engine folder is a leftover of a removed index.
                if (keepDefinitionsWithoutIndex_)
                    definitionsWithoutIndex_.push_back(file);
                else
                    std::filesystem::remove(file, ec);
                continue;
            }
            auto object = vellcore::CreateIndexObject(path.string(), 0);
            if (!object) break;
            if (object->GetErrorCode() != 0) continue;
            // Unpack folders a killed build left behind go at program start.
            removeStaleUnpackFolders(*object);
            std::string problem;
            const auto definition = IndexDefinition::load(file, &problem);
            if (!problem.empty()) {
                ui_.showMessage(problem + ".\rThe index is skipped while loading.",
                                MessageIcon::Warning, MessageButtons::Ok);
                continue;
            }
            const std::string scope = definition ? effectiveScope(definition->scope) : "";
            if (trimmed(scope).empty()) {
                ui_.showMessage("Empty scope read from .INF file for\r\"" + name +
                                    "\" index. The index is skipped\rwhile loading.",
                                MessageIcon::Warning, MessageButtons::Ok);
                continue;
            }
            insert(std::move(object), name, scope, definition->monitored, false);
            ++loaded;
        }
    } catch (const std::exception&) {
        // A failure inside the loop ends loading quietly; what is loaded stays.
    }
    ui_.showStatus("");
    return loaded;
}

int Catalogue::OpenIndex(int position, const RepairFunction& repair) {
    MonitorLock lock(notifier_);
    vellcore::IndexObject* index = object(position);
    if (!index) return 2;
    index->Prepare(vellcore::kPrepareForSearch, "", nullptr, 32, 2, 50);
    const int error = index->GetErrorCode();
    if (error == 0) {
        opened_ = position;
        // Indexes on read-only media cannot be rebuilt; they are searched as they are.
        if (updateOffer_ && !settings_.runFromCd &&
            index->GetFormatVersion() < vellcore::kFormatVersion &&
            ui_.showMessage(olderFormatQuestion(names_[position]), MessageIcon::Question,
                            MessageButtons::YesNo) == MessageResult::Yes) {
            updateOffer_(position);
            // A failed update may have taken the index out of the catalogue.
            if (opened_ != position) return vellcore::kCannotOpen;
        }
        return 0;
    }
    const std::string name = names_[position];
    std::string question = openFailureText(error, name);
    question += "\r\nDo you want repair this index?";
    const bool yes = ui_.showMessage(question, MessageIcon::Warning, MessageButtons::YesNo) ==
                     MessageResult::Yes;
    index->ClearError();
    index->CloseFiles();
    if (yes && repair) {
        if (auto fresh = repair(position)) {
            replace(position, std::move(fresh));
            ui_.showMessage("O`K", MessageIcon::Information, MessageButtons::Ok);
            opened_ = position;
            return 0;
        }
        ui_.showMessage("Index wasn't created successfully: ", MessageIcon::Error,
                        MessageButtons::Ok);
    }
    // Still broken: the index leaves the catalogue. Its definition file goes with it, but
    // its engine folder stays on disk, so nothing the user could still rescue is deleted.
    std::error_code ec;
    std::filesystem::remove(definitionFile(position), ec);
    erase(position);
    return error;
}

void Catalogue::UnloadIndex(int position) {
    vellcore::IndexObject* index = object(position);
    if (!index) return;
    bool cancelled = false;
    for (;;) {
        index->CloseFiles();
        if (index->GetErrorCode() == 0) break;
        const auto answer = ui_.showMessage(
            "Can not unload \"" + names_[position] +
                "\" index\rbecause of memory or disk space shortage. To proceed,\rfree some "
                "memory and/or disk space and click \"Retry\".\rTo remove the index, click "
                "\"Cancel\".",
            MessageIcon::Warning, MessageButtons::RetryCancel);
        if (answer != MessageResult::Retry) {
            cancelled = true;
            break;
        }
        index->ClearError();
    }
    if (cancelled && index->DeleteIndexFiles()) {
        std::error_code ec;
        std::filesystem::remove(index->GetIndexPath() + std::string(kDefinitionExtension), ec);
    }
    opened_ = -1;
}

void Catalogue::UnloadAllIndexes() {
    for (int i = 0; i < count(); ++i) UnloadIndex(i);
    while (count() > 0) {
        objects_.pop_back();
        names_.pop_back();
        if (listener_) listener_->indexRemoved(count());
    }
    opened_ = -1;
}

}  // namespace vellumar
