#include "support/diskfixture.h"
#include "support/mediafiles.h"
#include "tmain_fixture.h"
#include "ui/filelist/tfrmgroupop.h"
#include "ui/masks/tmaskedf.h"

#include <QComboBox>
#include <QLabel>
#include <QStandardPaths>

using namespace vorlane;

namespace {

// 200 frames of MPEG-1 Layer III at 44100 Hz: 5.2 s.
QByteArray fiveSecondsMp3() {
    return media::frames(0xFFFB9000, 417, 200);
}

// 3 s of 16-bit stereo at 44100 Hz.
QByteArray threeSecondsWav() {
    return media::riff(media::chunk("fmt ", media::fmtData(2, 44100, 16)) +
                       media::chunk("data", QByteArray(3 * 176400, '\0')));
}

// The window over the real disk.
class MediaTest : public TMainTest {
protected:
    void SetUp() override {
        TMainTest::SetUp();
        makeWindow(nullptr);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString p = disk.path(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    QList<qint32> times() {
        QList<qint32> t;
        for (int i = 0; i < window->list().count(); ++i)
            t << window->list().line(i).info.PlayTime;
        return t;
    }

    Disk disk;
};

} // namespace

TEST_F(MediaTest, ReCountCountsSelectedMp3AndWavFiles) {
    const QStringList files = {write("a.mp3", fiveSecondsMp3()), write("b.WAV", threeSecondsWav()),
                               write("c.txt", QByteArray(10, 'c')), write("empty.mp3", {}),
                               write("d.mp3", fiveSecondsMp3())};
    FileList& list = window->list();
    list.setPendingSeparator(disk.root());
    for (int i = 0; i < files.size(); ++i)
        list.AddItem(i, int(files.size()), false, files[i]);
    list.selectRange(0, 4, true); // the separator and all but d.mp3
    window->SetModified(false);

    trigger("ReCountmp3filestime1Click");
    EXPECT_EQ(times(), QList<qint32>({0, 5, 3, 0, 0, 0}));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].title, "Error!");
    EXPECT_EQ(prompts.shown[0].text, "File has the zero playing time\r" + files[3]);
    // What stays selected needs attention: the separator, other kinds, files without time.
    EXPECT_EQ(selected(), QList<int>({0, 3, 4}));
    EXPECT_EQ(window->groupUi().window()->windowTitle(), "Counting time");
    EXPECT_EQ(window->panel(0)->text(), "3 of 3 item(s) were recounted");
    EXPECT_EQ(window->panel(1)->text(), "Size: 10 (0.00 Mb)  Time: 00:00:00");
    EXPECT_TRUE(window->isModified());

    // The sums of the new times, and nothing to count.
    trigger("SelectAll1Click");
    EXPECT_TRUE(window->panel(1)->text().endsWith("Time: 00:00:08"))
        << window->panel(1)->text().toStdString();
    list.selectOnly(3);
    trigger("ReCountmp3filestime1Click");
    EXPECT_EQ(window->panel(0)->text(), "0 of 0 item(s) were recounted");
    EXPECT_EQ(selected(), QList<int>({3}));
}

TEST_F(MediaTest, AddingCountsTimesUnlessSwitchedOff) {
    const QStringList files = {write("a.mp3", fiveSecondsMp3()), write("b.wav", threeSecondsWav())};
    window->maskedf()->Maskcb->setEditText("[t] [n].[e]");
    window->odfExecute = [&] { return files; };
    for (const bool dontCount : {true, false}) {
        SCOPED_TRACE(dontCount);
        options.cbDontCountmp3 = dontCount;
        window->list().clear();
        trigger("Openfiles1Click");
        const QStringList expected =
            dontCount ? QStringList{"0:00 a.mp3", "0:00 b.wav"} : QStringList{"0:05 a.mp3", "0:03 b.wav"};
        EXPECT_EQ(window->names().lines().mid(1, 2), expected);
        EXPECT_EQ(times().mid(1), dontCount ? QList<qint32>({0, 0}) : QList<qint32>({5, 3}));
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST_F(TMainTest, CheckFilesExistLeavesMissingFilesSelected) {
    addFiles({"/x/a.mp3", "/x/gone.mp3", "/x/dir"}, "/x");
    fakeFs.files.remove("/x/gone.mp3");
    fakeFs.files.remove("/x/dir");
    fakeFs.folders.insert("/x/dir");
    window->list().selectRange(0, 3, true);
    window->SetModified(false);

    trigger("Checkfilesexist1Click");
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[0].title, "Error!");
    EXPECT_EQ(prompts.shown[0].text, "File access error\r/x/gone.mp3");
    EXPECT_EQ(prompts.shown[1].text, "File access error\r/x/dir");
    EXPECT_EQ(selected(), QList<int>({0, 2, 3}));
    EXPECT_EQ(window->panel(0)->text(), "3 of 3 item(s) were checked");
    EXPECT_EQ(window->panel(1)->text(), "Size: 200 (0.00 Mb)  Time: 00:00:00");
    EXPECT_FALSE(window->isModified());

    // When nothing is missing, and when nothing is selected, one box says so.
    for (const QList<int>& sel : {QList<int>{1}, QList<int>{}}) {
        prompts.shown.clear();
        window->list().clearSelection();
        for (int i : sel)
            window->list().setSelected(i, true);
        trigger("Checkfilesexist1Click");
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].title, "Information");
        EXPECT_EQ(prompts.shown[0].text, "All selected files are exist");
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Information);
        EXPECT_TRUE(selected().isEmpty());
    }
}

// "Read tags of every kind" switches what Fast Convert reads from an MP3 that
// carries both tags (off: the ID3v1 title as before; on: the ID3v2 title), and
// lets ReCount give a FLAC file its time.
TEST_F(MediaTest, ReadTagsOfEveryKindSwitchesTheReader) {
    if (QStandardPaths::findExecutable("lame").isEmpty() || QStandardPaths::findExecutable("flac").isEmpty())
        GTEST_SKIP() << "lame or flac is not installed: no encoded files";
    ASSERT_TRUE(media::sine(disk.path("s.wav"), 2.0, 44100, {"-b", "16", "-c", "1"}));
    const QString mp3 = disk.path("both.mp3"), flac = disk.path("two.flac");
    // lame reads the title through the locale.
    ASSERT_TRUE(media::run("env", {"LC_ALL=C.UTF-8", "lame", "--quiet", "--id3v2-only", "--tt", "Песня",
                                   disk.path("s.wav"), mp3}));
    ASSERT_TRUE(media::run("flac", {"--silent", "-o", flac, disk.path("s.wav")}));
    QByteArray v1(128, '\0');
    v1.replace(0, 9, "TAGPesnya");
    QFile f(mp3);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(v1);
    f.close();

    FileList& list = window->list();
    list.AddItem(0, 2, false, mp3);
    list.AddItem(1, 2, false, flac);
    window->maskedf()->Maskcb->setEditText("[mt]");
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        options.cbAllTags = on;
        list.selectRange(0, 1, true);
        window->FastConvert1Click();
        EXPECT_EQ(window->names().line(0), on ? "Песня" : "Pesnya");
        list.selectRange(0, 1, true);
        trigger("ReCountmp3filestime1Click");
        EXPECT_EQ(times(), QList<qint32>({2, on ? 2 : 0}));
        EXPECT_EQ(selected(), on ? QList<int>() : QList<int>({1}));
    }
    EXPECT_TRUE(prompts.shown.isEmpty());
}
