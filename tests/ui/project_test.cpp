#include "core/platform/fileio.h"
#include "support/diskfixture.h"
#include "support/guards.h"
#include "tmain_fixture.h"
#include "ui/filelist/filechooser.h"
#include "ui/project/tssform.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>

#include <fstream>

using namespace vorlane;

namespace {

const QString kQuestion = "Contents was changed...\rDo you want to save it?";

// The window with project files on the real disk; the project dialogs are
// answered by names in that folder, in turn ("" cancels).
class ProjectTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        hookWindow();
    }
    void hookWindow() {
        window->execDialog = [this](QDialog* d) { return answer(d); };
        TSSForm* ss = window->ssForm();
        ss->pause = [this, ss](int ms) {
            EXPECT_EQ(ms, 25);
            EXPECT_TRUE(ss->isVisible());
            bar << ss->Pb1->value();
            ssPos = ss->pos();
        };
    }
    int answer(QDialog* d) {
        auto* chooser = qobject_cast<FileChooser*>(d);
        if (!chooser)
            return QDialog::Rejected;
        titles << chooser->windowTitle();
        filters.clear();
        for (int i = 0; i < chooser->filterBox()->count(); ++i)
            filters << chooser->filterBox()->itemText(i);
        offered = chooser->nameEdit() ? chooser->nameEdit()->text() : QString();
        if (answers.isEmpty() || answers.first().isEmpty()) {
            if (!answers.isEmpty())
                answers.removeFirst();
            return QDialog::Rejected;
        }
        const QString name = answers.takeFirst();
        chooser->show();
        if (chooser->folder() != disk.root()) {
            chooser->pathEdit()->setText(disk.root());
            chooser->okButton()->click();
        }
        // The file is picked in the list as a user would; a new name is typed.
        const auto found = chooser->entryList()->findItems(visibleName(name), Qt::MatchExactly);
        if (!found.isEmpty())
            chooser->entryList()->setCurrentItem(found.first());
        else if (chooser->nameEdit())
            chooser->nameEdit()->setText(name);
        chooser->okButton()->click();
        return chooser->result();
    }
    QString project(const QString& name, const QByteArray& bytes) {
        const QString p = disk.path(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    // A file's bytes, found by its path's own bytes.
    static QByteArray bytesOf(const QString& path) {
        std::ifstream in(encodeName(path).toStdString(), std::ios::binary);
        return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    QString caption() const { return window->windowTitle(); }
    QStringList editorLines() const { return window->names().lines(); }
    // Opens a project through the File menu.
    void open(const QString& name) {
        answers << name;
        trigger("Open1Click");
    }

    Disk disk;
    QStringList answers;
    QStringList titles;
    QStringList filters;
    QString offered;
    QList<int> bar;
    QPoint ssPos;
};

const QByteArray kOne = "/m/a.mp3\r\nA\r\n10\r\n1\r\n";
const QByteArray kTwo = "\\/n\r\nn\r\n0\r\n0\r\n/n/b.mp3\r\nB\r\n20\r\n2\r\n";

TEST_F(ProjectTest, SaveAsSaveNewAndOpen) {
    addFiles({"/m/a.mp3", "/m/b.mp3"}, "/m");
    window->names().setLines({"m", "x.mp3", "y.mp3"});
    answers << "songs";
    trigger("SaveasmClick");
    EXPECT_EQ(titles, QStringList({"Save As"}));
    EXPECT_EQ(filters, QStringList({"Project Files (*.vln)", "All Files (*.*)"}));
    const QString path = disk.path("songs.vln"); // the default extension added
    EXPECT_EQ(disk.read(path), "\\/m\r\nm\r\n0\r\n0\r\n/m/a.mp3\r\nx.mp3\r\n100\r\n0\r\n"
                               "/m/b.mp3\r\ny.mp3\r\n100\r\n0\r\n");
    EXPECT_EQ(caption(), "{songs.vln }  Vorlane");
    EXPECT_FALSE(window->isModified());
    // The small window showed the save, centred across the main window, 50 pixels down.
    EXPECT_EQ(bar, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const QRect frame = window->frameGeometry();
    EXPECT_EQ(ssPos, QPoint(frame.left() + (frame.width() - 320) / 2, frame.top() + 50));
    EXPECT_FALSE(window->ssForm()->isVisible());

    window->names().setLine(2, "z.mp3");
    EXPECT_EQ(caption(), "{songs.vln*}  Vorlane");
    trigger("Save2Click"); // to the current file, without a dialog
    EXPECT_EQ(titles.size(), 1);
    EXPECT_TRUE(disk.read(path).contains("z.mp3"));
    EXPECT_EQ(caption(), "{songs.vln }  Vorlane");

    // The tool bar's New file: nothing changed, so nothing asked.
    window->findChild<QAction*>("tb_New1Click")->trigger();
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_TRUE(editorLines().isEmpty());
    EXPECT_FALSE(window->Se2()->isUndoAvailable());
    EXPECT_EQ(caption(), "  Vorlane");
    EXPECT_EQ(window->panel(0)->text(), "Cur: 0  Sel: 0");

    answers << "";
    trigger("Save2Click"); // a new project has no file yet: the dialog comes, cancelled
    EXPECT_EQ(titles.size(), 2);
    EXPECT_EQ(offered, "");
    open("songs.vln");
    EXPECT_EQ(titles.last(), "Open");
    EXPECT_EQ(texts(), QStringList({"/m", "/m/a.mp3", "/m/b.mp3"}));
    EXPECT_EQ(editorLines(), QStringList({"m", "x.mp3", "z.mp3"}));
    EXPECT_EQ(selected(), QList<int>({0, 1, 2}));
    EXPECT_TRUE(window->panel(1)->text().startsWith("1 Album(s) Size: 200 "));
    EXPECT_EQ(caption(), "{songs.vln }  Vorlane");
    EXPECT_FALSE(window->isModified());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ProjectTest, MergeAppendsUnderTheFirstProjectsName) {
    const QString a = project("a.vln", kOne);
    project("b.vln", kTwo);
    open("a.vln");
    // The editor takes the merged lines as one edit; the list view hears of them once.
    int inserts = 0, viewTold = 0;
    QObject::connect(window->Se2(), &QsciScintilla::SCN_MODIFIED, window.get(),
                     [&](int, int type, const char*, int, int, int, int, int, int, int) {
                         if (type & QsciScintilla::SC_MOD_INSERTTEXT)
                             ++inserts;
                     });
    const auto told = window->list().hooks.changed;
    window->list().hooks.changed = [&] {
        ++viewTold;
        told();
    };
    answers << "b.vln";
    trigger("Merge1Click");
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(viewTold, 1);
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/n", "/n/b.mp3"}));
    EXPECT_EQ(editorLines(), QStringList({"A", "n", "B"}));
    EXPECT_EQ(window->list().line(2).info.ItemNumber, 2);
    EXPECT_EQ(caption(), "{a.vln*}  Vorlane");
    trigger("Save2Click");
    EXPECT_EQ(titles, QStringList({"Open", "Open"}));
    EXPECT_EQ(disk.read(a), kOne + kTwo);
}

TEST_F(ProjectTest, TheSaveQuestionsThreeAnswers) {
    struct Case {
        Prompts::Answer answer;
        QStringList listAfter;
        QByteArray fileAfter;
    };
    const Case cases[] = {
        {Prompts::Answer::Yes, {}, kOne + "/m/c.mp3\r\nC\r\n100\r\n0\r\n"},
        {Prompts::Answer::No, {}, kOne},
        {Prompts::Answer::Cancel, {"/m/a.mp3", "/m/c.mp3"}, kOne},
    };
    for (const Case& c : cases) {
        makeWindow(&fakeFs);
        hookWindow();
        prompts.shown.clear();
        const QString p = project("p.vln", kOne);
        open("p.vln");
        addFiles({"/m/c.mp3"});
        window->names().setLine(1, "C");
        prompts.script = {c.answer};
        trigger("New1Click");
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].title, "Confirm");
        EXPECT_EQ(prompts.shown[0].text, kQuestion);
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Question);
        EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::YesNoCancel);
        EXPECT_EQ(texts(), c.listAfter);
        EXPECT_EQ(disk.read(p), c.fileAfter);
        EXPECT_EQ(caption(), c.listAfter.isEmpty() ? "  Vorlane" : "{p.vln*}  Vorlane");
    }
    // Closing asks the same; Cancel keeps the window open with its list.
    prompts.script = {Prompts::Answer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/m/c.mp3"}));
    // Open asks after the file was chosen; Cancel leaves the list as it was.
    prompts.script = {Prompts::Answer::Cancel};
    open("p.vln");
    EXPECT_EQ(titles.last(), "Open");
    EXPECT_EQ(prompts.shown.last().text, kQuestion);
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/m/c.mp3"}));
    // Yes with the save dialog cancelled (a new project has no file) changes nothing either.
    prompts.script = {Prompts::Answer::No};
    trigger("New1Click");
    addFiles({"/m/d.mp3"});
    prompts.script = {Prompts::Answer::Yes};
    answers << "";
    trigger("New1Click");
    EXPECT_EQ(titles.last(), "Save As");
    EXPECT_EQ(texts(), QStringList({"/m/d.mp3"}));
    prompts.script = {Prompts::Answer::No};
    EXPECT_TRUE(window->close());
}

TEST_F(ProjectTest, NothingIsAskedWithoutChangesOrWhenSwitchedOff) {
    struct Case {
        const char* what;
        bool addLine;
        bool modified;
        bool dontAsk;
    };
    const Case cases[] = {
        {"empty list", false, true, false},
        {"no changes", true, false, false},
        {"Don't Ask about file saving", true, true, true},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        if (c.addLine)
            addFiles({"/m/a.mp3"});
        window->SetModified(c.modified);
        options.cbDontAskToSave = c.dontAsk;
        trigger("New1Click");
        EXPECT_TRUE(prompts.shown.isEmpty()) << c.what;
        EXPECT_TRUE(texts().isEmpty()) << c.what;
    }
}

TEST_F(ProjectTest, FullDiskKeepsTheOldProjectAndTheWindow) {
    const QString p = project("p.vln", kOne);
    open("p.vln");
    addFiles({"/m/" + QString(400, u'c') + ".mp3"});
    {
        const FileSizeLimit cap(200);
        trigger("Save2Click");
    }
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_EQ(prompts.shown[0].text, "Can't save project file\r" + p + "\r" + systemErrorText(EFBIG));
    EXPECT_EQ(disk.read(p), kOne);
    EXPECT_EQ(QDir(disk.root()).entryList(QDir::Files | QDir::Hidden), QStringList({"p.vln"}));
    EXPECT_EQ(caption(), "{p.vln*}  Vorlane");
    EXPECT_TRUE(bar.isEmpty());
    // Closing with Yes: the save fails again, so the window stays with its list.
    prompts.script = {Prompts::Answer::Yes};
    {
        const FileSizeLimit cap(200);
        EXPECT_FALSE(window->close());
    }
    EXPECT_EQ(texts().size(), 2);
    EXPECT_EQ(disk.read(p), kOne);
}

TEST_F(ProjectTest, SavingWarnsOfExtraEditorLines) {
    addFiles({"/m/a.mp3"});
    window->names().setLines({"A", "extra", "more"});
    answers << "p.vln";
    trigger("SaveasmClick");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Warning");
    EXPECT_EQ(
        prompts.shown[0].text,
        "Editor at right side has more lines than list at left side.\rAdditional lines will not be saved");
    EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Warning);
    EXPECT_EQ(disk.read(disk.path("p.vln")), "/m/a.mp3\r\nA\r\n100\r\n0\r\n");
}

TEST_F(ProjectTest, ABrokenProjectKeepsItsWholeRecords) {
    const QString p = project("p.vln", kOne + kTwo + "/x\r\nX\r\nbig\r\n0\r\n");
    open("p.vln");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_EQ(prompts.shown[0].text,
              "Can't read project file\r" + p + "\rLine 15: the file size is not a number");
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/n", "/n/b.mp3"}));
    EXPECT_EQ(window->panel(0)->text(), "Loading...");
    EXPECT_EQ(caption(), "  Vorlane");
    EXPECT_TRUE(selected().isEmpty());
    // The broken file is not the current project: Save asks where to write.
    answers << "";
    trigger("Save2Click");
    EXPECT_EQ(titles, QStringList({"Open", "Save As"}));
    EXPECT_EQ(disk.read(p), kOne + kTwo + "/x\r\nX\r\nbig\r\n0\r\n");
}

TEST_F(ProjectTest, SaveAsAsksBeforeReplacingAndKeepsNameBytes) {
    const QByteArray raw = "caf\xE9.vln";
    const QString odd = disk.rawFile(raw);
    addFiles({decodeName("/m/\xFF.mp3")});
    window->names().setLine(0, "");
    struct Step {
        Prompts::Answer answer;
        QByteArray file;
        QString caption;
    };
    const Step steps[] = {
        {Prompts::Answer::No, "", "  Vorlane"},
        {Prompts::Answer::Yes, "/m/\xFF.mp3\r\n\r\n100\r\n0\r\n",
         QString::fromUtf8("{caf\uFFFD.vln }  Vorlane")},
    };
    for (const Step& s : steps) {
        prompts.shown.clear();
        prompts.script = {s.answer};
        answers << fileNamePart(odd);
        trigger("SaveasmClick");
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].title, "Confirm Save As");
        EXPECT_EQ(prompts.shown[0].text,
                  QString::fromUtf8("caf\uFFFD.vln already exists.\rDo you want to replace it?"));
        EXPECT_EQ(bytesOf(odd), s.file);
        EXPECT_EQ(caption(), s.caption);
    }
    // Opened again by its own bytes.
    open(fileNamePart(odd));
    EXPECT_EQ(encodeName(window->list().text(0)), QByteArray("/m/\xFF.mp3"));
    EXPECT_EQ(encodeName(window->project().fileName()), encodeName(odd));
}

// Given to the program among other paths, a project opens as File > Open
// opens it (the question about a changed list first), and the other paths
// are added after its lines.
TEST_F(ProjectTest, AProjectGivenAsArgumentOpensFirst) {
    const QString songs = project("songs.vln", kOne);
    for (const char* f : {"/m/b.mp3", "/m/c.mp3"})
        fakeFs.files.insert(f, 5);
    addFiles({"/m/old.mp3"});
    ASSERT_TRUE(window->isModified());
    const QStringList args = {"/m/b.mp3", songs, "/m/c.mp3"};

    prompts.script = {Prompts::Answer::Cancel};
    window->openArguments(args);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Confirm");
    EXPECT_EQ(prompts.shown[0].text, kQuestion);
    EXPECT_EQ(texts(), QStringList({"/m/old.mp3"}));

    prompts.script = {Prompts::Answer::No};
    window->openArguments(args);
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/m/", "/m/b.mp3", "/m/c.mp3"}));
    EXPECT_EQ(editorLines().value(0), "A");
    EXPECT_EQ(window->project().fileName(), songs);
    EXPECT_EQ(caption(), "{songs.vln*}  Vorlane");
    EXPECT_TRUE(titles.isEmpty());

    // Alone, it is left as File > Open leaves it: unchanged, every line selected.
    prompts.script = {Prompts::Answer::No};
    window->openArguments({songs});
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3"}));
    EXPECT_EQ(selected(), QList<int>({0}));
    EXPECT_EQ(caption(), "{songs.vln }  Vorlane");

    // A project that cannot be read is reported; the other paths still come.
    prompts.shown.clear();
    window->openArguments({disk.path("gone.vln"), "/m/b.mp3"});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_TRUE(prompts.shown[0].text.startsWith("Can't read project file\r" + disk.path("gone.vln") + "\r"));
    EXPECT_EQ(texts().last(), "/m/b.mp3");
    prompts.script = {Prompts::Answer::No};
    window->openArguments({songs});
    prompts.shown.clear();

    // Dropped on the window, a project file is a file to add like any other.
    fakeFs.files.insert(songs, 22);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(songs)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(texts().first(), "/m/a.mp3");
    EXPECT_EQ(texts().last(), songs);
    EXPECT_EQ(window->project().fileName(), songs);
}

} // namespace
