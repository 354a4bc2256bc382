// The HTML display: pages and their base, finding with the scrolling rule, anchors, links
// and the mouse over them, images without the network, forms typed into and submitted,
// and the page history.
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include "HtmlScan.h"
#include "htmlview/THTMLViewer.h"

using htmlview::FormSubmission;
using htmlview::THTMLViewer;

Q_DECLARE_METATYPE(htmlview::FormSubmission)

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray longPage(const QByteArray& middle, int paragraphs = 200) {
    QByteArray page = "<html><body>";
    for (int i = 0; i < paragraphs; ++i) page += "<p>filler line " + QByteArray::number(i) + "</p>";
    page += middle;
    for (int i = 0; i < paragraphs; ++i) page += "<p>after line " + QByteArray::number(i) + "</p>";
    return page + "</body></html>";
}

// The viewport point in the middle of the text at position `at`.
QPoint pointAt(THTMLViewer& viewer, int at) {
    QTextCursor cursor(viewer.document());
    cursor.setPosition(at);
    return viewer.cursorRect(cursor).center() + QPoint(3, 0);
}

}  // namespace

class THTMLViewerTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { qRegisterMetaType<FormSubmission>(); }

    void pagesFromFilesWithTheirBase() {
        QTemporaryDir dir;
        write(dir.filePath("page.html"),
              "<html><head><base href=\"http://example.org/dir/\"></head><body>"
              "caf\xE9 menu</body></html>");  // Windows-1252, as the parser reads it
        write(dir.filePath("plain.htm"), "<p>no base here</p>");
        THTMLViewer viewer;
        QVERIFY(viewer.LoadFromFile(dir.filePath("page.html")));
        QCOMPARE(viewer.CurrentFile(), dir.filePath("page.html"));
        QCOMPARE(viewer.Base(), QStringLiteral("http://example.org/dir/"));
        QCOMPARE(viewer.PlainText(), QStringLiteral("caf\u00e9 menu"));
        QCOMPARE(viewer.HTMLExpandName("a/b.htm"),
                 QStringLiteral("http://example.org/dir/a/b.htm"));

        QVERIFY(!viewer.LoadFromFile(dir.filePath("missing.html")));
        QCOMPARE(viewer.CurrentFile(), dir.filePath("page.html"));  // unchanged
        QCOMPARE(viewer.PlainText(), QStringLiteral("caf\u00e9 menu"));

        QVERIFY(viewer.LoadFromFile(dir.filePath("plain.htm")));
        QCOMPARE(viewer.Base(), QString());
        QCOMPARE(viewer.HTMLExpandName("../x.htm"),
                 QFileInfo(dir.path() + "/../x.htm").absoluteFilePath());
        viewer.Clear();
        QCOMPARE(viewer.CurrentFile(), QString());
        QCOMPARE(viewer.PlainText(), QString());
    }

    void findingIgnoresCaseAndMovesTheFindPosition() {
        THTMLViewer viewer;
        viewer.LoadFromString("<p>Alpha beta ALPHA</p><p>gamma alpha</p>");
        QVERIFY(viewer.FindText("alpha"));
        QCOMPARE(viewer.SelText(), QStringLiteral("Alpha"));
        QCOMPARE(viewer.FindPosition(), 5);
        QVERIFY(viewer.FindText("alpha"));
        QCOMPARE(viewer.SelText(), QStringLiteral("ALPHA"));
        QVERIFY(viewer.FindText("ALPHA"));
        QCOMPARE(viewer.FindPosition(), 28);
        QVERIFY(!viewer.FindText("alpha"));
        viewer.SetFindPosition(6);
        QVERIFY(viewer.FindText("beta"));
        QVERIFY(viewer.SelectRange(17, 5));
        QCOMPARE(viewer.SelText(), QStringLiteral("gamma"));
        QVERIFY(!viewer.SelectRange(27, 10));  // beyond the text
    }

    void aFindOutOfSightOrNearTheBottomIsCentred() {
        THTMLViewer viewer;
        viewer.resize(400, 300);
        viewer.show();
        viewer.LoadFromString(QString::fromLatin1(longPage("<p>needle here</p><p>second pin</p>")));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.ScrollPosition(), 0);
        QVERIFY(viewer.FindText("needle"));
        const int height = viewer.viewport()->height();
        QTextCursor found = viewer.textCursor();
        QVERIFY(qAbs(viewer.cursorRect(found).center().y() - height / 2) <= 20);
        // The next line is in sight and clear of the bottom: nothing moves.
        const int scroll = viewer.ScrollPosition();
        QVERIFY(viewer.FindText("pin"));
        QCOMPARE(viewer.ScrollPosition(), scroll);
        // A line right at the bottom edge is centred too.
        viewer.SetScrollPosition(0);
        const QString text = viewer.PlainText();
        int bottom = -1;
        for (int at = 0; at < text.size(); at = text.indexOf('\n', at) + 1) {
            QTextCursor c(viewer.document());
            c.setPosition(at);
            const QRect r = viewer.cursorRect(c);
            if (r.bottom() > height - 20 && r.top() < height) {
                bottom = at;
                break;
            }
        }
        QVERIFY(bottom > 0);
        viewer.SetFindPosition(bottom);
        QVERIFY(viewer.FindText("line"));
        QVERIFY(viewer.ScrollPosition() > 0);
    }

    void anchorsCompareWithoutRegardToCase() {
        THTMLViewer viewer;
        viewer.resize(400, 300);
        viewer.show();
        viewer.LoadFromString(
            QString::fromLatin1(longPage("<h2><a name=\"Section2\">Two</a></h2>")));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(viewer.PositionTo("#SECTION2"));
        QVERIFY(viewer.ScrollPosition() > 0);
        QTextCursor two = viewer.document()->find("Two");
        QVERIFY(qAbs(viewer.cursorRect(QTextCursor(two.block())).top()) <= 2);
        QVERIFY(!viewer.PositionTo("nowhere"));
        QVERIFY(viewer.PositionTo("section2"));

        // An empty anchor, as most pages write them, positioned to at once after loading
        // (before the page was laid out to its end).
        viewer.LoadFromString(QString::fromLatin1(longPage("<a name=\"Part\"></a><p>Three</p>")));
        QVERIFY(viewer.PositionTo("part"));
        QTextCursor three = viewer.document()->find("Three");
        QVERIFY(qAbs(viewer.cursorRect(QTextCursor(three.block())).top()) <= 2);
    }

    void linksAreReportedAsWrittenAndNeverRunOrFetched() {
        QTemporaryDir dir;
        write(dir.filePath("page.html"),
              "<p><a href=\"sub%20dir/b.htm\">local</a> <a href=\"#Top\">anchor</a> "
              "<a href=\"javascript:alert(1)\">script</a> <a href=\"http://example.org/\">web</a> "
              "<a href=\"other.html#End\">other</a></p>");
        write(dir.filePath("other.html"), "<p>other page <a name=\"end\">end</a></p>");
        THTMLViewer viewer;
        viewer.resize(600, 200);
        viewer.show();
        QVERIFY(viewer.LoadFromFile(dir.filePath("page.html")));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        const QString text = viewer.PlainText();
        QStringList clicked;
        viewer.SetHotSpotClickHandler([&](const QString& url) {
            clicked << url;
            return true;
        });
        QSignalSpy covered(&viewer, &THTMLViewer::hotSpotCovered);
        for (const char* word : {"local", "anchor", "script", "web"}) {
            const QPoint at = pointAt(viewer, static_cast<int>(text.indexOf(word)));
            QTest::mouseMove(viewer.viewport(), at);
            QTest::mouseClick(viewer.viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(clicked, QStringList({"sub%20dir/b.htm", "#Top", "javascript:alert(1)",
                                       "http://example.org/"}));
        QVERIFY(covered.count() >= 4);
        QCOMPARE(covered.first().at(0).toString(), QStringLiteral("sub%20dir/b.htm"));
        QTest::mouseMove(viewer.viewport(), QPoint(590, 190));
        QCOMPARE(covered.last().at(0).toString(), QString());

        // Unhandled: a script link does nothing, a local page is loaded at its anchor.
        viewer.SetHotSpotClickHandler({});
        QTest::mouseClick(viewer.viewport(), Qt::LeftButton, {},
                          pointAt(viewer, static_cast<int>(text.indexOf("script"))));
        QCOMPARE(viewer.CurrentFile(), dir.filePath("page.html"));
        QTest::mouseClick(viewer.viewport(), Qt::LeftButton, {},
                          pointAt(viewer, static_cast<int>(text.indexOf("other"))));
        QCOMPARE(viewer.CurrentFile(), dir.filePath("other.html"));
    }

    void imagesComeFromTheRequestOrBesideThePageNeverFromTheNetwork() {
        QTemporaryDir dir;
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath("pic.png")));
        write(dir.filePath("page.html"),
              "<html><head><link rel=\"stylesheet\" href=\"http://example.invalid/s.css\">"
              "<link rel=\"stylesheet\" href=\"local.css\"></head><body>"
              "<img src=\"pic.png\"><img src=\"http://example.invalid/remote.png\"></body></html>");
        write(dir.filePath("local.css"), "body { color: #00ff00 }");
        auto imageOf = [](THTMLViewer& viewer, const char* source) {
            return viewer.document()
                ->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(source)))
                .value<QImage>();
        };

        THTMLViewer plain;
        QVERIFY(plain.LoadFromFile(dir.filePath("page.html")));
        QCOMPARE(imageOf(plain, "pic.png").size(), QSize(3, 2));
        QCOMPARE(imageOf(plain, "http://example.invalid/remote.png").size(), QSize(1, 1));
        QCOMPARE(
            plain.document()
                ->resource(QTextDocument::StyleSheetResource, QUrl("http://example.invalid/s.css"))
                .toString(),
            QString());
        QVERIFY(plain.document()
                    ->resource(QTextDocument::StyleSheetResource, QUrl("local.css"))
                    .toString()
                    .contains("#00ff00"));

        THTMLViewer requested;
        QStringList sources;
        requested.SetImageRequestHandler([&](const QString& source) {
            sources << source;
            QFile file(dir.filePath("pic.png"));
            return source == "pic.png" && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                         : QByteArray();
        });
        QVERIFY(requested.LoadFromFile(dir.filePath("page.html")));
        requested.resize(300, 200);
        requested.show();
        QVERIFY(QTest::qWaitForWindowExposed(&requested));
        QCOMPARE(imageOf(requested, "pic.png").size(), QSize(3, 2));
        QVERIFY(sources.contains("pic.png"));
        QVERIFY(sources.contains("http://example.invalid/remote.png"));

        THTMLViewer imagesOff;
        imagesOff.SetViewImages(false);
        QVERIFY(imagesOff.LoadFromFile(dir.filePath("page.html")));
        QCOMPARE(imageOf(imagesOff, "pic.png").size(), QSize(1, 1));
    }

    void theSearchFormCanBeTypedIntoAndSubmitted() {
        THTMLViewer viewer;
        viewer.resize(600, 300);
        viewer.show();
        QVERIFY(viewer.LoadFromFile(QStringLiteral(VELLUMAR_SOURCE_DIR "/data/home/form.htm")));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* field = viewer.viewport()->findChild<QLineEdit*>("SearchExpr");
        QVERIFY(field);
        QVERIFY(field->isVisible());
        auto buttons = viewer.viewport()->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QStringLiteral("Search"));
        // The field lies on the line of its label, to its right, inside the page.
        const QString text = viewer.PlainText();
        const QRect label = viewer.cursorRect([&] {
            QTextCursor c(viewer.document());
            c.setPosition(static_cast<int>(text.indexOf("expression:")));
            return c;
        }());
        QVERIFY(field->geometry().left() > label.left());
        QVERIFY(field->geometry().top() < label.bottom() &&
                field->geometry().bottom() > label.top());
        QVERIFY(viewer.viewport()->rect().contains(field->geometry()));

        QSignalSpy submitted(&viewer, &THTMLViewer::formSubmitted);
        QTest::keyClicks(field, "red cats");
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        QCOMPARE(submitted.count(), 1);
        auto submission = submitted.takeFirst().at(0).value<FormSubmission>();
        QCOMPARE(submission.action, QStringLiteral("Execute_Search_Query"));
        QCOMPARE(submission.value("SearchExpr"), QStringLiteral("red cats"));
        QTest::keyClick(field, Qt::Key_Return);  // Enter submits as well
        QCOMPARE(submitted.count(), 1);
        QCOMPARE(submitted.takeFirst().at(0).value<FormSubmission>().value("SearchExpr"),
                 QStringLiteral("red cats"));

        // The program's own page with a button alone.
        viewer.LoadFromString(
            "<html><center><form action=\"Create_Cache_Watcher_Index\"><input type=\"submit\" "
            "value=\"Create Index\"></form></center></html>");
        QVERIFY(!viewer.viewport()->findChild<QLineEdit*>("SearchExpr"));  // the old page's
        buttons = viewer.viewport()->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        submission = submitted.takeFirst().at(0).value<FormSubmission>();
        QCOMPARE(submission.action, QStringLiteral("Create_Cache_Watcher_Index"));
        QVERIFY(submission.fields.isEmpty());
    }

    void everyKindOfFieldIsSubmittedAndReset() {
        THTMLViewer viewer;
        viewer.resize(700, 400);
        viewer.show();
        viewer.LoadFromString(
            "<form action=\"go\" method=\"POST\"><input type=hidden name=h value=\"a&amp;b\">"
            "<input name=q value=start><input type=password name=pw>"
            "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=yes>"
            "<input type=radio name=r value=one checked><input type=radio name=r value=two>"
            "<select name=s><option>first<option value=2 selected>second</select>"
            "<textarea name=t rows=3>line one\n&lt;two&gt;</textarea>"
            "<button name=b value=pressed>Send <b>it</b></button><input type=reset>"
            "<script>document.write('<input name=fake>')</script></form>"
            "<form action=\"other\"><input name=q></form>");
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QSignalSpy submitted(&viewer, &THTMLViewer::formSubmitted);
        auto* send = [&]() -> QPushButton* {
            for (auto* b : viewer.viewport()->findChildren<QPushButton*>())
                if (b->text() == "Send it") return b;
            return nullptr;
        }();
        QVERIFY(send);
        auto radios = viewer.viewport()->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 2);
        radios[1]->click();
        QVERIFY(!radios[0]->isChecked());  // one choice per name
        viewer.viewport()->findChildren<QCheckBox*>()[1]->click();
        QTest::mouseClick(send, Qt::LeftButton);
        QCOMPARE(submitted.count(), 1);
        const auto s = submitted.takeFirst().at(0).value<FormSubmission>();
        QCOMPARE(s.action, QStringLiteral("go"));
        QCOMPARE(s.method, QStringLiteral("post"));
        QStringList pairs;
        for (const auto& [name, value] : s.fields) pairs << name + "=" + value;
        QCOMPARE(pairs, QStringList({"h=a&b", "q=start", "pw=", "c1=on", "c2=yes", "r=two", "s=2",
                                     "t=line one\n<two>", "b=pressed"}));

        auto* reset = [&]() -> QPushButton* {
            for (auto* b : viewer.viewport()->findChildren<QPushButton*>())
                if (b->text() == "Reset") return b;
            return nullptr;
        }();
        QVERIFY(reset);
        auto edits = viewer.viewport()->findChildren<QLineEdit*>("q");
        QCOMPARE(edits.size(), 2);
        edits[0]->setText("changed");
        viewer.viewport()->findChild<QPlainTextEdit*>("t")->setPlainText("gone");
        reset->click();
        QCOMPARE(edits[0]->text(), QStringLiteral("start"));
        QCOMPARE(viewer.viewport()->findChild<QPlainTextEdit*>("t")->toPlainText(),
                 QStringLiteral("line one\n<two>"));
        QVERIFY(!viewer.viewport()->findChildren<QCheckBox*>()[1]->isChecked());
    }

    void formWidgetsFollowThePageWhenItScrolls() {
        THTMLViewer viewer;
        viewer.resize(400, 300);
        viewer.show();
        viewer.LoadFromString(
            QString::fromLatin1(longPage("<form action=a><input name=deep></form>", 30)));
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto* field = viewer.viewport()->findChild<QLineEdit*>("deep");
        QVERIFY(field);
        const int before = field->y();
        viewer.SetScrollPosition(120);
        QCOMPARE(field->y(), before - viewer.ScrollPosition());
    }

    void thePageHistoryKeepsTheNewestFirst() {
        QTemporaryDir dir;
        for (int i = 0; i < 25; ++i)
            write(dir.filePath(QString("p%1.htm").arg(i)), longPage("<p>page</p>", 60));
        THTMLViewer viewer;
        viewer.resize(400, 300);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QSignalSpy changed(&viewer, &THTMLViewer::historyChanged);
        viewer.LoadFromFile(dir.filePath("p0.htm"));
        QVERIFY(viewer.History().isEmpty());  // no history until it is given a size
        viewer.SetHistoryMaxCount(20);
        for (int i = 1; i <= 3; ++i) viewer.LoadFromFile(dir.filePath(QString("p%1.htm").arg(i)));
        QCOMPARE(viewer.History(), QStringList({dir.filePath("p3.htm"), dir.filePath("p2.htm"),
                                                dir.filePath("p1.htm")}));
        QCOMPARE(viewer.HistoryIndex(), 0);
        QCOMPARE(changed.count(), 3);

        viewer.SetScrollPosition(150);
        viewer.SetHistoryIndex(1);  // back
        QCOMPARE(viewer.CurrentFile(), dir.filePath("p2.htm"));
        QCOMPARE(viewer.ScrollPosition(), 0);
        viewer.SetHistoryIndex(0);  // forward again, where it was left
        QCOMPARE(viewer.ScrollPosition(), 150);
        viewer.SetHistoryIndex(2);
        viewer.LoadFromFile(dir.filePath("p9.htm"));  // the newer pages give way
        QCOMPARE(viewer.History(), QStringList({dir.filePath("p9.htm"), dir.filePath("p1.htm")}));

        for (int i = 4; i < 25; ++i) viewer.LoadFromFile(dir.filePath(QString("p%1.htm").arg(i)));
        QCOMPARE(viewer.History().size(), 20);
        QCOMPARE(viewer.History().first(), dir.filePath("p24.htm"));
        viewer.LoadFromString("<p>a page of the program's own</p>");
        QCOMPARE(viewer.History().first(), dir.filePath("p24.htm"));
        viewer.ClearHistory();
        QVERIFY(viewer.History().isEmpty());
        QCOMPARE(viewer.HistoryIndex(), -1);
    }

    void theDefaultLook() {
        THTMLViewer viewer;
        QFont font("Sans Serif", 13);
        viewer.SetDefaultFont(font);
        viewer.SetDefaultFontColor(Qt::darkBlue);
        viewer.SetDefaultBackground(Qt::yellow);
        QCOMPARE(viewer.DefFontSize(), 13);
        QCOMPARE(viewer.DefFontColor(), QColor(Qt::darkBlue));
        QCOMPARE(viewer.DefBackground(), QColor(Qt::yellow));
        QCOMPARE(viewer.document()->defaultFont().pointSize(), 13);
    }
};

QTEST_MAIN(THTMLViewerTest)
#include "THTMLViewerTest.moc"
