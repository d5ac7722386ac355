#include "core/editor/namelines.h"

#include <gtest/gtest.h>

using namespace vorlane;

TEST(NameLines, SingleLineEditsOverBulkCalls) {
    ListNameLines n;
    n.setLines({"a", "b", "c", "d"});
    n.move(0, 2);
    EXPECT_EQ(n.lines(), QStringList({"b", "c", "a", "d"}));
    n.exchange(0, 3);
    EXPECT_EQ(n.lines(), QStringList({"d", "c", "a", "b"}));
    n.remove(1);
    EXPECT_EQ(n.lines(), QStringList({"d", "a", "b"}));
    n.insert(3, "e");
    EXPECT_EQ(n.lines(), QStringList({"d", "a", "b", "e"}));
    // Out-of-range edits change nothing.
    n.remove(7);
    n.move(0, 9);
    n.exchange(-1, 2);
    EXPECT_EQ(n.lines(), QStringList({"d", "a", "b", "e"}));
    n.setLine(6, "g");
    EXPECT_EQ(n.lines(), QStringList({"d", "a", "b", "e", "", "", "g"}));
}
