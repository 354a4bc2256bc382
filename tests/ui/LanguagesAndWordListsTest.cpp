// The language box and the word-list boxes of the Indexes page driven through their
// handlers: refilling on focus, recreating an index with another language, choosing and
// editing stop-word and dictionary files, and exporting an index's words.
#include "IndexFixture.h"

#include "lang/TLangStorage.h"
#include "lang/ui/LanguageCombo.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QtTest>

using namespace vellumar;

namespace {

// Letters index as themselves: words keep the case they were written in.
textfold::CharTable casePreservingTable() {
    textfold::CharTable table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c);
    return table;
}

void writeLanguage(const fs::path& file, const std::string& name) {
    writeLangFile(file, name, textfold::englishTable());
}

}  // namespace

class LanguagesAndWordListsTest : public QObject {
    Q_OBJECT

  private slots:
    void theLanguageBoxKeepsItsChoiceAndRecreatesAnIndexOnlyOnYes() {
        IndexFixture f;
        writeLanguage(f.home / "German.LNG", "Deutsch");
        writeLanguage(f.home / "French.LNG", "Francais");
        f.write(f.docs / "a.txt", "alpha beta");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        QCOMPARE(IndexFixture::items(ix.cmbLanguage),
                 (QStringList{"Deutsch", "English (i)", "Francais"}));
        QCOMPARE(ix.cmbLanguage->currentIndex(), 0);

        // Focusing the box lists a language file copied meanwhile; the choice stays.
        ix.cmbLanguage->setCurrentIndex(2);
        writeLanguage(f.home / "Swedish.lng", "Svenska");
        w->indexesPage().cmbLanguageEnter();
        QCOMPARE(IndexFixture::items(ix.cmbLanguage),
                 (QStringList{"Deutsch", "English (i)", "Francais", "Svenska"}));
        QCOMPARE(ix.cmbLanguage->currentText(), QStringLiteral("Francais"));
        w->indexesPage().cmbLanguageChange();  // a new index is being defined: nothing to ask
        QVERIFY(f.answers.messages().empty());
        // A broken file is told once, not at every refill (the message box takes the
        // focus away from the box and gives it back).
        f.write(f.home / "Broken.LNG", "0123456789");
        w->indexesPage().cmbLanguageEnter();
        w->indexesPage().cmbLanguageEnter();
        QCOMPARE(f.answers.messages().size(), size_t(1));
        QCOMPARE(f.answers.messages()[0].text,
                 QString::fromStdString((f.home / "Broken.LNG").string()) +
                     QStringLiteral(": Wrong language file format"));
        QCOMPARE(ix.cmbLanguage->count(), 4);
        QCOMPARE(ix.cmbLanguage->currentText(), QStringLiteral("Francais"));

        ix.txtNotes->setPlainText("notes to keep");
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        QCOMPARE(w->core()->catalogue.object(0)->GetLanguageName(), std::string("Francais"));

        selectLanguageByName(*ix.cmbLanguage, "Deutsch");
        f.answers.queueAnswer(MessageResult::No);
        w->indexesPage().cmbLanguageChange();
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Do you really want to recreate index with another language?"));
        QCOMPARE(w->core()->catalogue.object(0)->GetLanguageName(), std::string("Francais"));
        QCOMPARE(ix.cmbLanguage->currentText(), QStringLiteral("Francais"));

        selectLanguageByName(*ix.cmbLanguage, "Deutsch");
        w->indexesPage().cmbLanguageChange();  // "Yes"
        QCOMPARE(IndexFixture::items(w->searchPage().controls().cmbUsedIndex), QStringList{"docs"});
        QCOMPARE(w->core()->notifier.ScopeCount(), 1);
        QCOMPARE(w->core()->catalogue.object(0)->GetLanguageName(), std::string("Deutsch"));
        QCOMPARE(IndexFixture::records(*w, 0), 1);
        QCOMPARE(ix.cmdUpdate->text(), QStringLiteral("&Update"));
        QCOMPARE(IndexDefinition::load(f.indexes / "docs.inf")->notes,
                 std::string("notes to keep"));
    }

    void wordListBoxesAreFilledChosenAndEdited() {
        IndexFixture f;
        for (const char* name : {"Words.DIC", "b.dic", "stop.sw", "readme.txt"})
            f.write(f.home / name, "");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        QCOMPARE(IndexFixture::items(ix.cmbDic), (QStringList{"", "b.dic", "Words.DIC"}));
        QCOMPARE(IndexFixture::items(ix.cmbSW), (QStringList{"", "stop.sw"}));
        QVERIFY(!ix.chDic->isEnabled() && !ix.chSW->isEnabled());
        ix.cmbDic->setEditText("b.dic");
        QVERIFY(ix.chDic->isEnabled());
        ix.chDic->setChecked(true);
        ix.cmbDic->setEditText("  ");
        QVERIFY(!ix.chDic->isEnabled() && !ix.chDic->isChecked());

        QList<FileDialogRequest> asked;
        QString answer;
        w->dialogs.askFileName = [&](const FileDialogRequest& request) {
            asked << request;
            return answer;
        };
        const QString outside = QString::fromStdString((f.docs / "lists" / "x.dic").string());
        for (const auto& [chosen, shown] :
             {std::pair{QString::fromStdString((f.home / "sub" / "x.dic").string()),
                        QStringLiteral("sub/x.dic")},
              std::pair{outside, outside}}) {
            answer = chosen;
            w->indexesPage().cmdDots1Click();
            QCOMPARE(ix.cmbDic->currentText(), shown);
            QCOMPARE(ix.cmbDic->itemText(ix.cmbDic->count() - 1), shown);
        }
        QVERIFY(!asked[0].save);
        QCOMPARE(asked[0].folder, QString::fromStdString(f.home.string()));
        QVERIFY(asked[0].filter.startsWith("Dictionary Files (*.dic"));

        QStringList edited;
        bool editorStarts = false;
        w->dialogs.openInEditor = [&](const QString& file) {
            edited << file;
            return editorStarts;
        };
        const QString dictionary = QString::fromStdString((f.home / "Dictionary.dic").string());
        ix.cmbDic->setEditText(QString());
        w->indexesPage().btnEditDicClick();  // no editor: the box stays as it was
        QCOMPARE(ix.cmbDic->currentText(), QString());
        editorStarts = true;
        f.write(f.home / "Dictionary.dic", "kept");
        w->indexesPage().btnEditDicClick();
        QCOMPARE(ix.cmbDic->currentText(), dictionary);
        QCOMPARE(WindowFixture::read(f.home / "Dictionary.dic"), std::string("kept"));
        ix.cmbSW->setEditText("missing.sw");
        w->indexesPage()
            .btnEditSwClick();  // a name that is no file falls back to the default, made empty
        QVERIFY(fs::is_regular_file(f.home / "Stopwords.sw"));
        QCOMPARE(ix.cmbSW->currentText(),
                 QString::fromStdString((f.home / "Stopwords.sw").string()));
        ix.cmbSW->setEditText("stop.sw");
        w->indexesPage().btnEditSwClick();
        QCOMPARE(edited, (QStringList{dictionary, dictionary,
                                      QString::fromStdString((f.home / "Stopwords.sw").string()),
                                      QString::fromStdString((f.home / "stop.sw").string())}));
        QCOMPARE(ix.cmbSW->currentText(), QStringLiteral("stop.sw"));
    }

    void theWordsOfAnIndexAreExportedSortedWithoutRegardToCase() {
        IndexFixture f;
        writeLangFile(f.home / "Cased.LNG", "Cased", casePreservingTable());
        f.write(f.docs / "a.txt", "ZEBRA apple Mango");
        auto w = f.start();
        int asked = 0;
        QString target = QString::fromStdString((f.home / "out.dic").string());
        w->dialogs.askFileName = [&](const FileDialogRequest& request) {
            ++asked;
            return request.save ? target : QString();
        };
        w->indexesPage().btnExportDidClick();
        QCOMPARE(f.answers.messages().back().text, QStringLiteral("Index files are not exist."));
        QCOMPARE(asked, 0);

        selectLanguageByName(*w->indexesPage().controls().cmbLanguage, "Cased");
        IndexFixture::create(*w, "docs", IndexFixture::scopeOf(f.docs));
        w->indexesPage().btnExportDidClick();
        QCOMPARE(WindowFixture::read(f.home / "out.dic"),
                 std::string("apple\r\nMango\r\nZEBRA\r\n"));
        target.clear();  // Cancel in the dialog writes nothing
        fs::remove(f.home / "out.dic");
        w->indexesPage().btnExportDidClick();
        QVERIFY(!fs::exists(f.home / "out.dic"));
    }
};

QTEST_MAIN(LanguagesAndWordListsTest)
#include "LanguagesAndWordListsTest.moc"
