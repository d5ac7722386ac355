#include "core/editor/tools.h"
#include "core/platform/paths.h"
#include "tmain_fixture.h"
#include "ui/editor/tbuffer.h"
#include "ui/masks/tmaskedf.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>

using namespace vorlane;

namespace {
class EditorToolsTest : public TMainTest {
protected:
    QStringList lines() { return window->names().lines(); }
    void selectAll(QsciScintilla* se) { se->selectAll(true); }
};

constexpr int Ctrl = Qt::CTRL, Shift = Qt::SHIFT;

// A key chord as Qt combines key and modifiers, pressed and released.
void press(QWidget* w, int chord) {
    QTest::keyClick(w, Qt::Key(chord & ~Qt::KeyboardModifierMask),
                    Qt::KeyboardModifiers(chord & Qt::KeyboardModifierMask));
    QApplication::processEvents();
}
} // namespace

// The alignments themselves are the core's (tools_test); here each command,
// from its menu entry and by its key, shows the core's alignment of the
// names in one undo step.
TEST_F(EditorToolsTest, AlignCommandsAreOneUndoStep) {
    struct Case {
        const char* handler;
        Qt::Key key;
        QStringList (*tool)(const QStringList&);
    };
    const Case cases[] = {
        {"ralignmClick", Qt::Key_R, rightAlign},
        {"LeftAlign1Click", Qt::Key_L, leftAlign},
        {"Alignby1Click", Qt::Key_Period, alignByDot},
    };
    // Each alignment gives these names another look.
    const QStringList names = {"  song.mp3", "a.flac", "README"};
    QsciScintilla* se = window->Se2();
    for (const Case& c : cases) {
        for (bool byKey : {false, true}) {
            window->names().setLines(names);
            se->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
            if (byKey) {
                se->setFocus();
                QTest::keyClick(se, c.key, Qt::ControlModifier | Qt::ShiftModifier);
            } else {
                trigger(c.handler);
            }
            EXPECT_EQ(lines(), c.tool(names)) << c.handler << " key " << byKey;
            se->undo();
            EXPECT_EQ(lines(), names) << c.handler;
        }
    }
}

TEST_F(EditorToolsTest, SortSelectedLines) {
    QsciScintilla* se = window->Se2();
    se->setText("b\nA\nc\n");
    selectAll(se);
    trigger("Accending1Click");
    EXPECT_EQ(se->text(), "A\nb\nc\n");
    selectAll(se);
    trigger("Descending1Click");
    EXPECT_EQ(se->text(), "c\nb\nA\n");
    // A selection that ends before the last line break still gets one.
    se->setText("b\nA\nc");
    selectAll(se);
    trigger("Accending1Click");
    EXPECT_EQ(se->text(), "A\nb\nc\n");
    EXPECT_EQ(QApplication::clipboard()->text(), "A\r\nb\r\nc\r\n");
}

TEST_F(EditorToolsTest, EditorKeepsTheListsLength) {
    addFiles({"/p/1", "/p/2", "/p/3", "/p/4", "/p/5"});
    QsciScintilla* se = window->Se2();
    selectAll(se);
    trigger("delmClick");

    EXPECT_EQ(lines(), QStringList({"", "", "", "", ""}));
    // Ten pasted lines stay ten.
    se->clear();
    QApplication::clipboard()->setText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n");
    selectAll(se);
    trigger("PastemClick");
    EXPECT_EQ(lines().size(), 10);
    EXPECT_EQ(lines().first(), "1");
    // Cut of everything pads back to five.
    selectAll(se);
    trigger("CutmClick");
    EXPECT_EQ(lines().size(), 5);
    EXPECT_TRUE(window->isModified());
}

TEST_F(EditorToolsTest, ActiveBufferTakesTheCommands) {
    window->names().setLines({"abc", "a"});
    window->Buffer1Click();
    TBuffer* buffer = window->buffer();
    ASSERT_TRUE(buffer->isVisible());
    EXPECT_EQ(buffer->windowTitle(), "Buffer");
    EXPECT_EQ(buffer->size(), QSize(511, 255));
    buffer->se1->setText("xyz\nx");
    buffer->activateWindow();
    QApplication::setActiveWindow(buffer);
    QApplication::processEvents();
    ASSERT_EQ(window->GetSE(), buffer->se1);
    trigger("ralignmClick");
    EXPECT_EQ(buffer->se1->text(), "xyz\n  x");
    EXPECT_EQ(lines(), QStringList({"abc", "a"}));
    window->Buffer1Click();
    EXPECT_FALSE(buffer->isVisible());
}

TEST_F(EditorToolsTest, PopupEnablingFollowsTheEditor) {
    QsciScintilla* se = window->Se2();
    auto menu = [this](const char* name) { return window->pmse()->findChild<QMenu*>(name)->menuAction(); };
    QApplication::clipboard()->clear();
    window->pmsePopup();
    EXPECT_FALSE(menu("Case1")->isEnabled());
    EXPECT_FALSE(menu("Align1")->isEnabled());
    EXPECT_FALSE(menu("Sort2")->isEnabled());
    EXPECT_FALSE(menu("Search1")->isEnabled());
    EXPECT_FALSE(window->action("CutmClick")->isEnabled());
    EXPECT_FALSE(window->action("PastemClick")->isEnabled());
    // Lines without a selection: Align and Search only.
    se->setText("abc");
    window->pmsePopup();
    EXPECT_TRUE(menu("Align1")->isEnabled());
    EXPECT_TRUE(menu("Search1")->isEnabled());
    EXPECT_FALSE(menu("Case1")->isEnabled());
    EXPECT_FALSE(menu("Sort2")->isEnabled());
    EXPECT_FALSE(window->action("CopymClick")->isEnabled());
    se->setSelection(0, 0, 0, 2);
    QApplication::clipboard()->setText("x");
    window->pmsePopup();
    for (const char* m : {"Case1", "Align1", "Sort2", "Search1"})
        EXPECT_TRUE(menu(m)->isEnabled()) << m;
    for (const char* a : {"CutmClick", "CopymClick", "PastemClick", "delmClick"})
        EXPECT_TRUE(window->action(a)->isEnabled()) << a;
}

TEST_F(EditorToolsTest, SeparatorLinesAreNavyOnPink) {
    addFiles({"/Music/Rock/a.mp3", "/Music/Rock/b.mp3"}, "/Music/Rock");
    window->names().setLine(1, "aaaaaaaaaaaaaaaa");
    QApplication::processEvents();
    const QImage img = window->Se2()->viewport()->grab().toImage();
    const int y0 = 8, y1 = 16 + 8; // middle of the first and the second line
    const QColor pink(255, 213, 213);
    EXPECT_EQ(img.pixelColor(img.width() - 20, y0), pink);
    EXPECT_NE(img.pixelColor(img.width() - 20, y1), pink);
    // The separator's text ("Rock") is drawn in navy.
    bool navy = false;
    for (int x = 0; x < 60 && !navy; ++x)
        for (int y = 0; y < 16 && !navy; ++y) {
            const QColor c = img.pixelColor(x, y);
            navy = c.red() < 90 && c.green() < 90 && c.blue() > 100;
        }
    EXPECT_TRUE(navy);
    // Colours go by position: a line typed above the separator moves the text, not the colour.
    window->Se2()->setCursorPosition(0, 0);
    window->Se2()->insert("new\n");
    QApplication::processEvents();
    const QImage after = window->Se2()->viewport()->grab().toImage();
    EXPECT_EQ(after.pixelColor(after.width() - 20, y0), pink);
    EXPECT_NE(after.pixelColor(after.width() - 20, y1), pink);
}

TEST_F(EditorToolsTest, ShiftAltSwitchesColumnSelection) {
    QsciScintilla* se = window->Se2();
    se->setText("abc\ndef");
    se->setFocus();
    se->setCursorPosition(0, 1);
    auto mode = [se] { return se->SendScintilla(QsciScintilla::SCI_GETSELECTIONMODE); };
    auto handleColour = [this] { return window->splitter()->handle(1)->palette().color(QPalette::Window); };
    // Alt pressed while Shift is held.
    QTest::keyClick(se, Qt::Key_Alt, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(mode(), QsciScintilla::SC_SEL_RECTANGLE);
    EXPECT_EQ(handleColour(), QColor(128, 255, 0));
    // Shift with the arrows now widens a column.
    QTest::keyClick(se, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(se, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(mode(), QsciScintilla::SC_SEL_RECTANGLE);
    EXPECT_EQ(window->GetSelectedText(), "b\r\ne\r\n");
    // A case command converts the column in place.
    trigger("uppercasemClick");
    EXPECT_EQ(se->text(), "aBc\ndEf");
    // The selection comes back by offsets, as a normal one; Shift+Alt toggles it.
    EXPECT_EQ(mode(), QsciScintilla::SC_SEL_STREAM);
    QTest::keyClick(se, Qt::Key_Alt, Qt::ShiftModifier);
    EXPECT_EQ(mode(), QsciScintilla::SC_SEL_RECTANGLE);
    QTest::keyClick(se, Qt::Key_Alt, Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_EQ(mode(), QsciScintilla::SC_SEL_STREAM);
    EXPECT_EQ(handleColour(), QColor(255, 128, 0));
}

TEST_F(EditorToolsTest, TypedTrailingBlanksGoWhenTheCaretLeaves) {
    QsciScintilla* se = window->Se2();
    se->setText("x\ny");
    se->setFocus();
    se->setCursorPosition(0, 1);
    QTest::keyClicks(se, "ab  ");
    EXPECT_EQ(se->text(0), "xab  \n"); // still on the line
    QTest::keyClick(se, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(se->text(0), "xab\n");
    // Blanks that a command wrote stay.
    window->names().setLine(1, "song.mp3  ");
    se->setCursorPosition(0, 0);
    EXPECT_EQ(window->names().line(1), "song.mp3  ");
}

TEST_F(EditorToolsTest, UndoAndRedoGoBetweenWholeChanges) {
    struct Case {
        const char* what;
        std::function<void(QsciScintilla*)> change;
    };
    const Case cases[] = {
        {"Ctrl+A, x",
         [](QsciScintilla* se) {
             press(se, Ctrl | Qt::Key_A);
             press(se, Qt::Key_X);
         }},
        {"Ctrl+A, Delete",
         [](QsciScintilla* se) {
             press(se, Ctrl | Qt::Key_A);
             press(se, Qt::Key_Delete);
         }},
        {"three lines joined by Backspace",
         [](QsciScintilla* se) {
             se->setSelection(1, 0, 4, 0);
             press(se, Qt::Key_Backspace);
         }},
        {"Cut of everything from the menu",
         [this](QsciScintilla* se) {
             selectAll(se);
             trigger("CutmClick");
         }},
        {"Fast Convert",
         [this](QsciScintilla*) {
             window->list().SelectAll1Click();
             window->maskedf()->Maskcb->setEditText("[c3]");
             window->FastConvert1Click();
         }},
    };
    for (const Case& c : cases) {
        makeWindow(&fakeFs);
        addFiles({"/p/a.mp3", "/p/b.mp3", "/p/c.mp3", "/p/d.mp3", "/p/e.mp3"});
        QsciScintilla* se = window->Se2();
        se->setFocus();
        const QString before = se->text();
        c.change(se);
        QApplication::processEvents();
        const QString after = se->text();
        ASSERT_NE(after, before) << c.what;
        EXPECT_EQ(window->names().count(), 5) << c.what;
        // Undo as often as one likes: the names as they were, and no further.
        for (int i = 0; i < 6; ++i)
            press(se, Ctrl | Qt::Key_Z);
        EXPECT_EQ(se->text(), before) << c.what;
        press(se, Ctrl | Qt::Key_Y);
        EXPECT_EQ(se->text(), after) << c.what;
        press(se, Ctrl | Qt::Key_Z);
        EXPECT_EQ(se->text(), before) << c.what;
        press(se, Ctrl | Shift | Qt::Key_Z);
        EXPECT_EQ(se->text(), after) << c.what;
        EXPECT_EQ(window->names().count(), 5) << c.what;
    }
}

TEST_F(EditorToolsTest, UndoNeverMovesNamesAwayFromTheirFiles) {
    struct Case {
        const char* handler;
        QList<int> selected;
    };
    const Case cases[] = {
        {"SortbyName1Click", {0, 1, 2}},
        {"ShiftSelectionDown1Click", {0}},
        {"mDeleteFromListClick", {1}},
    };
    for (const Case& c : cases) {
        makeWindow(&fakeFs);
        addFiles({"/p/c.mp3", "/p/a.mp3", "/p/b.mp3"});
        for (const int i : c.selected)
            window->list().setSelected(i, true);
        trigger(c.handler);
        QsciScintilla* se = window->Se2();
        se->setFocus();
        for (int i = 0; i < 3; ++i)
            press(se, Ctrl | Qt::Key_Z);
        for (int i = 0; i < window->list().count(); ++i)
            EXPECT_EQ(window->names().line(i), fileNamePart(window->list().text(i)))
                << c.handler << " line " << i;
    }
}

// The editors' keys that edit: those of a plain text editor and the menu's.
// Every other key the editing component binds by default leaves the text
// alone (Ctrl+D would duplicate a line and shift every name below it).
TEST_F(EditorToolsTest, OnlyTheProgramsKeysChangeTheText) {
    const QSet<int> editing = {
        Qt::Key_Backspace,   Shift | Qt::Key_Backspace, Qt::Key_Delete,
        Qt::Key_Return,      Shift | Qt::Key_Return,    Qt::Key_Tab,
        Shift | Qt::Key_Tab, Ctrl | Qt::Key_X,          Shift | Qt::Key_Delete,
        Ctrl | Qt::Key_V,    Shift | Qt::Key_Insert,    Ctrl | Qt::Key_Z,
        Ctrl | Qt::Key_Y,    Ctrl | Shift | Qt::Key_Z,
    };
    QsciScintilla defaults;
    window->Buffer1Click();
    for (QsciScintilla* se :
         {static_cast<QsciScintilla*>(window->Se2()), static_cast<QsciScintilla*>(window->buffer()->se1)}) {
        QSet<int> listed = editing;
        for (QAction* a : se->actions())
            for (const QKeySequence& k : a->shortcuts())
                listed.insert(k[0].toCombined());
        QList<int> tried;
        for (QsciCommand* command : defaults.standardCommands()->commands()) {
            for (const int key : {command->key(), command->alternateKey()}) {
                if (key == 0 || listed.contains(key))
                    continue;
                tried << key;
                for (const bool selection : {false, true}) {
                    se->setText("aB\ncD\neF\n");
                    se->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
                    se->SendScintilla(QsciScintilla::SCI_SETZOOM, 0L);
                    QApplication::clipboard()->setText("x\ny\n");
                    if (selection)
                        se->setSelection(1, 0, 2, 1);
                    else
                        se->setCursorPosition(1, 1);
                    se->setFocus();
                    press(se, key);
                    EXPECT_EQ(se->text(), "aB\ncD\neF\n")
                        << qPrintable(se->objectName()) << ' ' << qPrintable(QKeySequence(key).toString())
                        << " selection " << selection;
                    EXPECT_EQ(se->SendScintilla(QsciScintilla::SCI_GETZOOM), 0)
                        << qPrintable(QKeySequence(key).toString());
                }
            }
        }
        for (const int key : {Ctrl | Qt::Key_D, Ctrl | Qt::Key_L, Ctrl | Qt::Key_T, Ctrl | Qt::Key_U})
            EXPECT_TRUE(tried.contains(key)) << qPrintable(QKeySequence(key).toString());
    }
}

TEST_F(EditorToolsTest, TheListedKeysStillEdit) {
    struct Case {
        int key;
        int line, index;          // the caret
        int toLine = -1, toIndex; // the selection's other end, if any
        const char* text;
    };
    const Case cases[] = {
        {Ctrl | Qt::Key_X, 0, 0, 0, 1, "b\ncd\n"},    {Shift | Qt::Key_Delete, 0, 0, 0, 1, "b\ncd\n"},
        {Ctrl | Qt::Key_V, 1, 1, -1, 0, "ab\ncZd\n"}, {Shift | Qt::Key_Insert, 1, 1, -1, 0, "ab\ncZd\n"},
        {Qt::Key_Backspace, 1, 0, -1, 0, "abcd\n"},   {Qt::Key_Delete, 0, 2, -1, 0, "abcd\n"},
        {Qt::Key_Return, 0, 1, -1, 0, "a\nb\ncd\n"},
    };
    window->Buffer1Click();
    for (QsciScintilla* se :
         {static_cast<QsciScintilla*>(window->Se2()), static_cast<QsciScintilla*>(window->buffer()->se1)}) {
        for (const Case& c : cases) {
            se->setText("ab\ncd\n");
            QApplication::clipboard()->setText("Z");
            if (c.toLine >= 0)
                se->setSelection(c.line, c.index, c.toLine, c.toIndex);
            else
                se->setCursorPosition(c.line, c.index);
            se->setFocus();
            press(se, c.key);
            EXPECT_EQ(se->text(), c.text)
                << qPrintable(se->objectName()) << ' ' << qPrintable(QKeySequence(c.key).toString());
        }
    }
}
