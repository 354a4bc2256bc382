// The index wizard driven through its handlers: every check and its message, an existing
// name answered No and Yes, Back over the skipped format page, Escape and Cancel, opening
// an existing index, a first run taken through to a built index, and the support request
// of the same menu bar.
#include "IndexFixture.h"

#include "index/ui/TFormWizard.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace vellumar;

namespace {

// Fills page 1 and 2 and goes on to the language page.
void toLanguagePage(TFormWizard& wizard, const QString& name, const QString& scope) {
    const auto& c = wizard.controls();
    c.txtIndexName->setText(name);
    wizard.btnNextClick();
    c.txtFileNames->setText(scope);
    wizard.btnNextClick();
}

}  // namespace

class IndexWizardTest : public QObject {
    Q_OBJECT

  private slots:
    void checksShowTheirMessagesAndKeepThePage() {
        IndexFixture f;
        auto w = f.start();
        TFormWizard wizard(w->indexesPage(), *w, w.get());
        const auto& c = wizard.controls();
        QCOMPARE(c.lblWelcome->text(), QStringLiteral("Welcome to the Vellumar Wizard"));
        QCOMPARE(c.lblBottom->text(), QStringLiteral("       To continue, click Next"));
        QVERIFY(!c.btnBack->isEnabled());
        QVERIFY(!c.chkOpen->isEnabled());  // no index yet

        c.txtIndexName->setText(QStringLiteral("   "));
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 1);
        QCOMPARE(f.answers.messages().back().text, QStringLiteral("Index name not must be empty."));
        QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);
        c.txtIndexName->setText(QStringLiteral("my.notes"));
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 1);
        QVERIFY(f.answers.messages().back().text.contains(QStringLiteral("can not contain")));

        toLanguagePage(wizard, QStringLiteral("Notes"),
                       QString::fromStdString(IndexFixture::scopeOf(f.docs)));
        QCOMPARE(wizard.pageNumber(), 4);
        QVERIFY(c.cmbLanguage->count() > 0);  // copied from the Indexes page
        c.cmbLanguage->clear();
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 4);
        QCOMPARE(f.answers.messages().back().text, QStringLiteral("No language is selected."));

        wizard.btnReloadClick();  // refills the list from the home
        QVERIFY(c.cmbLanguage->count() > 0);
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 5);
        QCOMPARE(c.txtMaxLen->text(), QStringLiteral("32"));  // from the Indexes page
        QCOMPARE(c.txtMinLen->text(), QStringLiteral("2"));
        const std::size_t before = f.answers.messages().size();
        for (const auto& [max, min] : std::vector<std::pair<QString, QString>>{
                 {"2", "1"}, {"0", "2"}, {"32", "0"}, {"32", "33"}, {"x", "2"}, {"", "2"}}) {
            c.txtMaxLen->setText(max);
            c.txtMinLen->setText(min);
            wizard.btnNextClick();
            QCOMPARE(wizard.pageNumber(), 5);
        }
        QCOMPARE(f.answers.messages().size(), before + 6);
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Make sure \"Maximum word length\",\r\"Minimum word length\" "
                                "and/or\r\"Compacting ratio\" have proper values"));
        c.txtMaxLen->setText(QStringLiteral("40"));
        c.txtMinLen->setText(QStringLiteral("3"));
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 6);
        QCOMPARE(c.btnNext->text(), QStringLiteral("&Finish"));
        QCOMPARE(c.lblBottom->text(), QStringLiteral("       To create new index, click Finish"));
        QVERIFY(w->core()->catalogue.count() == 0);  // nothing is built before Finish
    }

    void backPassesOverTheFormatPageAndRestoresNext() {
        IndexFixture f;
        auto w = f.start();
        TFormWizard wizard(w->indexesPage(), *w, w.get());
        const auto& c = wizard.controls();
        toLanguagePage(wizard, QStringLiteral("Notes"), QStringLiteral("/x/+<*.txt>"));
        wizard.btnNextClick();
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 6);
        wizard.btnBackClick();
        QCOMPARE(wizard.pageNumber(), 5);
        QCOMPARE(c.btnNext->text(), QStringLiteral("&Next"));
        QCOMPARE(c.lblBottom->text(), QStringLiteral("       To continue, click Next"));
        wizard.btnBackClick();
        QCOMPARE(wizard.pageNumber(), 4);
        wizard.btnBackClick();
        QCOMPARE(wizard.pageNumber(), 2);
        QCOMPARE(c.pages->currentWidget(), c.screen2);
        QVERIFY(c.btnBack->isEnabled());
        wizard.btnBackClick();
        QCOMPARE(wizard.pageNumber(), 1);
        QVERIFY(!c.btnBack->isEnabled());
        QCOMPARE(c.txtFileNames->text(), QStringLiteral("/x/+<*.txt>"));  // kept on the way
    }

    void existingNameAskedNoStaysYesRecreatesWithTheNewOptions() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha beta");
        auto w = f.start();
        IndexFixture::create(*w, "Docs", IndexFixture::scopeOf(f.docs));
        QCOMPARE(w->core()->catalogue.object(0)->GetMaxWordLength(), 32);

        TFormWizard wizard(w->indexesPage(), *w, w.get());
        const auto& c = wizard.controls();
        QVERIFY(c.chkOpen->isEnabled());
        c.txtIndexName->setText(QStringLiteral("Docs"));
        f.answers.queueAnswer(MessageResult::No);
        wizard.btnNextClick();
        QCOMPARE(wizard.pageNumber(), 1);
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Index with name \"Docs\" already exists. Do ou want to recreate "
                                "this index?"));
        QCOMPARE(f.answers.messages().back().buttons, MessageButtons::YesNo);

        wizard.btnNextClick();  // "Yes"
        QCOMPARE(wizard.pageNumber(), 2);
        for (int i = 0; i < 3; ++i) wizard.btnNextClick();
        // Without a scope, Finish keeps the old index and the wizard stays open.
        QCOMPARE(wizard.pageNumber(), 6);
        wizard.btnNextClick();
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Location of files to index not must be empty."));
        QCOMPARE(wizard.pageNumber(), 6);
        QCOMPARE(wizard.result(), 0);
        QCOMPARE(w->core()->catalogue.count(), 1);
        for (int i = 0; i < 3; ++i) wizard.btnBackClick();
        wizard.controls().txtFileNames->setText(
            QString::fromStdString(IndexFixture::scopeOf(f.docs)));
        wizard.btnNextClick();
        wizard.btnNextClick();
        c.txtMaxLen->setText(QStringLiteral("20"));
        wizard.btnNextClick();
        wizard.btnNextClick();  // Finish
        QCOMPARE(wizard.result(), 6);
        QCOMPARE(wizard.pageNumber(), 7);
        // The caller builds; the index is made anew with the wizard's word length.
        w->indexesPage().cmdUpdateClick(nullptr);
        QCOMPARE(w->core()->catalogue.count(), 1);
        QCOMPARE(w->core()->catalogue.object(0)->GetMaxWordLength(), 20);
        QCOMPARE(IndexFixture::records(*w, 0), 1);
    }

    void openingAnExistingIndexCancelAndEscape() {
        IndexFixture f;
        f.write(f.docs / "a" / "one.txt", "alpha");
        f.write(f.docs / "b" / "two.txt", "beta");
        auto w = f.start();
        IndexFixture::create(*w, "First", IndexFixture::scopeOf(f.docs / "a"));
        IndexFixture::create(*w, "Second", IndexFixture::scopeOf(f.docs / "b"));
        {
            TFormWizard wizard(w->indexesPage(), *w, w.get());
            const auto& c = wizard.controls();
            c.chkOpen->setChecked(true);
            wizard.chkOpenClick();
            QVERIFY(c.cmbIndexName->isEnabled() && !c.txtIndexName->isEnabled());
            QCOMPARE(c.cmbIndexName->count(), 2);
            c.cmbIndexName->setCurrentIndex(0);
            wizard.btnNextClick();
            QCOMPARE(wizard.result(), 1);
            QCOMPARE(w->indexesPage().selectedIndex(), 0);
            QCOMPARE(w->core()->catalogue.opened(), 0);
        }
        {
            TFormWizard wizard(w->indexesPage(), *w, w.get());
            wizard.controls().txtIndexName->setText(QStringLiteral("Third"));
            wizard.btnNextClick();
            QTest::keyClick(&wizard, Qt::Key_Escape);
            QCOMPARE(wizard.result(), 2);
        }
        {
            TFormWizard wizard(w->indexesPage(), *w, w.get());
            wizard.btnCancelClick();
            QCOMPARE(wizard.result(), 1);
        }
        QCOMPARE(w->core()->catalogue.count(), 2);  // nothing was made or changed
    }

    void firstRunGoesThroughTheWizardToABuiltIndex() {
        WindowFixture f;
        MessageResponderScope answers;
        const fs::path docs = fs::path(f.root.path().toStdString()) / "docs";
        f.write(docs / "one.txt", "first run words");
        f.write(docs / "two.txt", "more words");
        f.write(docs / "skip.bin", "words");
        auto w = f.makeWindow();
        int wizards = 0;
        w->dialogs.runModal = [&](QDialog& dialog) {
            auto* wizard = qobject_cast<TFormWizard*>(&dialog);
            if (!wizard) return 2;
            ++wizards;
            const auto& c = wizard->controls();
            c.txtIndexName->setText(QStringLiteral("My documents"));
            wizard->btnNextClick();
            c.txtFileNames->setText(QString::fromStdString(docs.string() + "/+<*.txt>"));
            c.chkArc->setChecked(true);
            for (int i = 0; i < 4; ++i) wizard->btnNextClick();
            return wizard->result();
        };
        w->DeferredStartup();
        QCOMPARE(wizards, 1);
        QCOMPARE(w->lastWizardResult(), 6);
        QCOMPARE(w->core()->catalogue.count(), 1);
        QCOMPARE(QString::fromStdString(w->core()->catalogue.name(0)),
                 QStringLiteral("My documents"));
        QCOMPARE(IndexFixture::records(*w, 0), 2);
        const auto& ix = w->indexesPage().controls();
        QVERIFY(ix.chkArc->isChecked());
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
        QVERIFY(fs::exists(f.home / "Indexes" / "My documents.inf"));
        QVERIFY(w->state().searchEnabled);

        // "&Create" of the menu opens it again; Escape leaves everything as it was.
        w->dialogs.runModal = [&](QDialog& dialog) {
            ++wizards;
            dialog.reject();
            return dialog.result();
        };
        w->controls().mnuCreate->trigger();
        w->controls().btnNew->click();
        QCOMPARE(wizards, 3);
        QCOMPARE(w->lastWizardResult(), 2);
        QCOMPARE(w->core()->catalogue.count(), 1);
    }

    void supportChosenTwiceWritesTheFormAgainAndOpensIt() {
        WindowFixture f;
        auto w = f.makeWindow();
        QStringList opened;
        w->dialogs.openInEditor = [&](const QString& file) {
            opened << file;
            return false;  // no editor: not reported
        };
        MessageResponderScope answers;
        const fs::path file = f.environment.systemTemp / "support.txt";
        w->controls().Tech1->trigger();
        QVERIFY(fs::exists(file));
        const std::string first = WindowFixture::read(file);
        QVERIFY(first.find("for example Debian 12") != std::string::npos);
        QVERIFY(first.size() > 2 && first.substr(first.size() - 2) == "\r\n");
        f.write(file, "the user's half-written text");
        w->controls().Tech1->trigger();
        QCOMPARE(WindowFixture::read(file), first);
        QCOMPARE(opened, (QStringList{QString::fromStdString(file.string()),
                                      QString::fromStdString(file.string())}));
        QVERIFY(answers.messages().empty());

        // A temporary folder that cannot take the file says so.
        fs::remove_all(f.environment.systemTemp);
        w->controls().Tech1->trigger();
        QCOMPARE(opened.size(), 2);
        QVERIFY(!answers.messages().empty() &&
                answers.messages().back().text.startsWith(QStringLiteral("Cannot create file")));
    }
};

QTEST_MAIN(IndexWizardTest)
#include "IndexWizardTest.moc"
