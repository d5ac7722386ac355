// Desktop habits of the main window: F2 and Esc between the panes, the
// status bar's mask reminder, the split that follows the window, the list's
// horizontal scroll bar, message-box keys and the tool bar's Rename icon.
#include "core/settings/inidocument.h"
#include "support/diskfixture.h"
#include "tmain_fixture.h"
#include "ui/app/qtprompts.h"
#include "ui/masks/tmaskedf.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTest>
#include <QToolBar>

using namespace vorlane;

namespace {

class HabitsTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        activate();
    }
    // Focus moves only inside the active window.
    void activate() {
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }
    void pressF2At(int line) {
        window->list().setCaret(line);
        window->lb1()->setFocus();
        QTest::keyClick(window->lb1(), Qt::Key_F2);
    }
    // The name editor's selection: its line (-1 when there is none) and text.
    std::pair<int, QString> selection() const {
        int l1 = -1, i1 = -1, l2 = -1, i2 = -1;
        window->Se2()->getSelection(&l1, &i1, &l2, &i2);
        if (l1 < 0 || l1 != l2)
            return {l1 == l2 ? -1 : -2, QString()};
        return {l1, window->Se2()->selectedText()};
    }
    QScrollBar* hbar() const { return window->lb1()->horizontalScrollBar(); }
};

TEST_F(HabitsTest, F2SelectsTheNameUpToItsExtensionAndEscGoesBack) {
    addFiles({"/f/song.mp3", "/f/README", "/f/.profile", "/f/Кино.flac", "/f/a.tar.gz"}, "/f");
    window->names().setLines({"f", "song.mp3", "README", ".profile", "Кино.flac", "a.tar.gz"});
    const struct {
        int line;
        const char* selected;
    } cases[] = {
        {1, "song"}, {2, "README"}, {3, ".profile"}, {4, "Кино"}, {5, "a.tar"},
    };
    for (const auto& c : cases) {
        pressF2At(c.line);
        EXPECT_TRUE(window->Se2()->hasFocus()) << c.line;
        EXPECT_EQ(selection(), std::make_pair(c.line, QString::fromUtf8(c.selected)));
        QTest::keyClick(window->Se2(), Qt::Key_Escape);
        EXPECT_TRUE(window->lb1()->hasFocus()) << c.line;
        // The list and its caret stay as they were; the name is not changed.
        EXPECT_EQ(window->list().caret(), c.line);
    }
    EXPECT_EQ(window->names().line(1), "song.mp3");

    // Typing replaces the selected part: the extension stays.
    pressF2At(1);
    QTest::keyClicks(window->Se2(), "tune");
    EXPECT_EQ(window->names().line(1), "tune.mp3");

    // From column mode too, the name is selected as text.
    QTest::keyClick(window->Se2(), Qt::Key_Alt, Qt::ShiftModifier);
    ASSERT_TRUE(window->Se2()->columnMode());
    pressF2At(2);
    EXPECT_FALSE(window->Se2()->columnMode());
    EXPECT_EQ(selection(), std::make_pair(2, QString("README")));

    // A separator has no name to edit: the focus stays in the list.
    window->Se2()->setSelection(2, 0, 2, 1);
    pressF2At(0);
    EXPECT_TRUE(window->lb1()->hasFocus());
    EXPECT_EQ(selection(), std::make_pair(2, QString("R")));
}

TEST_F(HabitsTest, EscLeavesTheEditorOnlyAfterF2AndClosesItsListFirst) {
    addFiles({"/f/one.mp3"});
    // Entered by a click, the editor keeps the focus on Esc.
    window->Se2()->setFocus();
    QTest::keyClick(window->Se2(), Qt::Key_Escape);
    EXPECT_TRUE(window->Se2()->hasFocus());

    // A list the editor shows takes the first Esc; the second goes back.
    pressF2At(0);
    window->Se2()->showUserList(1, {"x", "y"});
    ASSERT_TRUE(window->Se2()->isListActive());
    QTest::keyClick(window->Se2(), Qt::Key_Escape);
    EXPECT_FALSE(window->Se2()->isListActive());
    EXPECT_TRUE(window->Se2()->hasFocus());
    QTest::keyClick(window->Se2(), Qt::Key_Escape);
    EXPECT_TRUE(window->lb1()->hasFocus());

    // Left for the list by a click, F2's Esc is over.
    pressF2At(0);
    window->lb1()->setFocus();
    window->Se2()->setFocus();
    QTest::keyClick(window->Se2(), Qt::Key_Escape);
    EXPECT_TRUE(window->Se2()->hasFocus());
}

TEST_F(HabitsTest, MaskPanelShowsTheAddingMaskAndOpensTheEditor) {
    QLabel* panel = window->maskPanel();
    EXPECT_TRUE(panel->isHidden());
    TMaskedf* m = window->maskedf();
    QList<QDialog*> shown;
    std::function<void()> inDialog;
    window->execDialog = [&](QDialog* d) {
        shown << d;
        if (inDialog)
            inDialog();
        return int(QDialog::Rejected);
    };
    // The panel follows the mask editor when it closes (also by Cancel).
    inDialog = [m] {
        m->Maskcb->setEditText("Best-[c2,'1'].[e]");
        m->Casecb->setCurrentIndex(3);
    };
    trigger("Convert1Click");
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->text(), "Mask: Best-[c2,'1'].[e], First letter up");

    // A click opens the mask editor; back at "[n].[e]" without letters, the panel goes.
    inDialog = [m] {
        m->Maskcb->setEditText("[n].[e]");
        m->Casecb->setCurrentIndex(0);
    };
    QTest::mouseClick(panel, Qt::LeftButton);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[1], m);
    EXPECT_TRUE(panel->isHidden());

    // A letter conversion alone shows it too, and from the next start on.
    inDialog = [m] { m->Translitcb->setChecked(true); };
    trigger("Convert1Click");
    makeWindow(&fakeFs);
    EXPECT_FALSE(window->maskPanel()->isHidden());
    EXPECT_EQ(window->maskPanel()->text(), "Mask: [n].[e], Translit");
}

TEST_F(HabitsTest, TheListKeepsItsShareOfTheWidth) {
    window->resize(800, 500);
    QApplication::processEvents();
    window->splitter()->setSizes({200, 600});
    QApplication::processEvents();
    auto share = [this] {
        const QList<int> s = window->splitter()->sizes();
        return double(s[0]) / (s[0] + s[1]);
    };
    const double before = share();
    ASSERT_NEAR(before, 0.25, 0.01);
    for (int w : {1200, 500, 260, 1000}) {
        window->resize(w, 500);
        QApplication::processEvents();
        // A very narrow window may hold the panes at their least widths.
        if (w > 400) {
            EXPECT_NEAR(share(), before, 1.5 / window->splitter()->width()) << w;
        }
    }
    // The stored LBWidth is the list's width in pixels, read back as such.
    const int width = window->lb1()->width();
    EXPECT_GT(width, 240);
    makeWindow(&fakeFs);
    const IniDocument ini(Disk().read(home.path() + "/vln.ini"));
    EXPECT_EQ(ini.value("Main", "LBWidth"), QString::number(width));
    EXPECT_EQ(window->lb1()->width(), width);
}

TEST_F(HabitsTest, HorizontalScrollBarSpansTheWidestLine) {
    window->resize(700, 400);
    QApplication::processEvents();
    QStringList shortNames;
    for (int i = 0; i < 300; ++i)
        shortNames << QString("/s/%1.mp3").arg(i);
    addFiles(shortNames);
    QApplication::processEvents();
    EXPECT_EQ(hbar()->maximum(), 0);

    // A long name far below the visible lines still sets the range, so that
    // the whole name can be scrolled into view.
    const QString longName = QString(120, u'n') + ".mp3";
    addFiles({"/s/" + longName});
    QApplication::processEvents();
    const int needed = window->lb1()->fontMetrics().horizontalAdvance(longName);
    EXPECT_GT(hbar()->maximum(), 0);
    EXPECT_GE(hbar()->maximum() + hbar()->pageStep(), needed);
    EXPECT_LT(hbar()->maximum() + hbar()->pageStep(), needed + 40);

    // The whole path is wider still when folders are shown.
    const int withoutFolders = hbar()->maximum();
    options.Dsfcb = false;
    window->lb1()->refresh();
    EXPECT_EQ(hbar()->maximum(), withoutFolders + window->lb1()->fontMetrics().horizontalAdvance("/s/"));
    options.Dsfcb = true;
    window->lb1()->refresh();

    // The long line deleted, nothing is wider than the pane any more.
    window->list().selectOnly(300);
    trigger("mDeleteFromListClick");
    ASSERT_EQ(window->list().count(), 300);
    EXPECT_EQ(hbar()->maximum(), 0);

    // A long folder name on a separator counts with its image in front.
    addFiles({"/s/x.mp3"}, "/s/" + QString(120, u'f'));
    EXPECT_GE(hbar()->maximum() + hbar()->pageStep(),
              20 + window->lb1()->fontMetrics().horizontalAdvance(QString(120, u'f')));
}

TEST_F(HabitsTest, HelpWithoutItsFileSaysWhereItLooked) {
    makeWindow(&fakeFs, home.path() + "/bin");
    trigger("Help1Click");
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Vorlane");
    EXPECT_EQ(prompts.shown[0].text, "Can't open help file\rvln.html was not found at:\r" + home.path() +
                                         "/bin/vln.html\r" + home.path() + "/share/vorlane/vln.html");
    // Found but not opened: the message names the file.
    QDir(home.path()).mkpath("bin");
    QFile help(home.path() + "/bin/vln.html");
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    shell.openResult = false;
    trigger("Help1Click");
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].text, "Can't open help file\r" + home.path() + "/bin/vln.html");
}

TEST_F(HabitsTest, RenameHasAnIconOfItsOwn) {
    QAction* rename = window->findChild<QAction*>("tb_Rename1Click");
    ASSERT_NE(rename, nullptr);
    const QImage icon = rename->icon().pixmap(24, 24).toImage();
    ASSERT_FALSE(icon.isNull());
    const QImage save = window->style()->standardIcon(QStyle::SP_DialogSaveButton).pixmap(24, 24).toImage();
    EXPECT_NE(icon.convertToFormat(QImage::Format_ARGB32), save.convertToFormat(QImage::Format_ARGB32));
    // Something is drawn: not a blank square.
    int opaque = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            opaque += qAlpha(icon.pixel(x, y)) > 128;
    EXPECT_GT(opaque, 24 * 24 / 4);
}

// The boxes' keys: Alt with a button's underlined letter presses that button,
// Enter the default button, Esc Cancel (Abort where there is no Cancel).
TEST(QtPromptsKeys, AcceleratorsEnterAndEsc) {
    using B = Prompts::Buttons;
    using A = Prompts::Answer;
    const struct {
        B buttons;
        int key;
        Qt::KeyboardModifiers mods;
        A answer;
    } cases[] = {
        {B::AbortRetryIgnore, Qt::Key_A, Qt::AltModifier, A::Abort},
        {B::AbortRetryIgnore, Qt::Key_R, Qt::AltModifier, A::Retry},
        {B::AbortRetryIgnore, Qt::Key_I, Qt::AltModifier, A::Ignore},
        {B::AbortRetryIgnore, Qt::Key_Return, Qt::NoModifier, A::Abort},
        {B::AbortRetryIgnore, Qt::Key_Escape, Qt::NoModifier, A::Abort},
        {B::YesNoCancel, Qt::Key_N, Qt::AltModifier, A::No},
        {B::YesNoCancel, Qt::Key_Y, Qt::AltModifier, A::Yes},
        {B::YesNoCancel, Qt::Key_Return, Qt::NoModifier, A::Yes},
        {B::YesNoCancel, Qt::Key_Enter, Qt::KeypadModifier, A::Yes},
        {B::YesNoCancel, Qt::Key_Escape, Qt::NoModifier, A::Cancel},
    };
    for (const auto& c : cases) {
        const auto box = QtPrompts::makeBox(nullptr, "Error!", "x\rWhat do you want to do?",
                                            Prompts::Icon::Question, c.buttons);
        EXPECT_EQ(box->text(), "x\nWhat do you want to do?");
        box->show();
        box->activateWindow();
        QApplication::setActiveWindow(box.get());
        QApplication::processEvents();
        QTest::keyClick(box.get(), Qt::Key(c.key), c.mods);
        if (c.mods & Qt::AltModifier) {
            // An accelerator presses its button at once and clicks it a moment
            // later; the click is made here.
            QList<QAbstractButton*> down;
            for (QAbstractButton* b : box->buttons())
                if (b->isDown())
                    down << b;
            ASSERT_EQ(down.size(), 1) << c.key;
            down[0]->click();
        }
        EXPECT_FALSE(box->isVisible()) << c.key;
        EXPECT_EQ(QtPrompts::answerOf(*box, c.buttons), c.answer) << c.key;
    }
}

} // namespace
