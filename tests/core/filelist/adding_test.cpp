#include "core/app/workspace.h"

#include "fixture.h"
#include "support/diskfixture.h"
#include "support/scriptedprompts.h"

#include <QRegularExpression>
#include <QSet>

using namespace vorlane;

namespace {

class FakeClock : public Clock {
public:
    qint64 nowMs() override { return now += step; }
    qint64 now = 0;
    qint64 step = 0;
};

class FakePump : public EventPump {
public:
    void pump() override {
        ++pumps;
        if (onPump)
            onPump();
    }
    int pumps = 0;
    std::function<void()> onPump;
};

class RecordingGroupUi : public GroupUi {
public:
    void begin(const QString& caption) override { captions << caption; }
    void setInfo(const QString& text) override { infos << text; }
    void end() override { ++ends; }
    void setStatus(const QString& text) override { status = text; }
    QStringList captions, infos;
    QString status;
    int ends = 0;
};

class AddingTest : public ::testing::Test {
protected:
    AddingTest() { group.setUi(&ui); }
    // Names from a mask that shows each file's position and group size.
    const MaskSpec positions{"[c1]/[cc1] [n].[e]"};
    QStringList calls() const {
        QStringList c;
        for (int i = 0; i < list.count(); ++i)
            if (!list.isSeparator(i))
                c << editor.line(i);
        return c;
    }
    QStringList texts() const {
        QStringList t;
        for (int i = 0; i < list.count(); ++i)
            t << (list.isSeparator(i) ? "#" : "") + list.text(i);
        return t;
    }
    QStringList names() const {
        QStringList t;
        for (int i = 0; i < list.count(); ++i)
            if (!list.isSeparator(i))
                t << fileNamePart(list.text(i));
        return t;
    }

    Disk disk;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FakeClock clock;
    FakePump pump;
    RecordingGroupUi ui;
    Workspace ws{{&options, &prompts, &editor, nullptr, &clock, &pump}};
    FileList& list = ws.list;
    GroupOperation& group = ws.group;
    FileAdder& adder = ws.adder;
};

QSet<QString> asSet(const QStringList& l) {
    return QSet<QString>(l.begin(), l.end());
}

} // namespace

TEST_F(AddingTest, FileMasks) {
    for (const char* n : {"a.MP3", "b.wav", "c.ogg", "noext", "x.mp3", "d.mp"})
        disk.file(QString("m/") + n);
    const std::pair<const char*, QStringList> cases[] = {
        {"*.mp3;*.WAV", {"a.MP3", "b.wav", "x.mp3"}},
        {"*.mp3; *.wav", {"a.MP3", "b.wav", "x.mp3"}}, // blanks around a pattern do not count
        {"a*.mp3", {}},
        {"*.mp?", {}},
        {"", {}},
        {"*", {}},
        {"*.mp3;*", {"a.MP3", "x.mp3", "noext"}},
        {"*.*", {"a.MP3", "b.wav", "c.ogg", "noext", "x.mp3", "d.mp"}},
        {"*.ogg;*.*;", {"a.MP3", "b.wav", "c.ogg", "noext", "x.mp3", "d.mp"}},
    };
    for (const auto& [mask, expected] : cases) {
        list.clear();
        options.masked = QString::fromLatin1(mask);
        adder.addFolder(disk.path("m"), false);
        EXPECT_EQ(asSet(names()), asSet(expected)) << mask;
        EXPECT_EQ(ui.status, QString("%1 item(s) were added").arg(expected.size())) << mask;
    }
}

TEST_F(AddingTest, TreeWithSubfolders) {
    disk.file("F/f1");
    disk.file("F/f2");
    disk.file("F/A/a1");
    disk.folder("F/B");
    disk.file("F/.hidden");
    adder.addFolder(disk.path("F"), true);
    const QStringList t = texts();
    ASSERT_EQ(t.size(), 6);
    EXPECT_EQ(t[0], "#" + disk.path("F"));
    EXPECT_EQ(asSet(t.mid(1, 3)), asSet({disk.path("F/f1"), disk.path("F/f2"), disk.path("F/.hidden")}));
    EXPECT_EQ(t[4], "#" + disk.path("F/A"));
    EXPECT_EQ(t[5], disk.path("F/A/a1"));
    EXPECT_EQ(editor.line(0), "F");
    EXPECT_EQ(editor.line(4), "A");
    EXPECT_EQ(list.line(5).info.FileSize, 1);
    // Without subfolders only the folder's own files.
    list.clear();
    adder.addFolder(disk.path("F") + "/", false);
    EXPECT_EQ(texts().size(), 4);
    EXPECT_EQ(texts()[0], "#" + disk.path("F"));
}

TEST_F(AddingTest, NameThatIsNotUtf8) {
    const QString odd = disk.rawFile("caf\xE9 \xFF.mp3");
    adder.addFolder(disk.root(), false);
    ASSERT_EQ(names().size(), 1);
    EXPECT_EQ(list.text(1), odd);
    EXPECT_EQ(encodeName(list.text(1)), QFile::encodeName(disk.root()) + "/caf\xE9 \xFF.mp3");
}

TEST_F(AddingTest, LinksToFoldersAreNotFollowed) {
    disk.file("L/f1", 5);
    ASSERT_EQ(::symlink(QFile::encodeName(disk.path("L")).constData(),
                        QFile::encodeName(disk.path("L/loop")).constData()),
              0);
    ASSERT_EQ(::symlink("f1", QFile::encodeName(disk.path("L/link")).constData()), 0);
    ASSERT_EQ(::symlink("missing", QFile::encodeName(disk.path("L/dangling")).constData()), 0);
    adder.addFolder(disk.path("L"), true);
    EXPECT_EQ(asSet(names()), asSet({"f1", "link"}));
    EXPECT_EQ(list.line(list.count() - 1).info.FileSize, 5);
}

TEST_F(AddingTest, FilesOfAFirstScanAreNotAddedTwice) {
    // The first scan into an empty list skips the duplicate test; every way
    // of adding afterwards must still find its files listed.
    const QString f1 = disk.file("D/f1"), f2 = disk.file("D/S/f2");
    const std::pair<const char*, std::function<void()>> again[] = {
        {"same folder", [&] { adder.addFolder(disk.path("D"), true); }},
        {"subfolder", [&] { adder.addFolder(disk.path("D/S"), false); }},
        {"files",
         [&] {
             adder.addFiles({f2, f1});
         }},
        {"drop",
         [&] {
             adder.FilesDropped({f1, disk.path("D")});
         }},
    };
    for (const auto& [name, add] : again) {
        list.clear();
        adder.addFolder(disk.path("D"), true);
        const QStringList before = texts();
        ASSERT_EQ(before.size(), 4) << name;
        add();
        QStringList files = texts().filter(QRegularExpression("^[^#]"));
        EXPECT_EQ(files, QStringList({f1, f2})) << name;
    }
}

TEST_F(AddingTest, MissingFolder) {
    adder.addFolder(disk.path("nope"), true);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Error");
    EXPECT_EQ(prompts.shown[0].text, "Can't open directory\r" + disk.path("nope"));
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(ui.status, "0 item(s) were added");
}

TEST_F(AddingTest, OpenFilesGivesFolderSeparatorAndPositions) {
    const QString a = disk.file("x/1.mp3"), b = disk.file("x/2.mp3");
    adder.addFiles({a, b}, positions);
    EXPECT_EQ(texts(), QStringList({"#" + disk.path("x/"), a, b}));
    EXPECT_EQ(editor.line(0), "x");
    EXPECT_EQ(calls(), QStringList({"0/2 1.mp3", "1/2 2.mp3"}));
    EXPECT_EQ(ui.captions, QStringList({"Adding Items"}));
    EXPECT_EQ(ui.status, "2 of 2 item(s) were added");
    // Seven chosen, two already listed.
    QStringList seven{a, b};
    for (int i = 3; i <= 7; ++i)
        seven << disk.file(QString("x/%1.mp3").arg(i));
    adder.addFiles(seven);
    EXPECT_EQ(ui.status, "5 of 7 item(s) were added");
    EXPECT_EQ(ui.ends, 2);
}

TEST_F(AddingTest, CounterMaskCountsTheFolderFirst) {
    for (const char* n : {"a.mp3", "b.mp3", "c.txt"})
        disk.file(QString("cc/") + n);
    options.masked = "*.mp3";
    adder.addFolder(disk.path("cc"), false, positions);
    EXPECT_EQ(calls(), QStringList({"0/2 a.mp3", "1/2 b.mp3"}));
    // Without a mask the files keep empty names.
    list.clear();
    adder.addFolder(disk.path("cc"), false);
    EXPECT_EQ(calls(), QStringList({"", ""}));
}

TEST_F(AddingTest, ProgressRefreshesTwiceASecondAndCancels) {
    for (int i = 0; i < 10; ++i)
        disk.file(QString("p/%1").arg(i));
    clock.step = 200; // each look at the clock: 200 ms later
    adder.addFolder(disk.path("p"), false);
    EXPECT_EQ(list.count(), 11);
    // 10 items at 200 ms each: a refresh every third item.
    EXPECT_EQ(pump.pumps, 3);
    EXPECT_EQ(ui.infos.mid(1), QStringList({"3 items", "6 items", "9 items"}));

    // Cancel pressed while the window is pumped: the walk ends after the item in hand.
    list.clear();
    pump.onPump = [this] { group.bCancelClick(); };
    clock.step = 600;
    disk.file("p/sub/s1");
    adder.addFolder(disk.path("p"), true);
    EXPECT_EQ(names().size(), 1);
    EXPECT_EQ(ui.status, "1 item(s) were added");
    EXPECT_TRUE(group.cancelled());
}

TEST_F(AddingTest, DropOfFilesAndFolders) {
    const QString f1 = disk.file("d/one.txt");
    disk.file("d/sub/two.txt");
    disk.file("d/sub/deep/three.txt");
    const QString f4 = disk.file("e/four.txt");
    adder.FilesDropped({f1, disk.path("d/sub"), f4});
    EXPECT_EQ(texts(),
              QStringList({"#" + disk.path("d/"), f1, "#" + disk.path("d/sub"), disk.path("d/sub/two.txt"),
                           "#" + disk.path("d/sub/deep"), disk.path("d/sub/deep/three.txt"), f4}));
    EXPECT_EQ(ui.status, "4 item(s) were added"); // a folder makes the total unknown

    // A cancelled folder scan: the next dropped file still comes in.
    list.clear();
    pump.onPump = [this] { group.bCancelClick(); };
    clock.step = 600;
    adder.FilesDropped({disk.path("d/sub"), f4});
    EXPECT_EQ(names(), QStringList({"two.txt", "four.txt"}));
}

TEST_F(AddingTest, FolderScanListsNamesInNaturalOrder) {
    // Made out of order, so that neither the order of making nor its reverse is the answer.
    for (const char* n : {"track 2.mp3", "track 10.mp3", "Track 1.mp3", "b.mp3", "track 3.mp3", "A.mp3"})
        disk.file(QString("n/") + n);
    for (const char* n : {"cd 2", "cd 10", "cd 1"})
        disk.file(QString("n/") + n + "/x");
    adder.addFolder(disk.path("n"), true, positions);
    QStringList expected{"#" + disk.path("n")};
    for (const char* n : {"A.mp3", "b.mp3", "Track 1.mp3", "track 2.mp3", "track 3.mp3", "track 10.mp3"})
        expected << disk.path(QString("n/") + n);
    for (const char* n : {"cd 1", "cd 2", "cd 10"})
        expected << "#" + disk.path(QString("n/") + n) << disk.path(QString("n/") + n + "/x");
    EXPECT_EQ(texts(), expected);
    // Counters number the files in the same order.
    EXPECT_EQ(calls().mid(0, 3), QStringList({"0/6 A.mp3", "1/6 b.mp3", "2/6 Track 1.mp3"}));
    EXPECT_EQ(calls()[5], "5/6 track 10.mp3");
}

TEST_F(AddingTest, OpenFilesAddsInNaturalOrder) {
    const QString ten = disk.file("o/10.mp3"), nine = disk.file("o/9.mp3"), one = disk.file("o/1.mp3");
    adder.addFiles({ten, nine, one}, positions);
    EXPECT_EQ(texts(), QStringList({"#" + disk.path("o/"), one, nine, ten}));
    EXPECT_EQ(calls(), QStringList({"0/3 1.mp3", "1/3 9.mp3", "2/3 10.mp3"}));
}

TEST_F(AddingTest, RootFolderGetsItsSeparator) {
    adder.folderReader = [](const QString& folder, std::vector<DirEntry>& out) {
        out.clear();
        if (folder == "/")
            out = {{"sub", DirEntry::Folder}, {"a.mp3", DirEntry::File, 3}};
        else if (folder == "/sub")
            out = {{"b.mp3", DirEntry::File, 4}};
        else
            return false;
        return true;
    };
    adder.addFolder("/", true);
    EXPECT_EQ(texts(), QStringList({"#/", "/a.mp3", "#/sub", "/sub/b.mp3"}));
    EXPECT_EQ(editor.lines(), QStringList({"/", "", "sub", ""}));
    EXPECT_TRUE(prompts.shown.isEmpty());
}
