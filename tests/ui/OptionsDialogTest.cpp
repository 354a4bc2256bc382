// The Options dialog: it mirrors the main window's option controls both ways.
#include "WindowFixture.h"

#include "app/ui/TFormOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using namespace vellumar;

class OptionsDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void takesTheWindowsValuesAndGivesThemBack() {
        WindowFixture f;
        f.write(f.home / "Vellumar.ini", "[Properties]\nTray=1\n[View Options]\nHtmlAsSource=1\n");
        auto w = f.makeWindow();
        w->edFiles->setText(QStringLiteral("250"));
        {
            TFormOptions options(*w);
            options.show();
            QCOMPARE(options.windowTitle(), QStringLiteral("Options"));
            QVERIFY(options.chkTray->isChecked());
            QVERIFY(options.chkHtmlSource->isChecked());
            QVERIFY(options.chkRtfPlain->isChecked());
            QVERIFY(!options.chkWithWizard->isChecked());
            QCOMPARE(options.edFiles->text(), QStringLiteral("250"));
            QCOMPARE(options.edFilSiz->text(), QStringLiteral("500"));
            QVERIFY(!options.btnExportDid->isEnabled());  // no index selected
            options.chkTray->setChecked(false);
            options.chkWordWrap->setChecked(false);
            options.chkWithWizard->setChecked(true);
            options.edFilSiz->setText(QStringLiteral("abc"));
            options.close();
        }
        QVERIFY(!w->chkTray->isChecked());
        QVERIFY(!w->chkWordWrap->isChecked());
        QVERIFY(w->mnuWordWrap->isChecked() == false);
        QVERIFY(w->WizardOnly);
        QCOMPARE(w->edFilSiz->text(), QStringLiteral("abc"));
        // Wizard-only: the Indexes page and its editing controls are off.
        QVERIFY(!w->tabIndexes->isEnabled());
        QVERIFY(!w->txtFileNames->isEnabled());
        QVERIFY(!w->cmdUpdate->isEnabled());

        {
            TFormOptions options(*w);
            options.show();
            QVERIFY(options.chkWithWizard->isChecked());
            options.chkWithWizard->setChecked(false);
            options.reject();  // Escape closes it like the close box
        }
        QVERIFY(!w->WizardOnly);
        QVERIFY(w->tabIndexes->isEnabled());
        QVERIFY(w->txtFileNames->isEnabled());
    }

    void readOnlyMediaKeepTheIndexesPageOff() {
        WindowFixture f;
        f.environment.readOnlyMedia = true;
        auto w = f.makeWindow();
        TFormOptions options(*w);
        options.show();
        QVERIFY(!options.cmdCustLangs->isEnabled());
        QVERIFY(!options.btnEditDic->isEnabled());
        options.close();
        QVERIFY(!w->tabIndexes->isEnabled());
    }

    void theToolBarAndTheMenuOpenIt() {
        WindowFixture f;
        auto w = f.makeWindow();
        w->btnOptionsClick();
        w->mnuOptions->trigger();
        QCOMPARE(f.dialogsShown, (std::vector<QString>{"FormOptions", "FormOptions"}));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
