#include "index/FolderChangeHandler.h"

#include <cstdlib>
#include <exception>

#include "index/BuildResult.h"
#include "index/Catalogue.h"
#include "index/IndexBuilder.h"
#include "monitor/HomeLock.h"
#include "monitor/MonitorLock.h"
#include "monitor/Notifier.h"

namespace vellumar {

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// Whether the folder lies in or under prefix, whole names only (/tmp covers /tmp/a, not
// /tmpfiles).
bool under(const std::string& folder, const std::string& prefix) {
    if (prefix.empty()) return false;
    const std::string path = withSlash(folder);
    const std::string start = withSlash(prefix);
    return path.compare(0, start.size(), start) == 0;
}

}  // namespace

std::vector<std::string> defaultSystemFolders() {
    return {"/etc", "/usr", "/var", "/boot", "/opt"};
}

std::string defaultTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}

std::string folderKeyOf(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

bool MonitoringFilter::Ignores(const std::string& folder) const {
    if (systemFoldersOff)
        for (const std::string& system : systemFolders)
            if (under(folder, system)) return true;
    if (tempFolderOff && under(folder, tempFolder)) return true;
    if (indexFolderOff && under(folder, indexFolder)) return true;
    const std::string key = folderKeyOf(folder);
    for (const std::string& excluded : excludedFolders)
        if (folderKeyOf(excluded) == key) return true;
    return false;
}

void FolderChangeHandler::SetView(FolderChangeView* view) {
    const MonitorLock lock(notifier_);
    view_ = view;
}

void FolderChangeHandler::SetFilter(MonitoringFilter filter) {
    const MonitorLock lock(notifier_);
    filter_ = std::move(filter);
}

MonitoringFilter FolderChangeHandler::Filter() {
    const MonitorLock lock(notifier_);
    return filter_;
}

void FolderChangeHandler::Attach() {
    notifier_.SetOnFolderChanged([this](int position, const std::string& folder, bool& stop) {
        Handle(position, folder, stop);
    });
}

void FolderChangeHandler::Detach() { notifier_.SetOnFolderChanged({}); }

void FolderChangeHandler::Handle(int position, const std::string& folder, bool& /*stop*/) {
    const MonitorLock lock(notifier_);
    if (position < 0 || position >= catalogue_.count()) return;
    if (!notifier_.GetAutoUpdate(position)) return;
    if (filter_.Ignores(folder)) return;

    FolderChangeReport report;
    report.position = position;
    report.indexName = catalogue_.name(position);
    report.folder = folder;
    FolderChangeView* view = view_;
    if (view) view->updateStarting(position, folder);
    try {
        if (homeLock_ && !homeLock_->TryAcquire()) {
            report.outcome.ran = true;
            report.outcome.code = BuildResult::kAbandoned;
            report.outcome.message = kCannotModifyMessage;
        } else {
            report.outcome = updater_.Update(position, folder);
        }
    } catch (const std::exception& e) {
        report.outcome.code = BuildResult::kInvalidValue;
        report.outcome.message = e.what();
        if (view) view->updateFinished(report);
        throw;
    }
    if (view) view->updateFinished(report);
}

}  // namespace vellumar
