#include "fixture.h"

using namespace vorlane;

TEST_F(FileListTest, FolderGivesSeparatorThenFiles) {
    int counted = 0; // what the running group operation counts
    list.hooks.itemAdded = [&] { ++counted; };
    add("/loose.txt");
    addFolder("/Music/Rock", {"a.mp3", "b.mp3"});
    EXPECT_EQ(texts(), QStringList({"/loose.txt", "/Music/Rock", "/Music/Rock/a.mp3", "/Music/Rock/b.mp3"}));
    EXPECT_EQ(numbers(), QList<int>({1, -1, 2, 3}));
    EXPECT_EQ(editor.lines(), QStringList({"", "Rock", "", ""}));
    EXPECT_EQ(list.line(2).info.FileSize, 10);
    EXPECT_TRUE(list.pendingSeparator().isEmpty());
    EXPECT_EQ(counted, 3);
}

TEST_F(FileListTest, EmptyFoldersOweNoSeparator) {
    list.setPendingSeparator("/a");
    list.setPendingSeparator("/b");
    addFolder("/c", {"x"});
    EXPECT_EQ(texts(), QStringList({"/c", "/c/x"}));
}

TEST_F(FileListTest, TrailingSeparatorIsReused) {
    add("/f1");
    list.setCaret(0);
    list.Insertseparator1Click();
    EXPECT_EQ(texts(), QStringList({"/f1", "Separator"}));
    EXPECT_EQ(editor.lines(), QStringList({"", "Separator"}));
    addFolder("/Music/Jazz", {"t.mp3"});
    EXPECT_EQ(texts(), QStringList({"/f1", "/Music/Jazz", "/Music/Jazz/t.mp3"}));
    EXPECT_EQ(editor.lines(), QStringList({"", "Jazz", ""}));
}

TEST_F(FileListTest, SeparatorsCanBeSwitchedOff) {
    options.cbDontUseSeps = true;
    addFolder("/m", {"a", "b"});
    EXPECT_EQ(texts(), QStringList({"/m/a", "/m/b"}));
}

TEST_F(FileListTest, AddItemRefusals) {
    add("/A/x.mp3");
    fs.files.insert("/a/X.MP3", 1);
    fs.folders.insert("/dir");
    struct Case {
        QString path;
        bool added;
        QString message; // empty: no box
    };
    // Paths are told apart by their exact text: on a file system that minds
    // letter case, a name that differs only in case is another file.
    const Case cases[] = {
        {"/A/x.mp3", false, {}},
        {"/a/X.MP3", true, {}},
        {"/a/X.MP3", false, {}},
        {"/A/X.mp3", false, "Can't find file\r/A/X.mp3"},
        {"/missing", false, "Can't find file\r/missing"},
        {"/missing", false, "Can't find file\r/missing"}, // a refused file is not held as listed
        {"/dir", false, "Can't find file\r/dir"},
        {"/new\nline", false, "File name contains a line break or a NUL character\r/new\u240Aline"},
        {"/cr\rhere", false, "File name contains a line break or a NUL character\r/cr\u240Dhere"},
        {QString("/nul") + QChar(0) + "here", false,
         "File name contains a line break or a NUL character\r/nul\u2400here"},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_EQ(list.AddItem(0, 0, false, c.path), c.added) << c.path.toStdString();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompts.shown.isEmpty()) << c.path.toStdString();
        } else {
            ASSERT_EQ(prompts.shown.size(), 1) << c.path.toStdString();
            EXPECT_EQ(prompts.shown[0].title, "Error");
            EXPECT_EQ(prompts.shown[0].text, c.message);
            EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Error);
        }
    }
    EXPECT_EQ(list.count(), 2);
    // With the duplicate test off the same file is added again.
    options.cbDontLookDups = true;
    EXPECT_TRUE(list.AddItem(0, 0, false, "/a/X.MP3"));
    // Loading mode takes the line as given.
    EXPECT_TRUE(list.AddItem(0, 0, true, "/not/there"));
    EXPECT_EQ(list.line(3).info.FileSize, 0);
    EXPECT_EQ(list.count(), 4);
}

TEST_F(FileListTest, DuplicateIndexFollowsDeletes) {
    add("/a");
    add("/b");
    select({0});
    list.mDeleteFromListClick();
    EXPECT_TRUE(list.AddItem(0, 0, false, "/a"));
    EXPECT_FALSE(list.AddItem(0, 0, false, "/a"));
    EXPECT_FALSE(list.AddItem(0, 0, false, "/b"));
}

TEST_F(FileListTest, PlayTimeAndMaskHooks) {
    options.cbDontCountmp3 = false;
    QStringList counted;
    list.hooks.countPlayTime = [&](const QString& p, const QString& ext) {
        counted << ext;
        if (p.contains("bad"))
            throw std::runtime_error("damaged");
        return 42;
    };
    list.setNameMask(Mask({"[c]/[cc1] [n].[e]"}));
    add("/s.Mp3");
    add("/w.wav");
    add("/t.txt");
    add("/bad.mp3");
    EXPECT_EQ(counted, QStringList({".MP3", ".WAV", ".MP3"}));
    EXPECT_EQ(list.line(0).info.PlayTime, 42);
    EXPECT_EQ(list.line(2).info.PlayTime, 0);
    EXPECT_EQ(list.count(), 4); // an error while counting keeps the line
    EXPECT_EQ(editor.line(0), "0/0 s.Mp3");
    EXPECT_EQ(editor.line(2), "0/0 t.txt");
    EXPECT_EQ(editor.line(3), ""); // the mask was not reached
    options.cbDontCountmp3 = true;
    add("/x.mp3");
    EXPECT_EQ(counted.size(), 3);
}

TEST_F(FileListTest, Renumbering) {
    for (bool dontRenum : {false, true}) {
        options.cbDontRenum = dontRenum;
        list.clear();
        list.RenumberItems();
        const int base = list.itemCounter();
        add(QString("/r%1/1").arg(dontRenum));
        add(QString("/r%1/2").arg(dontRenum));
        add(QString("/r%1/3").arg(dontRenum));
        select({0});
        list.mDeleteFromListClick();
        add(QString("/r%1/4").arg(dontRenum));
        if (dontRenum)
            EXPECT_EQ(numbers(), QList<int>({base + 2, base + 3, base + 4}));
        else
            EXPECT_EQ(numbers(), QList<int>({1, 2, 3}));
    }
}

TEST_F(FileListTest, InsertSeparatorLandsBelowCaret) {
    add("/1");
    add("/2");
    add("/3");
    editor.setLines({"n1", "n2", "n3", "extra"});
    list.setCaret(0);
    list.setSelected(1, true);
    list.Insertseparator1Click();
    EXPECT_EQ(texts(), QStringList({"/1", "Separator", "/2", "/3"}));
    // The new line takes the editor line at the list's end, as every added line does.
    EXPECT_EQ(editor.lines(), QStringList({"n1", "Separator", "n2", "n3", ""}));
    EXPECT_EQ(selected(), QList<int>({2})); // selection travels with its line
    EXPECT_EQ(list.caret(), 0);
    list.setCaret(3);
    list.Insertseparator1Click();
    EXPECT_EQ(texts().last(), "Separator");
    list.clear();
    list.Insertseparator1Click(); // empty list: at the top
    EXPECT_EQ(texts(), QStringList({"Separator"}));
}

TEST_F(FileListTest, DeleteFromList) {
    for (int i = 0; i < 4; ++i)
        add(QString("/d%1").arg(i));
    editor.setLines({"a", "b", "c", "d", "typed"});
    // The last line: the caret moves to the new last line and selects it.
    list.setCaret(3);
    select({3});
    list.mDeleteFromListClick();
    EXPECT_EQ(texts(), QStringList({"/d0", "/d1", "/d2"}));
    EXPECT_EQ(editor.lines(), QStringList({"a", "b", "c", "typed"}));
    EXPECT_EQ(list.caret(), 2);
    EXPECT_EQ(selected(), QList<int>({2}));
    // Nothing selected: nothing goes, yet the project is marked and the caret line selected.
    list.clearSelection();
    list.setCaret(1);
    modifiedCalls = 0;
    list.mDeleteFromListClick();
    EXPECT_EQ(list.count(), 3);
    EXPECT_GT(modifiedCalls, 0);
    EXPECT_EQ(selected(), QList<int>({1}));
    // Every line: the list empties and as many editor lines go from the top.
    list.SelectAll1Click();
    list.mDeleteFromListClick();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.caret(), -1);
    EXPECT_EQ(editor.lines(), QStringList({"typed"}));
    EXPECT_GT(clicks, 0);
}

TEST_F(FileListTest, DeleteFromListPadsShortEditor) {
    add("/p1");
    add("/p2");
    add("/p3");
    editor.setLines({"only"});
    select({0});
    list.mDeleteFromListClick();
    EXPECT_EQ(editor.lines(), QStringList({"", ""}));
}

TEST_F(FileListTest, DeleteSeparatorsTakesOnlySelectedSeparators) {
    addFolder("/a", {"1", "2"});
    addFolder("/b", {"3"});
    addFolder("/c", {"4"});
    select({0, 1, 3});
    list.Selectallseparators1Click();
    EXPECT_EQ(texts(), QStringList({"/a/1", "/a/2", "/b/3", "/c", "/c/4"}));
    EXPECT_EQ(editor.lines(), QStringList({"", "", "", "c", ""}));
}

TEST_F(FileListTest, ShiftBlock) {
    for (int i = 0; i < 5; ++i)
        add(QString("/s%1").arg(i));
    editor.setLines({"e0", "e1", "e2", "e3", "e4"});
    // Block at the top: up does nothing.
    select({0, 1});
    list.setCaret(0);
    modifiedCalls = 0;
    list.ShiftSelectionUp1Click();
    EXPECT_EQ(texts(), QStringList({"/s0", "/s1", "/s2", "/s3", "/s4"}));
    EXPECT_EQ(modifiedCalls, 0);
    // Down: the line below the block goes above it; the caret to the block's new last line.
    list.ShiftSelectionDown1Click();
    EXPECT_EQ(texts(), QStringList({"/s2", "/s0", "/s1", "/s3", "/s4"}));
    EXPECT_EQ(editor.lines(), QStringList({"e2", "e0", "e1", "e3", "e4"}));
    EXPECT_EQ(selected(), QList<int>({1, 2}));
    EXPECT_EQ(list.caret(), 2);
    EXPECT_EQ(numbers(), QList<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(list.line(1).info.ItemNumber, 2);
    // Up again restores the order; the caret goes to the block's first line.
    list.ShiftSelectionUp1Click();
    EXPECT_EQ(texts(), QStringList({"/s0", "/s1", "/s2", "/s3", "/s4"}));
    EXPECT_EQ(list.caret(), 0);
    // An unselected caret line is the block by itself; at the bottom, down does nothing.
    list.clearSelection();
    list.setCaret(4);
    list.ShiftSelectionDown1Click();
    EXPECT_EQ(texts().last(), "/s4");
    list.ShiftSelectionUp1Click();
    EXPECT_EQ(texts(), QStringList({"/s0", "/s1", "/s2", "/s4", "/s3"}));
    EXPECT_EQ(list.caret(), 3);
}

TEST_F(FileListTest, SelectionCommands) {
    addFolder("/x", {"1", "2"});
    addFolder("/y", {"3"});
    EXPECT_EQ(list.SelectAll1Click(), 2);
    EXPECT_EQ(selected().size(), 5);
    list.InvertSelection1Click();
    EXPECT_TRUE(selected().isEmpty());
    list.setSelected(0, true);
    list.InvertSelection1Click();
    EXPECT_EQ(selected(), QList<int>({1, 2, 3, 4}));
    // Select album from a separator: the files below it.
    list.clearSelection();
    list.setCaret(0);
    list.SelectAlbum1Click();
    EXPECT_EQ(selected(), QList<int>({1, 2}));
    // From a file: up and down to the separators, other selections stay.
    list.setCaret(4);
    list.SelectAlbum1Click();
    EXPECT_EQ(selected(), QList<int>({1, 2, 4}));
    // Double click on a separator selects its album; on a file opens it.
    QString opened;
    list.hooks.openFile = [&](const QString& p) { opened = p; };
    list.clearSelection();
    list.setCaret(3);
    list.Lb1DblClick();
    EXPECT_EQ(selected(), QList<int>({4}));
    list.setCaret(1);
    list.Lb1DblClick();
    EXPECT_EQ(opened, "/x/1");
}

TEST_F(FileListTest, AlbumsCountRunsOfFiles) {
    add("/top");
    addFolder("/a", {"1", "2"});
    list.Insertseparator1Click();
    addFolder("/b", {"3"});
    EXPECT_EQ(list.SelectAll1Click(), 3);
}

TEST_F(FileListTest, DeleteFromDisk) {
    addFolder("/m", {"a", "b", "c"});
    fs.undeletable.insert("/m/b");
    select({0, 1, 2});
    prompts.script = {Prompts::Answer::No};
    list.mDeletefromdiskClick();
    EXPECT_EQ(list.count(), 4);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Question");
    EXPECT_EQ(prompts.shown[0].text, "Are you sure you want to delete (3) file(s)\rphisically form disk?");
    EXPECT_EQ(prompts.shown[0].buttons, Prompts::Buttons::YesNoCancel);

    prompts.shown.clear();
    select({0, 1, 2, 3});
    list.mDeletefromdiskClick();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].title, "Error!");
    EXPECT_EQ(prompts.shown[1].text, "Can't delete file\r/m/b");
    EXPECT_EQ(texts(), QStringList({"/m", "/m/b"}));
    EXPECT_EQ(numbers(), QList<int>({-1, 2})); // no renumbering
    EXPECT_FALSE(fs.files.contains("/m/c"));
    EXPECT_TRUE(fs.files.contains("/m/b"));
    EXPECT_EQ(editor.count(), 2);
}

TEST_F(FileListTest, StatusTexts) {
    add("/song.mp3", 3 * 1048576);
    list.setPlayTime(0, 200);
    addFolder("/long", {"a.wav", "b.wav"});
    list.setPlayTime(2, 50 * 3600);
    list.setPlayTime(3, 50 * 3600);
    struct Case {
        QList<int> sel;
        int caret;
        const char* p0;
        const char* p1;
    };
    const Case cases[] = {
        {{0}, 0, "Cur: 1  Sel: 1", "Size: 3145728 (3.00 Mb)  Time: 00:03:20"},
        {{1}, 1, "Cur: -1  Sel: 0", "Size: 0 (0.00 Mb)  Time: 00:00:00"},
        {{2, 3}, 3, "Cur: 3  Sel: 2", "Size: 20 (0.00 Mb)  Time: 100:00:00"},
    };
    for (const Case& c : cases) {
        select(c.sel);
        list.setCaret(c.caret);
        EXPECT_EQ(list.statusTexts().panel0, QString::fromLatin1(c.p0));
        EXPECT_EQ(list.statusTexts().panel1, QString::fromLatin1(c.p1));
        // The status bar's copy of the time takes panel 1 from "Time" on.
        const QString p1 = QString::fromLatin1(c.p1);
        EXPECT_EQ(list.statusTexts().time, p1.mid(p1.indexOf("Time")));
    }
    list.clear();
    EXPECT_EQ(list.statusTexts().panel0, "Cur: 0  Sel: 0");
}
