#include "core/platform/paths.h"
#include "tmain_fixture.h"
#include "ui/editor/scisearchtarget.h"
#include "ui/editor/searchdialogs.h"
#include "ui/editor/sesearch.h"
#include "ui/editor/tbuffer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace vorlane;

namespace {

// The real window and editor; the dialogs show, the test fills them and
// presses their buttons.
class SearchTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        search()->beep = [this] { ++beeps; };
        window->execDialog = [this](QDialog* d) {
            // As the window system does, the window that was active is again when the dialog closes.
            QWidget* active = QApplication::activeWindow();
            d->show();
            QApplication::processEvents();
            shown << d->objectName();
            if (auto* c = qobject_cast<TConfirmReplaceDialog*>(d)) {
                asked << c->lblConfirmation->text();
                places << c->pos();
                QPushButton* buttons[] = {c->CancelButton, c->YesButton, c->NoButton, c->YesToAllButton};
                buttons[answers.isEmpty() ? 0 : answers.takeFirst()]->click();
            } else {
                auto* s = static_cast<SearchTextDialog*>(d);
                const bool ok = fill ? fill(s) : false;
                (ok ? s->OKButton : s->CancelButton)->click();
            }
            QApplication::setActiveWindow(active);
            return d->result();
        };
    }
    SESearch* search() { return window->search(); }
    Tfd1* fd1() { return search()->fd1(); }
    Trd1* rd1() { return search()->rd1(); }
    NameEditor* se() { return window->Se2(); }
    QStringList lines() { return window->names().lines(); }
    QStringList messages() {
        QStringList m;
        for (const auto& s : prompts.shown)
            m << s.title + u'|' + s.text;
        prompts.shown.clear();
        return m;
    }
    // Fills a dialog before OK: the texts, then whatever `more` sets.
    static std::function<bool(SearchTextDialog*)> set(QString text, QString with = QString(),
                                                      std::function<void(SearchTextDialog*)> more = {}) {
        return [=](SearchTextDialog* d) {
            d->cbSearchText->setEditText(text);
            if (auto* r = qobject_cast<Trd1*>(d))
                r->cbReplaceText->setEditText(with);
            if (more)
                more(d);
            return true;
        };
    }
    TextRange selection() {
        SciSearchTarget t(se());
        return {t.textPos(se()->SendScintilla(QsciScintilla::SCI_GETANCHOR)),
                t.textPos(se()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS))};
    }
    void selectColumn(TextPos anchor, TextPos caret) {
        SciSearchTarget t(se());
        SearchBlock b;
        b.mode = SearchBlock::Column;
        b.anchor = anchor;
        b.caret = caret;
        t.select(b);
    }

    std::function<bool(SearchTextDialog*)> fill;
    QList<int> answers; // 0 Cancel, 1 Yes, 2 No, 3 Yes to all
    QStringList shown;
    QStringList asked;
    QList<QPoint> places;
    int beeps = 0;
};

// The replace dialog on the selected text, without prompting.
void inSelection(SearchTextDialog* d, bool regex) {
    d->UseRegExCB->setChecked(regex);
    d->rbSelected->click();
    static_cast<Trd1*>(d)->cbPrompt->setChecked(false);
}

TextRange range(int l0, int c0, int l1, int c1) {
    return {{l0, c0}, {l1, c1}};
}

} // namespace

TEST_F(SearchTest, DialogsAndTheirControls) {
    for (SearchTextDialog* d :
         {static_cast<SearchTextDialog*>(fd1()), static_cast<SearchTextDialog*>(rd1())}) {
        struct Case {
            QAbstractButton* box;
            const char* caption;
            bool checked;
        };
        const Case boxes[] = {
            {d->cbSearchCaseSensitive, "&Case sensitivity", false},
            {d->cbSearchWholeWords, "&Whole words only", false},
            {d->UseRegExCB, "Use Regular E&xpressions", false},
            {d->rbForward, "Forwar&d", true},
            {d->rbBackward, "&Backward", false},
            {d->rbFromCursor, "&From cursor", false},
            {d->rbEntire, "&Entire", true},
            {d->rbGlobal, "&Global", true},
            {d->rbSelected, "&Selected text", false},
        };
        for (const Case& c : boxes) {
            EXPECT_EQ(c.box->text(), c.caption);
            EXPECT_EQ(c.box->isChecked(), c.checked) << c.caption;
        }
    }
    EXPECT_EQ(fd1()->windowTitle(), "Search Text");
    EXPECT_EQ(rd1()->windowTitle(), "Replace Text");
    EXPECT_EQ(fd1()->scoperg->title(), "Scope");
    EXPECT_EQ(fd1()->originrg->title(), "Origin");
    EXPECT_EQ(rd1()->scoperg->title(), "&Scope");
    EXPECT_EQ(rd1()->originrg->title(), "O&rigin");
    EXPECT_EQ(fd1()->rgSearchDirection->title(), "Direction");
    EXPECT_EQ(rd1()->cbPrompt->text(), "&Prompt before replace");
    EXPECT_TRUE(rd1()->cbPrompt->isChecked());
    EXPECT_TRUE(fd1()->OKButton->isDefault());
    for (QPushButton* b : {fd1()->RegExFindB, rd1()->RegExFindB, rd1()->RegExReplB}) {
        EXPECT_EQ(b->text(), ">");
        EXPECT_FALSE(b->isEnabled());
    }
    TConfirmReplaceDialog* c = search()->confirmDialog();
    EXPECT_EQ(c->windowTitle(), "Confirm replace");
    QStringList buttons;
    for (QPushButton* b : {c->YesButton, c->NoButton, c->CancelButton, c->YesToAllButton})
        buttons << b->text();
    EXPECT_EQ(buttons, QStringList({"&Yes", "&No", "Cancel", "Yes to &all"}));
    EXPECT_TRUE(c->YesButton->isDefault());
    EXPECT_EQ(c->autoCPcb->text(), "&Auto Change position");
    EXPECT_TRUE(c->autoCPcb->isChecked());
    // The pattern menus: 26 pieces and the modifiers; ten back references.
    const QList<QAction*> pieces = fd1()->pmRegExFind->actions();
    ASSERT_EQ(pieces.size(), 27);
    EXPECT_EQ(pieces[0]->text(), "^\tBeginning of Line");
    EXPECT_EQ(pieces[25]->text(), "\\B\tnot (Word Edge)");
    EXPECT_EQ(pieces[26]->menu()->title(), "Modifiers");
    EXPECT_EQ(pieces[26]->menu()->actions().size(), 4);
    EXPECT_EQ(rd1()->pmRegExRepl->actions().size(), 10);
    EXPECT_EQ(rd1()->pmRegExRepl->actions()[3]->text(), "$3\tBack Reference 3");
}

TEST_F(SearchTest, DialogCouplingAndPatternPieces) {
    for (SearchTextDialog* d :
         {static_cast<SearchTextDialog*>(fd1()), static_cast<SearchTextDialog*>(rd1())}) {
        d->show();
        d->rbFromCursor->click();
        EXPECT_TRUE(d->rbFromCursor->isChecked());
        d->rbSelected->click();
        EXPECT_TRUE(d->rbEntire->isChecked());
        d->rbFromCursor->click(); // not while the scope is the selection
        EXPECT_TRUE(d->rbEntire->isChecked());
        d->rbGlobal->click();
        d->rbFromCursor->click();
        EXPECT_TRUE(d->rbFromCursor->isChecked());
        // Regular expressions: ">" on, "Whole words only" off but still counted.
        d->cbSearchWholeWords->click();
        d->UseRegExCB->click();
        EXPECT_TRUE(d->RegExFindB->isEnabled());
        EXPECT_FALSE(d->cbSearchWholeWords->isEnabled());
        EXPECT_TRUE(d->settings().options.wholeWords);
        d->cbSearchText->setEditText("a");
        d->pmRegExFind->actions()[0]->trigger();
        d->pmRegExFind->actions()[26]->menu()->actions()[0]->trigger();
        EXPECT_EQ(d->searchText(), "a^(?-i)");
        d->UseRegExCB->click();
        EXPECT_FALSE(d->RegExFindB->isEnabled());
        EXPECT_TRUE(d->cbSearchWholeWords->isEnabled());
        d->hide();
    }
    rd1()->UseRegExCB->click();
    EXPECT_TRUE(rd1()->RegExReplB->isEnabled());
    rd1()->cbReplaceText->setEditText("x");
    rd1()->pmRegExRepl->actions()[1]->trigger();
    EXPECT_EQ(rd1()->replaceText(), "x$1");
}

TEST_F(SearchTest, FindNextPreviousAndNotFound) {
    window->names().setLines({"a.mp3", "b.MP3", "c.mp3"});
    se()->setFocus();
    // Find next without an earlier search opens the search dialog.
    fill = set("mp3");
    QTest::keyClick(se(), Qt::Key_F3);
    EXPECT_EQ(shown, QStringList({"fd1"}));
    EXPECT_EQ(selection(), range(0, 2, 0, 5));
    QTest::keyClick(se(), Qt::Key_F3);
    EXPECT_EQ(selection(), range(1, 2, 1, 5));
    window->findChild<QAction*>("tb_Findnext1Click")->trigger();
    EXPECT_EQ(selection(), range(2, 2, 2, 5));
    QTest::keyClick(se(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selection(), range(1, 5, 1, 2)); // the caret at the start going backward
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(beeps, 0);
    // Match case: the upper-case one is passed over; then nothing is left.
    fill = [](SearchTextDialog* d) {
        d->cbSearchCaseSensitive->setChecked(true);
        d->rbFromCursor->click();
        return true;
    };
    se()->setCursorPosition(0, 5);
    trigger("Find1Click");
    EXPECT_EQ(selection(), range(2, 2, 2, 5));
    trigger("Findnext1Click");
    EXPECT_EQ(messages(), QStringList({"Information!|Search string 'mp3' not found!"}));
    EXPECT_EQ(beeps, 1);
    // Cancel changes nothing.
    fill = nullptr;
    se()->setCursorPosition(0, 0);
    trigger("Find1Click");
    EXPECT_EQ(se()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 0);
}

TEST_F(SearchTest, HistoryIsSharedAndKeepsEachTextOnce) {
    window->names().setLines({"a b"});
    for (const char* t : {"a", "b", "a"}) {
        fill = set(t);
        trigger("Find1Click");
    }
    EXPECT_EQ(fd1()->searchHistory(), QStringList({"a", "b"}));
    EXPECT_EQ(rd1()->searchHistory(), QStringList({"a", "b"}));
    EXPECT_EQ(fd1()->searchText(), "a");
    fill = set("b", "c");
    answers = {3};
    trigger("Replace1Click");
    EXPECT_EQ(fd1()->searchHistory(), QStringList({"b", "a"}));
    EXPECT_EQ(lines(), QStringList({"a c"}));
}

TEST_F(SearchTest, ReplaceAsksForEachOccurrenceNextToIt) {
    window->names().setLines({"a-a", "a", "a"});
    se()->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    fill = set("a", "XY");
    answers = {2, 1, 3}; // No, Yes, Yes to all
    trigger("Replace1Click");
    EXPECT_EQ(lines(), QStringList({"a-XY", "XY", "XY"}));
    EXPECT_EQ(asked, QStringList(3, "Replace this occurence of \"a\"?"));
    EXPECT_EQ(messages(), QStringList({"Information!|String 'a' replaced 3 time(s)"}));
    EXPECT_EQ(beeps, 1);
    // Below the occurrence's line (the first line: the upper part of the editor).
    const QPoint top = se()->viewport()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(places[0].y(), top.y() + FileListView::kRowHeight + 4);
    // One undo step takes it all back.
    se()->undo();
    EXPECT_EQ(lines(), QStringList({"a-a", "a", "a"}));
    // Cancel stops; without "Auto Change position" the dialog stays where it was.
    search()->confirmDialog()->autoCPcb->setChecked(false);
    const QPoint before = search()->confirmDialog()->pos();
    answers = {1, 0};
    trigger("Replace1Click");
    EXPECT_EQ(lines(), QStringList({"XY-a", "a", "a"}));
    EXPECT_EQ(places.mid(3), QList<QPoint>({before, before}));
    EXPECT_EQ(messages(), QStringList({"Information!|String 'a' replaced 1 time(s)"}));
    // Not there: nothing changes.
    fill = set("zz", "q");
    trigger("Replace1Click");
    EXPECT_EQ(messages(), QStringList({"Information!|String 'zz' not found!"}));
}

TEST_F(SearchTest, ColumnSelectionKeepsReplacementsInside) {
    window->names().setLines({"ébcébc", "", "abcabc", "ab"});
    // Columns 1 to 4 of every row; the empty line does not reach the block.
    selectColumn({0, 1}, {3, 4});
    fill = set("b", "XX", [](SearchTextDialog* d) { inSelection(d, false); });
    trigger("Replace1Click");
    EXPECT_EQ(lines(), QStringList({"éXXcébc", "", "aXXcabc", "aXX"}));
    EXPECT_EQ(messages(), QStringList({"Information!|String 'b' replaced 3 time(s)"}));
    // The block is selected again, as a column.
    EXPECT_TRUE(se()->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE));
    // "^" is each row's start inside the block.
    fill = set("^", "-", [](SearchTextDialog* d) { inSelection(d, true); });
    trigger("Replace1Click");
    EXPECT_EQ(lines(), QStringList({"é-XXcébc", "", "a-XXcabc", "a-XX"}));
    EXPECT_EQ(messages(), QStringList({"Information!|String '^' replaced 3 time(s)"}));
    // Find within the block: what lies outside it is not found.
    selectColumn({0, 1}, {2, 6});
    fill = [](SearchTextDialog* d) {
        d->cbSearchText->setEditText("c");
        d->UseRegExCB->setChecked(false);
        d->rbSelected->click();
        return true;
    };
    trigger("Find1Click");
    EXPECT_EQ(selection(), range(0, 4, 0, 5));
    trigger("Findnext1Click");
    EXPECT_EQ(selection(), range(2, 4, 2, 5));
    trigger("Findnext1Click");
    EXPECT_EQ(messages(), QStringList({"Information!|Search string 'c' not found!"}));
    EXPECT_TRUE(se()->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE));
}

TEST_F(SearchTest, ReplaceJoiningLinesKeepsTheListsLength) {
    addFiles({"/m/1", "/m/2", "/m/3"});
    window->names().setLines({"a1", decodeName("b\xff"), "c"});
    // From inside line 0 to inside line 1.
    se()->setSelection(0, 1, 1, 1);
    fill = set("\\n", "+", [](SearchTextDialog* d) { inSelection(d, true); });
    trigger("Replace1Click");
    QApplication::processEvents();
    EXPECT_EQ(lines(), QStringList({"a1+b" + decodeName("\xff"), "c", ""}));
    EXPECT_EQ(encodeName(window->names().line(0)), QByteArray("a1+b\xff"));
    EXPECT_TRUE(window->isModified());
}

TEST_F(SearchTest, MalformedPatternChangesNothing) {
    window->names().setLines({"(ab"});
    se()->setCursorPosition(0, 2);
    fill = set("(ab", "x", [](SearchTextDialog* d) { d->UseRegExCB->setChecked(true); });
    trigger("Replace1Click");
    EXPECT_EQ(messages(),
              QStringList({"Error|Bad regular expression '(ab'\rmissing closing parenthesis at position 3"}));
    EXPECT_EQ(lines(), QStringList({"(ab"}));
    EXPECT_EQ(se()->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 2);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(beeps, 0);
}

// Nested repeats on a long name: the engine gives up, the window says where,
// and nothing is replaced, not even the occurrence found before.
TEST_F(SearchTest, TooComplexPatternChangesNothing) {
    const QString hard = QString(30, u'a') + u'x';
    window->names().setLines({"b", "ok", hard});
    fill = set("(a+)+$|b", "X", [](SearchTextDialog* d) {
        d->UseRegExCB->setChecked(true);
        static_cast<Trd1*>(d)->cbPrompt->setChecked(false);
    });
    trigger("Replace1Click");
    EXPECT_EQ(messages(), QStringList({"Error|The regular expression is too complex\rLine 3"}));
    EXPECT_EQ(lines(), QStringList({"b", "ok", hard}));
    EXPECT_TRUE(asked.isEmpty());
    // Find stops at the first occurrence; the next search gives up on line 3.
    fill = set("(a+)+$|b", {}, [](SearchTextDialog* d) { d->UseRegExCB->setChecked(true); });
    trigger("Find1Click");
    EXPECT_EQ(selection(), range(0, 0, 0, 1));
    EXPECT_TRUE(messages().isEmpty());
    trigger("Findnext1Click");
    EXPECT_EQ(messages(), QStringList({"Error|The regular expression is too complex\rLine 3"}));
    EXPECT_EQ(beeps, 0);
}

TEST_F(SearchTest, ActiveBufferIsSearched) {
    window->names().setLines({"x"});
    window->Buffer1Click();
    window->buffer()->se1->setText("one x");
    QApplication::setActiveWindow(window->buffer());
    QApplication::processEvents();
    fill = set("x", "y");
    answers = {3};
    trigger("Replace1Click");
    EXPECT_EQ(window->buffer()->se1->text(), "one y");
    EXPECT_EQ(lines(), QStringList({"x"}));
}
