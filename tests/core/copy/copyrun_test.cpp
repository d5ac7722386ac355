#include "core/copy/copyrun.h"
#include "support/steppedtime.h"

#include "support/diskfixture.h"
#include "support/guards.h"
#include "support/listlines.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <sys/stat.h>

using namespace vorlane;

namespace {

class RecordingUi : public CopyUi {
public:
    void setCaption(const QString& text) override { caption = text; }
    void setCount(const QString& text) override { count = text; }
    void setFrom(const QString& text) override { from = text; }
    void setTo(const QString& text) override { to = text; }
    void setProgress(int v, int m) override {
        value = v;
        maximum = m;
    }
    QString caption, count, from, to;
    int value = -1;
    int maximum = -1;
};

QByteArray pattern(qint64 size) {
    QByteArray b(size, Qt::Uninitialized);
    char* d = b.data();
    for (qint64 i = 0; i < size; ++i)
        d[i] = char(i * 7 % 251);
    return b;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// A sparse file of `size` bytes holding `bytes` at the given offsets.
void writeSparse(const QString& path, qint64 size, const QList<std::pair<qint64, QByteArray>>& bytes) {
    const int fd = ::open(encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    for (const auto& [at, b] : bytes)
        ASSERT_EQ(::pwrite(fd, b.constData(), size_t(b.size()), at), b.size());
    ::close(fd);
}

// `bytes` written with a hole wherever a 4 KiB block is all zeros.
void writeSparseFrom(const QString& path, const QByteArray& bytes) {
    constexpr qsizetype kBlock = 4096;
    QList<std::pair<qint64, QByteArray>> data;
    for (qsizetype at = 0; at < bytes.size(); at += kBlock) {
        const QByteArray block = bytes.mid(at, kBlock);
        if (block.count('\0') != block.size())
            data.append({at, block});
    }
    writeSparse(path, bytes.size(), data);
}

class CopyRunTest : public ::testing::Test {
protected:
    CopyRunTest()
        : list(options, prompts, editor, PosixFileSystem::instance()), run(list, prompts, clock, pump, &ui) {
        dest = disk.folder("out");
    }
    void addFile(const QString& path, const QString& name) {
        list.AddItem(0, 0, true, path);
        editor.setLine(list.count() - 1, name);
        list.setSelected(list.count() - 1, true);
    }
    void addSeparator(const QString& name) {
        list.AddSeparator("/sep");
        editor.setLine(list.count() - 1, name);
        list.setSelected(list.count() - 1, true);
    }
    CopyRun::Result copy(QList<Prompts::Answer> answers = {}) {
        prompts.shown.clear();
        prompts.script = answers;
        return run.CopyFiles(dest);
    }
    CopyRun::Result compare(QList<Prompts::Answer> answers = {}) {
        prompts.shown.clear();
        prompts.script = answers;
        return run.CountCRC(dest);
    }
    QList<int> selected() const { return selectedLines(list); }
    QStringList texts() const {
        QStringList t;
        for (const auto& s : prompts.shown)
            t << s.title + ": " + s.text;
        return t;
    }

    Disk disk;
    QString dest;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FileList list;
    StepClock clock;
    ProbePump pump;
    RecordingUi ui;
    CopyRun run;
};

const QString kComplete = "Information: Operation complete";
const QString kCancelled = "Warning: Operation was cancelled";

} // namespace

TEST_F(CopyRunTest, ResumesOnlyOntoTheSourcesBeginning) {
    const QByteArray source = pattern(3 << 20);
    QByteArray flipped = source.left(1 << 20);
    flipped[1000] = char(flipped[1000] ^ 1);
    QByteArray lastDiffers = source;
    lastDiffers[lastDiffers.size() - 1] = char(lastDiffers.back() ^ 1);
    // Holes read as zeros: a source that is a hole where the copy holds data,
    // and the reverse, must be compared byte for byte, not skipped.
    const QByteArray afterHole = QByteArray(1 << 20, '\0') + pattern(4096);
    const QByteArray holeCopy(512 << 10, '\0');
    struct Case {
        const char* name;
        std::optional<QByteArray> before;
        bool completes;
        QByteArray source;
    };
    const Case cases[] = {
        {"no copy yet", std::nullopt, true, source},
        {"empty copy", QByteArray(), true, source},
        {"first part", source.left((1 << 20) + 17), true, source},
        {"whole copy", source, true, source},
        {"differing beginning", flipped, false, source},
        {"longer copy", source + "x", false, source},
        {"same length, last byte differs", lastDiffers, false, source},
        {"data inside the source's hole", pattern(512 << 10), false, afterHole},
        {"hole inside the source's data", holeCopy, false, source},
        {"holes in both", holeCopy, true, afterHole},
    };
    const QString src = disk.path("src.bin");
    const QString target = dest + "/0/new.bin";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray& source = c.source;
        writeSparseFrom(src, source);
        QFile::remove(target);
        if (c.before) {
            QDir().mkpath(dest + "/0");
            writeSparseFrom(target, *c.before);
        }
        list.clear();
        addFile(src, "new.bin");
        const auto r = copy({Prompts::Answer::Ignore});
        if (c.completes) {
            EXPECT_EQ(texts(), QStringList({kComplete}));
            EXPECT_EQ(disk.read(target), source);
            EXPECT_EQ(r.done, 1);
            EXPECT_TRUE(selected().isEmpty());
        } else {
            EXPECT_EQ(texts(), QStringList({"Error!: Target file differs from source\r" + target +
                                                "\rWhat do you want to do?",
                                            kComplete}));
            EXPECT_EQ(disk.read(target), *c.before);
            EXPECT_EQ(r.done, 0);
            EXPECT_EQ(selected(), QList<int>({0}));
        }
    }
}

TEST_F(CopyRunTest, FailuresAskAbortRetryIgnore) {
    const QString fifo = disk.path("fifo.mp3");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    const QString good = disk.file("good.mp3", 10);
    struct Case {
        const char* name;
        QString source;
        QString nameLine;
        std::function<void()> setup;
        QString text;
    };
    const Case cases[] = {
        {"missing source",
         disk.path("gone.mp3"),
         "a",
         {},
         "File access error\r" + disk.path("gone.mp3") + "\r" + std::strerror(ENOENT)},
        {"FIFO for a source", fifo, "a", {}, "File access error\r" + fifo + "\rnot a regular file"},
        {"empty name line", good, "", {}, "File access error\r" + dest + "/0/\rnot a regular file"},
        {"a file where the folder goes", good, "a", [&] { disk.file("out/0"); },
         "File access error\r" + dest + "/0/a\r" + std::strerror(ENOTDIR)},
    };
    const QString ask = "\rWhat do you want to do?";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(encodeName(dest).toStdString());
        disk.folder("out");
        if (c.setup)
            c.setup();
        list.clear();
        addFile(c.source, c.nameLine);
        addSeparator("ok");
        addFile(good, "b");
        // Retry asks again; Ignore goes on with the next file.
        copy({Prompts::Answer::Retry, Prompts::Answer::Ignore});
        EXPECT_EQ(texts(), QStringList({"Error!: " + c.text + ask, "Error!: " + c.text + ask, kComplete}));
        EXPECT_EQ(selected(), QList<int>({0, 1}));
        EXPECT_TRUE(disk.exists("out/ok/b"));
        // Abort ends the run at once, without a summary.
        QFile::remove(dest + "/ok/b");
        list.SelectAll1Click();
        const auto r = copy({Prompts::Answer::Abort});
        EXPECT_TRUE(r.aborted);
        EXPECT_EQ(texts(), QStringList({"Error!: " + c.text + ask}));
        EXPECT_FALSE(disk.exists("out/ok/b"));
    }
}

TEST_F(CopyRunTest, RetryAfterTheCauseIsGoneCopies) {
    struct Case {
        const char* name;
        std::function<void()> obstruct;
        std::function<void()> clear;
    };
    const QString src = disk.path("a.mp3");
    const QString target = dest + "/0/a.mp3";
    const Case cases[] = {
        {"missing source", [&] { QFile::remove(src); }, [&] { writeFile(src, "abc"); }},
        {"a file where the folder goes", [&] { disk.file("out/0"); }, [&] { QFile::remove(dest + "/0"); }},
        {"a different copy",
         [&] {
             disk.folder("out/0");
             writeFile(target, "x");
         },
         [&] { QFile::remove(target); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(encodeName(dest).toStdString());
        disk.folder("out");
        writeFile(src, "abc");
        c.obstruct();
        list.clear();
        addFile(src, "a.mp3");
        prompts.onAsk = [&](const QString& text) {
            if (text.endsWith("do?"))
                c.clear();
        };
        const auto r = copy({Prompts::Answer::Retry});
        EXPECT_EQ(r.done, 1);
        EXPECT_EQ(prompts.shown.size(), 2);
        EXPECT_EQ(disk.read(target), "abc");
    }
}

TEST_F(CopyRunTest, CancelledCopyResumesWhereItStopped) {
    const QByteArray source = pattern(20 << 20);
    const QString src = disk.path("big.bin");
    writeFile(src, source);
    addFile(src, "big.bin");
    pump.probe = [&] { run.CancelbClick(); };
    auto r = copy();
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(texts(), QStringList({kCancelled}));
    EXPECT_EQ(selected(), QList<int>({0}));
    const QByteArray part = disk.read(dest + "/0/big.bin");
    EXPECT_GT(part.size(), 0);
    EXPECT_LT(part.size(), source.size());
    EXPECT_EQ(part, source.left(part.size()));

    // Copying again finishes the file; a clock that has not moved a second never pumps.
    pump.probe = nullptr;
    pump.pumps = 0;
    clock.step = 1;
    r = copy();
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(texts(), QStringList({kComplete}));
    EXPECT_EQ(disk.read(dest + "/0/big.bin"), source);
    EXPECT_TRUE(selected().isEmpty());
    EXPECT_EQ(pump.pumps, 0);
    EXPECT_EQ(ui.caption, "Copy");
    EXPECT_EQ(ui.count, "1 file from 1");
    EXPECT_EQ(ui.from, "From: " + src);
    EXPECT_EQ(ui.to, "To: " + dest + "/0/big.bin");
}

TEST_F(CopyRunTest, FullDiskLeavesAPartialCopyThatIsNotCounted) {
    const QByteArray source = pattern(64 << 10);
    const QString src = disk.path("song.mp3");
    writeFile(src, source);
    const QString target = dest + "/0/song.mp3";
    const QString failed =
        "Error!: File write error\r" + target + "\r" + std::strerror(EFBIG) + "\rWhat do you want to do?";
    addFile(src, "song.mp3");
    {
        FileSizeLimit cap(10000);
        auto r = copy({Prompts::Answer::Retry, Prompts::Answer::Ignore});
        EXPECT_EQ(texts(), QStringList({failed, failed, kComplete}));
        EXPECT_EQ(r.done, 0);
        EXPECT_EQ(selected(), QList<int>({0}));
        // Abort on a write error cancels the run.
        r = copy({Prompts::Answer::Abort});
        EXPECT_EQ(texts(), QStringList({failed, kCancelled}));
        EXPECT_EQ(selected(), QList<int>({0}));
    }
    EXPECT_EQ(disk.read(target), source.left(10000));
    copy();
    EXPECT_EQ(texts(), QStringList({kComplete}));
    EXPECT_EQ(disk.read(target), source);
}

TEST_F(CopyRunTest, SparseFileOf3GiBIsResumedBeyond2GiB) {
    const qint64 size = qint64(3) << 30;
    const qint64 mid = (qint64(2) << 30) + 5;
    const QString src = disk.path("huge.bin");
    writeSparse(src, size, {{0, "head"}, {mid, "mid"}, {size - 4, "tail"}});
    // An earlier copy that stopped 4 KiB before the end.
    disk.folder("out/0");
    const QString target = dest + "/0/huge.bin";
    writeSparse(target, size - 4096, {{0, "head"}, {mid, "mid"}});
    addFile(src, "huge.bin");
    copy();
    EXPECT_EQ(texts(), QStringList({kComplete}));
    struct ::stat st {};
    ASSERT_EQ(::stat(encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_size, size);
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.seek(size - 4));
    EXPECT_EQ(f.read(4), "tail");
    EXPECT_GT(ui.maximum, 0);
    EXPECT_EQ(ui.value, ui.maximum);
}

TEST_F(CopyRunTest, CountFileCRC32GivesTheStandardChecksum) {
    struct Case {
        QByteArray bytes;
        const char* crc;
        int pumps; // one at the start and one per 32 MiB read
    };
    const Case cases[] = {
        {"", "00000000", 1},
        {"123456789", "CBF43926", 1},
        {"The quick brown fox jumps over the lazy dog", "414FA339", 1},
        {pattern(40 << 20), "B4562BA9", 2},
    };
    const QString path = disk.path("f");
    for (const Case& c : cases) {
        writeFile(path, c.bytes);
        pump.pumps = 0;
        quint32 crc = 1;
        EXPECT_TRUE(run.CountFileCRC32(path, crc));
        EXPECT_EQ(CopyRun::crcText(crc), c.crc);
        EXPECT_EQ(pump.pumps, c.pumps) << c.crc;
    }
    QString cause;
    quint32 crc = 1;
    EXPECT_FALSE(run.CountFileCRC32(disk.path("missing"), crc, &cause));
    EXPECT_EQ(cause, std::strerror(ENOENT));
    EXPECT_EQ(crc, 1u);
}

TEST_F(CopyRunTest, CompareFindsAOneByteDifference) {
    const QString a = disk.path("a.txt"), b = disk.path("b.txt"), c = disk.path("c.txt");
    writeFile(a, "same\n");
    writeFile(b, "hello world\n");
    writeFile(c, "no copy\n");
    disk.folder("out/Rock");
    writeFile(dest + "/Rock/1.txt", "same\n");
    writeFile(dest + "/Rock/2.txt", "hello World\n");
    addSeparator("Rock");
    addFile(a, "1.txt");
    addFile(b, "2.txt");
    addFile(c, "3.txt");
    const QString mismatch = "Error!: CRC are not coincide\r" + b + "\r(CRC=AF083B2D)\r\r" + dest +
                             "/Rock/2.txt\r(CRC=A8A43E1B)\r\rWhat do you want to do?";
    const QString missing = "Error!: File access error\r" + dest + "/Rock/3.txt\r" + std::strerror(ENOENT) +
                            "\rWhat do you want to do?";
    auto r = compare({Prompts::Answer::Ignore, Prompts::Answer::Ignore});
    EXPECT_EQ(texts(),
              QStringList({mismatch, missing,
                           kComplete + "\r2 of 3 copies differ or are missing (their lines stay selected)"}));
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(selected(), QList<int>({0, 2, 3}));
    EXPECT_EQ(ui.caption, "CRC check");
    EXPECT_EQ(ui.count, "2 file from 3"); // Ignore does not count the file
    EXPECT_EQ(ui.from, c);

    // Retry after the copy was mended reads the copy again.
    list.SelectAll1Click();
    prompts.onAsk = [&](const QString& text) {
        if (text.startsWith("CRC"))
            writeFile(dest + "/Rock/2.txt", "hello world\n");
    };
    r = compare({Prompts::Answer::Retry, Prompts::Answer::Ignore});
    EXPECT_EQ(texts(),
              QStringList({mismatch, missing,
                           kComplete + "\r1 of 3 copies differ or are missing (their lines stay selected)"}));
    EXPECT_EQ(selected(), QList<int>({0, 3}));
}

TEST_F(CopyRunTest, CompareOfFilesOfManyBlocks) {
    // The copy is counted beside the source, a block at a time: every block
    // of both must count, up to a difference in the very last byte.
    const QByteArray bytes = pattern(600 << 10);
    QByteArray changed = bytes;
    changed[changed.size() - 1] = char(changed.back() ^ 1);
    const QString same = disk.path("same.bin"), differs = disk.path("differs.bin");
    writeFile(same, bytes);
    writeFile(differs, bytes);
    disk.folder("out/Rock");
    writeFile(dest + "/Rock/1.bin", bytes);
    writeFile(dest + "/Rock/2.bin", changed);
    addSeparator("Rock");
    addFile(same, "1.bin");
    addFile(differs, "2.bin");
    quint32 crcOfSource = 0, crcOfCopy = 0;
    ASSERT_TRUE(run.CountFileCRC32(differs, crcOfSource));
    ASSERT_TRUE(run.CountFileCRC32(dest + "/Rock/2.bin", crcOfCopy));
    ASSERT_NE(crcOfSource, crcOfCopy);
    const auto r = compare({Prompts::Answer::Ignore});
    EXPECT_EQ(r.done, 1);
    ASSERT_EQ(texts().size(), 2);
    EXPECT_EQ(texts()[0], "Error!: CRC are not coincide\r" + differs +
                              "\r(CRC=" + CopyRun::crcText(crcOfSource) + ")\r\r" + dest +
                              "/Rock/2.bin\r(CRC=" + CopyRun::crcText(crcOfCopy) +
                              ")\r\rWhat do you want to do?");
}

TEST_F(CopyRunTest, OnlySeparatorsSelectedIsNothingToDo) {
    addSeparator("Rock");
    list.AddItem(0, 0, true, disk.file("a.mp3"));
    for (const bool comparing : {false, true}) {
        comparing ? compare() : copy();
        EXPECT_EQ(texts(), QStringList({"Error: No items selected"}));
    }
    EXPECT_FALSE(disk.exists("out/Rock"));
}
