// LoadSettings and SaveSettings: the settings file and the query history. The settings
// struct is the one place the options live while the program runs; the pages show its
// values after loading and write the user's changes into it, so saving writes it as it
// stands.
#include "app/ui/TFormMain.h"
#include "index/ui/TIndexesPage.h"
#include "monitor/ui/TMonitoringPage.h"
#include "platform/QueryHistoryFile.h"
#include "platform/ui/MessageBox.h"
#include "search/ui/TSearchPage.h"
#include "viewer/ui/TViewerPane.h"

namespace vellumar {

bool TFormMain::LoadSettings() {
    const LoadedSettings loaded = loadProgramSettings(environment_, folders_);
    for (const std::string& warning : loaded.warnings)
        showMessageBox(QString::fromStdString(warning), MessageIcon::Warning, MessageButtons::Ok,
                       this);
    settings_ = loaded.settings;
    // Read-only media neither load nor save the query history.
    if (!environment_.readOnlyMedia) {
        std::string problem;
        QueryHistory history = loadQueryHistory(queryHistoryFile(environment_), &problem);
        if (!problem.empty())
            showMessageBox(QString::fromStdString(problem), MessageIcon::Warning,
                           MessageButtons::Ok, this);
        searchPage_->setQueryHistory(std::move(history));
    }
    showSettingsOnPages();
    return loaded.existed;
}

void TFormMain::showSettingsOnPages() {
    indexesPage_->showSettings();
    searchPage_->showSettings();
    viewerPane_->showSettings();
    monitoringPage_->showSettings();
}

void TFormMain::SaveSettings() {
    const SettingsLocation location = settingsLocation(environment_);
    if (!saveSettings(location, settings_)) {
        showMessageBox(QStringLiteral("Can not write the configuration parameters to ") +
                           QString::fromStdString(settingsTarget(location).string()) +
                           QStringLiteral(" file"),
                       MessageIcon::Error, MessageButtons::Ok, this);
        return;  // the query history is then not written either
    }
    if (environment_.readOnlyMedia) return;
    const std::filesystem::path history = queryHistoryFile(environment_);
    if (!saveQueryHistory(history, searchPage_->queryHistory()))
        showMessageBox(QStringLiteral("Can not write the configuration parameters to ") +
                           QString::fromStdString(history.string()) + QStringLiteral(" file"),
                       MessageIcon::Error, MessageButtons::Ok, this);
}

}  // namespace vellumar
