#include "core/masks/lettercase.h"
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

// The conversions themselves are the core's (lettercase_test); here each
// command, from its menu entry and by its key, puts the core's conversion of
// the selected lines over the selection, in one undo step.
TEST_F(CaseCommandsTest, EachCommandByMenuAndKey) {
    struct Case {
        const char* handler;
        Qt::Key key;
        QString (*conversion)(const QString&);
    };
    const Case cases[] = {
        {"lowcasemClick", Qt::Key_1, lowerCase},     {"uppercasemClick", Qt::Key_2, upperCase},
        {"firstupmClick", Qt::Key_3, FirstLetterUp}, {"upfirstineachwClick", Qt::Key_4, UpFirstInEachWord},
        {"Kirilitsa1Click", Qt::Key_5, Translit},
    };
    // Each conversion gives the selected lines another look.
    const QString text = "KEEPжУК щука\nrock'n'roll e-mail";
    const QString selected = QString(text).mid(4).replace("\n", "\r\n");
    for (const Case& c : cases) {
        const QString converted = c.conversion(selected);
        for (bool byKey : {false, true}) {
            QsciScintilla* se = window->Se2();
            se->setText(text);
            se->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
            selectChars(4, int(text.size()));
            if (byKey) {
                se->setFocus();
                QTest::keyClick(se, c.key, Qt::ControlModifier | Qt::ShiftModifier);
            } else {
                trigger(c.handler);
            }
            EXPECT_EQ(se->text(), "KEEP" + QString(converted).replace("\r\n", "\n"))
                << c.handler << " key " << byKey;
            // The clipboard keeps the converted text.
            EXPECT_EQ(QApplication::clipboard()->text(), converted) << c.handler;
            // The selection comes back over as many characters from the same start.
            EXPECT_EQ(selectionChars(), std::make_pair(4L, long(text.size()))) << c.handler;
            // One undo step takes it all back.
            se->undo();
            EXPECT_EQ(se->text(), text) << c.handler;
            EXPECT_FALSE(se->isUndoAvailable()) << c.handler;
        }
    }
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
