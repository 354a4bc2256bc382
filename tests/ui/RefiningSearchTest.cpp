// The refining searches driven as the viewer's popup menu and the Search page drive them:
// the selected words, a search among the files found, and the advanced element query.
#include "SearchFixture.h"

#include "search/ui/TFormResearch.h"
#include "search/ui/TfrmTags.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace vellumar;

class RefiningSearchTest : public QObject {
    Q_OBJECT

  private slots:
    void selectedWordsAreSearchedWithoutPunctuationAndOneLetterWords() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "a cat the dog");
        f.write(f.docs / "b.txt", "dog a");
        f.startWithIndex();
        f.page().searchForSelectedWord(QStringLiteral("a cat,  the dog"));
        QCOMPARE(f.page().lastQuery(), QStringLiteral("cat the dog"));
        QCOMPARE(f.listed().size(), 1);
        f.page().searchForSelectedWord(QStringLiteral("dog a"));
        QCOMPARE(f.page().lastQuery(), QStringLiteral("dog a"));
        QSignalSpy starting(&f.page(), &TSearchPage::searchStarting);
        f.page().searchForSelectedWord(QStringLiteral(" ,; x "));  // no word: no search
        QCOMPARE(starting.count(), 0);
        f.w->DisableSearch();
        f.page().searchForSelectedWord(QStringLiteral("cat"));
        QCOMPARE(starting.count(), 0);
    }

    void aSearchAmongTheFilesFoundJoinsTheLastQuery() {
        SearchFixture f;
        f.write(f.docs / "a.txt", "cat dog");
        f.write(f.docs / "b.txt", "cat");
        f.startWithIndex();
        QString typed;
        f.w->dialogs.runModal = [&](QDialog& dialog) {
            auto* research = qobject_cast<TFormResearch*>(&dialog);
            if (!research) return 0;
            f.dialogsShown.push_back(research->controls().cmbSearchExpr->currentText());
            research->controls().cmbSearchExpr->setEditText(typed);
            research->cmdOKClick();
            return research->result();
        };
        typed = QStringLiteral("cat");
        f.page().searchWithinFound(QStringLiteral(" dog "));  // no search yet: the text alone
        QCOMPARE(f.dialogsShown.back(), QStringLiteral("dog"));
        QCOMPARE(f.page().lastQuery(), QStringLiteral("cat"));
        QCOMPARE(f.listed().size(), 2);

        typed = QStringLiteral("  ");  // an empty box keeps the dialog open: nothing runs
        f.page().searchWithinFound(QString());
        QCOMPARE(f.page().lastQuery(), QStringLiteral("cat"));

        typed = QStringLiteral("dog");
        f.page().searchWithinFound(QString());
        QCOMPARE(f.page().lastQuery(), QStringLiteral("(cat) & (dog)"));
        QCOMPARE(f.listed().size(), 1);
        typed = QStringLiteral("DOG");
        f.page().searchWithinFound(QString());
        QCOMPARE(IndexFixture::items(f.sp().FormResearch->controls().cmbSearchExpr),
                 (QStringList{"cat", "dog"}));
    }

    void theAdvancedSearchBuildsElementQueriesFromTheIndexsTree() {
        SearchFixture f;
        f.write(f.docs / "a.xml", "<a><b>cat</b><c>dog cat</c></a>");
        f.write(f.docs / "d.xml", "<d>bird</d>");
        f.startWithIndex(f.docs.string() + "/+<*.xml>");
        QVERIFY(f.sp().btnAdvanced->isEnabled());
        const TfrmTags& tags = *f.sp().frmTags;
        const auto& tc = tags.controls();
        std::function<void()> user;
        f.w->dialogs.runModal = [&](QDialog& dialog) {
            f.dialogsShown.push_back(dialog.objectName());
            user();
            return dialog.result();
        };
        QTreeWidgetItem* c = nullptr;
        user = [&] {
            QCOMPARE(tc.trt->topLevelItemCount(), 2);
            QTreeWidgetItem* a = tc.trt->topLevelItem(0);
            QCOMPARE(a->text(0), QStringLiteral("a"));
            QCOMPARE(a->childCount(), 2);
            QVERIFY(a->isExpanded());
            QCOMPARE(tc.trt->topLevelItem(1)->text(0), QStringLiteral("d"));
            c = a->child(1);
            tc.trt->setCurrentItem(c);
            QCOMPARE(tc.txtExpr->text(), QStringLiteral("/a/c[]"));
            tc.chFull->click();
            QCOMPARE(tc.txtExpr->text(), QStringLiteral("//c[]"));
            tc.chFull->click();
            tc.txtWords->setText(QStringLiteral("cat"));
            QCOMPARE(tc.txtExpr->text(), QStringLiteral("/a/c[cat]"));
            tc.OKBtn->click();
        };
        f.page().btnAdvancedClick();
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("/a/c[cat]"));
        QCOMPARE(f.sp().lblTotalFiles1->text(), QString());  // the user starts the search

        // The tree stays; a query that is not new joins the box's expression.
        f.sp().cmbSearchExpr->setEditText(QStringLiteral(" bird "));
        user = [&] {
            QCOMPARE(tc.trt->currentItem(), c);
            tc.chkNew->click();
            tc.OKBtn->click();
        };
        f.page().btnAdvancedClick();
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("bird & /a/c[cat]"));
        user = [&] { tc.CancelBtn->click(); };
        f.page().btnAdvancedClick();
        QCOMPARE(f.sp().cmbSearchExpr->currentText(), QStringLiteral("bird & /a/c[cat]"));
        f.search(QStringLiteral("/a/c[cat]"));
        QCOMPARE(f.listed().size(), 1);

        // An update rebuilds the tree; an index without elements never shows the dialog.
        f.page().indexBuildStarted();
        QCOMPARE(tc.trt->topLevelItemCount(), 0);
        f.page().indexBuildFinished();
        f.write(f.docs / "plain.txt", "cat");
        IndexFixture::create(*f.w, "plain", IndexFixture::scopeOf(f.docs));
        QVERIFY(!f.sp().btnAdvanced->isEnabled());
        const auto shown = f.dialogsShown.size();
        f.page().btnAdvancedClick();
        QCOMPARE(f.dialogsShown.size(), shown);
    }
};

QTEST_MAIN(RefiningSearchTest)
#include "RefiningSearchTest.moc"
