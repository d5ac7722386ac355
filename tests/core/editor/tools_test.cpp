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
