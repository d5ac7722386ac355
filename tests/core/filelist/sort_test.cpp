#include "fixture.h"

#include "core/platform/naturalorder.h"

#include <QCollator>
#include <QRandomGenerator>

#include <algorithm>

using namespace vorlane;

TEST_F(FileListTest, SortByNamePutsFolderFilesFirst) {
    add("/x/sub/aa.mp3");
    add("/x/zz.mp3");
    list.SelectAll1Click();
    list.SortSelection(FileList::ByName);
    EXPECT_EQ(texts(), QStringList({"/x/zz.mp3", "/x/sub/aa.mp3"}));
}

TEST_F(FileListTest, SortWithoutDirFollowsCaseOption) {
    struct Case {
        bool ignoreCase;
        QStringList in;
        QStringList out;
    };
    const Case cases[] = {
        {true, {"/2/b.mp3", "/1/A.mp3"}, {"/1/A.mp3", "/2/b.mp3"}},
        {false, {"/1/a.mp3", "/2/B.mp3"}, {"/2/B.mp3", "/1/a.mp3"}},
        {false, {"/d/ab", "/c/a"}, {"/c/a", "/d/ab"}}, // a prefix sorts first
    };
    for (const Case& c : cases) {
        list.clear();
        options.Iccb = c.ignoreCase;
        for (const QString& p : c.in)
            add(p);
        list.SelectAll1Click();
        list.SortSelection(FileList::ByNameWithoutDir);
        EXPECT_EQ(texts(), c.out);
    }
}

TEST_F(FileListTest, SortSingleLineChangesNothing) {
    add("/b");
    add("/a");
    select({0});
    modifiedCalls = 0;
    list.SortSelection(FileList::ByName);
    EXPECT_EQ(texts(), QStringList({"/b", "/a"}));
    EXPECT_EQ(modifiedCalls, 0);
    // A separator is no key either.
    list.Insertseparator1Click();
    modifiedCalls = 0;
    select({0, 1});
    list.SortSelection(FileList::ByName);
    EXPECT_EQ(modifiedCalls, 0);
}

TEST_F(FileListTest, SortLeavesExchangedSlotsUnselected) {
    add("/m/c.mp3");
    add("/m/a.mp3");
    add("/m/b.mp3");
    editor.setLines({"C", "A", "B"});
    list.SelectAll1Click();
    list.setCaret(0);
    list.SortSelection(FileList::ByName);
    EXPECT_EQ(texts(), QStringList({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}));
    EXPECT_EQ(editor.lines(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(selected(), QList<int>({2}));
    EXPECT_EQ(list.caret(), 2);     // the caret went with its line
    EXPECT_EQ(editor.bulkEdits, 2); // one for setLines above, one for the sort
}

TEST_F(FileListTest, SortKeepsSeparatorsAndUnselectedInPlace) {
    add("/q/d");
    addFolder("/s", {"c", "b"});
    add("/q/a");
    // Lines: /q/d, sep /s, /s/c, /s/b, /q/a; /s/b stays unselected.
    select({0, 1, 2, 4});
    list.SortSelection(FileList::ByNameWithoutDir);
    EXPECT_EQ(texts(), QStringList({"/q/a", "/s", "/s/c", "/s/b", "/q/d"}));
    EXPECT_EQ(list.line(1).info.ItemNumber, -1);
    EXPECT_EQ(numbers(), QList<int>({1, -1, 2, 3, 4}));
}

TEST_F(FileListTest, SortByNumberRestoresAddingOrder) {
    options.cbDontRenum = true;
    for (const char* p : {"/n/1", "/n/2", "/n/3", "/n/4"})
        add(p);
    list.setCaret(3);
    list.clearSelection();
    list.ShiftSelectionUp1Click();
    list.ShiftSelectionUp1Click();
    list.setCaret(0);
    list.ShiftSelectionDown1Click();
    EXPECT_NE(texts(), QStringList({"/n/1", "/n/2", "/n/3", "/n/4"}));
    list.SelectAll1Click();
    list.SortSelection(FileList::ByNumber);
    EXPECT_EQ(texts(), QStringList({"/n/1", "/n/2", "/n/3", "/n/4"}));
}

// Any length sorts, with every line and its editor line travelling together.
TEST_F(FileListTest, LongListsSortCompletely) {
    options.cbDontLookDups = true;
    QRandomGenerator rng(11);
    const int n = 70000; // past what 16-bit indexes could address
    QStringList names;
    list.beginUpdate();
    for (int i = 0; i < n; ++i) {
        const QString p = QString("/f/%1.x").arg(rng.bounded(1000000), 7, 10, QChar('0'));
        fs.files.insert(p, 1);
        list.AddItem(i, n, false, p);
        editor.setLine(i, p);
        names << p;
    }
    list.endUpdate();
    list.SelectAll1Click();
    list.SortSelection(FileList::ByNameWithoutDir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(texts(), names);
    EXPECT_EQ(editor.lines(), names);
}

// Names the collation cannot tell apart (letter case, full-width letters,
// leading zeros) come out in one order whatever order they came in.
TEST(NaturalOrderTest, NamesThatCollateAlikeSortTheSameFromAnyOrder) {
    QStringList names = {"track 1.mp3", QString::fromUtf8("\uFF41.mp3"), "a.mp3", "track 01.mp3", "A.mp3"};
    const QStringList expected = {"A.mp3", "a.mp3", QString::fromUtf8("\uFF41.mp3"), "track 01.mp3",
                                  "track 1.mp3"};
    std::sort(names.begin(), names.end());
    do {
        QStringList sorted = names;
        NaturalOrder().sort(sorted);
        EXPECT_EQ(sorted, expected) << names.join(u'|').toStdString();
    } while (std::next_permutation(names.begin(), names.end()));
}

// Plain ASCII names are ordered without the collator's keys; the order must be
// the collator's own (numeric mode, case ignored, then code units), including
// where such names meet names that do need the collator.
TEST(NaturalOrderTest, PlainNamesSortAsTheCollatorSortsThem) {
    ASSERT_TRUE(NaturalOrder().comparesPlainNamesItself());
    quint32 seed = 12345;
    const auto next = [&](quint32 n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const QString pieces = " !\"#$%&'()*+,-./0123456789:;<=>?@ABCZabcz[\\]^_`{|}~00099";
    QStringList names;
    for (int k = 0; k < 4000; ++k) {
        QString name;
        const quint32 length = 1 + next(12);
        for (quint32 n = 0; n < length; ++n)
            name += pieces[next(quint32(pieces.size()))];
        names << name;
    }
    names << "track 2.mp3"
          << "track 10.mp3"
          << "Track 010.mp3"
          << "track 0.mp3"
          << "track .mp3" << QString(250, u'9') << QString(250, u'9') + u'8'
          << QString::fromUtf8("tr\u00E4ck 2.mp3") << QString::fromUtf8("\u00C9t\u00E9 1.mp3") << "Ete 1.mp3"
          << "ete 2.mp3";
    QCollator collator(QLocale(QLocale::English));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    QStringList sorted = names;
    NaturalOrder().sort(sorted);
    ASSERT_EQ(sorted.size(), expected.size());
    for (qsizetype i = 0; i < sorted.size(); ++i)
        ASSERT_EQ(sorted[i], expected[i]) << "at " << i;
}
