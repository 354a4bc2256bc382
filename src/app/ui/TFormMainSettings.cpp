// LoadSettings and SaveSettings: the settings file and the query history, copied into
// the controls after loading and out of them before saving.
#include "app/ui/TFormMain.h"
#include "platform/Home.h"
#include "platform/MediaPath.h"
#include "platform/QueryHistoryFile.h"
#include "platform/TempFolders.h"
#include "platform/ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace vellumar {

namespace {
QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QString& text) { return text.toStdString(); }
}  // namespace

SettingsLocation TFormMain::settingsLocation() const {
    return SettingsLocation{environment_.home / kSettingsFileName,
                            environment_.userConfigFolder / kSettingsFileName, runFromCD};
}

std::filesystem::path TFormMain::queryHistoryFile() const {
    return environment_.home / kQueryHistoryFileName;
}

bool TFormMain::LoadSettings() {
    Settings defaults;
    defaults.indexFolder = s(programFolder);
    defaults.wizardOnly = WizardOnly;
    defaults.rtfAsPlainShown = !chkRtfPlain->isHidden();
    const LoadedSettings loaded = loadSettings(settingsLocation(), defaults);
    for (const std::string& warning : loaded.warnings)
        ShowMessage(q(warning), MessageIcon::Warning, MessageButtons::Ok, this);
    Settings settings = loaded.settings;

    if (runFromCD) {
        // The media may be mounted elsewhere than where the indexes were made.
        if (!settings.indexFolder.empty())
            settings.indexFolder =
                retargetToMount(settings.indexFolder, mountPointOf(s(programFolder)));
    } else {
        // Leftover engine folders of removed indexes.
        removeEmptySubfolders(settings.indexFolder, {s(programTempFolder)}, environment_.userHome);
    }
    applySettings(settings);

    if (!runFromCD) {
        std::string problem;
        const QueryHistory history = loadQueryHistory(queryHistoryFile(), &problem);
        if (!problem.empty())
            ShowMessage(q(problem), MessageIcon::Warning, MessageButtons::Ok, this);
        for (const std::string& query : history.queries) cmbSearchExpr->addItem(q(query));
        for (const std::string& file : history.listFiles) cmbFileList->addItem(q(file));
        cmbSearchExpr->setCurrentIndex(-1);
        cmbFileList->setCurrentIndex(-1);
    }
    return loaded.existed;
}

void TFormMain::applySettings(const Settings& settings) {
    txtIndexFolder->setText(q(settings.indexFolder));
    storedIndexName = q(settings.indexName);
    WizardOnly = settings.wizardOnly;
    chAlpha->setChecked(settings.sorting == 1);
    chRel->setChecked(settings.sorting == 2);
    cacheWatcherFont = settings.cacheWatcherFont;
    cacheWatcherBackColor = settings.cacheWatcherBackColor;
    chkStartup->setChecked(settings.startUp);
    chkTray->setChecked(settings.tray);
    hotKey = settings.hotKey;
    edHotKey->setText(q(settings.hotKey));
    chkStayOn->setChecked(settings.stayOnPreviouslyViewed);
    storedWordWrap = settings.wordWrap;
    chkWordWrap->setChecked(settings.wordWrap);
    viewFont = settings.viewFont;
    viewBackColor = settings.viewBackColor;
    chkHtmlSource->setChecked(settings.htmlAsSource);
    if (settings.rtfAsPlainShown) chkRtfPlain->setChecked(settings.rtfAsPlain);
    lstDirsOff->clear();
    for (const std::string& folder : settings.notMonitoredDirectories)
        lstDirsOff->addItem(q(folder));
    chkIndexFolderOff->setChecked(settings.indexFolderOff);
    chkWindowsFolderOff->setChecked(settings.windowsFolderOff);
    chkTempFolderOff->setChecked(settings.tempFolderOff);
    fileTypesToSelect = settings.fileTypesToSelect;
}

Settings TFormMain::collectSettings() const {
    Settings settings;
    settings.indexFolder = s(txtIndexFolder->text());
    settings.indexName = s(storedIndexName);
    settings.wizardOnly = WizardOnly;
    settings.queryInFile = !btnFromFile->isHidden();
    settings.sorting = chAlpha->isChecked() ? 1 : chRel->isChecked() ? 2 : 0;
    settings.cacheWatcherFont = cacheWatcherFont;
    settings.cacheWatcherBackColor = cacheWatcherBackColor;
    settings.startUp = chkStartup->isChecked();
    settings.tray = chkTray->isChecked();
    settings.hotKey = edHotKey->text().isEmpty() ? hotKey : s(edHotKey->text());
    settings.stayOnPreviouslyViewed = chkStayOn->isChecked();
    settings.wordWrap = chkWordWrap->isChecked();
    settings.viewFont = viewFont;
    settings.viewBackColor = viewBackColor;
    settings.htmlAsSource = chkHtmlSource->isChecked();
    settings.rtfAsPlainShown = !chkRtfPlain->isHidden();
    settings.rtfAsPlain = chkRtfPlain->isChecked();
    settings.notMonitoredDirectories.clear();
    for (int i = 0; i < lstDirsOff->count(); ++i)
        settings.notMonitoredDirectories.push_back(s(lstDirsOff->item(i)->text()));
    settings.indexFolderOff = chkIndexFolderOff->isChecked();
    settings.windowsFolderOff = chkWindowsFolderOff->isChecked();
    settings.tempFolderOff = chkTempFolderOff->isChecked();
    settings.fileTypesToSelect = fileTypesToSelect;
    return settings;
}

void TFormMain::SaveSettings() {
    const SettingsLocation location = settingsLocation();
    if (!saveSettings(location, collectSettings())) {
        ShowMessage(QStringLiteral("Can not write the configuration parameters to ") +
                        q(settingsTarget(location).string()) + QStringLiteral(" file"),
                    MessageIcon::Error, MessageButtons::Ok, this);
        return;  // the query history is then not written either
    }
    if (runFromCD) return;
    QueryHistory history;
    for (int i = 0; i < cmbSearchExpr->count(); ++i)
        history.queries.push_back(s(cmbSearchExpr->itemText(i)));
    for (int i = 0; i < cmbFileList->count(); ++i)
        history.listFiles.push_back(s(cmbFileList->itemText(i)));
    if (!saveQueryHistory(queryHistoryFile(), history))
        ShowMessage(QStringLiteral("Can not write the configuration parameters to ") +
                        q(queryHistoryFile().string()) + QStringLiteral(" file"),
                    MessageIcon::Error, MessageButtons::Ok, this);
}

}  // namespace vellumar
