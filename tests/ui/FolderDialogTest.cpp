// The folder dialog "Add Folders To be Indexed" through the Indexes page's "Browse...":
// OK takes what was composed, Cancel leaves the scope alone, the two refusals, files
// whose names cannot stand in a pattern, the file types kept in the settings, and a
// volume that went away.
#include "IndexFixture.h"

#include "index/ui/TFormBrowse.h"
#include "index/ui/TFormWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QListWidget>
#include <QTreeView>
#include <QtTest>

using namespace vellumar;

namespace {

void selectFiles(const TFormBrowse::Controls& c, const QStringList& names) {
    for (int i = 0; i < c.filFiles->count(); ++i)
        c.filFiles->item(i)->setSelected(names.contains(c.filFiles->item(i)->text()));
}

}  // namespace

class FolderDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void okTakesTheComposedScopeCancelKeepsTheOldOne() {
        IndexFixture f;
        f.write(f.docs / "a.txt", "x");
        f.write(f.docs / "b.TXT", "x");
        f.write(f.docs / "c.doc", "x");
        f.write(f.docs / "old" / "d.txt", "x");
        auto w = f.start();
        const auto& ix = w->indexesPage().controls();
        ix.txtFileNames->setText(QStringLiteral("/before/+<*.txt>"));
        const QString docs = QString::fromStdString(f.docs.string());
        int answer = 1;
        QString composed;
        w->dialogs.runModal = [&](QDialog& dialog) {
            auto* browse = qobject_cast<TFormBrowse*>(&dialog);
            if (!browse) return 2;
            const auto& c = browse->controls();
            // Every showing starts afresh.
            if (!c.txtScope->text().isEmpty() || !c.chkSubfolders->isChecked() ||
                c.chkExclude->isChecked())
                return 2;
            browse->setFolder(docs);
            c.cmbFileTypes->setEditText(QStringLiteral("*.txt"));
            QStringList listed;
            for (int i = 0; i < c.filFiles->count(); ++i) listed << c.filFiles->item(i)->text();
            if (listed != QStringList({"a.txt", "b.TXT"})) return 2;  // the mask, any case
            browse->cmdAddFolderClick();
            c.cmbFileTypes->setEditText(QStringLiteral("*.DOC"));
            browse->cmdAddFolderClick();  // joins the same entry's group
            browse->setFolder(docs + QStringLiteral("/old"));
            c.chkExclude->setChecked(true);
            c.cmbFileTypes->setEditText(QStringLiteral("*.*"));
            browse->cmdAddFolderClick();
            c.chkExclude->setChecked(false);
            c.chkSubfolders->setChecked(false);
            browse->setFolder(docs);
            c.cmbFileTypes->setEditText(QStringLiteral("*"));
            selectFiles(c, {"c.doc"});
            c.cmbLabel->setEditText(QStringLiteral("My Files-2"));
            browse->cmdAddFilesClick();
            composed = browse->scope();
            return answer;
        };
        w->indexesPage().cmdBrowseClick();
        QCOMPARE(composed,
                 docs + "/+<*.txt,*.doc>;-" + docs + "/old/+<*.*>;" + docs + "/<my_files__:c.doc>");
        QCOMPARE(ix.txtFileNames->text(), composed);
        QVERIFY(ix.cmdUpdate->isEnabled());

        ix.txtFileNames->setText(QStringLiteral("/kept/+<*.txt>"));
        answer = 2;
        w->indexesPage().cmdBrowseClick();
        QVERIFY(!composed.isEmpty());
        QCOMPARE(ix.txtFileNames->text(), QStringLiteral("/kept/+<*.txt>"));

        // The wizard's "Browse..." runs the same dialog and takes its scope.
        answer = 1;
        TFormWizard wizard(w->indexesPage(), *w, w.get());
        wizard.cmdBrowseClick();
        QCOMPARE(wizard.controls().txtFileNames->text(), composed);
    }

    void refusalsOddNamesAndTheStoredFileTypes() {
        IndexFixture f;
        f.write(f.docs / "a,b;c<d>e:f.txt", "x");
        f.writeSettings("[Miscellaneous]\r\nFileTypesToSelect=*.md,*.txt\r\n");
        auto w = f.start();
        TFormBrowse& browse = *w->indexesPage().controls().FormBrowse;
        const auto& c = browse.controls();
        browse.FormShow();
        QCOMPARE(c.cmbFileTypes->count(), 2);
        QCOMPARE(c.cmbFileTypes->currentText(), QStringLiteral("*.txt"));
        browse.setFolder(QString::fromStdString(f.docs.string()));

        c.cmbFileTypes->setEditText(QStringLiteral("  "));
        browse.cmdAddFolderClick();
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("Define a type for files you want\rto add from the selected "
                                "folder"));
        browse.cmdAddFilesClick();
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("To add files you should first select them"));
        QCOMPARE(f.answers.messages().back().icon, MessageIcon::Warning);
        QVERIFY(browse.scope().isEmpty());

        // A name with the scope's separators becomes a pattern that still matches it.
        c.cmbFileTypes->setEditText(QStringLiteral("*.txt"));
        QCOMPARE(c.filFiles->count(), 1);
        c.filFiles->item(0)->setSelected(true);
        browse.cmdAddFilesClick();
        QCOMPARE(browse.scope(), QString::fromStdString(f.docs.string()) + "/+<a?b?c?d?e?f.txt>");

        // New file types join the list and are kept for the next run.
        c.cmbFileTypes->setEditText(QStringLiteral("*.RTF, *.odt"));
        browse.cmdAddFolderClick();
        QCOMPARE(w->settings().fileTypesToSelect,
                 (std::vector<std::string>{"*.md", "*.txt", "a?b?c?d?e?f.txt", "*.rtf, *.odt"}));
        browse.cmdClearAllClick();
        QVERIFY(browse.scope().isEmpty());
        w->SaveSettings();
        QVERIFY(WindowFixture::read(f.home / "Vellumar.ini")
                    .find("FileTypesToSelect=*.md,*.txt,a?b?c?d?e?f.txt,\"*.rtf, *.odt\"") !=
                std::string::npos);
    }

    void aVolumeThatWentAwayIsNotReady() {
        IndexFixture f;
        const fs::path stick = fs::path(f.root.path().toStdString()) / "stick";
        fs::create_directories(stick);
        auto w = f.start();
        TFormBrowse& browse = *w->indexesPage().controls().FormBrowse;
        const auto& c = browse.controls();
        browse.setVolumes({{"/", "ext4", "/dev/sda1", false}, {stick.string(), "vfat", "", false}});
        browse.setFolder(QString::fromStdString(f.docs.string()));
        QCOMPARE(c.drvBrowse->currentIndex(), 0);

        c.drvBrowse->setCurrentIndex(1);
        browse.drvBrowseChange();
        QCOMPARE(browse.folder(), QString::fromStdString(stick.string()));

        c.drvBrowse->setCurrentIndex(0);
        browse.drvBrowseChange();
        fs::remove_all(stick);  // unplugged
        const std::size_t before = f.answers.messages().size();
        f.answers.queueAnswer(MessageResult::Retry);
        f.answers.queueAnswer(MessageResult::Cancel);
        c.drvBrowse->setCurrentIndex(1);
        browse.drvBrowseChange();
        QCOMPARE(f.answers.messages().size(), before + 2);  // asked again after Retry
        QCOMPARE(f.answers.messages().back().text,
                 QStringLiteral("The drive is not ready.\rRetry or cancel the operation."));
        QCOMPARE(f.answers.messages().back().buttons, MessageButtons::RetryCancel);
        QCOMPARE(f.answers.messages().back().icon, MessageIcon::Error);
        QCOMPARE(c.drvBrowse->currentIndex(), 0);  // back to the volume chosen before
        QVERIFY(browse.folder() != QString::fromStdString(stick.string()));

        // Shown, the tree opens at the folder, scrolled into view.
        browse.setFolder(QString::fromStdString(f.docs.string()));
        browse.show();
        auto* model = static_cast<QFileSystemModel*>(c.dirBrowse->model());
        QTRY_COMPARE(model->filePath(c.dirBrowse->currentIndex()),
                     QString::fromStdString(f.docs.string()));
        QTRY_VERIFY(c.dirBrowse->viewport()->rect().intersects(
            c.dirBrowse->visualRect(c.dirBrowse->currentIndex())));
        browse.hide();

        // A folder that went away while the dialog was closed opens at the home.
        const fs::path gone = f.docs / "gone";
        fs::create_directories(gone);
        browse.setFolder(QString::fromStdString(gone.string()));
        fs::remove(gone);
        browse.FormShow();
        QCOMPARE(browse.folder(), QDir::homePath());
    }
};

QTEST_MAIN(FolderDialogTest)
#include "FolderDialogTest.moc"
