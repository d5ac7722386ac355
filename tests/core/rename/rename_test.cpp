#include "core/rename/rename.h"
#include "core/rename/undolist.h"
#include "core/rename/undolog.h"

#include "support/diskfixture.h"
#include "support/faultysys.h"
#include "support/guards.h"
#include "support/listlines.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <functional>
#include <sys/stat.h>

using namespace vorlane;

namespace {

class RenameTest : public ::testing::Test {
protected:
    RenameTest() : list(options, prompts, editor, PosixFileSystem::instance()) {
        logPath = disk.path("vlnundo.txt");
        UndoLog::createIfMissing(logPath);
        list.hooks.setModified = [this](bool) { ++modified; };
    }
    // Lists the files (all selected) with their new names.
    void prepare(const QList<std::pair<QString, QString>>& files) {
        list.clear();
        for (const auto& [path, name] : files) {
            list.AddItem(0, 0, true, path);
            editor.setLine(list.count() - 1, name);
        }
        list.SelectAll1Click();
    }
    RenameRun::Result run(QList<Prompts::Answer> answers = {}) {
        prompts.shown.clear();
        modified = 0;
        prompts.script = QList<Prompts::Answer>{Prompts::Answer::Yes} + answers;
        return RenameRun(list, prompts, PosixFileSystem::instance(), logPath).Rename1Click();
    }
    QByteArray log() { return disk.read(logPath); }
    QList<int> selected() const { return selectedLines(list); }

    Disk disk;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FileList list;
    QString logPath;
    int modified = 0;
};

} // namespace

TEST_F(RenameTest, RenamesAndLogs) {
    const QString a = disk.file("a.mp3"), b = disk.file("b.mp3");
    disk.folder("sub");
    prepare({{a, "first.mp3  "}, {b, "sub/x.mp3"}});
    const auto r = run();
    EXPECT_EQ(r.renamed, 2);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Confirmation");
    EXPECT_EQ(prompts.shown[0].text, "Do you really want to RENAME\rselected file(s) ( 2 )");
    EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Information);
    EXPECT_TRUE(disk.exists("first.mp3"));
    EXPECT_TRUE(disk.exists("sub/x.mp3"));
    EXPECT_FALSE(disk.exists("a.mp3"));
    EXPECT_EQ(list.text(0), disk.path("first.mp3"));
    EXPECT_EQ(list.text(1), disk.path("sub/x.mp3"));
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_EQ(editor.lines(), QStringList({"", ""}));
    EXPECT_EQ(list.line(1).info.ItemNumber, 2);
    EXPECT_EQ(modified, 2);
    EXPECT_EQ(log(), (a + "\r\nfirst.mp3\r\n" + b + "\r\nsub/x.mp3\r\n").toUtf8());
}

TEST_F(RenameTest, NothingToDo) {
    const QString a = disk.file("a");
    // Separators only, or nothing selected: the error box.
    list.AddSeparator(disk.root());
    list.SelectAll1Click();
    run();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Error");
    EXPECT_EQ(prompts.shown[0].text, "No items selected");
    // Any answer but Yes changes nothing.
    for (auto answer : {Prompts::Answer::No, Prompts::Answer::Cancel}) {
        prepare({{a, "b"}});
        prompts.script = {answer};
        RenameRun(list, prompts, PosixFileSystem::instance(), logPath).Rename1Click();
        EXPECT_TRUE(disk.exists("a"));
        EXPECT_EQ(selected(), QList<int>({0}));
    }
    EXPECT_EQ(log(), QByteArray());
}

TEST_F(RenameTest, FailuresAskAbortRetryIgnore) {
    struct Case {
        const char* name;
        const char* shownName;
        int error;
    };
    // An empty or blank name targets the folder itself; a missing folder; a taken name.
    const Case cases[] = {{"", "", EEXIST},
                          {"   ", "", EEXIST},
                          {"nodir/x", "nodir/x", ENOENT},
                          {"exists.txt", "exists.txt", EEXIST}};
    disk.file("exists.txt");
    const QString a = disk.file("a.txt");
    for (const Case& c : cases) {
        prepare({{a, c.name}});
        run({Prompts::Answer::Ignore});
        ASSERT_EQ(prompts.shown.size(), 2) << c.name;
        EXPECT_EQ(prompts.shown[1].title, "Error!");
        EXPECT_EQ(prompts.shown[1].text, "Can't rename file\r" + a + "\r\tto\r" + c.shownName + "\r" +
                                             std::strerror(c.error) + "\rWhat do you want to do?");
        EXPECT_EQ(prompts.shown[1].buttons, Prompts::Buttons::AbortRetryIgnore);
        EXPECT_TRUE(disk.exists("a.txt"));
        EXPECT_EQ(selected(), QList<int>({0}));
        EXPECT_EQ(editor.line(0), QString::fromLatin1(c.name));
    }
    EXPECT_EQ(disk.read(disk.path("exists.txt")), "x"); // never replaced
    EXPECT_EQ(log(), QByteArray());                     // the entry written before each try is taken back
}

TEST_F(RenameTest, LineBreaksAndNulsAreRefused) {
    struct Case {
        QString file; // created on disk
        QString name;
        QString shown; // the box's text between "file" and the question
    };
    const QString nul(QChar(0));
    const Case cases[] = {
        {"a\nb", "z", disk.path("a\u240Ab") + "\r\tto\rz\rThe path holds a line break or a NUL character"},
        {"c\rd", "z", disk.path("c\u240Dd") + "\r\tto\rz\rThe path holds a line break or a NUL character"},
        {"e", "x\ry", disk.path("e") + "\r\tto\rx\u240Dy\rThe name holds a line break or a NUL character"},
        {"f", "x\ny", disk.path("f") + "\r\tto\rx\u240Ay\rThe name holds a line break or a NUL character"},
        {"g", "x" + nul + "y",
         disk.path("g") + "\r\tto\rx\u2400y\rThe name holds a line break or a NUL character"},
    };
    for (const Case& c : cases) {
        const QString path = disk.file(c.file);
        prepare({{path, c.name}});
        run({Prompts::Answer::Ignore});
        ASSERT_EQ(prompts.shown.size(), 2) << c.file.toStdString();
        EXPECT_EQ(prompts.shown[1].text, "Can't rename file\r" + c.shown + "\rWhat do you want to do?");
        EXPECT_TRUE(QFile::exists(path)) << c.file.toStdString();
        EXPECT_EQ(selected(), QList<int>({0}));
    }
    EXPECT_FALSE(disk.exists("z"));
    EXPECT_FALSE(disk.exists("x"));
    EXPECT_EQ(log(), QByteArray());
}

TEST_F(RenameTest, SwapAndChain) {
    const QString a = disk.file("a.mp3"), b = disk.file("b.mp3");
    prepare({{a, "b.mp3"}, {b, "a.mp3"}});
    run({Prompts::Answer::Ignore, Prompts::Answer::Ignore});
    EXPECT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(selected(), QList<int>({0, 1}));
    // Chain: a -> b fails, b -> c goes; a second run takes a -> b.
    prepare({{a, "b.mp3"}, {b, "c.mp3"}});
    run({Prompts::Answer::Ignore});
    EXPECT_TRUE(disk.exists("c.mp3"));
    EXPECT_EQ(selected(), QList<int>({0}));
    run();
    EXPECT_TRUE(disk.exists("b.mp3"));
    EXPECT_FALSE(disk.exists("a.mp3"));
    EXPECT_EQ(log().count("\r\n"), 4);
}

TEST_F(RenameTest, RetryAfterTheCauseIsGone) {
    const QString a = disk.file("a"), blocker = disk.file("b");
    const QString c = disk.file("c");
    prepare({{a, "b"}, {c, "d"}});
    int boxes = 0;
    prompts.onAsk = [&](const QString& text) {
        if (text.startsWith("Can't rename") && ++boxes == 2)
            QFile::remove(blocker); // the second Retry finds the way free
    };
    run({Prompts::Answer::Retry, Prompts::Answer::Retry});
    EXPECT_EQ(boxes, 2);
    EXPECT_TRUE(disk.exists("b"));
    EXPECT_TRUE(disk.exists("d"));
    EXPECT_TRUE(selected().isEmpty());
}

// While a failure's box is up the user may move the folder away: the next
// file is looked for where the list says it is, not in the moved folder.
TEST_F(RenameTest, FolderMovedWhileABoxIsUpIsNotFollowed) {
    const QString a = disk.file("m/a"), b = disk.file("m/b"), c = disk.file("m/c");
    disk.file("m/taken");
    prepare({{a, "a2"}, {b, "taken"}, {c, "c2"}});
    prompts.onAsk = [&](const QString& text) {
        if (text.contains("taken")) {
            ASSERT_TRUE(QDir().rename(disk.path("m"), disk.path("moved")));
        }
    };
    run({Prompts::Answer::Ignore, Prompts::Answer::Ignore});
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[2].text, "Can't rename file\r" + c + "\r\tto\rc2\r" + std::strerror(ENOENT) +
                                         "\rWhat do you want to do?");
    EXPECT_TRUE(disk.exists("moved/c"));
    EXPECT_TRUE(disk.exists("moved/a2"));
    EXPECT_EQ(log(), (a + "\r\na2\r\n").toUtf8());
}

TEST_F(RenameTest, AbortInTheMiddle) {
    const QString a = disk.file("1"), b = disk.file("2"), c = disk.file("3");
    disk.file("taken");
    prepare({{a, "one"}, {b, "taken"}, {c, "three"}});
    run({Prompts::Answer::Abort});
    EXPECT_TRUE(disk.exists("one"));
    EXPECT_TRUE(disk.exists("2"));
    EXPECT_TRUE(disk.exists("3"));
    EXPECT_EQ(selected(), QList<int>({1, 2}));
    EXPECT_EQ(editor.lines(), QStringList({"", "taken", "three"}));
    EXPECT_EQ(log(), (a + "\r\none\r\n").toUtf8());
}

TEST_F(RenameTest, TargetAppearingBetweenRunsIsNotReplaced) {
    // Also on file systems that cannot refuse to replace by themselves, where
    // the run looks before it renames.
    for (const int noReplaceError : {0, EINVAL, ENOSYS}) {
        SCOPED_TRACE(noReplaceError);
        const QString n = QString::number(noReplaceError);
        const QString a = disk.file("a" + n, 3), c = disk.file("c" + n, 5);
        prepare({{a, "b" + n}, {c, "d" + n}});
        disk.file("b" + n, 7);
        const QByteArray b = disk.read(disk.path("b" + n));
        FaultySys system;
        if (noReplaceError)
            system.failEvery(Sys::Renameat2, noReplaceError);
        SysOverride seam(system);
        run({Prompts::Answer::Ignore});
        EXPECT_EQ(disk.read(disk.path("b" + n)), b);
        EXPECT_EQ(disk.read(a).size(), 3);
        ASSERT_EQ(prompts.shown.size(), 2);
        EXPECT_TRUE(prompts.shown[1].text.contains(std::strerror(EEXIST)))
            << prompts.shown[1].text.toStdString();
        EXPECT_EQ(disk.read(disk.path("d" + n)).size(), 5); // the next file goes on
        EXPECT_EQ(system.calls(Sys::Rename), noReplaceError ? 1 : 0);
    }
}

TEST_F(RenameTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const QString odd = disk.rawFile("\xC0\xFF-old");
    prepare({{odd, decodeName("\xE9t\xE9.mp3")}});
    run();
    const QByteArray root = QFile::encodeName(disk.root());
    EXPECT_EQ(::access((root + "/\xE9t\xE9.mp3").constData(), F_OK), 0);
    EXPECT_EQ(log(), root + "/\xC0\xFF-old\r\n\xE9t\xE9.mp3\r\n");
    EXPECT_EQ(encodeName(list.text(0)), root + "/\xE9t\xE9.mp3");
}

TEST_F(RenameTest, LogThatCannotBeOpenedStopsEverything) {
    const QString a = disk.file("a");
    QFile::remove(logPath);
    QDir().mkdir(logPath); // a folder where the log should be
    prepare({{a, "b"}});
    const auto r = run();
    EXPECT_FALSE(r.started);
    EXPECT_TRUE(disk.exists("a"));
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text, "Can't open the undo log\r" + logPath + "\rnot a regular file");
}

TEST_F(RenameTest, FileWhoseEntryCannotBeWrittenIsNotRenamed) {
    const QString a = disk.file("a"), b = disk.file("b"), c = disk.file("c");
    prepare({{a, "a2"}, {b, "b2"}, {c, "c2"}});
    const QByteArray first = (a + "\r\na2\r\n").toUtf8();
    {
        // Room for the first entry and a few bytes of the second.
        FileSizeLimit cap(first.size() + 4);
        run();
    }
    EXPECT_TRUE(disk.exists("a2"));
    EXPECT_EQ(list.text(0), disk.path("a2"));
    // The second file stays as it was, on disk and in both panes; the run ends.
    EXPECT_TRUE(disk.exists("b"));
    EXPECT_TRUE(disk.exists("c"));
    EXPECT_EQ(list.text(1), b);
    EXPECT_EQ(editor.lines(), QStringList({"", "b2", "c2"}));
    EXPECT_EQ(selected(), QList<int>({1, 2}));
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].title, "Vorlane");
    EXPECT_EQ(prompts.shown[1].text,
              "Can't write to the undo log\r" + logPath + "\r" + b + "\r\tto\rb2\r" + std::strerror(EFBIG));
    EXPECT_EQ(log(), first); // no torn second entry
}

TEST(UndoLog, CreateIfMissingLeavesExistingLogs) {
    Disk disk;
    const QString p = disk.path("log.txt");
    EXPECT_TRUE(UndoLog::createIfMissing(p));
    EXPECT_EQ(disk.read(p), QByteArray());
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("x\r\ny\r\n");
    f.close();
    EXPECT_TRUE(UndoLog::createIfMissing(p));
    EXPECT_EQ(disk.read(p), "x\r\ny\r\n");
    EXPECT_FALSE(UndoLog::createIfMissing(disk.path("no/such/folder/log.txt")));
}

TEST(UndoLog, TornLastLineIsMendedOnOpen) {
    struct Case {
        QByteArray before;
        QByteArray after; // once an entry o -> n is appended
    };
    const Case cases[] = {
        // The new name torn: the entry stays, its line ended.
        {"p\r\nna", "p\r\nna\r\no\r\nn\r\n"},
        {"p\r\nname\r", "p\r\nname\r\no\r\nn\r\n"},
        {"p\r\nn\r\nq\r\nna", "p\r\nn\r\nq\r\nna\r\no\r\nn\r\n"},
        {"p\nna", "p\nna\r\no\r\nn\r\n"},
        // The old path torn: dropped.
        {"/pa", "o\r\nn\r\n"},
        {"p\r\nn\r\n/pa", "p\r\nn\r\no\r\nn\r\n"},
        {"p\r\nn\r\n/path\r", "p\r\nn\r\no\r\nn\r\n"},
        {"p\nn\n/pa", "p\nn\no\r\nn\r\n"},
        // CR alone ends lines too: entries saved that way stay whole.
        {"/p\rn\r/q\rm\r", "/p\rn\r/q\rm\r\no\r\nn\r\n"},
        {"/p\r\nn\r\n/q\rm\r", "/p\r\nn\r\n/q\rm\r\no\r\nn\r\n"},
        {"/p\r\nn\r\n/q\rm", "/p\r\nn\r\n/q\rm\r\no\r\nn\r\n"},
        // Whole.
        {"", "o\r\nn\r\n"},
        {"p\r\nn\r\n", "p\r\nn\r\no\r\nn\r\n"},
    };
    Disk disk;
    const QString p = disk.path("log.txt");
    for (const Case& c : cases) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.before);
        f.close();
        UndoLog log(p);
        ASSERT_TRUE(log.open());
        ASSERT_TRUE(log.append("o", "n"));
        log.close();
        EXPECT_EQ(disk.read(p), c.after) << c.before.toStdString();
    }
}

TEST(UndoLog, ShortWriteLeavesTheLogAsItWas) {
    Disk disk;
    const QString p = disk.path("log.txt");
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("p\r\nn\r\n");
    f.close();
    UndoLog log(p);
    ASSERT_TRUE(log.open());
    {
        FileSizeLimit cap(6 + 5);
        EXPECT_FALSE(log.append("/some/old/path", "new name"));
    }
    EXPECT_EQ(disk.read(p), "p\r\nn\r\n");
    EXPECT_TRUE(log.append("o", "n"));
    EXPECT_EQ(disk.read(p), "p\r\nn\r\no\r\nn\r\n");
}

TEST(UndoLog, SomethingOtherThanAFileInItsPlaceIsRefused) {
    Disk disk;
    const QString fifo = disk.path("vlnundo.txt");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    // Either call used to wait for a reader forever.
    EXPECT_EQ(inChild([&] { return !UndoLog::createIfMissing(fifo); }), true);
    EXPECT_EQ(inChild([&] { return !UndoLog(fifo).open(); }), true);
}

namespace {
// Takes a log's entries back, newest first, as the undo window does.
void undoAll(const QByteArray& log) {
    QList<QByteArray> lines = log.split('\n');
    for (QByteArray& l : lines)
        l.chop(l.endsWith('\r') ? 1 : 0);
    for (qsizetype i = (lines.size() - 1) / 2 * 2 - 2; i >= 0; i -= 2) {
        const QString old = decodeName(lines[i]);
        ASSERT_TRUE(PosixFileSystem::instance()
                        .renameNoReplace(folderPart(old) + decodeName(lines[i + 1]), old)
                        .ok());
    }
}
} // namespace

TEST_F(RenameTest, ResolvedChainsSwapsAndCycles) {
    struct Case {
        const char* what;
        QStringList names, targets, outside;
        int failed;
    };
    const Case cases[] = {
        {"swap", {"a", "b"}, {"b", "a"}, {}, 0},
        {"3-cycle", {"a", "b", "c"}, {"b", "c", "a"}, {}, 0},
        {"chain", {"1", "2", "3"}, {"2", "3", "4"}, {}, 0},
        {"two cycles and a chain into one", {"a", "b", "c", "d", "x"}, {"b", "a", "d", "c", "y"}, {}, 0},
        {"chain meets an outside file", {"a", "b", "d"}, {"b", "c", "e"}, {"c"}, 2},
        {"own name", {"a"}, {"a"}, {}, 0},
    };
    options.cbResolveChains = true;
    int n = 0;
    for (const Case& c : cases) {
        const QString dir = QString("case%1/").arg(n++);
        QList<std::pair<QString, QString>> files;
        for (int i = 0; i < c.names.size(); ++i)
            files.append({disk.file(dir + c.names[i], i + 1), c.targets[i]});
        for (const QString& o : c.outside)
            disk.file(dir + o, 100);
        QFile::resize(logPath, 0);
        prepare(files);
        const auto r = run(QList<Prompts::Answer>(c.failed, Prompts::Answer::Ignore));
        EXPECT_EQ(r.failed, c.failed) << c.what;
        EXPECT_EQ(r.renamed, c.names.size() - c.failed) << c.what;
        // Each file that moved stands under its new name, nothing was replaced,
        // and no temporary name is left.
        for (int i = 0; i < c.names.size(); ++i) {
            const bool moved = i >= c.failed || c.failed == 0;
            const QString at = disk.path(dir + (moved ? c.targets[i] : c.names[i]));
            EXPECT_EQ(QFileInfo(at).size(), i + 1) << c.what << " " << at.toStdString();
        }
        for (const QString& o : c.outside)
            EXPECT_EQ(QFileInfo(disk.path(dir + o)).size(), 100) << c.what;
        EXPECT_EQ(QDir(disk.path(dir)).entryList({".vorlane-*"}, QDir::Files | QDir::Hidden).size(), 0)
            << c.what;
        EXPECT_EQ(selected().size(), c.failed) << c.what;
        // Every real step is logged: taken back newest first, all stand where they began.
        undoAll(log());
        for (int i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(QFileInfo(disk.path(dir + c.names[i])).size(), i + 1) << c.what << " undone";
    }
}

TEST_F(RenameTest, FilesTakenBackLeaveTheirEntriesWhereverTheyStand) {
    // Each case: the log as the undo window read it, and what happened to it since.
    struct Case {
        const char* what;
        std::function<void(const QString& entries)> meanwhile;
    };
    const Case cases[] = {
        {"log as read", [](const QString&) {}},
        // Written anew since (the window saved a deletion): found by content.
        {"log written anew",
         [this](const QString& entries) {
             QFile f(logPath);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
             f.write(entries.toUtf8());
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString dir = QString("tb%1/").arg(n++);
        const QString x = disk.file(dir + "x.mp3"), b = disk.file(dir + "b.mp3");
        const QString other = disk.path(dir + "o.mp3") + "\r\np.mp3\r\n";
        const QString taken = disk.path(dir + "a.mp3") + "\r\nb.mp3\r\n";
        QFile f(logPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(("\r\n" + other + taken + other).toUtf8());
        f.close();
        const QVector<UndoRow> rows = UndoList::parse(log());
        ASSERT_EQ(rows.size(), 3);
        c.meanwhile(taken + other + other);
        // The line of b.mp3 came from the undo window; x.mp3 is renamed beside it.
        prepare({{b, "a.mp3"}, {x, "y.mp3"}});
        list.takeBacks.insert(b, {rows[1].before, rows[1].after, rows[1].start, rows[1].end});
        EXPECT_EQ(run().renamed, 2) << c.what;
        EXPECT_TRUE(disk.exists(dir + "a.mp3")) << c.what;
        QList<std::pair<QString, QString>> left;
        for (const UndoRow& r : UndoList::parse(log()))
            left.append({r.before, r.after});
        const QString d = disk.path(dir);
        EXPECT_EQ(left, (QList<std::pair<QString, QString>>{
                            {d + "o.mp3", "p.mp3"}, {d + "o.mp3", "p.mp3"}, {b, "a.mp3"}, {x, "y.mp3"}}))
            << c.what;
        EXPECT_TRUE(list.takeBacks.isEmpty()) << c.what;
    }
}

namespace {
// The real disk, where some files will not move (as an immutable file will
// not): renames from paths holding any of `stuck` fail with EPERM.
class StuckFileSystem : public PosixFileSystem {
public:
    Status renameNoReplace(const QString& from, const QString& to) override {
        for (const QString& s : stuck)
            if (from.contains(s))
                return {EPERM};
        return PosixFileSystem::renameNoReplace(from, to);
    }
    QStringList stuck;
};
} // namespace

TEST_F(RenameTest, CycleThatCannotFinishLeavesNoFileUnderATemporaryName) {
    using A = Prompts::Answer;
    struct Case {
        const char* what;
        QStringList stuck;
        QList<A> answers;
        QStringList at; // where a, b, c stand afterwards
    };
    const Case cases[] = {
        {"Ignore each failure", {"/c"}, {A::Ignore, A::Ignore, A::Ignore}, {"a", "b", "c"}},
        {"Abort at the first", {"/c"}, {A::Abort}, {"a", "b", "c"}},
        // The temporary file cannot come back either: the box says where it is.
        {"stuck under the temporary name",
         {"/c", ".vorlane-"},
         {A::Ignore, A::Ignore, A::Ignore},
         {"", "b", "c"}},
    };
    options.cbResolveChains = true;
    int n = 0;
    for (const Case& c : cases) {
        const QString dir = QString("loop%1/").arg(n++);
        prepare(
            {{disk.file(dir + "a", 1), "b"}, {disk.file(dir + "b", 2), "c"}, {disk.file(dir + "c", 3), "a"}});
        StuckFileSystem fs;
        fs.stuck = c.stuck;
        prompts.shown.clear();
        prompts.script = QList<A>{A::Yes} + c.answers;
        const auto r = RenameRun(list, prompts, fs, logPath).Rename1Click();
        EXPECT_EQ(r.renamed, 0) << c.what;
        EXPECT_EQ(prompts.shown.size(), 1 + c.answers.size()) << c.what;
        for (int i = 0; i < 3; ++i) {
            if (c.at[i].isEmpty())
                continue;
            EXPECT_EQ(QFileInfo(disk.path(dir + c.at[i])).size(), i + 1) << c.what << " " << i;
            EXPECT_EQ(list.text(i), disk.path(dir + c.at[i])) << c.what;
        }
        const QStringList temps = QDir(disk.path(dir)).entryList({".vorlane-*"}, QDir::Files | QDir::Hidden);
        if (c.at[0].isEmpty()) {
            // The file and its line stay together, and the message names both places.
            ASSERT_EQ(temps.size(), 1) << c.what;
            const QString temp = disk.path(dir + temps[0]);
            EXPECT_EQ(list.text(0), temp);
            EXPECT_EQ(QFileInfo(temp).size(), 1);
            EXPECT_TRUE(std::any_of(prompts.shown.begin(), prompts.shown.end(), [&](const auto& p) {
                return p.text.startsWith("Can't move file\r" + temp + "\rback to its name\r" +
                                         disk.path(dir + "a"));
            })) << c.what;
        } else {
            EXPECT_EQ(temps, QStringList()) << c.what;
        }
        EXPECT_EQ(selected(), QList<int>({0, 1, 2})) << c.what;
    }
}

TEST_F(RenameTest, ResolvedShiftOfAThousandFilesNeedsNoTemporaryName) {
    options.cbResolveChains = true;
    QList<std::pair<QString, QString>> files;
    for (int i = 1; i <= 1000; ++i)
        files.append({disk.file(QString("shift/%1.mp3").arg(i, 4, 10, QChar('0')), 1),
                      QString("%1.mp3").arg(i + 1, 4, 10, QChar('0'))});
    prepare(files);
    const auto r = run();
    EXPECT_EQ(r.renamed, 1000);
    EXPECT_FALSE(disk.exists("shift/0001.mp3"));
    EXPECT_TRUE(disk.exists("shift/1001.mp3"));
    EXPECT_EQ(log().count('\n'), 2000);
}

TEST_F(RenameTest, UnchangedNameIsDoneWithoutAStep) {
    for (const bool resolve : {false, true}) {
        options.cbResolveChains = resolve;
        const QString a = disk.file(QString("same%1/a.mp3").arg(resolve));
        const QString b = disk.file(QString("same%1/b.mp3").arg(resolve));
        QFile::resize(logPath, 0);
        prepare({{a, "a.mp3"}, {b, "c.mp3"}});
        const auto r = run();
        EXPECT_EQ(r.renamed, 2);
        EXPECT_EQ(r.failed, 0);
        EXPECT_EQ(prompts.shown.size(), 1); // only the question
        EXPECT_EQ(selected(), QList<int>());
        EXPECT_EQ(log(), encodeName(b) + "\r\nc.mp3\r\n");
    }
}
