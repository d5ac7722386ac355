#include "tmain_fixture.h"
#include "ui/filelist/topendirdialog.h"

#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace vorlane;

TEST_F(TMainTest, FirstStart) {
    EXPECT_EQ(window->windowTitle(), "  Vorlane");
    EXPECT_EQ(window->pos(), QPoint(246, 187));
    EXPECT_EQ(window->size(), QSize(758, 452));
    EXPECT_EQ(window->lb1()->width(), window->width() / 2);
    QFile log(home.path() + "/vlnundo.txt");
    ASSERT_TRUE(log.exists());
    EXPECT_EQ(log.size(), 0);
    // An existing log is left alone.
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("x\r\n");
    log.close();
    makeWindow(&fakeFs);
    EXPECT_EQ(QFile(home.path() + "/vlnundo.txt").size(), 3);
    // Status bar panels share the width one to three.
    EXPECT_EQ(window->panel(0)->width(), window->width() / 4);
}

TEST_F(TMainTest, MenusCarryTheirCaptionsAndKeys) {
    struct Item {
        const char* handler;
        const char* caption;
        QKeySequence key;
    };
    const Item items[] = {
        {"New1Click", "&New", {}},
        {"Open1Click", "&Open...", {}},
        {"Merge1Click", "&Merge...", {}},
        {"Save2Click", "Sa&ve", {}},
        {"SaveasmClick", "&Save as...", {}},
        {"Exit1Click", "&Exit", {}},
        {"Buffer1Click", "&Buffer", {}},
        {"Options1Click", "&Options...", Qt::Key_F10},
        {"ReCountmp3filestime1Click", "&ReCount mp3/wav-file(s) time", {}},
        {"Checkfilesexist1Click", "Check file(s) &exist", {}},
        {"Undo1Click", "&Undo rename...", {}},
        {"Copy1Click", "&Copy...", {}},
        {"Checkfile1Click", "Compare...", {}},
        {"Makeprinttemplate1", "&Make print template", {}},
        {"Help1Click", "Help", Qt::Key_F1},
        {"Openfiles1Click", "Open &files...", QKeySequence("Ctrl+O")},
        {"OpenDirectory1Click", "Open F&older...", {}},
        {"OpenFolderwithsubfolders1Click", "Open Fol&der with subfolders...", QKeySequence("Ctrl+D")},
        {"SortbyName1Click", "Sort by &Name", QKeySequence("Ctrl+1")},
        {"SortbyNamewithoutdir1Click", "Sort by Name &without dir", QKeySequence("Ctrl+2")},
        {"Sortbynumber1Click", "&Sort by self number", QKeySequence("Ctrl+3")},
        {"mCopyPathAndNameClick", "Copy to clipboard", QKeySequence("Ctrl+C")},
        {"SelectAll1Click", "&Select All", QKeySequence("Ctrl+A")},
        {"InvertSelection1Click", "&Invert selection", QKeySequence("Ctrl+I")},
        {"SelectAlbum1Click", "Select al&bum", QKeySequence("Ctrl+S")},
        {"Insertseparator1Click", "Insert S&eparator", Qt::Key_Insert},
        {"mDeleteFromListClick", "&Delete from list", Qt::Key_Delete},
        {"Selectallseparators1Click", "Delete separato&r(s)", {}},
        {"mDeletefromdiskClick", "Delete from disk...", {}},
        {"ShiftSelectionUp1Click", "Shift Items Up", QKeySequence("Alt+Up")},
        {"ShiftSelectionDown1Click", "Shift Items Down", QKeySequence("Alt+Down")},
        {"mOpeninExplorer1Click", "Open in Explorer", {}},
        {"Convert1Click", "&Convert...", {}},
        {"FastConvert1Click", "&Fast Convert", QKeySequence("Ctrl+Q")},
        {"Rename1Click", "&Rename...", {}},
        {"lowcasemClick", "&low case", QKeySequence("Ctrl+Shift+1")},
        {"uppercasemClick", "&UPPER CASE", QKeySequence("Ctrl+Shift+2")},
        {"firstupmClick", "&First letter up", QKeySequence("Ctrl+Shift+3")},
        {"upfirstineachwClick", "Up First In Each &Word", QKeySequence("Ctrl+Shift+4")},
        {"Kirilitsa1Click", "Кириллица -> &Kirillitsa", QKeySequence("Ctrl+Shift+5")},
        {"ralignmClick", "&Right Align", QKeySequence("Ctrl+Shift+R")},
        {"LeftAlign1Click", "&Left Align", QKeySequence("Ctrl+Shift+L")},
        {"Alignby1Click", "&Align by '.'", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Period)},
        {"CutmClick", "C&ut", {}},
        {"CopymClick", "&Copy", {}},
        {"PastemClick", "&Paste", {}},
        {"delmClick", "&Delete", {}},
        {"Accending1Click", "&Ascending", {}},
        {"Descending1Click", "&Descending", {}},
        {"Find1Click", "&Find...", QKeySequence("Ctrl+F")},
        {"Findnext1Click", "Find next", Qt::Key_F3},
        {"Findprevious1Click", "Find previous", QKeySequence("Shift+F3")},
        {"Replace1Click", "&Replace...", QKeySequence("Ctrl+R")},
        {"CopyTimexxxxxx1Click", "Copy (&Time: xx:xx:xx)", {}},
        {"Copyinformation1Click", "Copy &All Information", {}},
    };
    for (const Item& it : items) {
        QAction* a = window->action(QLatin1String(it.handler));
        ASSERT_NE(a, nullptr) << it.handler;
        EXPECT_EQ(a->text(), QString::fromUtf8(it.caption)) << it.handler;
        EXPECT_EQ(a->shortcut(), it.key) << it.handler;
    }
    // Order and separators of the list's menu.
    QStringList top;
    for (QAction* a : window->pmlb()->actions())
        top << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(top, QStringList({"&Open", "&Sort", "&Edit", "Open in Explorer", "-", "&Convert...",
                                "&Fast Convert", "-", "&Rename..."}));
    QStringList edit;
    for (QAction* a : window->pmlb()->actions()[2]->menu()->actions())
        edit << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(edit,
              QStringList({"Copy to clipboard", "-", "&Select All", "&Invert selection", "Select al&bum", "-",
                           "Insert S&eparator", "&Delete from list", "Delete separato&r(s)",
                           "Delete from disk...", "-", "Shift Items Up", "Shift Items Down"}));
    QStringList tools;
    for (QAction* a : window->toolBar()->actions())
        tools << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(tools, QStringList({"New file", "-", "Open folder", "Select All", "-", "&Convert...",
                                  "&Rename...", "-", "Find", "Find next", "", "-", "Options..."}));
    // Buttons show their captions with the dots, without taking Alt keys from the window.
    for (const char* name : {"tb_Convert1Click", "tb_Rename1Click", "tb_Options1Click"}) {
        QAction* a = window->findChild<QAction*>(name);
        const QString shown = qobject_cast<QToolButton*>(window->toolBar()->widgetForAction(a))->text();
        EXPECT_EQ(shown, a->text().remove(u'&')) << name;
    }
    // The Align drop-down repeats the editor's Align submenu.
    QStringList align;
    for (QAction* a : window->alignButton()->menu()->actions())
        align << a->text();
    EXPECT_EQ(align, QStringList({"&Right Align", "&Left Align", "&Align by '.'"}));
}

TEST_F(TMainTest, StatusBarTexts) {
    addFiles({"/m/song.mp3"}, QString(), 3 * 1048576);
    addFiles({"/a/1.wav", "/a/2.wav"}, "/a");
    FileList& l = window->list();
    l.setPlayTime(0, 200);
    l.setPlayTime(2, 50 * 3600);
    l.setPlayTime(3, 50 * 3600);
    struct Case {
        QList<int> sel;
        int caret;
        const char* p0;
        const char* p1;
    };
    const Case cases[] = {
        {{0}, 0, "Cur: 1  Sel: 1", "Size: 3145728 (3.00 Mb)  Time: 00:03:20"},
        {{1}, 1, "Cur: -1  Sel: 0", "Size: 0 (0.00 Mb)  Time: 00:00:00"},
        {{2, 3}, 2, "Cur: 2  Sel: 2", "Size: 200 (0.00 Mb)  Time: 100:00:00"},
    };
    for (const Case& c : cases) {
        l.clearSelection();
        for (int i : c.sel)
            l.setSelected(i, true);
        l.setCaret(c.caret);
        window->Lb1Click();
        EXPECT_EQ(window->panel(0)->text(), c.p0);
        EXPECT_EQ(window->panel(1)->text(), c.p1);
    }
}

TEST_F(TMainTest, ClickingTheListSelectsAndReports) {
    addFiles({"/c/1", "/c/2", "/c/3"});
    QWidget* vp = window->lb1()->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(5, 16 * 1 + 4));
    EXPECT_EQ(selected(), QList<int>({1}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 16 * 2 + 4));
    EXPECT_EQ(selected(), QList<int>({1, 2}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 4));
    EXPECT_EQ(selected(), QList<int>({0, 1, 2}));
    EXPECT_EQ(window->list().caret(), 0);
    EXPECT_EQ(window->panel(0)->text(), "Cur: 1  Sel: 3");
    QTest::keyClick(window->lb1(), Qt::Key_Down);
    EXPECT_EQ(selected(), QList<int>({1}));
    QTest::keyClick(window->lb1(), Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(selected(), QList<int>({1, 2}));
}

TEST_F(TMainTest, ListCommandsThroughTheirKeys) {
    addFiles({"/k/c.mp3", "/k/a.mp3", "/k/b.mp3"}, "/k");
    window->names().setLines({"k", "C", "A", "B"});
    QWidget* lb = window->lb1();
    lb->setFocus();
    // Select all: three files and a separator, one album.
    QTest::keyClick(lb, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(selected(), QList<int>({0, 1, 2, 3}));
    EXPECT_TRUE(window->panel(1)->text().startsWith("1 Album(s) Size: 300"));
    // Sort by name.
    QTest::keyClick(lb, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(texts(), QStringList({"/k", "/k/a.mp3", "/k/b.mp3", "/k/c.mp3"}));
    EXPECT_EQ(window->names().lines(), QStringList({"k", "A", "B", "C"}));
    // Insert a separator below the caret line.
    window->list().setCaret(1);
    QTest::keyClick(lb, Qt::Key_Insert);
    EXPECT_EQ(texts(), QStringList({"/k", "/k/a.mp3", "Separator", "/k/b.mp3", "/k/c.mp3"}));
    EXPECT_EQ(window->names().lines(), QStringList({"k", "A", "Separator", "B", "C"}));
    // Shift the caret line down, then delete it.
    window->list().clearSelection();
    window->list().setCaret(3);
    QTest::keyClick(lb, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(texts(), QStringList({"/k", "/k/a.mp3", "Separator", "/k/c.mp3", "/k/b.mp3"}));
    EXPECT_EQ(window->list().caret(), 4);
    QTest::keyClick(lb, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(window->list().caret(), 3);
    window->list().setSelected(3, true);
    QTest::keyClick(lb, Qt::Key_Delete);
    EXPECT_EQ(texts(), QStringList({"/k", "/k/a.mp3", "Separator", "/k/c.mp3"}));
    EXPECT_EQ(window->names().lines(), QStringList({"k", "A", "Separator", "C"}));
    EXPECT_EQ(selected(), QList<int>({3}));
    EXPECT_EQ(window->list().caret(), 3);
    // Invert, then select album from the separator.
    QTest::keyClick(lb, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(selected(), QList<int>({0, 1, 2}));
    window->list().clearSelection();
    window->list().setCaret(2);
    QTest::keyClick(lb, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(selected(), QList<int>({3}));
    // Delete separators through the menu.
    window->list().SelectAll1Click();
    trigger("Selectallseparators1Click");
    EXPECT_EQ(texts(), QStringList({"/k/a.mp3", "/k/c.mp3"}));
    EXPECT_EQ(window->names().lines(), QStringList({"A", "C"}));
    EXPECT_TRUE(window->isModified());
}

TEST_F(TMainTest, CopyCommands) {
    addFiles({"/cp/one.mp3", "/cp/two.mp3"});
    window->list().setCaret(1);
    trigger("mCopyPathAndNameClick");
    EXPECT_EQ(QApplication::clipboard()->text(), "two.mp3");
    options.Dsfcb = false;
    trigger("mCopyPathAndNameClick");
    EXPECT_EQ(QApplication::clipboard()->text(), "/cp/two.mp3");
    window->list().setPlayTime(0, 3723);
    trigger("SelectAll1Click");
    trigger("CopyTimexxxxxx1Click");
    EXPECT_EQ(QApplication::clipboard()->text(), "(Time: 01:02:03)");
    trigger("Copyinformation1Click");
    EXPECT_EQ(QApplication::clipboard()->text(), "1 Album(s) Size: 200 (0.00 Mb)  Time: 01:02:03");
    // The time copied is the one the status bar shows, until it shows another.
    window->list().setPlayTime(0, 5);
    trigger("CopyTimexxxxxx1Click");
    EXPECT_EQ(QApplication::clipboard()->text(), "(Time: 01:02:03)");
    window->Lb1Click();
    trigger("CopyTimexxxxxx1Click");
    EXPECT_EQ(QApplication::clipboard()->text(), "(Time: 00:00:05)");
}

TEST_F(TMainTest, PopupEnablingRules) {
    auto on = [this](const char* n) { return window->action(QLatin1String(n))->isEnabled(); };
    // Each entry of the list's menu in four states: an empty list; two files,
    // none selected; one selected; both selected.
    const struct {
        const char* entry;
        const char* states;
    } rules[] = {
        {"Sort1", "0011"},
        {"mCopyPathAndNameClick", "0111"},
        {"SelectAll1Click", "0111"},
        {"InvertSelection1Click", "0111"},
        {"SelectAlbum1Click", "0111"},
        {"Insertseparator1Click", "1111"},
        {"mDeleteFromListClick", "0011"},
        {"Selectallseparators1Click", "0011"},
        {"mDeletefromdiskClick", "0011"},
        {"ShiftSelectionUp1Click", "1111"},
        {"mOpeninExplorer1Click", "0010"},
        {"Convert1Click", "0011"},
        {"FastConvert1Click", "0011"},
        {"Rename1Click", "0011"},
    };
    auto entry = [this](const char* name) {
        QMenu* m = window->pmlb()->findChild<QMenu*>(QLatin1String(name));
        return m ? m->menuAction() : window->action(QLatin1String(name));
    };
    const std::function<void()> states[] = {
        [] {},
        [this] {
            addFiles({"/p/1", "/p/2"});
        },
        [this] { window->list().setSelected(0, true); },
        [this] { window->list().setSelected(1, true); },
    };
    for (int state = 0; state < 4; ++state) {
        states[state]();
        window->pmlbPopup();
        for (const auto& r : rules)
            EXPECT_EQ(entry(r.entry)->isEnabled(), r.states[state] == '1') << r.entry << " state " << state;
    }
    // Closed, the menu leaves every entry enabled, so that keys act whatever it showed.
    window->pmlb()->popup(QPoint(0, 0));
    EXPECT_FALSE(on("mOpeninExplorer1Click"));
    window->pmlb()->hide();
    for (const auto& r : rules)
        EXPECT_TRUE(entry(r.entry)->isEnabled()) << r.entry;

    // The Service menu: Copy and Compare need Shift.
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    window->keyboardModifiers = [&] { return mods; };
    window->Actions1Click();
    EXPECT_FALSE(on("Copy1Click"));
    EXPECT_FALSE(on("Checkfile1Click"));
    EXPECT_TRUE(on("ReCountmp3filestime1Click"));
    mods = Qt::ShiftModifier;
    window->Actions1Click();
    EXPECT_TRUE(on("Copy1Click"));
    EXPECT_TRUE(on("Checkfile1Click"));
    window->list().clearSelection();
    window->Actions1Click();
    EXPECT_FALSE(on("Checkfilesexist1Click"));
}

TEST_F(TMainTest, ModalStepsDropStayOnTopForTheirTime) {
    options.Topmcb = true;
    window->setTopmost(true);
    auto onTop = [this] { return bool(window->windowFlags() & Qt::WindowStaysOnTopHint); };
    QList<bool> during;
    window->execDialog = [&](QDialog*) {
        during << onTop();
        return int(QDialog::Rejected);
    };
    window->openDirDialog()->browser = [&](const TOpenDirDialog&) {
        during << onTop();
        return QString();
    };
    trigger("Undo1Click");
    EXPECT_TRUE(onTop());
    trigger("OpenDirectory1Click");
    EXPECT_TRUE(onTop());
    EXPECT_EQ(during, QList<bool>({false, false}));
}

TEST_F(TMainTest, DeleteFromDiskKeepsWhatCannotGo) {
    QTemporaryDir disk;
    makeWindow(&PosixFileSystem::instance());
    const QString a = disk.path() + "/a.txt", b = disk.path() + "/b.txt";
    for (const QString& p : {a, b}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("data");
    }
    window->list().AddItem(0, 2, false, a);
    window->list().AddItem(1, 2, false, b);
    // b becomes a folder: no file to delete there, even for root.
    ASSERT_TRUE(QFile::remove(b));
    ASSERT_TRUE(QDir().mkdir(b));
    window->list().SelectAll1Click();
    prompts.script = {Prompts::Answer::Yes};
    trigger("mDeletefromdiskClick");
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].text, "Are you sure you want to delete (2) file(s)\rphisically form disk?");
    EXPECT_EQ(prompts.shown[1].title, "Error!");
    EXPECT_EQ(prompts.shown[1].text, "Can't delete file\r" + b);
    EXPECT_EQ(texts(), QStringList({b}));
    EXPECT_EQ(window->list().line(0).info.ItemNumber, 2);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(QFileInfo(b).isDir());
}

TEST_F(TMainTest, ModifiedMarkerInCaption) {
    window->SetProjectCaption("/m/songs.vln");
    window->SetModified(false);
    addFiles({"/mod/1"});
    EXPECT_EQ(window->windowTitle(), "{songs.vln*}  Vorlane");
    window->SetModified(false);
    EXPECT_EQ(window->windowTitle(), "{songs.vln }  Vorlane");
    // Typing into the names marks the project too.
    window->Se2()->insert("x");
    EXPECT_EQ(window->windowTitle(), "{songs.vln*}  Vorlane");
    // Without a project part there is no marker.
    window->SetProjectCaption(QString());
    window->SetModified(false);
    window->SetModified(true);
    EXPECT_EQ(window->windowTitle(), "  Vorlane");
}

TEST_F(TMainTest, SeparatorsDrawnPinkWithTheirLastComponent) {
    addFiles({"/Music/Rock/a.mp3"}, "/Music/Rock");
    QImage img = window->lb1()->viewport()->grab().toImage();
    EXPECT_EQ(img.pixelColor(img.width() - 3, 3), QColor(255, 213, 213));
    EXPECT_EQ(img.pixelColor(img.width() - 3, 15), QColor(Qt::black)); // the bottom line
    EXPECT_NE(img.pixelColor(img.width() - 3, 16 + 3), QColor(255, 213, 213));
    // Selected separators take another colour.
    window->list().setSelected(0, true);
    img = window->lb1()->viewport()->grab().toImage();
    EXPECT_NE(img.pixelColor(img.width() - 3, 3), QColor(255, 213, 213));
}

TEST_F(TMainTest, PanesScrollTogether) {
    QStringList paths;
    for (int i = 0; i < 200; ++i)
        paths << QString("/scroll/%1").arg(i);
    addFiles(paths);
    window->lb1()->setTopLine(50);
    EXPECT_EQ(window->Se2()->firstVisibleLine(), 50);
    window->Se2()->setFirstVisibleLine(120);
    QApplication::processEvents();
    EXPECT_EQ(window->lb1()->topLine(), 120);
    QTest::keyClick(window->lb1(), Qt::Key_Home);
    EXPECT_EQ(window->lb1()->topLine(), 0);
    EXPECT_EQ(window->Se2()->firstVisibleLine(), 0);
}

TEST_F(TMainTest, ShellCommands) {
    addFiles({"/sh/a.mp3", "/sh/b.mp3"}, "/sh");
    window->list().setCaret(2);
    trigger("mOpeninExplorer1Click");
    EXPECT_EQ(shell.shown, QStringList({"/sh/b.mp3"}));
    QTest::mouseDClick(window->lb1()->viewport(), Qt::LeftButton, {}, QPoint(5, 16 * 2 + 4));
    EXPECT_EQ(shell.opened, QStringList({"/sh/b.mp3"}));
    // A help file that cannot be opened is reported by the general error box.
    trigger("Help1Click");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_EQ(prompts.shown[0].text, "Can't open help file\rvln.html was not found at:\r" + home.path() +
                                         "/vln.html\r" +
                                         QDir::cleanPath(home.path() + "/../share/vorlane/vln.html"));
    QFile help(home.path() + "/vln.html");
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    trigger("Help1Click");
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(shell.opened.last(), home.path() + "/vln.html");
    // Installed, the help file stands in share/vorlane beside bin.
    QDir(home.path()).mkpath("bin");
    QDir(home.path()).mkpath("share/vorlane");
    QFile installed(home.path() + "/share/vorlane/vln.html");
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.close();
    makeWindow(&fakeFs, home.path() + "/bin");
    trigger("Help1Click");
    EXPECT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(shell.opened.last(), home.path() + "/share/vorlane/vln.html");
}

TEST_F(TMainTest, RowsAndNameLinesStandSideBySide) {
    QStringList paths;
    for (int i = 0; i < 60; ++i)
        paths << QString("/rows/%1").arg(i);
    addFiles(paths);
    NameEditor* se = window->Se2();
    auto editorY = [&](int k) {
        const long pos = se->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(k));
        const int y = int(se->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0L, pos));
        return se->viewport()->mapTo(window.get(), QPoint(0, y)).y();
    };
    auto listY = [&](int k) {
        return window->lb1()->viewport()->mapTo(window.get(), window->lb1()->rowRect(k).topLeft()).y();
    };
    // Whatever the font's own height, lines keep the list's row height.
    for (const qreal points : {9.75, 13.0, 7.0}) {
        QFont f = se->font();
        f.setPointSizeF(points);
        se->setFont(f);
        QApplication::processEvents();
        for (int k = 0; k <= 40; ++k)
            ASSERT_EQ(editorY(k), listY(k)) << "line " << k << " at " << points << " points";
    }
}

TEST_F(TMainTest, PressThenEmptyThenMoveTheMouse) {
    addFiles({"/mv/1", "/mv/2"});
    QWidget* vp = window->lb1()->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(5, 16 + 4));
    trigger("SelectAll1Click");
    trigger("mDeleteFromListClick");
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 40), vp->mapToGlobal(QPointF(5, 40)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(5, 40));
    EXPECT_EQ(window->list().count(), 0);
}
