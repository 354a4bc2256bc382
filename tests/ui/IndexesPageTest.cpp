// The Indexes page driven through its handlers: creating, cancelling, removing and
// updating indexes, start-up with a catalogue, a broken index, an index another process
// holds, and a change of the index folder.
#include "IndexFixture.h"

#include "index/IndexBuilder.h"
#include "index/IndexDefinition.h"
#include "index/ui/TFormChange.h"
#include "platform/ProfileFile.h"
#include "support/OtherWriter.h"

#include <QAction>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellumar;

namespace {

const QString kCannotModify = QString::fromLatin1(kCannotModifyMessage);

using IndexWriter = testing_support::OtherWriter;

}  // namespace

class IndexesPageTest : public QObject {
    Q_OBJECT

  private slots:
    void indexesJoinBothBoxesAndTheNotifierAtOnePosition() {
        IndexFixture f;
        f.write(f.docs / "a" / "one.txt", "alpha apple");
        f.write(f.docs / "a" / "two.txt", "beta");
        f.write(f.docs / "b" / "three.txt", "gamma");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        const auto& sp = w->searchPage().controls();
        const auto& fr = w->controls();
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Create"));
        IndexFixture::create(*w, "first", IndexFixture::scopeOf(f.docs / "a"));
        QCOMPARE(IndexFixture::items(ix.cmbIndexName), QStringList{"first"});
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), QStringList{"first"});
        QCOMPARE(ix.cmbIndexName->currentIndex(), 0);
        QCOMPARE(sp.cmbUsedIndex->currentIndex(), 0);
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
        QCOMPARE(fr.txtStatus->text(), QStringLiteral("All is OK!"));
        QCOMPARE(ix.lblFileCount1->text(), QStringLiteral("2"));
        QVERIFY(!ix.lblLastUpdated1->text().isEmpty());
        QVERIFY(ix.cmdRemove->isEnabled() && fr.mnuRemove->isEnabled());
        QVERIFY(!ix.txtMaxLen->isEnabled() && !ix.chkFileAsText->isEnabled());  // fixed now
        QVERIFY(w->state().searchEnabled && !w->state().indexingBusy && fr.pnlBar->isEnabled());
        QVERIFY(fs::exists(f.indexes / "first.inf"));

        IndexFixture::create(*w, "second", IndexFixture::scopeOf(f.docs / "b"));
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), (QStringList{"first", "second"}));
        QCOMPARE(sp.cmbUsedIndex->currentIndex(), 1);

        // Removing asks first; "No" keeps everything.
        ix.cmbIndexName->setCurrentIndex(0);
        w->indexesPage().cmbIndexNameClick();
        f.answers.queueAnswer(MessageResult::No);
        w->indexesPage().cmdRemoveClick();
        QCOMPARE(w->core()->catalogue.count(), 2);
        w->mnuRemoveClick();  // "Yes"
        QCOMPARE(IndexFixture::items(ix.cmbIndexName), QStringList{"second"});
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), QStringList{"second"});
        QVERIFY(!fs::exists(f.indexes / "first.inf") && !fs::exists(f.indexes / "first"));
        QCOMPARE(ix.cmbIndexName->currentText(), QString());
        QVERIFY(ix.txtFileNames->text().isEmpty());
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Create"));
        QVERIFY(!ix.cmdRemove->isEnabled() && ix.lblFileCount1->text().isEmpty());

        // The freed scope number 0 is the position of the next index in all four lists.
        IndexFixture::create(*w, "third", IndexFixture::scopeOf(f.docs / "a"));
        QCOMPARE(IndexFixture::items(ix.cmbIndexName), (QStringList{"third", "second"}));
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), (QStringList{"third", "second"}));
        TNotifier& notifier = w->core()->notifier;
        QCOMPARE(notifier.ScopeCount(), 2);
        QCOMPARE(notifier.Scope(0), IndexFixture::scopeOf(f.docs / "a"));
        QCOMPARE(notifier.Scope(1), IndexFixture::scopeOf(f.docs / "b"));
        QCOMPARE(w->core()->catalogue.name(0), std::string("third"));
        QCOMPARE(ix.cmbIndexName->currentIndex(), 0);
        QCOMPARE(IndexFixture::records(*w, 0), 2);
    }

    void aFirstRunCreatesItsIndexesInTheNewIndexesFolder() {
        IndexFixture f;
        fs::remove(f.home / "Vellumar.ini");
        fs::remove(f.indexes);
        f.write(f.docs / "a.txt", "alpha");
        auto w = f.start();
        QCOMPARE(f.dialogsShown, std::vector<QString>{QStringLiteral("FormWizard")});
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        QCOMPARE(IndexFixture::items(w->searchPage().controls().cmbUsedIndex), QStringList{"docs"});
        const auto definition = IndexDefinition::load(f.indexes / "docs.inf");
        QVERIFY(definition && definition->express);  // set on the first run
        QVERIFY(!w->state().firstRun);
    }

    void thePageChecksNameScopeAndWordLengths() {
        const struct {
            const char *name, *scope, *max, *min, *message;
        } cases[] = {
            {"", "", "32", "2", nullptr},
            {" ", "/x/+<*.txt>", "32", "2", "Index name not must be empty."},
            {"n", "  ", "32", "2", "Location of files to index not must be empty."},
            {"my.index", "/x/<*.txt>", "32", "2", "Index name can not contain \"/\" or \".\"."},
            {"../up", "/x/<*.txt>", "32", "2", "Index name can not contain"},
            {"n", "/x/<*.txt>", "2", "2", "Make sure \"Maximum word length\",\r\"Minimum"},
            {"n", "/x/<*.txt>", " ", "2", "Make sure \"Maximum word length\""},
            {"n", "/x/<*.txt>", "32", "0", "Make sure \"Maximum word length\""},
            {"n", "/x/<*.txt>", "32", "33", "Make sure \"Maximum word length\""},
            {"n", "/x/<*.txt>", "3a", "2", "Make sure \"Maximum word length\""},
        };
        IndexFixture f;
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        for (const auto& c : cases) {
            const size_t before = f.answers.messages().size();
            ix.txtMaxLen->setText(c.max);
            ix.txtMinLen->setText(c.min);
            IndexFixture::create(*w, c.name, c.scope);
            const size_t shown = f.answers.messages().size() - before;
            QCOMPARE(shown, size_t(c.message ? 1 : 0));
            if (c.message) {
                QVERIFY2(f.answers.messages().back().text.startsWith(c.message), c.message);
                QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);
            }
            QCOMPARE(w->core()->catalogue.count(), 0);
            QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Create"));
        }
        QVERIFY(fs::is_empty(f.indexes));
    }

    void cancelAsksAndOnlyYesStopsTheBuild() {
        IndexFixture f;
        for (int i = 0; i < 40; ++i)
            f.write(f.docs / ("f" + std::to_string(i) + ".txt"), "word" + std::to_string(i));
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        const auto& fr = w->controls();
        for (const MessageResult answer : {MessageResult::No, MessageResult::Yes}) {
            int stored = 0;
            bool busyWhileAsked = false;
            const auto connection = QObject::connect(w.get(), &TFormMain::documentStored, [&] {
                if (++stored != 5) return;
                busyWhileAsked = w->state().indexingBusy && ix.cmdUpdate->text() == "&Cancel" &&
                                 fr.mnuCancel->isEnabled() && !ix.cmbIndexName->isEnabled() &&
                                 ix.lblFileCount1->text() == "5";
                fr.tabMain->setCurrentIndex(pageSearch);  // refused while busy
                f.answers.queueAnswer(answer);
                ix.cmdUpdate->click();  // the user presses "Cancel"
            });
            const size_t before = f.answers.messages().size();
            const QString name = answer == MessageResult::No ? "kept" : "stopped";
            IndexFixture::create(*w, name, IndexFixture::scopeOf(f.docs));
            QObject::disconnect(connection);
            QVERIFY(busyWhileAsked);
            QCOMPARE(fr.tabMain->currentIndex(), int(pageIndexes));
            QCOMPARE(f.answers.messages().size(), before + 1);  // the question, nothing else
            QVERIFY(f.answers.messages().back().text.startsWith("Creating\\updating the index"));
            const int position = w->core()->catalogue.find(name.toStdString());
            QVERIFY(position >= 0);
            QCOMPARE(ix.cmbIndexName->itemText(position), name);
            QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
            const int count = IndexFixture::records(*w, position);
            if (answer == MessageResult::No) {
                QCOMPARE(count, 40);
            } else {
                // What was indexed stays, and the definition is written.
                QVERIFY(count >= 5 && count < 40);
                QVERIFY(fs::exists(f.indexes / "stopped.inf"));
            }
        }
    }

    void anIndexAnotherProgramHoldsIsLeftAsItWas() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        const std::string definition = WindowFixture::read(f.indexes / "docs.inf");
        f.write(f.docs / "b.txt", "beta");
        IndexWriter writer(f.indexes / "docs");
        QVERIFY(writer.holding());

        w->indexesPage().cmdUpdateClick(ix.cmdUpdate);
        QCOMPARE(f.answers.messages().back().text, kCannotModify);
        w->indexesPage().cmdRemoveClick();  // "Yes" to the question, then the same refusal
        QCOMPARE(f.answers.messages().back().text, kCannotModify);
        QCOMPARE(IndexFixture::items(w->searchPage().controls().cmbUsedIndex), QStringList{"docs"});
        QCOMPARE(w->core()->notifier.ScopeCount(), 1);
        QCOMPARE(IndexFixture::records(*w, 0), 1);
        QCOMPARE(WindowFixture::read(f.indexes / "docs.inf"), definition);
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
        QVERIFY(w->controls().pnlBar->isEnabled());

        writer.release();
        w->indexesPage().cmdUpdateClick(ix.cmdUpdate);
        QCOMPARE(IndexFixture::records(*w, 0), 2);
    }

    void aFoundFileIsUpdatedAloneAndSuspendedMonitoringSurvivesBuilds() {
        IndexFixture f;
        const fs::path file = f.docs / "a.txt";
        f.write(file, "alpha");
        auto w = f.start();
        const auto& rl = w->resultList().controls();
        const auto& mp = w->monitoringPage().controls();
        mp.radSuspended->click();
        w->monitoringPage()
            .controls()
            .radSuspended->click();  // already suspended: the lock is not taken twice
        QCOMPARE(w->core()->notifier.LockLevels(), 1);
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        QCOMPARE(w->core()->notifier.LockLevels(), 1);  // the build's own level is gone

        f.write(file, "alpha beta gamma");
        fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(10));
        f.write(f.docs / "new.txt", "delta");  // not the selected file: stays out
        rl.lstFiles->addItem(QString::fromStdString(file.string()));
        rl.lstFiles->setCurrentRow(0);
        w->resultList().cmdUpdateFileClick();
        QCOMPARE(IndexFixture::records(*w, 0), 1);
        QCOMPARE(w->indexesPage().controls().lblWordCount1->text(), QStringLiteral("3"));
        QCOMPARE(rl.lstFiles->count(), 0);

        mp.radNormal->click();
        QCOMPARE(w->core()->notifier.LockLevels(), 0);
        mp.radSuspended->click();
        w->FormDestroy();  // shutting down while suspended must release the lock
        QVERIFY(fs::exists(f.home / "Vellumar.ini"));
    }

    void theSearchPagesUpdateButtonUpdatesTheIndexInUse() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha");
        auto w = f.start();
        const auto& sp = w->searchPage().controls();
        QVERIFY(!sp.cmdSearchUpdate->isEnabled());  // no index yet
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        f.write(f.docs / "b.txt", "beta");
        w->showPage(pageSearch);
        sp.cmdSearchUpdate->click();
        QCOMPARE(IndexFixture::records(*w, 0), 2);
        QCOMPARE(sp.cmdSearchUpdate->text(), QStringLiteral("&Update"));
        QCOMPARE(w->indexesPage().controls().cmdUpdate->text(), QStringLiteral("&Update"));
        QCOMPARE(w->controls().tabMain->currentIndex(), int(pageSearch));  // the user stays
    }

    void aDamagedIndexIsRepairedOnYesAndDroppedOnNo() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha");
        f.write(f.docs / "b.txt", "beta");
        IndexFixture::create(*f.start(), "docs", IndexFixture::scopeOf(f.docs));
        const fs::path parameters = f.indexes / "docs" / "S.STS";
        const QString question = QStringLiteral(
            "S.STS file for\r\"docs\" index are corrupted.\r\nDo you want repair this index?");

        f.write(parameters, "damaged");
        auto repaired = f.start();  // start-up opens it: the question, "Yes"
        QVERIFY(f.saw(question));
        QVERIFY(f.saw("O`K"));
        QCOMPARE(IndexFixture::items(repaired->searchPage().controls().cmbUsedIndex),
                 QStringList{"docs"});
        QCOMPARE(IndexFixture::records(*repaired, 0), 2);  // filled again from its scope
        QCOMPARE(repaired->indexesPage().controls().lblFileCount1->text(), QStringLiteral("2"));
        repaired.reset();

        f.write(parameters, "damaged");
        f.answers.queueAnswer(MessageResult::No);
        auto dropped = f.start();
        QVERIFY(dropped->searchPage().controls().cmbUsedIndex->count() == 0 &&
                dropped->indexesPage().controls().cmbIndexName->count() == 0);
        QCOMPARE(dropped->core()->notifier.ScopeCount(), 0);
        QVERIFY(!fs::exists(f.indexes / "docs.inf"));
        QVERIFY(fs::exists(f.indexes / "docs"));  // the engine's files are not deleted
        QVERIFY(!dropped->state().searchEnabled);
    }

    void startUpLoadsTheCatalogueAndSelectsTheStoredIndex() {
        IndexFixture f;
        f.write(f.docs / "a" / "one.txt", "alpha");
        f.write(f.docs / "b" / "two.txt", "beta");
        {
            auto w = f.start();
            w->indexesPage().controls().chkAutoUpdate->setChecked(true);
            IndexFixture::create(*w, "auto", IndexFixture::scopeOf(f.docs / "a"));
            w->indexesPage().controls().chkAutoUpdate->setChecked(false);
            IndexFixture::create(*w, "Plain", IndexFixture::scopeOf(f.docs / "b"));
            w->searchPage().controls().cmbUsedIndex->setCurrentIndex(0);
            w->searchPage().cmbUsedIndexClick();
        }
        QCOMPARE(ProfileFile::load(f.home / "Vellumar.ini").readString("Indexes", "IndexName"),
                 std::string("auto"));
        f.writeSettings("IndexName=  plain \r\n");  // matched ignoring case and blanks
        f.write(f.docs / "a" / "new.txt", "gamma");

        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        const auto& sp = w->searchPage().controls();
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), (QStringList{"auto", "Plain"}));
        QCOMPARE(sp.cmbUsedIndex->currentIndex(), 1);
        QCOMPARE(ix.cmbIndexName->currentIndex(), 1);
        QCOMPARE(ix.txtFileNames->text(),
                 QString::fromStdString(IndexFixture::scopeOf(f.docs / "b")));
        QCOMPARE(w->core()->catalogue.opened(), 1);
        QVERIFY(w->state().searchEnabled && ix.cmdUpdate->isEnabled());
        QCOMPARE(w->windowTitle(), QStringLiteral("Vellumar v8.1"));
        // The automatically updateable index was brought up to date on the way.
        QVERIFY(w->core()->notifier.GetAutoUpdate(0) && !w->core()->notifier.GetAutoUpdate(1));
        sp.cmbUsedIndex->setCurrentIndex(0);
        w->searchPage().cmbUsedIndexClick();
        QCOMPARE(ix.cmbIndexName->currentIndex(), 0);
        QCOMPARE(IndexFixture::records(*w, 0), 2);
    }

    void anotherIndexFolderReloadsTheCatalogue() {
        IndexFixture f;
        const fs::path other = f.home / "Other";
        fs::create_directories(other);
        f.write(f.docs / "a" / "one.txt", "alpha");
        f.write(f.docs / "b" / "two.txt", "beta");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        const auto& sp = w->searchPage().controls();
        IndexFixture::create(*w, "here", IndexFixture::scopeOf(f.docs / "a"));
        QString chosen;
        w->dialogs.runModal = [&](QDialog& dialog) {
            static_cast<TFormChange&>(dialog).setFolder(chosen);
            return chosen.isEmpty() ? 2 : 1;
        };
        auto change = [&](const fs::path& folder) {
            chosen = QString::fromStdString(folder.string());
            w->indexesPage().cmdChangeClick();
        };

        change(other);
        QCOMPARE(ix.txtIndexFolder->text(), QString::fromStdString(other.string()));
        QCOMPARE(sp.cmbUsedIndex->count(), 0);
        QCOMPARE(w->core()->notifier.ScopeCount(), 0);
        ix.chkAutoUpdate->setChecked(true);
        IndexFixture::create(*w, "there", IndexFixture::scopeOf(f.docs / "b"));
        QVERIFY(fs::exists(other / "there.inf"));

        change({});  // Cancel
        QCOMPARE(IndexFixture::items(sp.cmbUsedIndex), QStringList{"there"});
        change(f.indexes);
        QCOMPARE(IndexFixture::items(ix.cmbIndexName), QStringList{"here"});
        QCOMPARE(sp.cmbUsedIndex->currentIndex(), 0);
        QCOMPARE(ix.txtFileNames->text(),
                 QString::fromStdString(IndexFixture::scopeOf(f.docs / "a")));

        // Coming back updates the automatically updateable index at once.
        f.write(f.docs / "b" / "three.txt", "gamma");
        change(other);
        QCOMPARE(IndexFixture::items(ix.cmbIndexName), QStringList{"there"});
        QCOMPARE(IndexFixture::records(*w, 0), 2);
        QCOMPARE(w->windowTitle(), QStringLiteral("Vellumar v8.1"));
        QCOMPARE(applicationTitle(), QStringLiteral("Vellumar"));
        w->FormDestroy();
        QCOMPARE(ProfileFile::load(f.home / "Vellumar.ini").readString("Indexes", "IndexFolder"),
                 other.string());
    }

    void theIndexFolderDialogFollowsItsFolderTree() {
        IndexFixture f;
        const fs::path other = f.home / "Other";
        fs::create_directories(other);
        f.write(f.indexes / "b.inf", "[Parameters]\n");
        f.write(f.indexes / "A.inf", "[Parameters]\n");
        TFormChange dialog;
        dialog.setFolder(QString::fromStdString(f.indexes.string()));
        dialog.show();
        auto* model = static_cast<QFileSystemModel*>(dialog.controls().dirIndexes->model());
        QCOMPARE(model->filePath(dialog.controls().dirIndexes->currentIndex()),
                 QString::fromStdString(f.indexes.string()));
        QCOMPARE(dialog.controls().filIndexes->count(), 2);
        QCOMPARE(dialog.controls().filIndexes->item(0)->text(), QStringLiteral("A.inf"));
        QVERIFY(dialog.controls().filIndexes->isHidden() &&
                dialog.controls().txtFolder->isReadOnly());

        dialog.controls().dirIndexes->setCurrentIndex(
            model->index(QString::fromStdString(other.string())));
        QCOMPARE(dialog.folder(), QString::fromStdString(other.string()));
        QCOMPARE(dialog.controls().txtFolder->text(), dialog.folder());
        QCOMPARE(dialog.controls().filIndexes->count(), 0);

        // A folder that is gone (a volume not mounted) opens at the user's home.
        dialog.hide();
        dialog.setFolder(QString::fromStdString((f.home / "gone").string()));
        dialog.show();
        QCOMPARE(dialog.folder(), QDir::homePath());
    }

    void theStoredKeysComeBackIntoTheControls() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "alpha beta the");
        f.write(f.home / "words.dic", "alpha beta");
        f.write(f.home / "stop.sw", "the");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        ix.cmbDic->setEditText("words.dic");
        ix.chDic->setChecked(true);
        ix.cmbSW->setEditText("stop.sw");
        ix.chSW->setChecked(true);
        ix.chkFileAsText->setChecked(true);
        ix.txtNotes->setPlainText("my notes");
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        const auto definition = IndexDefinition::load(f.indexes / "docs.inf");
        QVERIFY(definition && definition->dictionary == "words.dic" && definition->filesAsText);

        // A new name clears the page's index state; picking the index shows it again.
        ix.cmbIndexName->setEditText("new one");
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Create"));
        QVERIFY(ix.txtMaxLen->isEnabled() && ix.lblFileCount1->text().isEmpty());
        ix.chDic->setChecked(false);
        ix.cmbSW->setEditText(QString());
        ix.txtNotes->clear();
        ix.cmbIndexName->setEditText(" DOCS ");
        QCOMPARE(ix.cmbIndexName->currentText(), QStringLiteral("docs"));
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
        QVERIFY(ix.chDic->isChecked() && !ix.chDic->isEnabled());
        QCOMPARE(ix.cmbSW->currentText(), QStringLiteral("stop.sw"));
        QVERIFY(ix.chSW->isChecked() && ix.chkFileAsText->isChecked());
        QVERIFY(!w->viewerPane().controls().mnuHtmlSource->isVisible());
        QCOMPARE(ix.txtNotes->toPlainText(), QStringLiteral("my notes"));
        QCOMPARE(ix.txtMaxLen->text(), QStringLiteral("32"));
        QCOMPARE(ix.lblWordCount1->text(),
                 QStringLiteral("2"));  // "the" is a stop-word
    }
};

QTEST_MAIN(IndexesPageTest)
#include "IndexesPageTest.moc"
