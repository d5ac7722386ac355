#include "core/platform/fileio.h"
#include "core/project/project.h"
#include "core/project/projectfile.h"

#include "support/diskfixture.h"
#include "support/fakefs.h"
#include "support/guards.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <sys/stat.h>

using namespace vorlane;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    ProjectFileTest() : list(options, prompts, editor, fs) {
        list.hooks.changed = [this] { ++viewTold; };
    }
    // The list as "text|name|size|time", separators marked with '#'.
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) {
            const ListLine& l = list.line(i);
            out << QStringLiteral("%1%2|%3|%4|%5")
                       .arg(l.isSeparator() ? QStringLiteral("#") : QString(), l.text, editor.line(i))
                       .arg(l.info.FileSize)
                       .arg(l.info.PlayTime);
        }
        return out;
    }
    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("p.vln")) {
        const QString p = disk.path(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    QStringList folderEntries() const { return QDir(disk.root()).entryList(QDir::Files | QDir::Hidden); }

    Disk disk;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FakeFileSystem fs;
    FileList list;
    int viewTold = 0;
};

// A separator, a file whose name is not UTF-8, a separator "-", a negative size.
const QByteArray kOdd = "/m/Rock/caf\xE9 \xFF.mp3";
const QByteArray kProject = "\\/m/Rock\r\nRock\r\n0\r\n0\r\n" + kOdd +
                            "\r\nnew \xFE.mp3\r\n5000000000\r\n215\r\n"
                            "\\-\r\n-\r\n0\r\n0\r\n"
                            "/m/x.wav\r\n\r\n-1\r\n-7\r\n";

TEST_F(ProjectFileTest, SavesAndLoadsEveryLineByteForByte) {
    list.AddSeparator("/m/Rock");
    list.AddItem(0, 0, true, decodeName(kOdd));
    editor.setLine(1, decodeName("new \xFE.mp3"));
    list.setFileSize(1, 5000000000);
    list.setPlayTime(1, 215);
    list.AddSeparator("-");
    list.AddItem(0, 0, true, "/m/x.wav");
    list.setFileSize(3, -1);
    list.setPlayTime(3, -7);
    editor.setLines(editor.lines().mid(0, 3)); // the editor one line short: an empty name
    QString error;
    const QString path = disk.path("p.vln");
    ASSERT_TRUE(saveProject(path, list, &error)) << error.toStdString();
    EXPECT_EQ(disk.read(path), kProject);

    const QStringList saved = lines();
    list.clear();
    editor.clear();
    viewTold = 0;
    ASSERT_TRUE(loadProject(path, list, &error)) << error.toStdString();
    EXPECT_EQ(lines(), saved);
    EXPECT_EQ(encodeName(list.text(1)), kOdd);
    EXPECT_EQ(encodeName(editor.line(1)), QByteArray("new \xFE.mp3"));
    EXPECT_EQ(viewTold, 1); // the view hears of the load once, at its end
}

TEST_F(ProjectFileTest, ReadingRules) {
    const QString kFileA = "/a.mp3|A|5|7";
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList lines;
        QString error;
    };
    const Case cases[] = {
        {"CR LF", "/a.mp3\r\nA\r\n5\r\n7\r\n", {kFileA}, ""},
        {"LF and CR alone", "/a.mp3\nA\r5\n7", {kFileA}, ""},
        {"blank lines after the last record", "/a.mp3\r\nA\r\n5\r\n7\r\n\r\n\n\r\n", {kFileA}, ""},
        {"empty file", "", {}, ""},
        {"separators",
         "-\r\nx\r\n0\r\n0\r\n\\\\srv\\share\r\ny\r\n0\r\n0\r\n\\\r\n\r\n0\r\n0\r\n",
         {"#-|x|0|0", "#\\srv\\share|y|0|0", "#||0|0"},
         ""},
        {"a path that is not absolute stays a file",
         "C:\\m\\a.mp3\r\nA\r\n0\r\n0\r\n",
         {"C:\\m\\a.mp3|A|0|0"},
         ""},
        {"blanks before a number, text after it", "/a.mp3\r\nA\r\n \t5 bytes\r\n+7s\r\n", {kFileA}, ""},
        {"extreme numbers",
         "/b\r\n\r\n-9223372036854775808\r\n2147483647\r\n",
         {"/b||-9223372036854775808|2147483647"},
         ""},
        {"size not a number",
         "/a.mp3\r\nA\r\n5\r\n7\r\n/b\r\nB\r\nabc\r\n1\r\n",
         {kFileA},
         "Line 7: the file size is not a number"},
        {"size out of range",
         "/b\r\nB\r\n9223372036854775808\r\n1\r\n",
         {},
         "Line 3: the file size is out of range"},
        {"time out of range",
         "/a.mp3\r\nA\r\n5\r\n7\r\n/b\r\nB\r\n1\r\n2147483648\r\n",
         {kFileA},
         "Line 8: the playing time is out of range"},
        {"time missing",
         "/a.mp3\r\nA\r\n5\r\n7\r\n/b\r\nB\r\n1\r\n",
         {kFileA},
         "Line 8: the file ends inside a record"},
        {"NUL in a name",
         QByteArray("/a.mp3\r\nA\0B\r\n5\r\n7\r\n", 18),
         {},
         "Line 2: the line holds a NUL character"},
    };
    for (const Case& c : cases) {
        list.clear();
        editor.clear();
        QString error;
        const bool ok = loadProject(write(c.bytes), list, &error);
        EXPECT_EQ(lines(), c.lines) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(ok, c.error.isEmpty()) << c.what;
    }
}

TEST_F(ProjectFileTest, FailedSaveLeavesTheOldFileWhole) {
    const QByteArray old = "/old.mp3\r\n\r\n1\r\n0\r\n";
    list.AddItem(0, 0, true, "/m/" + QString(3000, u'a') + ".mp3");
    struct Case {
        const char* what;
        std::function<QString()> target; // prepares the disk
        std::function<void()> before;
        QString error;
    };
    std::optional<FileSizeLimit> cap;
    const Case cases[] = {
        {"a full disk", [&] { return write(old); }, [&] { cap.emplace(1000); }, systemErrorText(EFBIG)},
        {"a line break in a path", [&] { return write(old); }, [&] { list.setLineText(0, "/a\nb"); },
         "Line 1 of the list holds a line break or a NUL character"},
        {"a folder in the file's place", [&] { return disk.folder("d.vln"); }, [] {},
         QString::fromLatin1(kNotRegularFile)},
        {"a missing folder", [&] { return disk.path("none/p.vln"); }, [] {}, systemErrorText(ENOENT)},
    };
    for (const Case& c : cases) {
        const QString path = c.target();
        const QByteArray before = disk.read(path);
        const QStringList entries = folderEntries();
        c.before();
        QString error;
        EXPECT_FALSE(saveProject(path, list, &error)) << c.what;
        cap.reset();
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_EQ(disk.read(path), before) << c.what;
        EXPECT_EQ(folderEntries(), entries) << c.what; // no temporary file left behind
    }
}

TEST_F(ProjectFileTest, SaveReplacesTheLinkedFileAndKeepsItsPermissions) {
    const QString real = write("old", "real.vln");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    const QString link = disk.path("link.vln");
    ASSERT_EQ(::symlink("real.vln", QFile::encodeName(link).constData()), 0);
    list.AddItem(0, 0, true, "/a");
    QString error;
    ASSERT_TRUE(saveProject(link, list, &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);
    EXPECT_EQ(disk.read(real), "/a\r\n\r\n0\r\n0\r\n");
    struct ::stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ProjectCaptionTest, NamesTheFileAndMarksChanges) {
    struct Case {
        QString path;
        bool modified;
        QString caption;
    };
    const Case cases[] = {
        {"", true, "  Vorlane"},
        {"/m/songs.vln", true, "{songs.vln*}  Vorlane"},
        {"/m/songs.vln", false, "{songs.vln }  Vorlane"},
        {"/m/a}b.vln", true, "{a}b.vln*}  Vorlane"},
        {decodeName("/m/caf\xE9\nx.vln"), false, QString::fromUtf8("{caf\uFFFD\uFFFDx.vln }  Vorlane")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(projectCaption(c.path, c.modified, "  Vorlane"), c.caption) << c.path.toStdString();
}

} // namespace

// The program's arguments: the first project file (not a folder) is opened
// first, whatever its place; every other path is added after it, in order.
TEST(ProgramArguments, TheFirstProjectFileIsTakenOut) {
    const auto folder = [](const QString& p) { return p.startsWith(QLatin1String("/dir")); };
    const struct {
        QStringList args;
        QString project;
        QStringList others;
    } cases[] = {
        {{"/a.mp3", "/s.vln", "/b.mp3"}, "/s.vln", {"/a.mp3", "/b.mp3"}},
        {{"/S.VLN"}, "/S.VLN", {}},
        {{"/one.vln", "/two.vln"}, "/one.vln", {"/two.vln"}},
        {{"/dir.vln", "/x.vln"}, "/x.vln", {"/dir.vln"}},
        {{"/a.vlnx", "/vln", "/a.mp3"}, "", {"/a.vlnx", "/vln", "/a.mp3"}},
        {{}, "", {}},
    };
    for (const auto& c : cases) {
        const ProgramArguments a = splitArguments(c.args, folder);
        EXPECT_EQ(a.project, c.project) << c.args.join(u' ').toStdString();
        EXPECT_EQ(a.others, c.others) << c.args.join(u' ').toStdString();
    }
}
