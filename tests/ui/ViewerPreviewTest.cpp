// The preview in the window: found files shown with every entry, F3 and F2 selecting
// exactly the entry's characters whatever the text holds, the viewer that suits the file,
// and what the user sees for files that cannot be shown.
#include "ViewerWindowFixture.h"

#include "archive/ArchiveMaker.h"

#include <QFontDialog>
#include <QSignalSpy>
#include <QSplitter>
#include <QtTest>

#include <chrono>

using namespace vellumar;

namespace {

const QString kLarge =
    QStringLiteral("This file is large and it may take some time to show. Load anyway?");

// Moves the file's last-write time away from the one indexed.
void touchLater(const fs::path& file) {
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(10));
}

}  // namespace

class ViewerPreviewTest : public QObject {
    Q_OBJECT

  private slots:
    void everyEntryIsSelectedExactlyWhateverTheTextHolds() {
        ViewerWindowFixture f;
        // Line ends of all kinds, a tab, characters beyond the BMP, CJK, a combining accent.
        f.write(f.docs / "notes.txt",
                "caf\xC3\xA9 Beta\r\n\xF0\x9F\x98\x80 beta \xE6\xBC\xA2\xE5\xAD\x97 beta\t"
                "e\xCC\x81 beta\rbeta end");
        f.write(f.docs / "latin.txt", "na\xEFve beta caf\xE9 BETA");  // Windows-1252
        f.build("*.txt");
        QVERIFY(f.show("beta", f.docs / "notes.txt"));
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().rtfEntries);
        QCOMPARE(f.entryLabels(), QStringLiteral("1/5"));
        QVERIFY(f.vp().scrNextPrev->isVisibleTo(f.w.get()));
        QCOMPARE(f.w->statusText(), QStringLiteral("Loading the file..."));
        QCOMPARE(f.selected(), QStringLiteral("Beta"));
        for (int i = 2; i <= 6; ++i) {
            f.key(Qt::Key_F3);
            QCOMPARE(f.selected().toLower(), QStringLiteral("beta"));
            QCOMPARE(f.vp().lblEntries1->text(), QString::number(std::min(i, 5)));
        }
        // The last entry follows a lone CR: the selection must not take the CR.
        QCOMPARE(f.vp().rtfEntries->SelStart(), f.vp().rtfEntries->toPlainText().size() - 8);
        f.key(Qt::Key_F2);
        QCOMPARE(f.vp().lblEntries1->text(), QStringLiteral("4"));
        QCOMPARE(f.vp().rtfEntries->toPlainText().mid(f.vp().rtfEntries->SelStart() - 3, 7),
                 QStringLiteral("e\u0301 beta"));

        QVERIFY(f.show("beta", f.docs / "latin.txt"));
        QCOMPARE(f.vp().rtfEntries->toPlainText(),
                 QStringLiteral("na\u00efve beta caf\u00e9 BETA"));
        f.key(Qt::Key_F3);
        QCOMPARE(f.selected(), QStringLiteral("BETA"));
    }

    void aPhraseAcrossALineBreakAndHitsInAPageAreSelectedWhole() {
        ViewerWindowFixture f;
        f.write(f.docs / "fox.txt", "the quick\r\nbrown fox");
        // Broken markup, entities, and the word in the title, which the display never shows.
        f.write(f.docs / "page.html",
                "<html><head><title>beta</title></head><body><p>Tom &amp; Jerry <b>beta"
                "<p>caf&eacute; <i>beta</body>");
        f.build("*.txt,*.html");
        QVERIFY(f.show("quick brown", f.docs / "fox.txt"));
        QCOMPARE(f.entryLabels(), QStringLiteral("1/1"));
        QCOMPARE(f.selected(), QStringLiteral("quick\nbrown"));

        QVERIFY(f.show("beta", f.docs / "page.html"));
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().HTML1);
        QVERIFY(f.pane().htmlMode());
        QCOMPARE(f.entryLabels(), QStringLiteral("1/3"));
        f.key(Qt::Key_F3);  // the title's beta is entry 1 and has no place in the display
        QCOMPARE(f.selected(), QStringLiteral("beta"));
        QVERIFY(f.vp()
                    .HTML1->PlainText()
                    .left(f.vp().HTML1->textCursor().selectionStart())
                    .endsWith(QStringLiteral("Jerry ")));
        f.key(Qt::Key_F3);
        QVERIFY(f.vp()
                    .HTML1->PlainText()
                    .left(f.vp().HTML1->textCursor().selectionStart())
                    .endsWith(QStringLiteral("caf\u00e9 ")));

        // As source the page is the text viewer's, with the same entry selected there.
        f.w->settings().htmlAsSource = true;
        f.pane().chkHtmlSourceClick();
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().rtfEntries);
        QVERIFY(f.vp().mnuHtmlSource->isChecked());
        QCOMPARE(f.selected(), QStringLiteral("beta"));
        QVERIFY(f.vp()
                    .rtfEntries->toPlainText()
                    .left(f.vp().rtfEntries->SelStart())
                    .endsWith(QStringLiteral("<i>")));
        f.w->settings().htmlAsSource = false;
        f.pane().chkHtmlSourceClick();
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().HTML1);
        QCOMPARE(f.vp().lblEntries1->text(), QStringLiteral("3"));
    }

    void aHundredThousandEntriesAreSteppedAndJumpedThrough() {
        ViewerWindowFixture f;
        std::string text;
        std::vector<int> starts;
        for (int i = 0; i < 100000; ++i) {
            const std::string line = "n" + std::to_string(i) + " hit\n";
            starts.push_back(static_cast<int>(text.size() + line.size() - 4));
            text += line;
        }
        f.write(f.docs / "many.txt", text);
        f.build("*.txt");
        QVERIFY(f.show("hit", f.docs / "many.txt"));
        QCOMPARE(f.answers.messages().back().text, kLarge);  // 1.1 MB, answered Yes
        QCOMPARE(f.entryLabels(), QStringLiteral("1/100000"));
        const TRichEditEx* viewer = f.vp().rtfEntries;
        for (int i = 1; i < 50; ++i) f.key(Qt::Key_F3);
        QCOMPARE(viewer->SelStart(), starts[49]);
        // The scroll bar dragged to the end, then back past entries never shown.
        f.vp().scrNextPrev->setValue(99999);
        QCOMPARE(f.vp().lblEntries1->text(), QStringLiteral("100000"));
        QCOMPARE(viewer->SelStart(), starts[99999]);
        QCOMPARE(viewer->SelLength(), 3);
        f.vp().scrNextPrev->setValue(77);
        QCOMPARE(viewer->SelStart(), starts[77]);
        QCOMPARE(f.selected(), QStringLiteral("hit"));
        // An entry brought from out of sight is centred; the next one, on the same screen,
        // is selected without scrolling.
        const int middle = viewer->cursorRect(viewer->textCursor()).center().y();
        const int height = viewer->viewport()->height();
        QVERIFY2(middle > height / 4 && middle < height * 3 / 4,
                 qPrintable(QString("%1 of %2").arg(middle).arg(height)));
        const int scrolled = viewer->verticalScrollBar()->value();
        f.key(Qt::Key_F3);
        QCOMPARE(viewer->SelStart(), starts[78]);
        QCOMPARE(viewer->verticalScrollBar()->value(), scrolled);
        // A text this large is loaded with its lines grouped into blocks; lines still read
        // as lines.
        QVERIFY(viewer->document()->blockCount() < 100000 / 10);
        QVERIFY(f.vp().rtfEntries->SelectRange(starts[76], starts[77] + 3 - starts[76]));
        QCOMPARE(viewer->SelText(), QStringLiteral("hit\nn77 hit"));
    }

    void filesThatCannotBeShownSaySoAndLeaveNothingBehind() {
        ViewerWindowFixture f;
        f.write(f.docs / "gone.txt", "beta here");
        f.write(f.docs / "kept.txt", "beta there");
        f.build("*.txt");
        QVERIFY(f.show("beta", f.docs / "kept.txt"));
        fs::remove(f.docs / "gone.txt");
        QVERIFY(f.show("beta", f.docs / "gone.txt"));
        QCOMPARE(f.lastMessage(),
                 "Can't open the file " + QString::fromStdString((f.docs / "gone.txt").string()));
        QVERIFY(f.vp().rtfEntries->toPlainText().isEmpty());  // not the file shown before
        QVERIFY(!f.vp().scrNextPrev->isVisibleTo(f.w.get()));
        QCOMPARE(f.entryLabels(), QString());
        f.key(Qt::Key_F3);  // nothing to step through, nothing breaks

        // A file no parser can read: the message names no file.
        f.write(f.docs / "broken.pdf", "this is no PDF at all");
        f.search("beta", "");
        f.pane().EntriesDelay(0, QString::fromStdString((f.docs / "broken.pdf").string()), 0);
        QCOMPARE(f.lastMessage(), QStringLiteral("Can't open the file "));
        QVERIFY(f.vp().rtfEntries->toPlainText().isEmpty());
        QCOMPARE(f.w->statusText(), QString());
    }

    void membersOfNestedArchivesAndDamagedArchives() {
        ViewerWindowFixture f;
        archive_test::TempDir work;
        QVERIFY(archive_test::makeArchive(work / "inner.zip", {{"a.txt", "inner beta text"}}));
        const std::string inner = WindowFixture::read(work / "inner.zip");
        QVERIFY(archive_test::makeArchive(f.docs / "outer.zip", {{"inner.zip", inner}}));
        f.build("*.txt,*.zip", true);
        const fs::path member = f.docs.string() + "/outer.zip//inner.zip//a.txt";
        QVERIFY(f.show("beta", member));
        QCOMPARE(f.vp().rtfEntries->toPlainText(), QStringLiteral("inner beta text"));
        QCOMPARE(f.selected(), QStringLiteral("beta"));

        const QString missing = QString::fromStdString(f.docs.string()) +
                                QStringLiteral("/outer.zip//inner.zip//missing.txt");
        f.pane().EntriesDelay(0, missing, 0);
        QCOMPARE(f.lastMessage(), QStringLiteral("Can't open the file ") + missing);
        QVERIFY(f.vp().rtfEntries->toPlainText().isEmpty());
        f.write(f.docs / "outer.zip", "PK\x03\x04 damaged beyond reading");
        f.pane().EntriesDelay(0, QString::fromStdString(member.string()), 0);
        QCOMPARE(f.lastMessage(),
                 QStringLiteral("Can't open the file ") + QString::fromStdString(member.string()));
    }

    void aChangedFileIsMarkedAndWithoutEntriesShowsQuestionMarks() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "alpha beta");
        f.build("*.txt");
        f.write(f.docs / "a.txt", "gamma");
        touchLater(f.docs / "a.txt");
        QSignalSpy modified(&f.pane(), &TViewerPane::viewedFileModified);
        QVERIFY(f.show("beta", f.docs / "a.txt"));
        QVERIFY(modified.count() >= 1);
        QCOMPARE(f.entryLabels(), QStringLiteral("1/1"));
        QCOMPARE(f.selected(), QString());  // the word is gone: nothing is selected

        // A search with nothing to highlight in this file.
        QVERIFY(f.show("!zzz", f.docs / "a.txt"));
        QCOMPARE(f.vp().lblEntries1->text(), QStringLiteral("???"));
        QVERIFY(!f.vp().scrNextPrev->isVisibleTo(f.w.get()));
        QVERIFY(modified.count() >= 2);
    }

    void controlBytesShowAsBlanksAndTheLargeFileQuestionIsAsked() {
        ViewerWindowFixture f;
        f.write(f.docs / "bin.txt", std::string("A\x01"
                                                "B\tC\r\nD\0E beta\x1F",
                                                16));
        f.write(f.docs / "big.txt", std::string(3000, 'x') + " beta");
        f.build("*.txt");
        QVERIFY(f.show("beta", f.docs / "bin.txt"));
        QCOMPARE(f.vp().rtfEntries->toPlainText(), QStringLiteral("A B\tC\nD E beta "));
        QCOMPARE(f.selected(), QStringLiteral("beta"));

        f.w->settings().warnFileSizeKB = "2";
        f.answers.queueAnswer(MessageResult::No);
        const auto before = f.answers.messages().size();
        QVERIFY(f.show("beta", f.docs / "big.txt"));
        QCOMPARE(f.answers.messages().size(), before + 1);
        QCOMPARE(f.lastMessage(), kLarge);
        QVERIFY(f.vp().rtfEntries->toPlainText().isEmpty());  // No shows nothing
        QCOMPARE(f.entryLabels(), QString());
        f.w->settings().warnFileSizeKB = "abc";  // not a number: 500 KB
        QVERIFY(f.show("beta", f.docs / "big.txt"));
        QCOMPARE(f.answers.messages().size(), before + 1);
        QCOMPARE(f.selected(), QStringLiteral("beta"));
    }

    void rtfWithItsFormattingOrAsPlainTextAndFilesWithoutFormatFilters() {
        ViewerWindowFixture f;
        f.write(f.docs / "doc.RTF", "{\\rtf1\\ansi {\\b bold beta} plain beta}");
        f.write(f.docs / "page.html", "<p>some <b>beta</b></p>");
        f.build("*.rtf,*.html");
        f.vp().mnuRtfPlain->trigger();  // off: RTF keeps its formatting
        QVERIFY(!f.w->settings().rtfAsPlain);
        QVERIFY(f.show("beta", f.docs / "doc.RTF"));  // upper case: still RTF
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().ree);
        QCOMPARE(f.selected(), QStringLiteral("beta"));
        QVERIFY(f.vp().ree->textCursor().charFormat().fontWeight() == QFont::Bold);
        f.key(Qt::Key_F3);
        QVERIFY(f.vp().ree->textCursor().charFormat().fontWeight() != QFont::Bold);
        f.vp().mnuRtfPlain->trigger();  // on again: the text moves to the plain viewer
        QVERIFY(f.w->settings().rtfAsPlain);
        QCOMPARE(f.vp().viewerStack->currentWidget(), f.vp().rtfEntries);
        QCOMPARE(f.vp().rtfEntries->toPlainText(), QStringLiteral("bold beta plain beta"));
        QCOMPARE(f.vp().rtfEntries->SelStart(), 16);  // still the second entry

        ViewerWindowFixture raw;
        raw.write(raw.docs / "page.html", "<p>some <b>beta</b></p>");
        raw.build("*.html", false, true);
        QVERIFY(raw.show("beta", raw.docs / "page.html"));
        QCOMPARE(raw.vp().viewerStack->currentWidget(), raw.vp().rtfEntries);
        QCOMPARE(raw.selected(), QStringLiteral("beta"));
        QVERIFY(raw.vp().HTML1->PlainText().isEmpty());
    }

    void optionsAndThePopupMenu() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "alpha beta gamma");
        f.build("*.txt");
        f.w->settings().hotKey = "Q";
        f.pane().mnuRtfPopup();
        QCOMPARE(f.vp().mnuSearchSelWord->text(),
                 QStringLiteral("Search for Selected Word     Ctrl+Q"));
        QVERIFY(!f.vp().mnuSearchSelWord->isEnabled());
        QVERIFY(!f.vp().mnuCopy->isEnabled());
        QVERIFY(!f.vp().mnuWithinFound->isEnabled());  // nothing listed
        QVERIFY(f.show("beta", f.docs / "a.txt"));
        f.pane().mnuRtfPopup();
        QVERIFY(f.vp().mnuSearchSelWord->isEnabled() && f.vp().mnuCopy->isEnabled());
        QVERIFY(f.vp().mnuFont->isEnabled() && f.vp().mnuWordWrap->isEnabled());
        QVERIFY(!f.vp().mnuHtmlBrowser->isEnabled());
        QVERIFY(!f.vp().mnuPrintSelected->isEnabled() && !f.vp().mnuExportAsText->isVisible());
        QSignalSpy word(&f.pane(), &TViewerPane::searchSelectedWordRequested);
        f.vp().mnuSearchSelWord->trigger();
        QCOMPARE(word.value(0).at(0).toString(), QStringLiteral("beta"));

        // The font dialog, answered: the setting, the viewer, and the entry still selected.
        f.w->dialogs.runModal = [](QDialog& dialog) {
            if (auto* fonts = qobject_cast<QFontDialog*>(&dialog)) {
                QFont font = fonts->currentFont();
                font.setPointSize(17);
                font.setItalic(true);
                fonts->setCurrentFont(font);
            }
            return int(QDialog::Accepted);
        };
        f.vp().mnuFont->trigger();
        QCOMPARE(f.w->settings().viewFont.size, 17);
        QVERIFY(f.w->settings().viewFont.italic);
        QCOMPARE(f.vp().rtfEntries->font().pointSize(), 17);
        QCOMPARE(f.selected(), QStringLiteral("beta"));
        f.vp().mnuWordWrap->trigger();
        QCOMPARE(f.w->settings().wordWrap, f.vp().mnuWordWrap->isChecked());
        QCOMPARE(f.vp().rtfEntries->lineWrapMode() == QPlainTextEdit::WidgetWidth,
                 f.w->settings().wordWrap);
    }

    void fullWindowViewGivesTheResultAreaBackItsPlace() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "beta");
        f.build("*.txt");
        f.w->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.w.get()));
        auto* area = qobject_cast<QSplitter*>(f.pane().parentWidget());
        QVERIFY(area);
        QApplication::processEvents();
        const QRect before = area->geometry();
        f.vp().mnuFullView->trigger();
        QApplication::processEvents();
        QVERIFY(area->height() > before.height());
        QVERIFY(f.pane().entryBar()->isVisible());  // F3 and F2 still have their bar
        f.vp().mnuFullView->trigger();
        QApplication::processEvents();
        QCOMPARE(area->geometry(), before);
        QVERIFY(f.w->searchPage().controls().cmbSearchExpr->isVisible());
    }
};

QTEST_MAIN(ViewerPreviewTest)
#include "ViewerPreviewTest.moc"
