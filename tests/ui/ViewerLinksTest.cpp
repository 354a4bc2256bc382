// Links and images of a page in the preview: web addresses go to the desktop (never
// fetched here), scripts never run, local pages load into the display with their source
// beside them, anchors scroll, pictures come from local files only.
#include "ViewerWindowFixture.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>

using namespace vellumar;

namespace {

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

std::string filler(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "<p>filler line " + std::to_string(i) + "</p>\n";
    return text;
}

}  // namespace

class ViewerLinksTest : public QObject {
    Q_OBJECT

  private slots:
    void linksOpenOutsideLoadPagesScrollOrDoNothing() {
        ViewerWindowFixture f;
        f.write(f.docs / "page.html",
                "<html><body><a name=\"top\"></a><p>beta start</p>"
                "<a href=\"http://example.org/x?a=1\">web</a> "
                "<a href=\"javascript:alert(1)\">script</a> "
                "<a href=\"file://" +
                    f.docs.string() +
                    "/other.html#part\">file</a> "
                    "<a href=\"missing.html\">missing</a> <a href=\"report.pdf\">pdf</a>"
                    "<a href=\"#TOP\">up</a>" +
                    filler(300) + "</body></html>");
        f.write(f.docs / "other.html", "<html><body>" + filler(200) +
                                           "<a name=\"part\"></a><p>other page</p>" + filler(200) +
                                           "</body></html>");
        f.write(f.docs / "report.pdf", "%PDF-1.4");
        f.build("*.html");
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        QVERIFY(f.show("beta", f.docs / "page.html"));
        htmlview::THTMLViewer* html = f.vp().HTML1;
        QSignalSpy left(&f.pane(), &TViewerPane::viewedFileLeft);
        THistory& history = *f.w->history();
        const int items = history.Count();

        f.pane().HTML1HotSpotClick(QStringLiteral("http://example.org/x?a=1"));
        QCOMPARE(f.opened, (std::vector<QUrl>{QUrl(QStringLiteral("http://example.org/x?a=1"))}));
        f.pane().HTML1HotSpotClick(QStringLiteral("javascript:alert(1)"));
        f.pane().HTML1HotSpotClick(QStringLiteral("JavaScript:alert(2)"));
        QCOMPARE(f.opened.size(), 1u);                             // never run, never handed on
        f.pane().HTML1HotSpotClick(QStringLiteral("report.pdf"));  // not a page: its program
        QCOMPARE(f.opened.back(), QUrl::fromLocalFile(q(f.docs / "report.pdf")));
        QCOMPARE(html->CurrentFile(), q(f.docs / "page.html"));
        QCOMPARE(left.count(), 0);

        f.pane().HTML1HotSpotClick(QStringLiteral("missing.html"));
        QCOMPARE(f.lastMessage(), "Can't open the file " + q(f.docs / "missing.html"));
        QCOMPARE(html->CurrentFile(), q(f.docs / "page.html"));

        html->SetScrollPosition(html->verticalScrollBar()->maximum());
        QVERIFY(html->ScrollPosition() > 100);
        f.pane().HTML1HotSpotClick(QStringLiteral("#TOP"));
        QVERIFY(html->ScrollPosition() < 20);  // the anchor at the top (the page margin)
        QCOMPARE(history.Count(), items + 1);  // the anchor jump is recorded

        f.pane().HTML1HotSpotClick(
            QString::fromStdString("file://" + f.docs.string() + "/other.html#part"));
        QCOMPARE(html->CurrentFile(), q(f.docs / "other.html"));
        QVERIFY(html->ScrollPosition() > 0);  // at the anchor
        QCOMPARE(left.count(), 1);
        QCOMPARE(history.Count(), items + 2);
        QCOMPARE(QString::fromStdString(history.Current()->fileName), q(f.docs / "other.html"));
        QVERIFY(history.Current()->query.empty());
        QVERIFY(f.vp().rtfEntries->toPlainText().startsWith(QStringLiteral("<html><body><p>")));
        QCOMPARE(f.vp().rtfEntries->toolTip(), "Current file: " + q(f.docs / "other.html"));
        QVERIFY(!f.vp().scrNextPrev->isVisible());
        QCOMPARE(f.w->statusText(), QString());
        const QString shown = html->PlainText();
        f.key(Qt::Key_F3);  // the listed file's entries are not this page's
        QCOMPARE(html->SelText(), QString());
        QCOMPARE(html->PlainText(), shown);
    }

    void relativeLinksFollowTheBaseOfThePage() {
        ViewerWindowFixture f;
        f.write(f.docs / "web.html",
                "<html><head><base href=\"http://example.org/dir/\"></head>"
                "<body>beta</body></html>");
        f.write(f.docs / "dos.html",
                "<html><head><base href=\"DosPath\"></head><body>beta</body></html>");
        f.write(f.docs / "sub" / "next.html", "<p>next</p>");
        f.write(f.docs / "next.html", "<p>beside</p>");
        f.build("*.html");
        QVERIFY(f.show("beta", f.docs / "web.html"));
        f.pane().HTML1HotSpotClick(QStringLiteral("sub/next.html"));
        QCOMPARE(f.opened.back(), QUrl(QStringLiteral("http://example.org/dir/sub/next.html")));
        f.pane().HTML1HotSpotCovered(QStringLiteral("sub/next.html"));
        QCOMPARE(f.w->statusText(), QStringLiteral("Shortcut to: sub/next.html"));
        f.pane().HTML1HotSpotCovered(QString());
        QCOMPARE(f.w->statusText(), "Current file: " + q(f.docs / "web.html"));

        QVERIFY(f.show("beta", f.docs / "dos.html"));
        f.pane().HTML1HotSpotClick(QStringLiteral("next.html"));
        QCOMPARE(f.vp().HTML1->CurrentFile(), q(f.docs / "next.html"));

        // A page saved from the web: its relative links lead back to the site.
        f.write(f.docs / "saved.html",
                "<!-- saved from url=(0026)http://example.com/a/b.htm -->\n<p>beta</p>");
        f.pane().clearPreview();
        QVERIFY(f.vp().HTML1->LoadFromFile(q(f.docs / "saved.html")));
        f.pane().HTML1HotSpotClick(QStringLiteral("c.htm"));
        QCOMPARE(f.opened.back(), QUrl(QStringLiteral("http://example.com/a/c.htm")));

        f.pane().mnuHtmlBrowserClick();  // "Load HTML into Browser": the page itself
        QCOMPARE(f.opened.back(), QUrl::fromLocalFile(q(f.docs / "saved.html")));
    }

    void picturesComeFromLocalFilesOnly() {
        ViewerWindowFixture f;
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        fs::create_directories(f.docs / "pics");
        QVERIFY(picture.save(q(f.docs / "pics" / "red.png")));
        f.write(f.docs / "site" / "page.html",
                "<p>beta <img src=\"../pics/red.png\"> <img src=\"http://example.org/a.png\">"
                "<img src=\"missing.png\"></p>");
        f.build("*.html");
        QVERIFY(f.show("beta", f.docs / "site" / "page.html"));
        QImage outside;
        QVERIFY(
            outside.loadFromData(f.pane().HTML1ImageRequest(QStringLiteral("../pics/red.png"))));
        QCOMPARE(outside.pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(f.pane().HTML1ImageRequest(QStringLiteral("http://example.org/a.png")).isEmpty());
        QVERIFY(f.pane().HTML1ImageRequest(QStringLiteral("missing.png")).isEmpty());
        QVERIFY(f.opened.empty());  // a remote picture is neither fetched nor opened
        QCOMPARE(f.selected(), QStringLiteral("beta"));
    }
};

QTEST_MAIN(ViewerLinksTest)
#include "ViewerLinksTest.moc"
