// "Print file list" and the clipboard: the PDF printer writes the heading and the listed
// files, a missing printer is a clear message and never a crash, and "Copy" takes the
// selection of the viewer it was asked on (the HTML display's as plain text).
#include "ViewerWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace vellumar;

namespace {

QString pdfText(const QString& pdf) {
    QProcess convert;
    convert.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    convert.waitForFinished(30000);
    return QString::fromUtf8(convert.readAllStandardOutput());
}

}  // namespace

class ViewerPrintTest : public QObject {
    Q_OBJECT

  private slots:
    void theFileListPrintsToPdfAndAMissingPrinterIsAMessage() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "beta");
        f.build("*.txt");
        QVERIFY(f.show("beta", f.docs / "a.txt"));
        QListWidget* list = f.w->resultList().controls().lstFiles;
        for (int i = 0; i < 150; ++i)
            list->addItem(QStringLiteral("/docs/doc%1.txt").arg(i, 3, 10, QLatin1Char('0')));

        const QString pdf = QString::fromStdString((f.docs / "list.pdf").string());
        QString dialogTitle;
        f.w->dialogs.runModal = [&](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            if (!print) return 0;
            dialogTitle = dialog.windowTitle();
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        };
        f.vp().Printfilelist1->trigger();
        QCOMPARE(dialogTitle, QStringLiteral("Print file list"));
        QVERIFY(QFileInfo(pdf).size() > 0);
        if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            const QString text = pdfText(pdf);
            QVERIFY(text.contains(QStringLiteral("File list found for \"beta\":")));
            QVERIFY(text.contains(QStringLiteral("/docs/doc000.txt")));
            QVERIFY(text.contains(QStringLiteral("/docs/doc149.txt")));  // on a later page
            QVERIFY(text.count(QLatin1Char('\f')) >= 2);
        }

        // The dialog's choice of a printer that is not there (or none at all).
        const auto before = f.answers.messages().size();
        f.w->dialogs.runModal = [](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            if (!print) return 0;
            print->printer()->setOutputFormat(QPrinter::NativeFormat);
            print->printer()->setPrinterName(QStringLiteral("no-such-printer-here"));
            return int(QDialog::Accepted);
        };
        f.vp().Printfilelist1->trigger();
        QCOMPARE(f.answers.messages().size(), before + 1);
        const QString message = f.lastMessage();
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            QVERIFY(message.startsWith(QStringLiteral("No printer is installed.")));
        QVERIFY(!message.isEmpty());

        // Cancelled: nothing printed, nothing said.
        f.w->dialogs.runModal = [](QDialog&) { return int(QDialog::Rejected); };
        f.vp().Printfilelist1->trigger();
        QCOMPARE(f.answers.messages().size(), before + 1);
    }

    void anEmptyListPrintsOnlyTheHeading() {
        ViewerWindowFixture f;
        f.write(f.docs / "a.txt", "beta");
        f.build("*.txt");
        f.pane().setLastQuery(QStringLiteral("nothing & more"));
        const QString pdf = QString::fromStdString((f.docs / "empty.pdf").string());
        f.w->dialogs.runModal = [&](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        };
        f.pane().Printfilelist1Click();
        QVERIFY(QFileInfo(pdf).size() > 0);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QCOMPARE(pdfText(pdf).trimmed(), QStringLiteral("File list found for \"nothing & more\":"));
    }

    void copyTakesTheSelectionOfTheViewerAskedOn() {
        ViewerWindowFixture f;
        f.write(f.docs / "page.html", "<p>alpha <b>beta</b> gamma</p>");
        f.write(f.docs / "a.txt", "one\r\nbeta two");
        f.build("*.html,*.txt");
        f.w->show();
        QApplication::setActiveWindow(f.w.get());
        QVERIFY(QTest::qWaitForWindowActive(f.w.get()));
        QClipboard* clipboard = QApplication::clipboard();

        QVERIFY(f.show("beta", f.docs / "page.html"));
        f.vp().HTML1->setFocus();
        clipboard->setText(QStringLiteral("before"));
        f.vp().mnuCopy->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("beta"));
        f.vp().HTML1->SelectRange(0, 0);
        f.w->btnCopyClick();  // nothing selected: an empty text
        QCOMPARE(clipboard->text(), QString());

        QVERIFY(f.show("beta", f.docs / "a.txt"));
        f.vp().rtfEntries->SelectRange(0, 8);
        f.vp().rtfEntries->setFocus();
        f.pane().mnuRtfPopup();
        QVERIFY(f.vp().mnuCopy->isEnabled());
        f.vp().mnuCopy->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("one\nbeta"));
        f.vp().rtfEntries->SetSelLength(0);
        f.pane().mnuRtfPopup();
        QVERIFY(!f.vp().mnuCopy->isEnabled());
    }
};

QTEST_MAIN(ViewerPrintTest)
#include "ViewerPrintTest.moc"
