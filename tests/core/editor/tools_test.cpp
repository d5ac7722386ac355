#include "core/editor/tools.h"
#include "support/qtprint.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(EditorTools, Alignment) {
    EXPECT_EQ(rightAlign({"abc", "a", ""}), QStringList({"abc", "  a", "   "}));
    EXPECT_EQ(leftAlign({"   abc", "\tx", "    ", " \t y"}), QStringList({"abc", "\tx", "", "\t y"}));
    EXPECT_EQ(alignByDot({"song.mp3", "a.flac", "README"}),
              QStringList({"  song.mp3", "     a.flac", "README"}));
    EXPECT_EQ(alignByDot({"dir.old/file", "x.y"}), QStringList({"dir.old/file", "           x.y"}));
    EXPECT_EQ(alignByDot({".hidden", "ab"}), QStringList({"  .hidden", "ab"}));
    EXPECT_EQ(rightAlign({}), QStringList());
}

TEST(EditorTools, SortSelectedLines) {
    EXPECT_EQ(sortSelectedText("b\r\nA\r\nc\r\n", false), "A\r\nb\r\nc\r\n");
    EXPECT_EQ(sortSelectedText("b\r\n\r\nA", false), "\r\nA\r\nb\r\n");
    EXPECT_EQ(sortSelectedText("b\r\nA\r\nc", false), "A\r\nb\r\nc\r\n");
    EXPECT_EQ(sortSelectedText("b\r\nA\r\nc", true), "c\r\nb\r\nA\r\n");
    EXPECT_EQ(sortSelectedText("b\nA\rc", false), "A\r\nb\r\nc\r\n");
}

// F2 selects the name up to its extension, as file managers do.
TEST(EditorTools, NameStemForF2) {
    const struct {
        const char* name;
        qsizetype stem;
    } cases[] = {
        {"song.mp3", 4}, {"a.tar.gz", 5},  {"README", 6},    {".profile", 8},    {"trailing.", 8},
        {"", 0},         {"Кино.flac", 4}, {"x y.z.mp3", 5}, {".hidden.txt", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameStemLength(QString::fromUtf8(c.name)), c.stem) << c.name;
}

// The selection as the text tools take it: every line break CR LF.
TEST(EditorTools, LineBreaksBecomeCrLf) {
    const struct {
        QString text;
        QString crLf;
    } cases[] = {
        {"", ""},
        {"a", "a"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"\r\n\n", "\r\n\r\n"},
        {"a\rb", "a\rb"}, // a CR alone is no line break here
        {"\r\r\n", "\r\r\n"},
        {"\n\r", "\r\n\r"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withCrLf(c.text), c.crLf) << c.text.toStdString();
    // Many lines, as a whole name list selected.
    QString lines, expected;
    for (int i = 0; i < 3000; ++i) {
        lines += QString::number(i) + (i % 2 ? "\n" : "\r\n");
        expected += QString::number(i) + "\r\n";
    }
    EXPECT_EQ(withCrLf(lines), expected);
}
