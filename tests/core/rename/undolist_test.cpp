#include "core/app/workspace.h"
#include "core/rename/undolist.h"
#include "core/rename/undolog.h"

#include "support/diskfixture.h"
#include "support/fakefs.h"
#include "support/guards.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <random>

using namespace vorlane;

namespace {

using Pairs = QList<std::pair<QString, QString>>;

Pairs pairsOf(const UndoList& l) {
    Pairs p;
    for (int i = 0; i < l.count(); ++i)
        p.append({l.row(i).before, l.row(i).after});
    return p;
}

QList<int> ordersOf(const UndoList& l) {
    QList<int> o;
    for (int i = 0; i < l.count(); ++i)
        o << l.row(i).order;
    return o;
}

class StatusUi : public GroupUi {
public:
    void begin(const QString& c) override { caption = c; }
    void setInfo(const QString&) override {}
    void end() override {}
    void setStatus(const QString& t) override { status = t; }
    QString caption, status;
};

class ManualClock : public Clock {
public:
    qint64 nowMs() override { return 0; }
};

// A log on the real disk and the undo list over it.
class UndoListTest : public ::testing::Test {
protected:
    UndoListTest() : logPath(disk.path("vlnundo.txt")), undo(prompts, logPath) {}
    void writeLog(const QByteArray& bytes) {
        QFile f(logPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray log() { return disk.read(logPath); }
    // Checks the rows whose rename order numbers are given.
    void check(const QList<int>& orders) {
        for (int i = 0; i < undo.count(); ++i)
            undo.setChecked(i, orders.contains(undo.row(i).order));
    }

    Disk disk;
    ScriptedPrompts prompts;
    QString logPath;
    UndoList undo;
};

} // namespace

TEST(UndoListParse, LinesPairIntoEntries) {
    struct Case {
        QByteArray log;
        Pairs rows;
        QList<bool> refused; // per row
    };
    const QString noName = "The entry has no new name";
    const Case cases[] = {
        {"", {}, {}},
        {"/a/x\r\ny\r\n/b/z\r\nw\r\n", {{"/a/x", "y"}, {"/b/z", "w"}}, {false, false}},
        {"/a/x\ny\n", {{"/a/x", "y"}}, {false}},
        // CR alone ends a line too, also mixed with the others.
        {"/a/x\ry\r/b/z\rw\r", {{"/a/x", "y"}, {"/b/z", "w"}}, {false, false}},
        {"/a/x\ry\n/b/z\r\nw", {{"/a/x", "y"}, {"/b/z", "w"}}, {false, false}},
        // Empty lines are passed over: they never shift the pairing.
        {"\r\n/a/x\r\n\r\ny\r\n\n/b/z\r\nw\r\n", {{"/a/x", "y"}, {"/b/z", "w"}}, {false, false}},
        {"\r\n\r\n\r\n", {}, {}},
        // An odd last line: an entry without a new name, refused.
        {"/a/1\r\n2\r\n/a/3\r\n", {{"/a/1", "2"}, {"/a/3", ""}}, {false, true}},
        // The last line cut off before its line break still counts.
        {"/a/1\r\n2\r\n/a/3\r\n4", {{"/a/1", "2"}, {"/a/3", "4"}}, {false, false}},
        // Relative paths are refused one line at a time; the pairing comes back.
        {"music/B.mp3\r\nA.mp3\r\n/m/c\r\nd\r\n",
         {{"music/B.mp3", ""}, {"A.mp3", ""}, {"/m/c", "d"}},
         {true, true, false}},
        // A line lost in the middle: its old path stands alone.
        {"/a/1\r\n/a/3\r\n4\r\n", {{"/a/1", ""}, {"/a/3", "4"}}, {true, false}},
        {QByteArray("/a/x\r\ny\0z\r\n", 11), {{"/a/x", QString("y") + QChar(0) + "z"}}, {true}},
        // Bytes that are not UTF-8 keep their place.
        {"/d/\xC0\xFF\r\n\xE9.mp3\r\n", {{decodeName("/d/\xC0\xFF"), decodeName("\xE9.mp3")}}, {false}},
    };
    ScriptedPrompts prompts;
    for (const Case& c : cases) {
        const QVector<UndoRow> rows = UndoList::parse(c.log);
        UndoList l(prompts, QString());
        l.setRows(rows);
        EXPECT_EQ(pairsOf(l), c.rows) << c.log.toStdString();
        QList<bool> refused;
        QList<int> orders, expectedOrders;
        for (const UndoRow& r : rows) {
            refused << !r.refused.isEmpty();
            orders << r.order;
            expectedOrders << int(expectedOrders.size()) + 1;
            // Each entry's bytes begin with its old path, where a cut leaves the older ones whole.
            EXPECT_TRUE(c.log.mid(r.start).startsWith(encodeName(r.before))) << c.log.toStdString();
        }
        EXPECT_EQ(refused, c.refused) << c.log.toStdString();
        EXPECT_EQ(orders, expectedOrders);
        EXPECT_EQ(UndoList::parse(UndoList::serialize(rows)).size(), c.rows.size());
    }
    EXPECT_EQ(UndoList::parse("/a/1\r\n2\r\n/a/3\r\n").last().refused, noName);
}

TEST_F(UndoListTest, LogThatCannotBeReadLeavesTheListEmpty) {
    struct Case {
        std::function<void()> spoil;
        QString cause;
    };
    const Case cases[] = {
        {[&] { QFile::remove(logPath); }, std::strerror(ENOENT)},
        {[&] {
             QFile::remove(logPath);
             QDir().mkdir(logPath);
         },
         "not a regular file"},
    };
    for (const Case& c : cases) {
        writeLog("/a/x\r\ny\r\n");
        ASSERT_TRUE(undo.load());
        ASSERT_EQ(undo.count(), 1);
        c.spoil();
        prompts.shown.clear();
        EXPECT_FALSE(undo.load());
        EXPECT_EQ(undo.count(), 0);
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].title, "Vorlane");
        EXPECT_EQ(prompts.shown[0].text, "Can't read the undo log\r" + logPath + "\r" + c.cause);
        QDir().rmdir(logPath);
    }
}

TEST(UndoListSort, ModesOrderTheRows) {
    struct Case {
        QList<int> modes; // set one after the other
        QList<int> orders;
    };
    // Folders first, then names; equal keys keep their previous order.
    const Case cases[] = {
        {{0}, {1, 2, 3, 4}},  {{1}, {3, 4, 1, 2}},    {{-1}, {2, 1, 4, 3}},
        {{2}, {4, 2, 3, 1}},  {{-2}, {1, 3, 2, 4}},   {{3}, {2, 3, 4, 1}},
        {{-3}, {1, 4, 2, 3}}, {{1, 3}, {3, 2, 4, 1}}, {{2, 0}, {1, 2, 3, 4}},
    };
    ScriptedPrompts prompts;
    for (const Case& c : cases) {
        UndoList l(prompts, QString());
        l.setRows(UndoList::parse("/A/z.mp3\r\ny.mp3\r\n"
                                  "/A/B/a.mp3\r\nb.mp3\r\n"
                                  "/a.mp3\r\nX.mp3\r\n"
                                  "/A/b.mp3\r\na.mp3\r\n"));
        for (int m : c.modes)
            l.SetSortMode(m);
        EXPECT_EQ(ordersOf(l), c.orders) << "last mode " << c.modes.last();
    }
    // Letters beyond ASCII are upper-cased too: both names below are one key.
    UndoList l(prompts, QString());
    l.setRows(UndoList::parse(
        QString::fromUtf8("/m/\u00e4.mp3\r\nx\r\n/n/B.mp3\r\nx\r\n/o/\u00c4.mp3\r\nx\r\n").toUtf8()));
    l.SetSortMode(UndoList::ByBeforeWithoutDir);
    const QList<int> o = ordersOf(l);
    EXPECT_EQ(o.indexOf(3), o.indexOf(1) + 1) << o.indexOf(1);
}

namespace {

void expectStableSortByFolderThenName(const QStringList& folders) {
    SCOPED_TRACE(folders.last().toStdString());
    const QStringList names = {"track 1.mp3", "TRACK 1.mp3", "track 10.mp3",
                               "track 2.mp3", "trac",        "\u00e4.mp3",
                               "\u00c4.mp3",  "b",           ".mp3"};
    QByteArray log;
    std::mt19937 random(3);
    for (int i = 0; i < 900; ++i) {
        // The first folder holds many files, others a few or one.
        const QString& folder = folders[i % 3 == 0 ? 0 : int(random() % unsigned(folders.size()))];
        log += (folder + names[int(random() % unsigned(names.size()))] + "\r\nx\r\n").toUtf8();
    }
    const QVector<UndoRow> rows = UndoList::parse(log);
    const QLocale locale;
    const QCollator collator;
    const auto key = [&](const UndoRow& r, bool folder) {
        const qsizetype cut = r.before.lastIndexOf(u'/') + 1;
        return folder ? locale.toUpper(r.before.left(cut)).replace(u'/', u'\t')
                      : locale.toUpper(r.before.mid(cut));
    };
    for (const int direction : {1, -1}) {
        QList<int> expected;
        for (const UndoRow& r : rows)
            expected << r.order;
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            const UndoRow& x = rows[a - 1];
            const UndoRow& y = rows[b - 1];
            int c = collator.compare(key(x, true), key(y, true));
            if (c == 0)
                c = collator.compare(key(x, false), key(y, false));
            return direction * c < 0;
        });
        ScriptedPrompts prompts;
        UndoList l(prompts, QString());
        l.setRows(rows);
        l.SetSortMode(direction * UndoList::ByBefore);
        EXPECT_EQ(ordersOf(l), expected) << "direction " << direction;
    }
}

} // namespace

// Sorting by "Before" orders as a stable sort by folder, then name, both
// upper-cased and collated, folder delimiters before every letter: over
// folders that differ in case only, nested folders, large and single-file
// folders, and names alike in their first letters or altogether.
TEST(UndoListSort, ByBeforeIsAStableSortByFolderThenName) {
    QStringList asciiFolders = {"/m/a/", "/m/a/b/", "/m/a b/", "/m/A/", "/"};
    for (int i = 0; i < 60; ++i)
        asciiFolders << QStringLiteral("/music/collection/artist %1/album %2/").arg(i % 7).arg(i);
    for (const QStringList& folders :
         {asciiFolders, asciiFolders + QStringList{"/m/ss/", "/m/\u00e4/", "/m/\u00c4/", "/m/\u00df/"}})
        expectStableSortByFolderThenName(folders);
}

TEST(UndoListSort, ColumnClicksFlipAndMarkTheCaptions) {
    ScriptedPrompts prompts;
    UndoList l(prompts, QString());
    const auto click = [&](int column) {
        l.SetSortMode(l.columnClickMode(column));
        return std::make_tuple(l.sortMode(), l.caption(0), l.caption(1));
    };
    EXPECT_EQ(click(0), std::make_tuple(1, QString("Before  (+)"), QString("After  ")));
    EXPECT_EQ(click(0), std::make_tuple(-1, QString("Before  (-)"), QString("After  ")));
    EXPECT_EQ(click(0), std::make_tuple(1, QString("Before  (+)"), QString("After  ")));
    EXPECT_EQ(click(1), std::make_tuple(2, QString("Before  "), QString("After  (+)")));
    l.SetSortMode(3);
    EXPECT_EQ(std::make_tuple(l.caption(0), l.caption(1)),
              std::make_tuple(QString("Before  "), QString("After  ")));
}

TEST_F(UndoListTest, DeleteAsksAndClosingSavesInRenameOrder) {
    const QByteArray original = "/m/1\r\none\r\n/m/2\r\ntwo\r\n/m/3\r\nthree\r\n";
    struct Case {
        Prompts::Answer answer;
        bool closes;
        QByteArray after;
    };
    const Case cases[] = {
        {Prompts::Answer::Cancel, false, original},
        {Prompts::Answer::No, true, original},
        {Prompts::Answer::Yes, true, "/m/1\r\none\r\n/m/3\r\nthree\r\n"},
    };
    for (const Case& c : cases) {
        writeLog(original);
        ASSERT_TRUE(undo.load());
        prompts.shown.clear();
        // Nothing checked; then a question answered No.
        EXPECT_FALSE(undo.Deletefromlist1Click());
        check({2});
        prompts.script = {Prompts::Answer::No};
        EXPECT_FALSE(undo.Deletefromlist1Click());
        EXPECT_EQ(undo.count(), 3);
        EXPECT_TRUE(undo.FormClose()); // nothing changed: no question
        undo.SetSortMode(-2);
        prompts.script = {Prompts::Answer::Yes, c.answer};
        EXPECT_TRUE(undo.Deletefromlist1Click());
        EXPECT_EQ(ordersOf(undo), QList<int>({3, 1}));
        EXPECT_EQ(undo.FormClose(), c.closes);
        EXPECT_EQ(log(), c.after);
        ASSERT_EQ(prompts.shown.size(), 4);
        EXPECT_EQ(prompts.shown[0].title, "Error");
        EXPECT_EQ(prompts.shown[0].text, "No items checked");
        EXPECT_EQ(prompts.shown[1].title, "Confirmation");
        EXPECT_EQ(prompts.shown[1].text, "Do you really want to DELETE from list\rchecked file(s) ( 1 )");
        EXPECT_EQ(prompts.shown[3].title, "Confirmation");
        EXPECT_EQ(prompts.shown[3].text, "You modified UNDO contents\rDo you want to save it?");
        EXPECT_EQ(prompts.shown[3].buttons, Prompts::Buttons::YesNoCancel);
    }
}

TEST_F(UndoListTest, FailedRewriteLeavesTheOldLogWhole) {
    const QByteArray original = "/m/1\r\none\r\n/m/2\r\ntwo\r\n";
    struct Case {
        const char* name;
        std::function<bool()> save; // closes with Yes under the failure
        QString cause;
    };
    const Case cases[] = {
        {"write cut short",
         [&] {
             FileSizeLimit cap(10);
             return undo.FormClose();
         },
         std::strerror(EFBIG)},
        {"folder in its place",
         [&] {
             QFile::remove(logPath);
             QDir().mkdir(logPath);
             const bool closed = undo.FormClose();
             QDir().rmdir(logPath);
             writeLog(original);
             return closed;
         },
         "not a regular file"},
    };
    for (const Case& c : cases) {
        writeLog(original);
        ASSERT_TRUE(undo.load());
        check({1});
        prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Yes};
        prompts.shown.clear();
        ASSERT_TRUE(undo.Deletefromlist1Click());
        EXPECT_FALSE(c.save()) << c.name;
        EXPECT_EQ(log(), original) << c.name;
        ASSERT_EQ(prompts.shown.size(), 3) << c.name;
        EXPECT_EQ(prompts.shown[2].title, "Vorlane");
        EXPECT_EQ(prompts.shown[2].text, "Can't write the undo log\r" + logPath + "\r" + c.cause) << c.name;
        // No temporary file stays behind.
        EXPECT_EQ(QDir(disk.root()).entryList(QDir::Files | QDir::Hidden), QStringList({"vlnundo.txt"}));
        // The list still holds the change: a later try saves it.
        prompts.script = {Prompts::Answer::Yes};
        EXPECT_TRUE(undo.FormClose()) << c.name;
        EXPECT_EQ(log(), "/m/2\r\ntwo\r\n");
    }
}

TEST_F(UndoListTest, EntriesAppendedMeanwhileSurviveTheRewrite) {
    struct Case {
        const char* name;
        QByteArray loaded;
        std::function<void()> meanwhile;
        QByteArray after;
    };
    const auto appendEntry = [&] {
        UndoLog log(logPath);
        ASSERT_TRUE(log.open());
        ASSERT_TRUE(log.append("/m/new", "n"));
    };
    const Case cases[] = {
        {"appended", "/m/1\r\none\r\n/m/2\r\ntwo\r\n", appendEntry, "/m/2\r\ntwo\r\n/m/new\r\nn\r\n"},
        {"cut-off line ended, then appended", "/m/1\r\none\r\n/m/2\r\ntwo", appendEntry,
         "/m/2\r\ntwo\r\n/m/new\r\nn\r\n"},
        {"rewritten by someone else", "/m/1\r\none\r\n/m/2\r\ntwo\r\n",
         [&] { writeLog("/x\r\ny\r\n/z\r\nw\r\n"); }, "/m/2\r\ntwo\r\n"},
    };
    for (const Case& c : cases) {
        writeLog(c.loaded);
        ASSERT_TRUE(undo.load());
        check({1});
        prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Yes};
        ASSERT_TRUE(undo.Deletefromlist1Click());
        c.meanwhile();
        EXPECT_TRUE(undo.FormClose()) << c.name;
        EXPECT_EQ(log(), c.after) << c.name;
    }
}

TEST(UndoListAdd, CheckedRowsGoToTheFileListWithTheirOldNames) {
    struct Case {
        const char* name;
        bool dontUseSeps;
        QStringList before; // the file list's lines before (a trailing one a separator)
        QStringList texts;
        QStringList names;
    };
    const Case cases[] = {
        {"separator added",
         false,
         {},
         {"Undo files list", "/m/x/d.mp3", "/m/b.mp3"},
         {"Undo files list", "c.mp3", "a.mp3"}},
        {"separators off", true, {}, {"/m/x/d.mp3", "/m/b.mp3"}, {"c.mp3", "a.mp3"}},
        {"trailing separator reused",
         false,
         {"/q/f.mp3", "/q"},
         {"/q/f.mp3", "Undo files list", "/m/x/d.mp3", "/m/b.mp3"},
         {"", "Undo files list", "c.mp3", "a.mp3"}},
    };
    for (const Case& c : cases) {
        Options options;
        options.cbDontUseSeps = c.dontUseSeps;
        ScriptedPrompts prompts;
        ListNameLines editor;
        FakeFileSystem fs;
        ManualClock clock;
        NoPump pump;
        Workspace ws({&options, &prompts, &editor, &fs, &clock, &pump});
        FileList& list = ws.list;
        for (int i = 0; i < c.before.size(); ++i) {
            if (i == c.before.size() - 1 && c.before.size() > 1)
                list.AddSeparator(c.before[i]);
            else
                list.AddItem(0, 0, true, c.before[i]);
        }
        StatusUi ui;
        ws.group.setUi(&ui);
        UndoList undo(prompts, QString());
        const char log[] = "/m/a.mp3\r\nb.mp3\r\n"
                           "/m/c.mp3\r\nx/d.mp3\r\n"
                           "/m/e.mp3\r\nnot checked\r\n"
                           "/m/g.mp3\r\nbad\0name\r\n";
        undo.setRows(UndoList::parse(QByteArray(log, sizeof log - 1)));
        for (int i : {0, 1, 3})
            undo.setChecked(i, true);
        undo.SetSortMode(-2); // added in the order shown
        prompts.script = {Prompts::Answer::Yes};
        EXPECT_EQ(undo.Undorename1Click(list, ws.group), 2) << c.name;
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.text(i);
        EXPECT_EQ(texts, c.texts) << c.name;
        EXPECT_EQ(editor.lines(), c.names) << c.name;
        EXPECT_EQ(list.line(list.count() - 1).info.FileSize, 0);
        EXPECT_TRUE(list.pendingSeparator().isEmpty());
        EXPECT_EQ(ui.caption, "Adding Undo Items");
        EXPECT_EQ(ui.status, "2 of 3 item(s) were added");
        ASSERT_EQ(prompts.shown.size(), 2);
        EXPECT_EQ(prompts.shown[0].text, "Do you really want to ADD to main list\rchecked file(s) ( 3 )");
        EXPECT_EQ(prompts.shown[1].text,
                  QString::fromUtf8("Can't add file\r/m/bad\u2400name\rThe entry holds a "
                                    "line break or a NUL character"));
        EXPECT_EQ(undo.checkedCount(), 3); // the rows stay checked
    }
}

TEST_F(UndoListTest, LastRenamesGoBackNewestFirstAndLeaveTheLogAtOnce) {
    const QString d = disk.root() + '/';
    auto entry = [&](const QString& before, const QString& after) {
        return d + before + "\r\n" + after + "\r\n";
    };
    struct Case {
        const char* name;
        QString log;
        QStringList files; // name=content
        int n;
        QStringList after; // name=content, every file in the folder but the log
        QString logAfter;
        int done;
        int notes;
        int failures;
        int left;
    };
    const QString swapped = entry("A", ".vorlane-1.tmp") + entry("B", "A") + entry(".vorlane-1.tmp", "B");
    const Case cases[] = {
        {"a chain needs the newest first",
         entry("a", "b") + entry("b", "c"),
         {"c=1"},
         10,
         {"a=1"},
         "",
         2,
         0,
         0,
         0},
        {"a swap behind an empty line",
         "\r\n" + swapped,
         {"A=b", "B=a"},
         3,
         {"A=a", "B=b"},
         "\r\n",
         3,
         0,
         0,
         0},
        {"only the last n",
         entry("a", "b") + entry("c", "d"),
         {"b=1", "d=2"},
         1,
         {"b=1", "c=2"},
         entry("a", "b"),
         1,
         0,
         0,
         0},
        // Killed after its rename, before its entry went: dropped with a note.
        {"already back",
         entry("f", "f2") + entry("g", "g2"),
         {"f2=1", "g=2"},
         2,
         {"f=1", "g=2"},
         "",
         1,
         1,
         0,
         0},
        // e2 cannot go back (e is taken): the older renames were made on
        // top of it, so they stay as they are.
        {"stops at a failure",
         entry("a", "b") + entry("e", "e2") + entry("h", "h2"),
         {"b=1", "e=2", "e2=3", "h2=4"},
         10,
         {"b=1", "e=2", "e2=3", "h=4"},
         entry("a", "b") + entry("e", "e2"),
         1,
         0,
         1,
         1},
        {"a file that is gone",
         entry("a", "b") + entry("x", "y"),
         {"b=1"},
         10,
         {"b=1"},
         entry("a", "b") + entry("x", "y"),
         0,
         0,
         1,
         1},
        {"a relative old path is never used",
         entry("a", "b") + "b\r\nc\r\n",
         {"b=1", "c=2"},
         10,
         {"b=1", "c=2"},
         entry("a", "b") + "b\r\nc\r\n",
         0,
         0,
         1,
         2},
    };
    for (const Case& c : cases) {
        QDir(disk.root()).removeRecursively();
        QDir().mkpath(disk.root());
        for (const QString& f : c.files) {
            const QStringList kv = f.split('=');
            QFile out(disk.path(kv[0]));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(kv[1].toUtf8());
        }
        writeLog(c.log.toUtf8());
        const TakeBackResult r = takeBackLast(logPath, c.n, PosixFileSystem::instance());
        QStringList after;
        for (const QString& f : QDir(disk.root()).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            if (f != "vlnundo.txt")
                after << f + '=' + QString::fromUtf8(disk.read(disk.path(f)));
        EXPECT_EQ(after, c.after) << c.name;
        EXPECT_EQ(QString::fromUtf8(log()), c.logAfter) << c.name;
        EXPECT_EQ(r.done, c.done) << c.name;
        EXPECT_EQ(r.notes.size(), c.notes) << c.name;
        EXPECT_EQ(r.failures.size(), c.failures) << c.name;
        EXPECT_EQ(r.left, c.left) << c.name;
        EXPECT_TRUE(r.error.isEmpty()) << c.name;
        // Taking back again moves nothing that went back.
        if (c.failures == 0 && c.logAfter.trimmed().isEmpty()) {
            const TakeBackResult again = takeBackLast(logPath, c.n, PosixFileSystem::instance());
            EXPECT_EQ(again.done, 0) << c.name;
        }
    }
    EXPECT_EQ(takeBackLast(logPath, 1, PosixFileSystem::instance()).failures,
              QStringList("Can't take back the entry c: The old path is not a full path"));
}
