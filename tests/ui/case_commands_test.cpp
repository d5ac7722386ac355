#include "tmain_fixture.h"

#include <QClipboard>
#include <QMenu>
#include <QTest>

using namespace vorlane;

namespace {
class CaseCommandsTest : public TMainTest {
protected:
    // Selects characters [from, to) of the editor's text.
    void selectChars(int from, int to) {
        QsciScintilla* se = window->Se2();
        se->SendScintilla(QsciScintilla::SCI_SETSELECTIONSTART,
                          se->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVE, 0L, long(from)));
        se->SendScintilla(QsciScintilla::SCI_SETSELECTIONEND,
                          se->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVE, 0L, long(to)));
    }
    std::pair<long, long> selectionChars() {
        QsciScintilla* se = window->Se2();
        return {se->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, 0L,
                                  se->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART)),
                se->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, 0L,
                                  se->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND))};
    }
};
} // namespace

TEST_F(CaseCommandsTest, EachCommandByMenuAndKey) {
    struct Case {
        const char* handler;
        Qt::Key key;
        QString text;     // whole editor text; characters 4..end selected
        QString expected; // after the command
    };
    const Case cases[] = {
        {"lowcasemClick", Qt::Key_1, "KEEP HELLO WORLD\nSECOND LINE", "KEEP hello world\nsecond line"},
        {"uppercasemClick", Qt::Key_2, "keepпривет мир", "keepПРИВЕТ МИР"},
        {"firstupmClick", Qt::Key_3, "KEEPab\ncd", "KEEPAb\nCd"},
        {"upfirstineachwClick", Qt::Key_4, "keeprock'n'roll e-mail", "keepRock'N'Roll E-Mail"},
        {"Kirilitsa1Click", Qt::Key_5, "ЖУК Щука Ёж", "ЖУК SHHuka JOzh"},
    };
    for (const Case& c : cases) {
        for (bool byKey : {false, true}) {
            QsciScintilla* se = window->Se2();
            se->setText(c.text);
            se->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
            selectChars(4, int(c.text.size()));
            if (byKey) {
                se->setFocus();
                QTest::keyClick(se, c.key, Qt::ControlModifier | Qt::ShiftModifier);
            } else {
                trigger(c.handler);
            }
            EXPECT_EQ(se->text(), c.expected) << c.handler << " key " << byKey;
            // The selection comes back over the same characters.
            EXPECT_EQ(selectionChars(), std::make_pair(4L, long(c.text.size()))) << c.handler;
            // One undo step takes it all back.
            se->undo();
            EXPECT_EQ(se->text(), c.text) << c.handler;
            EXPECT_FALSE(se->isUndoAvailable()) << c.handler;
        }
    }
    // The clipboard keeps the converted text.
    EXPECT_EQ(QApplication::clipboard()->text(), "SHHuka JOzh");
}

TEST_F(CaseCommandsTest, NothingSelected) {
    QsciScintilla* se = window->Se2();
    se->setText("Some Text");
    QApplication::clipboard()->setText("kept");
    trigger("uppercasemClick");
    EXPECT_EQ(se->text(), "Some Text");
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    // The Case submenu follows the selection.
    QMenu* caseMenu = window->pmse()->findChild<QMenu*>("Case1");
    window->pmsePopup();
    EXPECT_FALSE(caseMenu->menuAction()->isEnabled());
    selectChars(0, 4);
    window->pmsePopup();
    EXPECT_TRUE(caseMenu->menuAction()->isEnabled());
}

TEST_F(CaseCommandsTest, AddedFilesGetTheDefaultMask) {
    addFiles({"/m/Song One.mp3", "/m/README"}, "/m");
    EXPECT_EQ(window->names().lines(), QStringList({"m", "Song One.mp3", "README."}));
}
