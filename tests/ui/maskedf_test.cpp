#include "support/diskfixture.h"
#include "tmain_fixture.h"
#include "ui/editor/tbuffer.h"
#include "ui/masks/tmaskedf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>

using namespace vorlane;

namespace {
class MaskedfTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        answerDialogs();
    }
    // The dialog shows, the test looks at it and answers.
    void answerDialogs() {
        window->execDialog = [this](QDialog* d) {
            d->show();
            QApplication::processEvents();
            if (inDialog)
                inDialog();
            d->hide();
            return answer;
        };
    }
    TMaskedf* dlg() { return window->maskedf(); }
    QStringList masks() {
        QStringList l;
        for (int i = 0; i < dlg()->Maskcb->count(); ++i)
            l << dlg()->Maskcb->itemText(i);
        return l;
    }

    std::function<void()> inDialog;
    int answer = QDialog::Accepted;
};
} // namespace

TEST_F(MaskedfTest, FirstStartDefaults) {
    EXPECT_EQ(dlg()->windowTitle(), "Edit mask");
    EXPECT_EQ(dlg()->mask(), "[n].[e]");
    EXPECT_EQ(masks(), QStringList({"[n].[e]", "[c3]_[n].[e]", "[c3,'1']_[cc3]_[n].[e]"}));
    EXPECT_TRUE(dlg()->rightSide->isChecked());
    EXPECT_EQ(dlg()->Casecb->currentText(), "No change");
    EXPECT_EQ(dlg()->Casecb->count(), 5);
    QStringList menu;
    for (QAction* a : dlg()->pmIL->actions())
        menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(menu.size(), 31);
    EXPECT_EQ(menu[16], "[s] - file size     ");
    EXPECT_EQ(menu[7], "-");
}

TEST_F(MaskedfTest, PreviewOfOneSelectedLine) {
    addFiles({"/m/only.mp3"});
    window->list().setSelected(0, true);
    inDialog = [this] {
        dlg()->Maskcb->setEditText("[c2,'1']");
        EXPECT_EQ(dlg()->fle->text(), "only.mp3");
        EXPECT_EQ(dlg()->lle->text(), "only.mp3");
        EXPECT_EQ(dlg()->flr->text(), "01");
        EXPECT_EQ(dlg()->llr->text(), "01");
        dlg()->Maskcb->setEditText("[n");
        EXPECT_EQ(dlg()->flr->text(), "<Error>");
        dlg()->Maskcb->setEditText("[n]");
        dlg()->Casecb->setCurrentIndex(2);
        EXPECT_EQ(dlg()->flr->text(), "ONLY");
    };
    trigger("Convert1Click");
    EXPECT_EQ(window->names().line(0), "ONLY");
}

TEST_F(MaskedfTest, NothingSelected) {
    addFiles({"/m/a.mp3"});
    window->names().setLine(0, "keep");
    inDialog = [this] {
        EXPECT_EQ(dlg()->fle->text(), "No item(s) selected");
        EXPECT_EQ(dlg()->lle->text(), "No item(s) selected");
        EXPECT_EQ(dlg()->flr->text(), "<Error>");
        EXPECT_EQ(dlg()->llr->text(), "<Error>");
    };
    trigger("Convert1Click");
    EXPECT_EQ(window->names().line(0), "keep");
}

TEST_F(MaskedfTest, CounterSkipsSeparatorsAndCancelChangesNothing) {
    addFiles({"/a/1.txt", "/a/2.txt"}, "/a");
    addFiles({"/b/3.txt"}, "/b");
    window->list().SelectAll1Click();
    dlg()->Maskcb->setEditText("[c3,'1']_[cc3]_[n]");
    answer = QDialog::Rejected;
    trigger("Convert1Click");
    EXPECT_EQ(window->names().lines(), QStringList({"a", "1.txt", "2.txt", "b", "3.txt"}));
    answer = QDialog::Accepted;
    trigger("Convert1Click");
    EXPECT_EQ(window->names().lines(), QStringList({"a", "001_003_1", "002_003_2", "b", "003_003_3"}));
    // Fast Convert by its key repeats the mask with the current settings.
    dlg()->Translitcb->setChecked(true);
    dlg()->Maskcb->setEditText("Жук [c]");
    window->lb1()->setFocus();
    QTest::keyClick(window->lb1(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(window->names().lines(), QStringList({"a", "ZHuk 0", "ZHuk 1", "b", "ZHuk 2"}));
}

TEST_F(MaskedfTest, ConvertToBuffer) {
    addFiles({"/x/1", "/x/2", "/x/3", "/x/4", "/x/5"});
    window->list().setSelected(1, true);
    window->list().setSelected(3, true);
    window->buffer()->se1->setText("old text");
    inDialog = [this] { dlg()->buffer->setChecked(true); };
    dlg()->Maskcb->setEditText("[n]!");
    window->names().setLines({"a", "b", "c", "d", "e"});
    trigger("Convert1Click");
    EXPECT_TRUE(window->buffer()->isVisible());
    EXPECT_EQ(window->buffer()->se1->text(), "2!\n4!");
    EXPECT_FALSE(window->buffer()->se1->isUndoAvailable() && window->buffer()->se1->text().contains("old"));
    EXPECT_EQ(window->names().lines(), QStringList({"a", "b", "c", "d", "e"}));
    // Fast Convert always writes to the name editor.
    window->FastConvert1Click();
    EXPECT_EQ(window->names().lines(), QStringList({"a", "2!", "c", "4!", "e"}));
}

TEST_F(MaskedfTest, StoreDeleteAndPatterns) {
    dlg()->Maskcb->setEditText("[C3]_[N].[E]");
    dlg()->StorebClick();
    EXPECT_EQ(masks(), QStringList({"[C3]_[N].[E]", "[n].[e]", "[c3,'1']_[cc3]_[n].[e]"}));
    EXPECT_EQ(dlg()->mask(), "[C3]_[N].[E]");
    // Delete takes the entry and shows the one now at its place.
    dlg()->Maskcb->setEditText("[N].[E]");
    dlg()->DeletebClick();
    EXPECT_EQ(masks(), QStringList({"[C3]_[N].[E]", "[c3,'1']_[cc3]_[n].[e]"}));
    EXPECT_EQ(dlg()->mask(), "[c3,'1']_[cc3]_[n].[e]");
    dlg()->DeletebClick();
    EXPECT_EQ(dlg()->mask(), "[C3]_[N].[E]");
    dlg()->DeletebClick();
    EXPECT_TRUE(masks().isEmpty());
    EXPECT_EQ(dlg()->mask(), "");
    // A text that is not stored is cleared.
    dlg()->Maskcb->setEditText("nothing");
    dlg()->DeletebClick();
    EXPECT_EQ(dlg()->mask(), "");
    dlg()->Maskcb->setEditText("");
    dlg()->StorebClick();
    EXPECT_TRUE(masks().isEmpty());
    // Pattern entries append the part before " - ".
    dlg()->Maskcb->setEditText("x");
    for (QAction* a : dlg()->pmIL->actions())
        if (a->text().startsWith("[n3-5]") || a->text().startsWith("[s]"))
            a->trigger();
    EXPECT_EQ(dlg()->mask(), "x[n3-5][s]");
}

TEST_F(MaskedfTest, AltCOpensConvert) {
    bool shown = false;
    inDialog = [&] { shown = true; };
    answer = QDialog::Rejected;
    QTest::keyClick(window->Se2(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(shown);
}

TEST_F(MaskedfTest, AMaskThatBeginsAStoredOneIsEnteredAsTyped) {
    addFiles({"/m/a.mp3"});
    window->list().setSelected(0, true);
    inDialog = [this] {
        QLineEdit* edit = dlg()->Maskcb->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, "[n]");
        QTest::keyClick(edit, Qt::Key_Return);
    };
    window->Convert1Click();
    EXPECT_EQ(dlg()->mask(), "[n]");
    EXPECT_EQ(window->names().line(0), "a");
}

// With counters restarting at each folder, every album of a selection is
// numbered from its own start and counts its own selected files; without the
// option the count runs straight through, as always.
TEST_F(MaskedfTest, CountersRestartAtEachFolder) {
    addFiles({"/a/1.mp3", "/a/2.mp3", "/a/3.mp3"}, "/a");
    addFiles({"/b/4.mp3", "/b/5.mp3", "/b/6.mp3"}, "/b");
    addFiles({"/c/7.mp3", "/c/8.mp3"}, "/c");
    window->list().SelectAll1Click();
    window->list().setSelected(5, false); // 4.mp3 stays as it is
    const QString mask = "[c2,'1'] [cc2] [n]";
    struct Case {
        bool perFolder;
        QStringList names;
        QString firstPreview, lastPreview;
    };
    const Case cases[] = {
        {false,
         {"a", "01 07 1", "02 07 2", "03 07 3", "b", "", "04 07 5", "05 07 6", "c", "06 07 7", "07 07 8"},
         "01 07 1",
         "07 07 8"},
        {true,
         {"a", "01 03 1", "02 03 2", "03 03 3", "b", "", "01 02 5", "02 02 6", "c", "01 02 7", "02 02 8"},
         "01 03 1",
         "02 02 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.perFolder);
        window->options().cbCounterPerFolder = c.perFolder;
        window->names().setLines({"a", "", "", "", "b", "", "", "", "c", "", ""});
        inDialog = [&] {
            dlg()->Maskcb->setEditText(mask);
            EXPECT_EQ(dlg()->flr->text(), c.firstPreview);
            EXPECT_EQ(dlg()->llr->text(), c.lastPreview);
        };
        trigger("Convert1Click");
        EXPECT_EQ(window->names().lines(), c.names);
        // Fast Convert numbers the same way.
        window->names().setLines({"a", "", "", "", "b", "", "", "", "c", "", ""});
        window->FastConvert1Click();
        EXPECT_EQ(window->names().lines(), c.names);
    }
}

// The extended elements stand greyed in the menu while their option is off,
// and a mask holding one previews as an error; with the option on the entry
// appends its element and the preview reads it.
TEST_F(MaskedfTest, ExtendedElementsFollowTheirOption) {
    makeWindow(nullptr);
    answerDialogs();
    Disk disk;
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    tag[126] = 7; // ID3v1.1 track
    const QString path = disk.path("a.mp3");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(500, '\0') + tag);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_TRUE(
        f.setFileTime(QDateTime(QDate(2021, 7, 4), QTime(10, 11, 12)), QFileDevice::FileModificationTime));
    f.close();
    window->list().AddItem(0, 1, false, path);
    window->list().setSelected(0, true);
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        window->options().cbExtendedElements = on;
        inDialog = [&] {
            QStringList extended;
            for (QAction* a : dlg()->pmIL->actions())
                if (a->text().startsWith("[mn]") || a->text().startsWith("[mg]") ||
                    a->text().startsWith("[d]")) {
                    extended << a->text();
                    EXPECT_EQ(a->isEnabled(), on) << a->text().toStdString();
                }
            EXPECT_EQ(extended, QStringList({"[mn] - track number (07)", "[mg] - genre",
                                             "[d] - date taken or changed (2026-12-08)"}));
            dlg()->Maskcb->setEditText("[d'yyyy.MM']");
            EXPECT_EQ(dlg()->flr->text(), on ? "2021.07" : "<Error>");
            dlg()->Maskcb->setEditText("x");
            for (QAction* a : dlg()->pmIL->actions())
                if (a->text().startsWith("[mn]") && a->isEnabled())
                    a->trigger();
            if (!on)
                dlg()->Maskcb->setEditText("x[mn]");
            EXPECT_EQ(dlg()->mask(), "x[mn]");
            EXPECT_EQ(dlg()->flr->text(), on ? "x07" : "<Error>");
        };
        trigger("Convert1Click");
        EXPECT_EQ(window->names().line(0), on ? "x07" : "");
    }
}
