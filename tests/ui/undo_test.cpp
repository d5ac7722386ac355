#include "core/rename/undolist.h"
#include "support/diskfixture.h"
#include "tmain_fixture.h"
#include "ui/rename/tundof.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>

using namespace vorlane;

namespace {

// The main window over the real disk; the undo window shows, the test acts in
// it, and what is still open afterwards is closed as the user would.
class UndoWindowTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        makeWindow(nullptr);
        window->execDialog = [this](QDialog* d) {
            d->show();
            d->activateWindow();
            QApplication::processEvents();
            if (inDialog)
                inDialog();
            d->hide();
            return d->result();
        };
    }
    void open(std::function<void()> f) {
        inDialog = std::move(f);
        trigger("Undo1Click");
    }
    void writeLog(const QByteArray& bytes) {
        QFile f(window->undoLogPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    TUndof* undof() { return window->undof(); }
    QTableView* lv1() { return undof()->lv1; }
    QString caption(int column) { return lv1()->model()->headerData(column, Qt::Horizontal).toString(); }
    QStringList column(int c) {
        QStringList l;
        for (int r = 0; r < lv1()->model()->rowCount(); ++r)
            l << lv1()->model()->index(r, c).data().toString();
        return l;
    }
    QList<int> checkedRows() {
        QList<int> l;
        for (int r = 0; r < lv1()->model()->rowCount(); ++r)
            if (lv1()->model()->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
                l << r;
        return l;
    }
    void clickHeader(int column) {
        QHeaderView* h = lv1()->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(column) + 20, 5));
    }
    int checkedSortItem() {
        const QList<QAction*> items = undof()->pmlv->actions();
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->isChecked())
                return i;
        return -1;
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(lv1(), Qt::Key(k), mods);
        QApplication::processEvents();
    }

    Disk disk;
    std::function<void()> inDialog;
};

} // namespace

TEST_F(UndoWindowTest, MenusAndHeaderClicksSortTheRows) {
    writeLog("/A/z.mp3\r\ny.mp3\r\n/A/B/a.mp3\r\nb.mp3\r\n/a.mp3\r\nx.mp3\r\n/cut");
    open([&] {
        EXPECT_EQ(undof()->windowTitle(), "Undo");
        QStringList bar;
        for (QAction* a : undof()->mainMenu->actions())
            bar << a->text() + " " + a->shortcut().toString();
        EXPECT_EQ(bar,
                  QStringList({"&Check ", "&UnCheck ", "&Delete from list Del", "&Add to main list Ins"}));
        QStringList pop;
        for (QAction* a : undof()->pmlv->actions())
            pop << (a->isSeparator() ? QStringLiteral("-") : a->text() + " " + a->shortcut().toString());
        EXPECT_EQ(pop, QStringList({"Sort by &rename order ", "Sort by \"&Before\" column ",
                                    "Sort by \"&After\" column ", "&Sort by \"Before\" without Dir ", "-",
                                    "Select &All Ctrl+A"}));
        // The cut-off last line is an entry of its own.
        EXPECT_EQ(column(0), QStringList({"/A/z.mp3", "/A/B/a.mp3", "/a.mp3", "/cut"}));
        EXPECT_EQ(column(1), QStringList({"y.mp3", "b.mp3", "x.mp3", ""}));
        EXPECT_EQ(lv1()->columnWidth(0), 400);
        EXPECT_EQ(checkedSortItem(), 0);

        // The selected entry stays selected wherever the sort takes it.
        lv1()->selectRow(1);
        clickHeader(0);
        EXPECT_EQ(std::make_pair(caption(0), caption(1)),
                  std::make_pair(QString("Before  (+)"), QString("After  ")));
        EXPECT_EQ(column(0), QStringList({"/a.mp3", "/cut", "/A/z.mp3", "/A/B/a.mp3"}));
        EXPECT_EQ(undof()->selectedRows(), QVector<int>({3}));
        EXPECT_EQ(checkedSortItem(), 1);
        clickHeader(0);
        EXPECT_EQ(caption(0), "Before  (-)");
        EXPECT_EQ(column(0), QStringList({"/A/B/a.mp3", "/A/z.mp3", "/cut", "/a.mp3"}));
        EXPECT_EQ(undof()->selectedRows(), QVector<int>({0}));
        clickHeader(1);
        EXPECT_EQ(std::make_pair(caption(0), caption(1)),
                  std::make_pair(QString("Before  "), QString("After  (+)")));
        EXPECT_EQ(column(1), QStringList({"", "b.mp3", "x.mp3", "y.mp3"}));
        EXPECT_EQ(checkedSortItem(), 2);
        undof()->action("sbbwdmClick")->trigger();
        EXPECT_EQ(std::make_pair(caption(0), caption(1)),
                  std::make_pair(QString("Before  "), QString("After  ")));
        EXPECT_EQ(checkedSortItem(), 3);
        undof()->action("mSortByRenameOrderClick")->trigger();
        EXPECT_EQ(column(0), QStringList({"/A/z.mp3", "/A/B/a.mp3", "/a.mp3", "/cut"}));
    });
    // The next opening loads afresh, in rename order.
    open([&] {
        EXPECT_EQ(checkedSortItem(), 0);
        EXPECT_TRUE(undof()->selectedRows().isEmpty());
    });
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(UndoWindowTest, CheckDeleteAndTheClosingQuestion) {
    const QByteArray original = "/m/1\r\none\r\n/m/2\r\ntwo\r\n/m/3\r\nthree\r\n";
    writeLog(original);
    open([&] {
        // A click on a row's box checks it; Check and UnCheck act on the selected rows.
        QStyleOptionViewItem option;
        option.initFrom(lv1());
        option.rect = lv1()->visualRect(lv1()->model()->index(1, 0));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            lv1()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, lv1());
        QTest::mouseClick(lv1()->viewport(), Qt::LeftButton, {}, box.center());
        EXPECT_EQ(checkedRows(), QList<int>({1}));
        key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(undof()->selectedRows(), QVector<int>({0, 1, 2}));
        undof()->action("Check1Click")->trigger();
        EXPECT_EQ(checkedRows(), QList<int>({0, 1, 2}));
        lv1()->selectionModel()->select(lv1()->model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        undof()->action("UnCheck1Click")->trigger();
        EXPECT_EQ(checkedRows(), QList<int>({1, 2}));

        prompts.script = {Prompts::Answer::Yes};
        key(Qt::Key_Delete);
        EXPECT_EQ(column(0), QStringList({"/m/1"}));
        EXPECT_EQ(disk.read(window->undoLogPath()), original); // not before closing
        // Esc asks; Cancel keeps the window open with its rows.
        prompts.script = {Prompts::Answer::Cancel};
        key(Qt::Key_Escape);
        EXPECT_TRUE(undof()->isVisible());
        EXPECT_EQ(column(0), QStringList({"/m/1"}));
        prompts.script = {Prompts::Answer::Yes};
        key(Qt::Key_Escape);
        EXPECT_FALSE(undof()->isVisible());
    });
    ASSERT_EQ(prompts.shown.size(), 3);
    EXPECT_EQ(prompts.shown[0].text, "Do you really want to DELETE from list\rchecked file(s) ( 2 )");
    EXPECT_EQ(prompts.shown[1].title, "Confirmation");
    EXPECT_EQ(prompts.shown[1].text, "You modified UNDO contents\rDo you want to save it?");
    EXPECT_EQ(prompts.shown[2].text, prompts.shown[1].text);
    EXPECT_EQ(disk.read(window->undoLogPath()), "/m/1\r\none\r\n");
    // An empty log: nothing to check, nothing to add.
    writeLog("");
    open([&] {
        key(Qt::Key_Insert);
        key(Qt::Key_Delete);
    });
    ASSERT_EQ(prompts.shown.size(), 5);
    EXPECT_EQ(prompts.shown[3].title, "Error");
    EXPECT_EQ(prompts.shown[3].text, "No items checked");
    EXPECT_EQ(prompts.shown[4].text, "No items checked");
}

TEST_F(UndoWindowTest, AddToMainListThenRenameBack) {
    const QString a = disk.file("u/a.mp3"), c = disk.file("u/c.mp3");
    window->list().AddItem(0, 0, false, a);
    window->list().AddItem(0, 0, false, c);
    window->names().setLines({"b.mp3", "sub d.mp3"});
    window->list().SelectAll1Click();
    prompts.script = {Prompts::Answer::Yes};
    trigger("Rename1Click");
    ASSERT_TRUE(disk.exists("u/sub d.mp3"));
    window->list().clear();

    open([&] {
        key(Qt::Key_A, Qt::ControlModifier);
        undof()->action("Check1Click")->trigger();
        prompts.script = {Prompts::Answer::Yes};
        key(Qt::Key_Insert);
        EXPECT_EQ(checkedRows(), QList<int>({0, 1})); // the rows stay, checked
        EXPECT_TRUE(undof()->isEnabled());
    });
    EXPECT_EQ(prompts.shown.last().text, "Do you really want to ADD to main list\rchecked file(s) ( 2 )");
    EXPECT_EQ(texts(), QStringList({"Undo files list", disk.path("u/b.mp3"), disk.path("u/sub d.mp3")}));
    EXPECT_EQ(window->names().lines(), QStringList({"Undo files list", "a.mp3", "c.mp3"}));
    EXPECT_EQ(window->panel(0)->text(), "2 of 2 item(s) were added");
    EXPECT_EQ(disk.read(window->undoLogPath()).count("\r\n"), 4); // the log is not touched

    window->list().setSelected(1, true);
    window->list().setSelected(2, true);
    prompts.script = {Prompts::Answer::Yes};
    trigger("Rename1Click");
    EXPECT_TRUE(disk.exists("u/a.mp3"));
    EXPECT_TRUE(disk.exists("u/c.mp3"));
    EXPECT_FALSE(disk.exists("u/b.mp3"));
    // The entries taken back left the log (blanked where they stood); the
    // renames back are logged as any rename.
    const QByteArray after = disk.read(window->undoLogPath());
    EXPECT_TRUE(after.endsWith(
        (disk.path("u/b.mp3") + "\r\na.mp3\r\n" + disk.path("u/sub d.mp3") + "\r\nc.mp3\r\n").toUtf8()));
    EXPECT_EQ(UndoList::parse(after).size(), 2);
    // So the window no longer offers them: nothing can be taken back twice.
    open([&] { EXPECT_EQ(column(0), QStringList({disk.path("u/b.mp3"), disk.path("u/sub d.mp3")})); });
}

TEST_F(UndoWindowTest, RowsAlreadyTakenBackLeaveTheListWithANote) {
    // x went back once but its entry stayed (a run killed between the two);
    // the old path of the second entry is not a full path.
    disk.file("k/x.mp3");
    const QString p = disk.file("k/p2.mp3");
    writeLog((disk.path("k/x.mp3") + "\r\ny.mp3\r\nrel/q.mp3\r\nq2.mp3\r\n" + disk.path("k/p.mp3") +
              "\r\np2.mp3\r\n")
                 .toUtf8());
    open([&] {
        EXPECT_EQ(lv1()->model()->rowCount(), 4);
        key(Qt::Key_A, Qt::ControlModifier);
        undof()->action("Check1Click")->trigger();
        prompts.script = {Prompts::Answer::Yes, Prompts::Answer::Ok, Prompts::Answer::Ok,
                          Prompts::Answer::Ok};
        key(Qt::Key_Insert);
        EXPECT_EQ(column(0), QStringList({"rel/q.mp3", "q2.mp3", disk.path("k/p.mp3")}));
        prompts.script = {Prompts::Answer::Yes};
        undof()->close();
    });
    EXPECT_EQ(texts(), QStringList({"Undo files list", p}));
    QStringList shown;
    for (const auto& s : prompts.shown)
        shown << s.text;
    EXPECT_EQ(shown, QStringList({"Do you really want to ADD to main list\rchecked file(s) ( 4 )",
                                  "Can't add file\rrel/q.mp3\rThe old path is not a full path",
                                  "Can't add file\rq2.mp3\rThe old path is not a full path",
                                  "1 checked file(s) are back under their old names already\r"
                                  "Their entries were taken off the list",
                                  "You modified UNDO contents\rDo you want to save it?"}));
    EXPECT_EQ(disk.read(window->undoLogPath()),
              ("rel/q.mp3\r\n\r\nq2.mp3\r\n\r\n" + disk.path("k/p.mp3") + "\r\np2.mp3\r\n").toUtf8());
}
