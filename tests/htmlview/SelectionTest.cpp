// Exact selections: for every word a parser delivers, the selection the viewer makes from
// the word's character range covers exactly that word in real Qt text controls
// (QPlainTextEdit, QTextEdit) and in the HTML display. A mapping that is off by one
// anywhere selects part of a neighbouring word, which these checks see.
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

#include "htmlview/THTMLViewer.h"
#include "textfold/TextFold.h"
#include "viewer/DisplayLines.h"
#include "viewer/DisplayPositions.h"
#include "viewer/EntryLocator.h"
#include "wordmill/Parser.h"

using namespace vellumar;

namespace {

// What a text control's selection shows for a piece of the document text, with every line
// end (a paragraph or line separator there) read as a line feed.
QString asSelected(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar('\n'));
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    return text;
}

QString selectionOf(const QTextCursor& cursor) {
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QChar('\n'));
    text.replace(QChar::LineSeparator, QChar('\n'));
    return text;
}

struct Word {
    std::string text;  // as it stands in the document text
    std::int32_t offset;
    std::int32_t span;
};

std::vector<Word> wordsOf(wordmill::Parser& parser) {
    std::vector<Word> words;
    wordmill::WordRecord record;
    const std::string& text = parser.DocumentText();
    while (parser.NextWord(record)) {
        std::size_t end = record.byteOffset;
        for (int i = 0; i < record.span; ++i) textfold::nextUtf8(text, end);
        words.push_back(
            {text.substr(record.byteOffset, end - record.byteOffset), record.offset, record.span});
    }
    return words;
}

// With `linesPerBlock`, the text is loaded with its lines grouped into blocks, as the
// viewers load a large text.
template <class Edit>
void checkEveryWord(const std::string& text, const std::vector<Word>& words,
                    std::size_t linesPerBlock = 0) {
    Edit edit;
    QString loaded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (linesPerBlock > 0)
        loaded.truncate(static_cast<qsizetype>(groupDisplayLines(
            reinterpret_cast<char16_t*>(loaded.data()), loaded.size(), linesPerBlock)));
    edit.setPlainText(loaded);
    DisplayPositions positions(text);
    for (const Word& word : words) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(static_cast<int>(positions.ToDisplay(word.offset)));
        cursor.setPosition(static_cast<int>(positions.ToDisplay(word.offset + word.span)),
                           QTextCursor::KeepAnchor);
        QCOMPARE(selectionOf(cursor), asSelected(word.text));
    }
    // And a range over all words at once: from the first word to the last.
    if (words.size() < 2) return;
    const Word& first = words.front();
    const Word& last = words.back();
    QTextCursor cursor(edit.document());
    cursor.setPosition(static_cast<int>(positions.ToDisplay(first.offset)));
    cursor.setPosition(static_cast<int>(positions.ToDisplay(last.offset + last.span)),
                       QTextCursor::KeepAnchor);
    std::size_t from = text.find(first.text);
    std::size_t to = text.rfind(last.text) + last.text.size();
    QCOMPARE(selectionOf(cursor), asSelected(text.substr(from, to - from)));
}

}  // namespace

class SelectionTest : public QObject {
    Q_OBJECT

  private slots:
    void plainTextControls_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF") << QByteArray("first line\r\nsecond line\r\n\r\nthird words");
        QTest::newRow("lone CR") << QByteArray("old mac\rline two\r\rend here");
        QTest::newRow("LF CR") << QByteArray("odd\n\rline ends\n\rhere");
        QTest::newRow("tabs") << QByteArray("ab\tbb\tccc\t\tword\tend");
        QTest::newRow("emoji") << QByteArray(
            "smile \xF0\x9F\x98\x80 here \xF0\x9F\x98\x80\xF0\x9F\x98\x80 twice "
            "\xF0\x9D\x92\x9C\xF0\x9D\x92\xB7 math letters");
        QTest::newRow("CJK") << QByteArray(
            "\xE4\xB8\xAD\xE6\x96\x87 words \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E end");
        QTest::newRow("combining accents")
            << QByteArray("cafe\xCC\x81 nai\xCC\x88ve re\xCC\x81sume\xCC\x81 done");
        QTest::newRow("Windows-1252")
            << QByteArray("\x93quoted\x94 na\xEFve \x80 price caf\xE9 and \x85 more");
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFwords after the mark");
        QTest::newRow("separators")
            << QByteArray("line\xE2\x80\xA8next para\xE2\x80\xA9graph zero\xEF\xBB\xBFwidth");
        QTest::newRow("control bytes") << QByteArray(
            "bin\x01\x02"
            "ary\x0c form\x00"
            "feed",
            19);
        QTest::newRow("everything")
            << QByteArray("x\r\n\r\n\ry \xF0\x9F\x98\x80\r\nzz\t\xE4\xB8\xAD\r\nend");
    }

    void plainTextControls() {
        QFETCH(QByteArray, bytes);
        auto parser = wordmill::CreateTextParser(textfold::englishTable());
        parser->SetMinWordLength(1);
        wordmill::WordRecord record;
        QVERIFY(parser->OpenMemory(std::string_view(bytes.constData(), bytes.size()), record));
        const std::string text = parser->DocumentText();
        const std::vector<Word> words = wordsOf(*parser);
        QVERIFY(words.size() >= 3);
        checkEveryWord<QPlainTextEdit>(text, words);
        checkEveryWord<QTextEdit>(text, words);
        checkEveryWord<QPlainTextEdit>(text, words, 2);
        checkEveryWord<QTextEdit>(text, words, 2);
    }

    void entityReferencesInThePageAndItsSource() {
        const std::string html =
            "<html><head><title>Page title</title></head><body>"
            "<p>caf&eacute; ca&#116; &amp;dogs&nbsp;run <b>bo</b>ld</p>"
            "<table><tr><td>cell one</td><td>cell&#160;two</td></tr></table>"
            "<p>Press <button>Go</button> to go on, &#x1F600; smile&hellip;</p></body></html>";
        textfold::CharTable table = textfold::englishTable();
        table[0xE9] = 0xC9;  // é is a letter here, so "caf&eacute;" is one word
        auto parser = wordmill::CreateHtmlParser(table);
        parser->SetMinWordLength(1);
        wordmill::WordRecord record;
        QVERIFY(parser->OpenMemory(html, record));
        const std::vector<Word> source = wordsOf(*parser);
        QCOMPARE(source.front().text, std::string("Page"));
        QCOMPARE(source[2].text, std::string("caf&eacute;"));

        // The source view selects each word as written.
        checkEveryWord<QPlainTextEdit>(parser->DocumentText(), source);

        // The display selects each shown word as shown.
        htmlview::THTMLViewer display;
        display.LoadFromString(QString::fromStdString(html));
        const QString shown = display.PlainText();
        parser->Rewind();
        std::vector<vellcore::HitRecord> hits;
        for (std::uint32_t i = 0; i < source.size(); ++i) hits.push_back({i, 0, 1});
        EntryLocator locator(*parser, hits);
        locator.SetHtmlDisplayText(shown.toStdU16String());
        QStringList selected;
        for (std::size_t i = 0; i < hits.size(); ++i) {
            const EntryRange& entry = locator.LocateEntry(i);
            QVERIFY(entry.located());
            if (entry.displayStart < 0) {
                selected << "-";
                continue;
            }
            QVERIFY(display.SelectRange(static_cast<int>(entry.displayStart),
                                        static_cast<int>(entry.displayEnd - entry.displayStart)));
            selected << display.SelText();
        }
        QCOMPARE(selected.join('|'),
                 QStringLiteral("-|-|caf\u00e9|cat|dogs|run|bo|ld|cell|one|cell|"
                                "two|Press|-|to|go|on|smile"));
    }
};

QTEST_MAIN(SelectionTest)
#include "SelectionTest.moc"
