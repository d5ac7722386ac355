#include "support/diskfixture.h"
#include "support/steppedtime.h"
#include "tmain_fixture.h"
#include "ui/copy/tcopyf.h"
#include "ui/filelist/topendirdialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace vorlane;

namespace {

// The window over the real disk; the destination chooser answers with out/.
class CopyWindowTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        makeWindow(nullptr, QString(), &clock, &pump);
        dest = disk.folder("out");
        window->destDirDialog()->browser = [this](const TOpenDirDialog& d) {
            chooserTitle = d.title();
            return dest;
        };
    }
    // A separator named `group` and files with their new names, all selected.
    void listFiles(const QString& group, const QList<std::pair<QString, QString>>& files) {
        FileList& list = window->list();
        list.AddSeparator(disk.root());
        window->names().setLine(list.count() - 1, group);
        for (const auto& [path, name] : files) {
            list.AddItem(0, 0, true, path);
            window->names().setLine(list.count() - 1, name);
        }
        list.SelectAll1Click();
    }
    QString lastBox() const {
        return prompts.shown.isEmpty() ? QString()
                                       : prompts.shown.last().title + ": " + prompts.shown.last().text;
    }

    Disk disk;
    QString dest;
    QString chooserTitle;
    StepClock clock;
    ProbePump pump;
};

} // namespace

TEST_F(CopyWindowTest, CopyShowsItsRunAndCancelStopsIt) {
    const QString a = disk.file("a.mp3", 100), b = disk.file("b.mp3", 200);
    listFiles("Rock", {{a, "01.mp3"}, {b, "02.mp3"}});
    TCopyf* w = window->copyf();
    QStringList seen;
    // The first time the run lets events through, during the first file.
    pump.probe = [&] {
        if (!seen.isEmpty())
            return;
        seen = QStringList{w->isVisible() ? "shown" : "hidden", w->windowTitle(), w->Nofsl->text(),
                           w->Froml->text(), w->Tol->text()};
    };
    window->Copy1Click();
    EXPECT_EQ(chooserTitle, "Choose destination folder");
    EXPECT_EQ(seen,
              QStringList({"shown", "Copy", "1 file from 2", "From: " + a, "To: " + dest + "/Rock/01.mp3"}));
    EXPECT_EQ(lastBox(), "Information: Operation complete");
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(disk.read(dest + "/Rock/01.mp3").size(), 100);
    EXPECT_EQ(disk.read(dest + "/Rock/02.mp3").size(), 200);
    EXPECT_EQ(selected(), QList<int>({0}));
    EXPECT_EQ(window->destDirDialog()->startFolder(), dest);

    // The Cancel button and Esc stop the run after the block in hand.
    const std::function<void()> cancels[] = {[w] { w->Cancelb->click(); },
                                             [w] { QTest::keyClick(w, Qt::Key_Escape); }};
    for (const auto& cancel : cancels) {
        QFile::remove(dest + "/Rock/01.mp3");
        QFile::remove(dest + "/Rock/02.mp3");
        window->list().SelectAll1Click();
        pump.probe = cancel;
        window->Copy1Click();
        EXPECT_EQ(lastBox(), "Warning: Operation was cancelled");
        EXPECT_EQ(selected(), QList<int>({0, 1, 2}));
        EXPECT_FALSE(disk.exists("out/Rock/02.mp3"));
        EXPECT_FALSE(w->isVisible());
    }
}

TEST_F(CopyWindowTest, CompareReportsTheCopyThatDiffers) {
    const QString a = disk.file("a.mp3", 100);
    disk.file("out/Rock/01.mp3", 99);
    listFiles("Rock", {{a, "01.mp3"}});
    QString caption;
    pump.probe = [&] { caption = window->copyf()->windowTitle(); };
    prompts.script = {Prompts::Answer::Ignore};
    window->Checkfile1Click();
    EXPECT_EQ(caption, "CRC check");
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown[0].text.startsWith("CRC are not coincide\r" + a + "\r(CRC="));
    EXPECT_EQ(lastBox(), "Information: Operation complete\r1 of 1 copies differ or are missing (their lines "
                         "stay selected)");
    EXPECT_EQ(selected(), QList<int>({0, 1}));
}

// A compare that ends with copies ignored as different or missing does not
// end like a clean one: the box and the status bar count them.
TEST_F(CopyWindowTest, CompareCountsTheCopiesThatDiffer) {
    const QString a = disk.file("a.mp3", 100), b = disk.file("b.mp3", 200), c = disk.file("c.mp3", 300);
    const struct {
        const char* what;
        QList<std::pair<QString, qint64>> copies; // what out/Rock holds
        QString box;
        QString status;
        QList<int> selected;
    } cases[] = {
        {"all equal",
         {{"01.mp3", 100}, {"02.mp3", 200}, {"03.mp3", 300}},
         "Information: Operation complete",
         "3 of 3 copies match",
         {0}},
        {"one differs",
         {{"01.mp3", 100}, {"02.mp3", 201}, {"03.mp3", 300}},
         "Information: Operation complete\r1 of 3 copies differ or are missing (their lines stay selected)",
         "1 of 3 copies differ or are missing",
         {0, 2}},
        {"one differs, one missing",
         {{"02.mp3", 200}, {"03.mp3", 1}},
         "Information: Operation complete\r2 of 3 copies differ or are missing (their lines stay selected)",
         "2 of 3 copies differ or are missing",
         {0, 1, 3}},
    };
    listFiles("Rock", {{a, "01.mp3"}, {b, "02.mp3"}, {c, "03.mp3"}});
    for (const auto& t : cases) {
        QDir(dest + "/Rock").removeRecursively();
        for (const auto& [name, size] : t.copies)
            disk.file("out/Rock/" + name, size);
        window->list().SelectAll1Click();
        prompts.shown.clear();
        prompts.script = {Prompts::Answer::Ignore, Prompts::Answer::Ignore};
        window->Checkfile1Click();
        EXPECT_EQ(lastBox(), t.box) << t.what;
        EXPECT_EQ(window->panel(0)->text(), t.status) << t.what;
        EXPECT_EQ(selected(), t.selected) << t.what;
    }
}
