#include "core/masks/applymask.h"

#include "core/filelist/filelist.h"
#include "support/fakefs.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlane;

namespace {

class MaskTest : public ::testing::Test {
protected:
    MaskTest() : list(options, prompts, editor, fs) {
        ctx.list = &list;
        ctx.editor = &editor;
        ctx.readTag = [this](const QString& path, char field) -> std::optional<QString> {
            if (path.endsWith("locked.mp3"))
                return std::nullopt;
            return tags.value(QString(QChar(field)));
        };
    }
    std::optional<QString> apply(const QString& mask, const QString& path = "/Music/song.mp3",
                                 int counter = 0, int total = 1) {
        return ApplyMask(counter, total, path, {mask, settings}, ctx);
    }

    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FakeFileSystem fs;
    FileList list;
    MaskContext ctx;
    LetterSettings settings;
    QHash<QString, QString> tags;
};

} // namespace

TEST_F(MaskTest, Elements) {
    fs.files.insert("/Music/song.mp3", 4096);
    list.AddItem(0, 0, false, "/Music/song.mp3");
    list.setPlayTime(0, 3725);
    editor.setLine(0, "typed name");
    tags = {{"A", "Artist"}, {"C", "Album"}, {"R", "Note"}, {"T", "Title"}, {"Y", "2001"}};
    const std::pair<const char*, const char*> cases[] = {
        {"[n].[e]", "song.mp3"},
        {"[N].[E]", "song.mp3"},
        {"[p][n]", "/Music/song"},
        {"[s]", "4096"},
        {"[t]", "2:05"},
        {"[f]", "typed name"},
        {"[f-4]", "n"},
        {"[ma] - [mC] - [MR] - [mt] ([my])", "Artist - Album - Note - Title (2001)"},
        {"[[n]", "[n]"},
        {"a]b", "a]b"},
        {"[[", "["},
        {"", ""},
        {"[c]", "0"},
        {"[c0]", ""},
        {"[c3,'']", "000"},
        {"[c3,'1','']", ""},
        {"[c3,'a]b,c']", "b,c"},
        {"[cc]", "001"},
        {"[cC5]", "00001"},
        {"[e1-2]x", "mpx"},
    };
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(apply(mask).value_or("<malformed>"), QString::fromUtf8(expected)) << mask;
}

TEST_F(MaskTest, RangeSelector) {
    const std::pair<const char*, const char*> cases[] = {
        {"[n]", "abcdefgh"},    {"[n3]", "c"},      {"[n3-5]", "cde"},    {"[n3-]", "cdefgh"},
        {"[n-3]", "f"},         {"[n-3-5]", "def"}, {"[n-3-]", "abcdef"}, {"[n9]", ""},
        {"[n0]", ""},           {"[n5-3]", ""},     {"[n-9]", ""},        {"[n3-20]", "cdefgh"},
        {"[n-3-20]", "abcdef"}, {"[n +3]", "c"},    {"[n  2- 4]", "bcd"}, {"[n-2--1]", ""},
        {"[n0-2]", "ab"},
    };
    for (const auto& [mask, expected] : cases)
        EXPECT_EQ(apply(mask, "/x/abcdefgh.txt").value_or("<malformed>"), QString::fromLatin1(expected))
            << mask;
}

TEST_F(MaskTest, Malformed) {
    for (const char* mask : {"[",     "abc[",   "[n3",         "[x]",           "[p3]",     "[s ]",
                             "[mz]",  "[m",     "[ma",         "[c,'1']",       "[c3;'1']", "[c3,1]",
                             "[na]",  "[n-]",   "[n--3]",      "[n3 ]",         "[n3-5-]",  "[cc0]",
                             "[c12]", "[c3,'1", "[c3,'1','a'", "[c3,'1','a',]", "[cc,'1']", "[n99999999999]",
                             "[e-]",  "[f3x]",  "[]",          "[ n]",          "[t]x[s",   "[c ]"})
        EXPECT_FALSE(apply(mask).has_value()) << mask;
    // [s] and [t] need the file in the list; [f] does not.
    EXPECT_FALSE(apply("[s]", "/not/listed.mp3").has_value());
    EXPECT_FALSE(apply("[t]", "/not/listed.mp3").has_value());
    EXPECT_EQ(apply("[f]x", "/not/listed.mp3"), QString("x"));
    // A tag of a file that cannot be read.
    EXPECT_FALSE(apply("[ma]", "/x/locked.mp3").has_value());
    EXPECT_EQ(apply("[n]", "/x/locked.mp3"), QString("locked"));
}

TEST_F(MaskTest, NamesAndExtensions) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/Music/README", "[n].[e]", "README."},
        {"/x/.profile", "[n]|[e]", "|profile"},
        {"/x/archive.tar.gz", "[n]|[e]", "archive.tar|gz"},
        {"/x.y/file", "[n]|[e]|[p]", "file||/x.y/"},
        {"noslash.txt", "[p][n]", "noslash"},
    };
    for (const auto& [path, mask, expected] : cases)
        EXPECT_EQ(apply(mask, path).value_or("<malformed>"), QString::fromLatin1(expected)) << path;
}

TEST_F(MaskTest, CountersOverAConversion) {
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names << apply("[c3,'1']_[cc3]_[n].[e]", QString("/d/%1.txt").arg(QChar('a' + i)), i, 3).value();
    EXPECT_EQ(names, QStringList({"001_003_a.txt", "002_003_b.txt", "003_003_c.txt"}));
    EXPECT_EQ(apply("[c]", "/a", 10, 11), QString("A"));
    EXPECT_EQ(apply("[c2,'1']", "/a", 99, 100), QString("00"));
    EXPECT_EQ(apply("[cc3]", "/a", 4, 25), QString("025"));
    EXPECT_EQ(apply("[c8,'0','01']", "/a", 5, 9), QString("00000101"));
    EXPECT_EQ(apply("[c3,'x']", "/a", 0), QString("00x"));
    EXPECT_EQ(apply("[c3,'x']", "/a", 1), QString("000"));
    EXPECT_EQ(apply("[c2,'a','a-c']", "/a", 4), QString("bb"));
}

TEST_F(MaskTest, LetterConversion) {
    struct Case {
        LetterSettings s;
        const char* mask;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {{2, false, false, true}, "[n].[e]", "/x/song.mp3", "SONG.mp3"},
        {{2, false, false, false}, "[n].[e]", "/x/song.mp3", "SONG.MP3"},
        {{2, false, false, true}, "[n]", "/x/song.mp3", "SONG"},
        {{1, false, false, false}, "[n]", "/x/ПЕСНЯ.mp3", "песня"},
        {{2, false, true, false}, "[n]", "/x/Жук жук.mp3", "ZHUK ZHUK"},
        {{0, false, true, false}, "[n]", "/x/Жук.mp3", "ZHuk"},
        {{3, true, false, false}, "[n]", "/x/hELLO wORLD.mp3", "Hello world"},
        {{4, false, false, true}, "[n].[e]", "/x/o'neil e-mail.Mp3", "O'Neil E-Mail.Mp3"},
        {{0, true, false, true}, "[n].[e]", "/x/AbC.mp3", "AbC.mp3"},
    };
    for (const Case& c : cases) {
        settings = c.s;
        EXPECT_EQ(apply(c.mask, QString::fromUtf8(c.path)).value_or("<malformed>"),
                  QString::fromUtf8(c.expected))
            << c.mask << " " << c.path;
    }
}

// A file's line is the first whose text is the path exactly: a name that
// differs only in letter case is another file.
TEST_F(MaskTest, FirstOfTwoLinesWins) {
    fs.files.insert("/d/x.mp3", 10);
    fs.files.insert("/D/X.MP3", 20);
    options.cbDontLookDups = true;
    list.AddItem(0, 0, false, "/d/x.mp3");
    list.AddItem(1, 0, false, "/D/X.MP3");
    list.AddItem(2, 0, false, "/d/x.mp3");
    editor.setLines({"one", "two", "three"});
    auto found = [&](const char* path) { return apply("[s] [f]", path).value_or("<not listed>"); };
    const std::pair<const char*, const char*> cases[] = {
        {"/d/x.mp3", "10 one"},
        {"/D/X.MP3", "20 two"},
        {"/D/x.mp3", "<not listed>"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(found(path), QString(expected)) << path;
    // Lines that move are found at their new places.
    list.setCaret(1);
    list.ShiftSelectionUp1Click();
    EXPECT_EQ(found("/d/x.mp3"), QString("10 one"));
    EXPECT_EQ(found("/D/X.MP3"), QString("20 two"));
    list.clearSelection();
    list.setSelected(1, true);
    list.mDeleteFromListClick();
    EXPECT_EQ(found("/d/x.mp3"), QString("10 three"));
}

TEST_F(MaskTest, AddedFilesGetTheirNames) {
    list.setNameMask(Mask({"[c2]-[cc2]-[n].[e]-[f]"}));
    fs.files.insert("/m/a.mp3", 1);
    fs.files.insert("/m/b.mp3", 1);
    list.AddItem(0, 2, false, "/m/a.mp3");
    list.AddItem(1, 2, false, "/m/b.mp3");
    EXPECT_EQ(editor.lines(), QStringList({"00-02-a.mp3-", "01-02-b.mp3-"}));
}

// A name is one editor line: line breaks and NUL from any source become blanks.
TEST_F(MaskTest, NoLineBreaksInNames) {
    fs.files.insert("/m/a.mp3", 1);
    list.AddItem(0, 0, false, "/m/a.mp3");
    editor.setLine(0, "x\ry");
    tags = {{"T", "Ti\r\ntle"}};
    const std::tuple<QString, QString, QString> cases[] = {
        {"[mt]", "/m/a.mp3", "Ti  tle"},
        {"[f]", "/m/a.mp3", "x y"},
        {"[n]", "/m/a\nb.mp3", "a b"},
        {QString("a\nb") + QChar(u'\0') + "c\r", "/m/a.mp3", "a b c "},
    };
    for (const auto& [mask, path, expected] : cases)
        EXPECT_EQ(apply(mask, path).value_or("<malformed>"), expected) << mask.toStdString();
}

// Positions, counter alphabets and widths count characters, not UTF-16 units.
TEST_F(MaskTest, CountsCodePoints) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"[n2]", 0, "😀"},          {"[n-2]", 0, "😂"},        {"[n2-4]", 0, "😀b😂"},
        {"[n-3-]", 0, "a😀b"},      {"[e2]|[e-1]", 0, "😀|x"}, {"[c1,'','😀-😂']", 1, "😁"},
        {"[c1,'','😀-😂']", 3, "😀"}, {"[c3,'😀']", 0, "00😀"},   {"[c2,'😀','😀😁']", 1, "😀😁"},
        {"[c2,'x😀😁']", 0, "😀😁"},
    };
    for (const auto& [mask, counter, expected] : cases)
        EXPECT_EQ(apply(QString::fromUtf8(mask), "/x/a😀b😂c.t😀x", counter).value_or("<malformed>"),
                  QString::fromUtf8(expected))
            << mask;
}

// A counter alphabet holds at most 1024 characters; the start text is not limited.
TEST_F(MaskTest, AlphabetLimit) {
    EXPECT_EQ(apply("[c1,'','\u0100-\u04FF']", "/a", 1023), QString("\u04FF"));
    EXPECT_FALSE(apply("[c1,'','\u0100-\u0500']").has_value());
    EXPECT_FALSE(apply("[c1,'','" + QString("\u0001-\uFFFF").repeated(3) + "']").has_value());
    EXPECT_EQ(apply("[c2,'a-\u4E00']"), QString("\u4DFF\u4E00"));
}

// A compiled mask tells malformed masks and total counters apart before any file.
TEST(CompiledMask, ValidAndCountsGroup) {
    const std::tuple<const char*, bool, bool> cases[] = {
        {"[n].[e]", true, false}, {"[c3,'1']_[cC2]", true, true}, {"x[CC]", true, true},
        {"[n3", false, false},    {"[cc0]", false, true},
    };
    for (const auto& [text, valid, counts] : cases) {
        const Mask mask({text});
        EXPECT_EQ(mask.valid(), valid) << text;
        EXPECT_EQ(mask.countsGroup(), counts) << text;
    }
}

TEST_F(MaskTest, DateOfAFile) {
    // A file without a picture in it gives its modification time.
    QTemporaryDir dir;
    const QString path = dir.path() + "/a.txt";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(
        f.setFileTime(QDateTime(QDate(2021, 7, 4), QTime(10, 11, 12)), QFileDevice::FileModificationTime));
    f.close();
    const auto date = [&](const QString& mask, bool extended = true, const QString& of = {}) {
        return ApplyMask(0, 1, of.isEmpty() ? path : of, {mask, settings, extended}, ctx);
    };
    const std::pair<const char*, const char*> named[] = {
        {"[d]", "2021-07-04"},
        {"[D'yyyy-MM-dd HH.mm.ss']", "2021-07-04 10.11.12"},
        {"[d'dd.MM']_[n]-[d'yy']", "04.07_a-21"},
        {"[d'MMMM']", "July"},
    };
    for (const auto& [mask, name] : named)
        EXPECT_EQ(date(mask), QString(name)) << mask;
    // Malformed: a format that would part a folder or a line, or that is not closed.
    for (const char* mask : {"[d'yyyy/MM']", "[d'yyyy", "[d'yyyy'", "[d'']", "[d x]", "[d'yy'x]", "[d,'yy']",
                             "[d'HH\nmm']", "[d"})
        EXPECT_FALSE(date(mask).has_value()) << mask;
    // The element exists only while extended elements are on.
    EXPECT_FALSE(date("[d]", false).has_value());
    EXPECT_FALSE(date("[d]", true, dir.path() + "/missing").has_value());
}
