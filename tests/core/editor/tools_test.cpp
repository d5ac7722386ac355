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
