#include "support/qtprint.h"
#include "ui/editor/scinamelines.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

using namespace vorlane;

namespace {
struct Editor {
    QsciScintilla sci;
    SciNameLines lines{&sci};
    Editor() {
        sci.setUtf8(true);
        sci.setEolMode(QsciScintilla::EolUnix);
    }
};
} // namespace

// Raw editor text and the lines it stands for.
TEST(SciNameLines, CountsLinesLikeAList) {
    const std::pair<const char*, QStringList> cases[] = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n\n", {"", ""}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"ё\n🎵", {"ё", "🎵"}},
    };
    for (const auto& [text, expected] : cases) {
        Editor e;
        e.sci.setText(QString::fromUtf8(text));
        EXPECT_EQ(e.lines.count(), expected.size()) << text;
        EXPECT_EQ(e.lines.lines(), expected) << text;
        for (int i = 0; i < expected.size(); ++i)
            EXPECT_EQ(e.lines.line(i), expected[i]) << text;
        // Writing the lines back gives the same lines.
        e.lines.setLines(expected);
        EXPECT_EQ(e.lines.lines(), expected) << text;
    }
}

TEST(SciNameLines, AppendAndSet) {
    Editor e;
    e.lines.append("");
    EXPECT_EQ(e.lines.lines(), QStringList({""}));
    e.lines.append("");
    e.lines.append("x");
    EXPECT_EQ(e.lines.lines(), QStringList({"", "", "x"}));
    e.lines.setLine(2, "");
    EXPECT_EQ(e.lines.lines(), QStringList({"", "", ""}));
    e.lines.setLine(0, "first");
    e.lines.setLine(5, "far");
    EXPECT_EQ(e.lines.lines(), QStringList({"first", "", "", "", "", "far"}));

    Editor f;
    f.sci.setText("a");
    f.lines.append("b");
    f.lines.append("");
    EXPECT_EQ(f.lines.lines(), QStringList({"a", "b", ""}));
    f.lines.setLine(0, "");
    EXPECT_EQ(f.lines.lines(), QStringList({"", "b", ""}));
}

TEST(SciNameLines, RemovingEveryLineEmptiesTheEditor) {
    Editor e;
    e.lines.setLines({"a", "b"});
    e.lines.remove(0);
    e.lines.remove(0);
    EXPECT_EQ(e.lines.count(), 0);
    EXPECT_EQ(e.sci.text(), QString());
    e.lines.setLines({"", "x"});
    e.lines.remove(1);
    EXPECT_EQ(e.lines.lines(), QStringList({""}));
}

TEST(SciNameLines, BulkChangeIsOneUndoStep) {
    Editor e;
    e.sci.setText("one\ntwo");
    e.lines.setLines({"1", "2", "3"});
    EXPECT_TRUE(e.sci.isUndoAvailable());
    e.sci.undo();
    EXPECT_EQ(e.sci.text(), "one\ntwo");
    e.lines.move(0, 1);
    EXPECT_EQ(e.lines.lines(), QStringList({"two", "one"}));
    e.sci.undo();
    EXPECT_EQ(e.lines.lines(), QStringList({"one", "two"}));
}

// The count foretold before a deletion is the count after it, for every range
// of a few texts; and appended empty lines are that many more lines.
TEST(SciNameLines, CountAfterDeletingAndAppendingEmptyLines) {
    for (const char* text : {"a\nb\nc", "a\nb\nc\n", "a\n\n\n", "ab\n\ncd\n\n", "\n"}) {
        Editor e;
        e.sci.setText(text);
        const long len = e.sci.SendScintilla(QsciScintilla::SCI_GETLENGTH);
        for (long pos = 0; pos < len; ++pos) {
            for (long n = 1; pos + n <= len; ++n) {
                e.sci.setText(text);
                const int foretold = e.lines.countAfterDeleting(pos, n);
                e.sci.SendScintilla(QsciScintilla::SCI_DELETERANGE, pos, n);
                EXPECT_EQ(foretold, e.lines.count()) << text << " delete " << pos << '+' << n;
                const QStringList before = e.lines.lines();
                e.lines.appendEmpty(2);
                EXPECT_EQ(e.lines.lines(), before + QStringList({"", ""}))
                    << text << " delete " << pos << '+' << n;
            }
        }
    }
}
