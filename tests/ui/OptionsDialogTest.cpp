// The Options dialog, run from the window as a user runs it: it shows the settings, gives
// the changed values back, the window applies them, and its buttons reach the pages.
#include "WindowFixture.h"

#include "app/ui/TFormOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace vellumar;

namespace {

// Runs every dialog of the window shown, hands the Options dialog to `user`, then closes
// it with the close box.
void answerOptionsWith(TFormMain& w, std::function<void(const TFormOptions::Controls&)> user) {
    w.dialogs.runModal = [user](QDialog& dialog) {
        dialog.show();
        if (auto* options = qobject_cast<TFormOptions*>(&dialog)) user(options->controls());
        dialog.close();
        return 0;
    };
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheSettingsAndTheWindowAppliesWhatChanged() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Properties]\nTray=1\n[View Options]\nHtmlAsSource=1\n");
        auto w = f.makeWindow();
        w->settings().maximumFiles = "250";
        answerOptionsWith(*w, [](const TFormOptions::Controls& c) {
            QVERIFY(c.chkTray->isChecked());
            QVERIFY(c.chkHtmlSource->isChecked());
            QVERIFY(c.chkRtfPlain->isChecked() && c.chkWordWrap->isChecked());
            QVERIFY(!c.chkWithWizard->isChecked());
            QCOMPARE(c.edFiles->text(), QStringLiteral("250"));
            QCOMPARE(c.edFilSiz->text(), QStringLiteral("500"));
            QVERIFY(!c.btnExportDid->isEnabled());  // no index selected
            QVERIFY(c.btnEditDic->isEnabled());
            c.chkTray->setChecked(false);
            c.chkWordWrap->setChecked(false);
            c.chkWithWizard->setChecked(true);
            c.edFilSiz->setText(QStringLiteral("abc"));
        });
        w->btnOptionsClick();
        const Settings& s = w->settings();
        QVERIFY(!s.tray && !s.wordWrap && s.wizardOnly && s.htmlAsSource);
        QCOMPARE(s.warnFileSizeKB, std::string("abc"));  // kept as typed
        QCOMPARE(s.maximumFiles, std::string("250"));
        // The viewer and its menu follow the word-wrap setting.
        const TViewerPane::Controls& viewer = w->viewerPane().controls();
        QVERIFY(!viewer.mnuWordWrap->isChecked());
        QCOMPARE(viewer.rtfEntries->lineWrapMode(), QPlainTextEdit::NoWrap);
        // Wizard-only: the Indexes page and its editing controls are off.
        const TIndexesPage::Controls& page = w->indexesPage().controls();
        QVERIFY(!w->indexesPage().isEnabled());
        QVERIFY(!page.txtFileNames->isEnabled() && !page.cmdUpdate->isEnabled());

        // Escape closes it like the close box: the values go back all the same.
        w->dialogs.runModal = [](QDialog& dialog) {
            dialog.show();
            qobject_cast<TFormOptions*>(&dialog)->controls().chkWithWizard->setChecked(false);
            dialog.reject();
            return 0;
        };
        w->mnuOptionsClick();
        QVERIFY(!w->settings().wizardOnly);
        QVERIFY(w->indexesPage().isEnabled() && page.txtFileNames->isEnabled());
        w->FormDestroy();
        QCOMPARE(loadSettings({f.home / "Vellumar.ini", {}, false}, {}).settings.tray, false);
    }

    void readOnlyMediaKeepTheIndexesPageOffAndTheHomeFilesAlone() {
        WindowFixture f;
        f.environment.readOnlyMedia = true;
        auto w = f.makeWindow();
        bool shown = false;
        answerOptionsWith(*w, [&](const TFormOptions::Controls& c) {
            shown = true;
            QVERIFY(!c.cmdCustLangs->isEnabled() && !c.btnEditDic->isEnabled());
            QVERIFY(!c.btnEditSw->isEnabled() && !c.btnExportDid->isEnabled());
        });
        w->btnOptionsClick();
        QVERIFY(shown);
        QVERIFY(!w->indexesPage().isEnabled());
    }

    void itsButtonsRunThePagesHandlers() {
        WindowFixture f;
        auto w = f.makeWindow();
        QStringList edited;
        w->dialogs.openInEditor = [&](const QString& file) {
            edited << QString::fromStdString(fs::path(file.toStdString()).filename().string());
            return true;
        };
        answerOptionsWith(*w, [](const TFormOptions::Controls& c) {
            c.btnEditDic->click();
            c.btnEditSw->click();
        });
        w->btnOptionsClick();
        QCOMPARE(edited, (QStringList{"Dictionary.dic", "Stopwords.sw"}));
        // And the tool bar button and the menu item open it.
        w->dialogs.runModal = [&](QDialog& dialog) {
            f.dialogsShown.push_back(dialog.objectName());
            return 0;
        };
        w->controls().btnOptions->click();
        w->controls().mnuOptions->trigger();
        QCOMPARE(f.dialogsShown, (std::vector<QString>{"FormOptions", "FormOptions"}));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
