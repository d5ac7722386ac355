#include "support/diskfixture.h"
#include "support/steppedtime.h"
#include "tmain_fixture.h"
#include "ui/filelist/filechooser.h"
#include "ui/filelist/tfrmgroupop.h"
#include "ui/filelist/topendirdialog.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <cstring>

using namespace vorlane;

namespace {

// The window over the real disk, with a clock that always calls for a refresh.
class AddRenameTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        makeWindow(nullptr, QString(), &clock, &pump);
    }
    QStringList editorLines() { return window->names().lines(); }

    Disk disk;
    StepClock clock;
    ProbePump pump;
};

} // namespace

TEST_F(AddRenameTest, OpenFolderThenRename) {
    disk.file("album/01 intro.mp3");
    disk.file("album/cd2/02 song.mp3");
    // The folder chooser, answered by the test.
    QString shownTitle;
    window->openDirDialog()->browser = [&](const TOpenDirDialog& d) {
        shownTitle = d.title();
        return disk.path("album");
    };
    // While the group runs the main window is disabled and the progress window shown.
    bool disabledDuringGroup = false, progressShown = false;
    pump.probe = [&] {
        disabledDuringGroup = !window->isEnabled();
        progressShown = window->groupUi().window()->isVisible();
    };
    window->lb1()->setFocus();
    QTest::keyClick(window->lb1(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(shownTitle, "Choose folder to get file from");
    EXPECT_TRUE(disabledDuringGroup);
    EXPECT_TRUE(progressShown);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->groupUi().window()->isVisible());
    EXPECT_EQ(window->groupUi().window()->windowTitle(), "Adding Items");
    EXPECT_EQ(texts(), QStringList({disk.path("album"), disk.path("album/01 intro.mp3"),
                                    disk.path("album/cd2"), disk.path("album/cd2/02 song.mp3")}));
    EXPECT_EQ(window->panel(0)->text(), "2 item(s) were added");
    EXPECT_EQ(window->openDirDialog()->startFolder(), disk.path("album"));
    EXPECT_EQ(window->odfInitialDir(), disk.path("album"));

    // Names typed beside the files, then Rename with Alt+R.
    window->names().setLines({"album", "Intro.mp3  ", "cd2", "Song.mp3"});
    window->list().SelectAll1Click();
    prompts.script = {Prompts::Answer::Yes};
    QTest::keyClick(window->lb1(), Qt::Key_R, Qt::AltModifier);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Do you really want to RENAME\rselected file(s) ( 2 )");
    EXPECT_TRUE(disk.exists("album/Intro.mp3"));
    EXPECT_TRUE(disk.exists("album/cd2/Song.mp3"));
    EXPECT_EQ(texts()[1], disk.path("album/Intro.mp3"));
    EXPECT_EQ(texts()[3], disk.path("album/cd2/Song.mp3"));
    EXPECT_EQ(selected(), QList<int>({0, 2})); // the separators stay selected
    EXPECT_EQ(editorLines(), QStringList({"album", "", "cd2", ""}));
    EXPECT_EQ(disk.read(window->undoLogPath()), (disk.path("album/01 intro.mp3") + "\r\nIntro.mp3\r\n" +
                                                 disk.path("album/cd2/02 song.mp3") + "\r\nSong.mp3\r\n")
                                                    .toUtf8());
    EXPECT_TRUE(window->isModified());
}

TEST_F(AddRenameTest, CancelledChooserChangesNothing) {
    window->openDirDialog()->browser = [](const TOpenDirDialog&) { return QString(); };
    window->OpenDirectory1Click();
    EXPECT_EQ(window->list().count(), 0);
    EXPECT_TRUE(window->panel(0)->text().startsWith("Cur:"));
    window->odfExecute = [] { return QStringList(); };
    window->Openfiles1Click();
    EXPECT_EQ(window->list().count(), 0);
}

TEST_F(AddRenameTest, OpenFilesAndCancelButton) {
    const QString a = disk.file("x/1.mp3"), b = disk.file("x/2.mp3"), c = disk.file("x/3.mp3");
    window->odfExecute = [&] { return QStringList{a, b, c}; };
    // Cancel is pressed at the first refresh: the item in hand is the last.
    pump.probe = [&] { window->groupUi().window()->bCancel->click(); };
    window->Openfiles1Click();
    EXPECT_EQ(texts(), QStringList({disk.path("x/"), a}));
    EXPECT_EQ(window->names().line(0), "x");
    EXPECT_EQ(window->panel(0)->text(), "1 of 3 item(s) were added");
    EXPECT_EQ(window->groupUi().window()->LInfo->text(), "1 items of 3");
    EXPECT_EQ(window->openDirDialog()->startFolder(), a);
}

TEST_F(AddRenameTest, DroppedFilesAndFolders) {
    const QString f = disk.file("drop/one.txt");
    disk.file("drop/in/two.txt");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f), QUrl::fromLocalFile(disk.path("drop/in"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(texts(),
              QStringList({disk.path("drop/"), f, disk.path("drop/in"), disk.path("drop/in/two.txt")}));
    EXPECT_EQ(window->panel(0)->text(), "2 item(s) were added");
}

TEST_F(AddRenameTest, FileMaskSelectsTheSameFilesInTheAddFilesDialogAsInTheFolderScan) {
    for (const char* n : {"a.mp3", "b.WAV", "c.ogg", "noext", "x.(1)"})
        disk.file(QString("m/") + n);
    window->openDirDialog()->browser = [&](const TOpenDirDialog&) { return disk.path("m"); };
    QStringList shown; // under the dialog's first filter, the file mask's
    window->execDialog = [&](QDialog* d) {
        auto* chooser = qobject_cast<FileChooser*>(d);
        if (!chooser)
            return int(QDialog::Rejected);
        chooser->show();
        shown.clear();
        for (int i = 0; i < chooser->entryList()->count(); ++i)
            if (chooser->entryList()->item(i)->text() != "..")
                shown << chooser->entryList()->item(i)->text();
        return int(QDialog::Rejected);
    };
    for (const char* mask : {"*.mp3; *.wav", "a*.mp3", "*.WAV;*", "*.(1)", "*.*", ""}) {
        options.masked = mask;
        window->list().clear();
        window->OpenDirectory1Click(); // opens the add-files dialog in this folder next
        QStringList scanned;
        for (int i = 0; i < window->list().count(); ++i)
            if (!window->list().isSeparator(i))
                scanned << fileNamePart(window->list().text(i));
        window->Openfiles1Click();
        shown.sort();
        scanned.sort();
        EXPECT_EQ(shown, scanned) << mask;
    }
}

TEST_F(AddRenameTest, RenameFailureBoxAndRetry) {
    const QString a = disk.file("r/a.txt");
    disk.file("r/b.txt");
    window->list().AddItem(0, 1, false, a);
    window->names().setLine(0, "b.txt");
    window->list().SelectAll1Click();
    prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Retry, Prompts::Answer::Ignore};
    window->action("Rename1Click")->trigger();
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[1].title, "Error!");
    EXPECT_EQ(prompts.shown[1].text, "Can't rename file\r" + a + "\r\tto\rb.txt\r" + std::strerror(EEXIST) +
                                         "\rWhat do you want to do?");
    EXPECT_EQ(prompts.shown[2].text, prompts.shown[1].text);
    EXPECT_TRUE(disk.exists("r/a.txt"));
    EXPECT_EQ(selected(), QList<int>({0}));
    EXPECT_EQ(disk.read(window->undoLogPath()), QByteArray());
}

TEST_F(AddRenameTest, NameThatIsNotUtf8KeepsItsBytesThroughTheEditor) {
    const QString odd = disk.rawFile("caf\xE9.mp3");
    window->odfExecute = [&] { return QStringList{odd}; };
    window->Openfiles1Click();
    // The default mask wrote the name into the real editor; it reads back unchanged.
    EXPECT_EQ(encodeName(window->names().line(1)), QByteArray("caf\xE9.mp3"));
    window->SelectAll1Click();
    prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Abort};
    window->Rename1Click();
    // Renaming onto its own name fails or does nothing: the bytes on disk stay.
    const QByteArray root = QFile::encodeName(disk.root());
    EXPECT_EQ(::access((root + "/caf\xE9.mp3").constData(), F_OK), 0);
    EXPECT_NE(::access((root + "/caf?.mp3").constData(), F_OK), 0);
    EXPECT_NE(::access((root + "/caf\xEF\xBF\xBD.mp3").constData(), F_OK), 0);
}

TEST_F(AddRenameTest, NameEditorKeepsPaintingDuringALongGroup) {
    for (int i = 0; i < 3; ++i)
        disk.file(QString("many/%1.mp3").arg(i));
    // Each refresh of a long group lets the window repaint; an editor that
    // does not paint then shows black where its text was.
    int pumps = 0, unpainted = 0;
    pump.probe = [&] {
        ++pumps;
        unpainted += window->Se2()->updatesEnabled() && window->Se2()->viewport()->updatesEnabled() ? 0 : 1;
    };
    window->openDirDialog()->browser = [&](const TOpenDirDialog&) { return disk.path("many"); };
    window->OpenDirectory1Click();
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(unpainted, 0);
}

TEST_F(AddRenameTest, RootSeparatorIsDrawnWithAName) {
    ASSERT_TRUE(options.Dsfcb); // separators show their folder's last component
    window->list().AddSeparator("/");
    window->list().AddSeparator("");
    const auto draw = [&](int index) {
        QImage image(200, 16, QImage::Format_RGB32);
        QPainter painter(&image);
        window->lb1()->Lb1DrawItem(painter, image.rect(), index);
        return image;
    };
    EXPECT_NE(draw(0), draw(1));
}

TEST_F(AddRenameTest, OpenFilesChoosesANameThatIsNotUtf8) {
    const QString odd = disk.rawFile("caf\xE9 \xFF.mp3");
    disk.file("notes.txt");
    QString title;
    QStringList shown;
    window->execDialog = [&](QDialog* d) {
        auto* chooser = qobject_cast<FileChooser*>(d);
        if (!chooser)
            return int(QDialog::Rejected);
        title = chooser->windowTitle();
        chooser->show();
        // The file mask's filter comes first; MP3 files are the second.
        chooser->filterBox()->setCurrentIndex(1);
        chooser->pathEdit()->setText(disk.root());
        QTest::keyClick(chooser->pathEdit(), Qt::Key_Return);
        QListWidget* list = chooser->entryList();
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        list->item(list->count() - 1)->setSelected(true);
        chooser->okButton()->click();
        return chooser->result();
    };
    window->Openfiles1Click();
    EXPECT_EQ(title, "Choose file(s) you want to add to left panel");
    EXPECT_EQ(shown, QStringList({"..", QString::fromUtf8("caf\uFFFD \uFFFD.mp3")})); // MP3 files only
    ASSERT_EQ(texts(), QStringList({disk.root() + "/", odd}));
    EXPECT_EQ(encodeName(texts()[1]), QFile::encodeName(disk.root()) + "/caf\xE9 \xFF.mp3");
}

TEST_F(AddRenameTest, ConflictsAreMarkedBeforeRename) {
    const QString a = disk.file("cf/a.mp3"), b = disk.file("cf/b.mp3"), c = disk.file("cf/c.mp3");
    window->list().AddItem(0, 3, true, a);
    window->list().AddItem(1, 3, true, b);
    window->list().AddItem(2, 3, true, c);
    window->names().setLines({"b.mp3", "", "new.mp3"});
    window->SelectAll1Click();
    window->showConflicts();
    EXPECT_EQ(window->conflictsPanel()->text(), "2 conflicts");
    EXPECT_TRUE(window->conflictsPanel()->isVisibleTo(window.get()));
    auto marked = [&](int line) {
        return (window->Se2()->SendScintilla(QsciScintilla::SCI_MARKERGET, long(line)) & (1 << 2)) != 0;
    };
    EXPECT_TRUE(marked(0)); // b.mp3 stands below and goes later
    EXPECT_TRUE(marked(1)); // no name
    EXPECT_FALSE(marked(2));
    // Resolving chains frees b.mp3; typing the missing name clears the rest.
    options.cbResolveChains = true;
    window->names().setLine(1, "d.mp3");
    window->showConflicts();
    EXPECT_FALSE(window->conflictsPanel()->isVisibleTo(window.get()));
    EXPECT_FALSE(marked(0));
}

TEST_F(AddRenameTest, RenameShowsProgressKnownFailuresAndItsCount) {
    const QString a = disk.file("pg/a.mp3"), b = disk.file("pg/b.mp3"), c = disk.file("pg/c.mp3");
    for (const QString& p : {a, b, c})
        window->list().AddItem(0, 3, true, p);
    window->names().setLines({"b.mp3", "", "new.mp3"});
    window->SelectAll1Click();
    QStringList during;
    int nested = 0;
    pump.probe = [&] {
        during << window->panel(0)->text();
        // Input meant for the window waits for the run: a second Rename
        // started now would work on lines this one is changing.
        const qsizetype before = prompts.shown.size();
        QTest::keyClick(window.get(), Qt::Key_R, Qt::AltModifier);
        nested += int(prompts.shown.size() - before);
    };
    prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Ignore, Prompts::Answer::Ignore};
    trigger("Rename1Click");
    ASSERT_GE(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              "Do you really want to RENAME\rselected file(s) ( 3 )\r2 of them will fail (amber lines)");
    EXPECT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(during, QStringList({"0 of 3", "1 of 3", "2 of 3"}));
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(window->panel(0)->text(), "1 of 3 file(s) were renamed");
    EXPECT_TRUE(disk.exists("pg/new.mp3"));
    // With nothing known to fail the question is as it always was.
    window->names().setLines({"x.mp3", "y.mp3", ""});
    window->list().setSelected(0, true);
    window->list().setSelected(1, true);
    window->list().setSelected(2, false);
    prompts.shown.clear();
    prompts.script = {Prompts::Answer::No};
    trigger("Rename1Click");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, "Do you really want to RENAME\rselected file(s) ( 2 )");
}
