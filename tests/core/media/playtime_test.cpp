#include "core/media/playtime.h"
#include "support/diskfixture.h"
#include "support/mediafiles.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

using namespace vorlane;

namespace {

// Headers: MPEG-1 Layer III 128 kbit/s 44100 Hz (417 bytes a frame); MPEG-2
// Layer III 64 kbit/s 22050 Hz (208); MPEG-2.5 Layer III 32 kbit/s 8000 Hz
// (288); MPEG-1 Layer I 128 kbit/s 44100 Hz (136, padded 140); MPEG-1 Layer II
// 192 kbit/s 48000 Hz (576); MPEG-2 Layer II 64 kbit/s 22050 Hz (417).
constexpr quint32 kV1L3 = 0xFFFB9000, kV2L3 = 0xFFF38000, kV25L3 = 0xFFE34800, kV1L1 = 0xFFFF4000,
                  kV1L2 = 0xFFFDA400, kV2L2 = 0xFFF58000;

QByteArray be32(quint32 v) {
    QByteArray b;
    for (int shift : {24, 16, 8, 0})
        b.append(char(v >> shift));
    return b;
}

// A first frame (MPEG-1 Layer III, stereo) carrying `info` after its side information.
QByteArray infoFrame(const QByteArray& info, int at = 36) {
    QByteArray f = media::frame(kV1L3, 417);
    f.replace(at, info.size(), info);
    return f;
}

QByteArray layerOneFrames(int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += i % 2 ? media::frame(kV1L1 | 0x200, 140) : media::frame(kV1L1, 136);
    return out;
}

Mp3Time walk(const QByteArray& bytes) {
    MemorySource source(bytes);
    return walkMp3(source);
}

QString written(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
    return path;
}

// A "fmt " chunk's data with a format tag of 0xFFFE (extensible) naming
// `subFormat` in its GUID, and a byte rate of `byteRate`.
QByteArray extensibleFmt(int channels, int sampleRate, int bits, int byteRate, quint16 subFormat) {
    QByteArray f = media::fmtData(channels, sampleRate, bits, byteRate, 0xFFFE);
    f += QByteArray("\x16\0", 2) + QByteArray("\0\0", 2) + QByteArray("\0\0\0\0", 4);
    f += QByteArray(1, char(subFormat)) + QByteArray(1, char(subFormat >> 8)) +
         QByteArray("\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 14);
    return f;
}

} // namespace

TEST(Mp3Walk, FramesBuiltByteByByte) {
    const QByteArray v1 = media::frames(kV1L3, 417, 100);
    // Bytes that start like headers but lead to no frame after them.
    const QByteArray junk = QByteArray("\xFF\x00\xFF\xFB\x12", 5) + "junk bytes" + QByteArray("\xFF\xE0", 2);
    struct Case {
        const char* what;
        QByteArray bytes;
        qint64 frames;
        double seconds;
        qint64 statedFrames = -1;
    };
    const Case cases[] = {
        {"MPEG-1 Layer III from offset 0", v1, 100, 100 * 1152 / 44100.0},
        {"MPEG-1 Layer III, every third frame padded", media::frames(kV1L3, 417, 100, 3), 100,
         100 * 1152 / 44100.0},
        {"MPEG-2 Layer III: 576 samples a frame", media::frames(kV2L3, 208, 50, 2), 50, 50 * 576 / 22050.0},
        {"MPEG-2.5 Layer III", media::frames(kV25L3, 288, 20), 20, 20 * 576 / 8000.0},
        {"Layer I: 384 samples, padding adds four bytes", layerOneFrames(40), 40, 40 * 384 / 44100.0},
        {"MPEG-1 Layer II", media::frames(kV1L2, 576, 30), 30, 30 * 1152 / 48000.0},
        {"MPEG-2 Layer II keeps 1152 samples a frame", media::frames(kV2L2, 417, 30), 30,
         30 * 1152 / 22050.0},
        {"first frame at an odd offset", "abc" + v1, 100, 100 * 1152 / 44100.0},
        {"junk between frames", v1 + junk + v1, 200, 200 * 1152 / 44100.0},
        {"one frame before an ID3v1 tag", media::frame(kV1L3, 417) + "TAG" + QByteArray(125, 'x'), 1,
         1152 / 44100.0},
        {"ID3v2 tag full of frames, skipped by its size",
         media::id3v2(media::frames(kV1L3, 417, 30) + "\xFF") + v1, 100, 100 * 1152 / 44100.0},
        {"lone sync word in text", "text " + QByteArray("\xFF\xFB\x90\x00", 4) + " more text", 0, 0},
        {"free-format, bad bit rate, reserved sample rate, version and layer",
         media::frames(0xFFFB0000, 417, 5) + media::frames(0xFFFBF000, 417, 5) +
             media::frames(0xFFFB9C00, 417, 5) + media::frames(0xFFEB9000, 417, 5) +
             media::frames(0xFFF99000, 417, 5),
         0, 0},
        {"Xing header's count is only compared: the frames held are walked",
         infoFrame("Xing" + be32(1) + be32(1000)) + media::frames(kV1L3, 417, 300), 300, 300 * 1152 / 44100.0,
         1000},
        {"VBRI header's count is only compared: the frames held are walked",
         infoFrame(QByteArray("VBRI\0\x01\0\0\0\0", 10) + be32(0) + be32(500)) +
             media::frames(kV1L3, 417, 300),
         300, 300 * 1152 / 44100.0, 500},
        {"Info header without a count: its frame is no audio", infoFrame("Info" + be32(0) + be32(0)) + v1,
         100, 100 * 1152 / 44100.0},
        {"count beyond what the file can hold", infoFrame("Xing" + be32(1) + be32(0x7FFFFFFF)) + v1, 100,
         100 * 1152 / 44100.0, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Mp3Time t = walk(c.bytes);
        EXPECT_EQ(t.frames, c.frames);
        EXPECT_DOUBLE_EQ(t.seconds, c.seconds);
        EXPECT_EQ(t.statedFrames, c.statedFrames);
    }
}

TEST(Mp3Walk, FramesAcrossReadBlocks) {
    // 40,000 frames (16 MB) are read in many blocks; frames straddle their ends.
    const Mp3Time t = walk(media::frames(kV1L3, 417, 40000, 7));
    EXPECT_EQ(t.frames, 40000);
}

TEST(PlayTimeChoice, ByExtensionInAnyCase) {
    const std::pair<const char*, TimeKind> cases[] = {
        {"/m/a.mp3", TimeKind::Mp3},      {"/m/a.Mp3", TimeKind::Mp3},   {"/m/A.WAV", TimeKind::Wav},
        {"/m/a.mp3.bak", TimeKind::None}, {"/m/mp3", TimeKind::None},    {"/m.mp3/a", TimeKind::None},
        {"/m/a.mp4", TimeKind::None},     {"/m/a.wave", TimeKind::None},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(timeKindOf(path), kind) << path;
}

// Files made by the encoders, 7.5 s of sound each; an encoder adds up to a
// few frames of delay and padding (up to 0.21 s at 8000 Hz).
class EncodedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_disk = std::make_unique<Disk>();
        ASSERT_TRUE(media::sine(s_disk->path("mono.wav"), 7.5, 44100, {"-b", "16", "-c", "1"}));
        ASSERT_TRUE(media::sine(s_disk->path("stereo.wav"), 7.5, 44100, {"-b", "16", "-c", "2"}));
        // A "picture" for the ID3v2 tag that holds a run of MPEG frames.
        QFile pic(s_disk->path("pic.jpg"));
        ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
        pic.write(QByteArray("\xFF\xD8\xFF\xE0", 4) + media::frames(kV1L3, 417, 30) + "\xFF\xD9");
    }
    static void TearDownTestSuite() { s_disk.reset(); }

    static QString encode(const QString& name, const QString& input, const QStringList& args) {
        const QString out = s_disk->path(name);
        QString errors;
        EXPECT_TRUE(media::run("lame", QStringList{"--quiet"} + args + QStringList{s_disk->path(input), out},
                               &errors))
            << errors.toStdString();
        return out;
    }

    static std::unique_ptr<Disk> s_disk;
};
std::unique_ptr<Disk> EncodedFiles::s_disk;

TEST_F(EncodedFiles, Mp3FromLameMatchesTheSoundsLength) {
    struct Case {
        const char* name;
        const char* input;
        QStringList args;
        bool infoHeader; // lame writes one unless told not to (-t)
    };
    const Case cases[] = {
        {"v1cbr.mp3", "mono.wav", {"-b", "128"}, true},
        {"v1cbr_walk.mp3", "mono.wav", {"-t", "-b", "128"}, false},
        {"v1vbr.mp3", "stereo.wav", {"-V", "4"}, true},
        {"v1vbr_walk.mp3", "stereo.wav", {"-t", "-V", "4"}, false},
        {"v2cbr.mp3", "mono.wav", {"--resample", "22.05", "-b", "64"}, true},
        {"v2cbr_walk.mp3", "stereo.wav", {"-t", "--resample", "22.05", "-b", "64"}, false},
        {"v2vbr.mp3", "stereo.wav", {"--resample", "24", "-V", "6"}, true},
        {"v2vbr_walk.mp3", "mono.wav", {"-t", "--resample", "16", "-V", "6"}, false},
        {"v25cbr_walk.mp3", "mono.wav", {"-t", "--resample", "8", "-b", "32"}, false},
        {"v25vbr.mp3", "mono.wav", {"--resample", "11.025", "-V", "8"}, true},
        {"id3v2.mp3", "mono.wav", {"-b", "128", "--id3v2-only", "--tt", "Title"}, true},
        {"id3v2_picture_walk.mp3",
         "mono.wav",
         {"-t", "-b", "128", "--id3v2-only", "--tt", "Title", "--ti", s_disk->path("pic.jpg")},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = encode(c.name, c.input, c.args);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const Mp3Time t = walk(f.readAll());
        EXPECT_GE(t.seconds, 7.5);
        EXPECT_LE(t.seconds, 7.75);
        // The walk finds as many frames as lame says it wrote.
        EXPECT_EQ(t.statedFrames, c.infoHeader ? t.frames : -1);
        ScriptedPrompts prompts;
        EXPECT_EQ(CountMp3Time(path, prompts), 7);
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

// A file cut short (as a copy left unfinished) or joined to another still
// carries the information frame of the whole original; its time is what its
// frames hold. By hand, mpg123 decodes each of these files to within 0.1 s of
// the time counted here.
TEST_F(EncodedFiles, Mp3CutShortOrJoinedCountsTheFramesItHolds) {
    struct Case {
        const char* name;
        const char* input;
        QStringList args;
        bool constantRate; // half the bytes hold half the sound
    };
    const Case cases[] = {
        {"whole_v1cbr.mp3", "mono.wav", {"-b", "128"}, true},
        {"whole_v2cbr.mp3", "stereo.wav", {"--resample", "22.05", "-b", "64"}, true},
        {"whole_v1vbr.mp3", "stereo.wav", {"-V", "4"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray whole = s_disk->read(encode(c.name, c.input, c.args));
        const Mp3Time full = walk(whole);
        ASSERT_EQ(full.statedFrames, full.frames);
        ScriptedPrompts prompts;

        // Both copies' frames, and the second copy's information frame, which
        // a decoder plays as one frame of silence.
        const Mp3Time joined = walk(whole + whole);
        EXPECT_EQ(joined.frames, 2 * full.frames + 1);
        EXPECT_EQ(joined.statedFrames, full.frames);
        EXPECT_EQ(
            CountMp3Time(written(s_disk->path(QStringLiteral("joined_") + c.name), whole + whole), prompts),
            15);

        if (c.constantRate) {
            const QByteArray half = whole.left(whole.size() / 2);
            EXPECT_NEAR(walk(half).seconds, full.seconds / 2, 0.1);
            EXPECT_EQ(CountMp3Time(written(s_disk->path(QStringLiteral("half_") + c.name), half), prompts),
                      3);
        }
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST_F(EncodedFiles, WavFromSox) {
    struct Case {
        const char* name;
        double seconds;
        int rate;
        QStringList format;
        qint32 expected;
    };
    const Case cases[] = {
        {"8bit_mono.wav", 2.5, 8000, {"-b", "8", "-c", "1"}, 2}, // a half goes to the even second
        {"16bit_stereo.wav", 3.5, 44100, {"-b", "16", "-c", "2"}, 4},
        {"24bit_stereo.wav", 1.5, 48000, {"-b", "24", "-c", "2"}, 2},
        {"24bit_mono.wav", 1.25, 96000, {"-b", "24", "-c", "1"}, 1},
        {"16bit_six_channels.wav", 2.75, 16000, {"-b", "16", "-c", "6"}, 3},
        {"float_mono.wav", 2.25, 16000, {"-e", "floating-point", "-b", "32", "-c", "1"}, 2},
        {"alaw_stereo.wav", 1.75, 8000, {"-e", "a-law", "-c", "2"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = s_disk->path(c.name);
        ASSERT_TRUE(media::sine(path, c.seconds, c.rate, c.format));
        const QByteArray bytes = s_disk->read(path);
        ASSERT_EQ(bytes.mid(12, 4), "fmt ");
        // The same file with a byte rate that disagrees: sound stored sample by
        // sample is timed by its layout alone (as sox does).
        const quint32 byteRate = qFromLittleEndian<quint32>(bytes.constData() + 28);
        QByteArray wrongRate = bytes;
        qToLittleEndian<quint32>(byteRate * 2, wrongRate.data() + 28);
        for (const QString& file :
             {path, written(s_disk->path(QStringLiteral("rate_") + c.name), wrongRate)}) {
            const QByteArray held = s_disk->read(file);
            MemorySource source(held);
            EXPECT_DOUBLE_EQ(readWav(source).seconds, c.seconds);
            ScriptedPrompts prompts;
            EXPECT_EQ(CountWavTime(file, prompts), c.expected);
            EXPECT_TRUE(prompts.shown.isEmpty());
        }
    }
}

TEST_F(EncodedFiles, CompressedWavFromSoxByItsByteRate) {
    // 10 s at 8000 Hz; an encoder fills its last block, one block is at most
    // 64 ms here. Bits per sample would give 10.14 s (IMA ADPCM), 10.24 s (MS
    // ADPCM) or nothing at all (GSM, which states 0).
    const std::pair<const char*, const char*> cases[] = {
        {"ima.wav", "ima-adpcm"}, {"ms.wav", "ms-adpcm"}, {"gsm.wav", "gsm-full-rate"}};
    for (const auto& [name, encoding] : cases) {
        SCOPED_TRACE(name);
        const QString path = s_disk->path(name);
        ASSERT_TRUE(media::sine(path, 10, 8000, {"-e", encoding, "-c", "1"}));
        const QByteArray bytes = s_disk->read(path);
        MemorySource source(bytes);
        const WavTime t = readWav(source);
        EXPECT_EQ(t.error, "");
        EXPECT_NEAR(t.seconds, 10.03, 0.04);
        ScriptedPrompts prompts;
        EXPECT_EQ(CountWavTime(path, prompts), 10);
        EXPECT_TRUE(prompts.shown.isEmpty());
    }
}

TEST(WavChunks, LayoutsThatCount) {
    using media::chunk;
    const QByteArray fmt = chunk("fmt ", media::fmtData(2, 44100, 16));
    const QByteArray oneSecond(176400, '\0');
    QByteArray oversized = chunk("data", oneSecond);
    oversized.replace(4, 4, QByteArray("\x00\x00\x10\x00", 4)); // declares 1 MiB
    struct Case {
        const char* what;
        QByteArray file;
        double seconds;
    };
    const Case cases[] = {
        {"odd-sized chunk and its pad byte before fmt",
         media::riff(chunk("LIST", "abc") + fmt + chunk("data", oneSecond)), 1},
        {"odd-sized chunk between fmt and data",
         media::riff(fmt + chunk("junk", QByteArray(5, 'j')) + chunk("data", oneSecond)), 1},
        {"data before fmt", media::riff(chunk("data", QByteArray(264600, '\0')) + fmt), 1.5},
        {"data larger than the file holds", media::riff(fmt + oversized), 1},
        {"fmt with an extension",
         media::riff(chunk("fmt ", media::fmtData(1, 8000, 8) + QByteArray("\x02\0ab", 4)) +
                     chunk("data", QByteArray(12000, '\0'))),
         1.5},
        {"compressed sound (GSM): the byte rate counts, bits per sample say nothing",
         media::riff(chunk("fmt ", media::fmtData(1, 8000, 0, 4000, 0x31)) +
                     chunk("data", QByteArray(10000, '\0'))),
         2.5},
        {"PCM: a byte rate that disagrees is not used",
         media::riff(chunk("fmt ", media::fmtData(2, 44100, 16, 88200)) + chunk("data", oneSecond)), 1},
        {"extensible PCM: the byte rate is not used",
         media::riff(chunk("fmt ", extensibleFmt(2, 44100, 16, 88200, 1)) + chunk("data", oneSecond)), 1},
        {"extensible too short to name its sub-format counts as PCM",
         media::riff(chunk("fmt ", media::fmtData(2, 44100, 16, 88200, 0xFFFE)) + chunk("data", oneSecond)),
         1},
        {"extensible compressed (MPEG): the byte rate counts",
         media::riff(chunk("fmt ", extensibleFmt(2, 44100, 0, 16000, 0x55)) +
                     chunk("data", QByteArray(40000, '\0'))),
         2.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemorySource source(c.file);
        const WavTime t = readWav(source);
        EXPECT_EQ(t.error, "");
        EXPECT_DOUBLE_EQ(t.seconds, c.seconds);
    }
}

TEST(CountTime, WholeSecondsToTheEvenNeighbour) {
    Disk disk;
    const std::pair<int, qint32> cases[] = {{176400, 1}, {264600, 2}, {441000, 2}, {617400, 4}};
    for (const auto& [bytes, seconds] : cases) {
        const QString path = disk.path(QString::number(bytes) + ".wav");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(media::riff(media::chunk("fmt ", media::fmtData(2, 44100, 16)) +
                            media::chunk("data", QByteArray(bytes, '\0'))));
        f.close();
        ScriptedPrompts prompts;
        EXPECT_EQ(CountWavTime(path, prompts), seconds) << bytes;
    }
}

TEST(CountTime, FailuresNameTheFileAndTheirCause) {
    Disk disk;
    using media::chunk;
    const QByteArray fmt = chunk("fmt ", media::fmtData(2, 44100, 16));
    const QByteArray data = chunk("data", QByteArray(100, '\0'));
    QByteArray cutFmt = media::riff(fmt);
    cutFmt.chop(4);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message; // the path follows on its own line
    };
    const Case cases[] = {
        {"empty.wav", "", "Error reading file (beginning)"},
        {"short.wav", QByteArray("RIFF\x04\0\0\0WAV", 11), "Error reading file (beginning)"},
        {"aiff.wav", QByteArray("FORM\x04\0\0\0AIFF", 12), "Wrong file header (RIFF, WAVE)"},
        {"nofmt.wav", media::riff(data), "Error reading file (finding fmt-section)"},
        {"fmt14.wav", media::riff(chunk("fmt ", QByteArray(14, '\x01')) + data),
         "Wrong data-size in fmt-section (14)"},
        {"fmtcut.wav", cutFmt, "Error reading file (data of fmt-section)"},
        {"nodata.wav", media::riff(fmt + chunk("LIST", "xy")), "Error reading file (finding data-section)"},
        {"nochannels.wav", media::riff(chunk("fmt ", media::fmtData(0, 44100, 16)) + data),
         "Error reading WAV-file (nch*freq*bps=0)"},
        {"norate.wav", media::riff(chunk("fmt ", media::fmtData(2, 0, 16, 176400)) + data),
         "Error reading WAV-file (nch*freq*bps=0)"},
        {"nobits.wav", media::riff(chunk("fmt ", media::fmtData(2, 44100, 0, 176400)) + data),
         "Error reading WAV-file (nch*freq*bps=0)"},
        {"nobyterate.wav", media::riff(chunk("fmt ", media::fmtData(1, 8000, 0, 0, 0x31)) + data),
         "Error reading WAV-file (nch*freq*bps=0)"},
        {"zero.wav", media::riff(fmt + chunk("data", "")), "File has the zero playing time"},
        {"empty.mp3", "", "File has the zero playing time"},
        {"text.mp3", "no frames in here", "File has the zero playing time"},
    };
    for (const Case& c : cases) {
        const QString path = disk.path(c.name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        ScriptedPrompts prompts;
        EXPECT_EQ(CountPlayTime(path, prompts), 0) << c.name;
        ASSERT_EQ(prompts.shown.size(), 1) << c.name;
        EXPECT_EQ(prompts.shown[0].title, "Error!");
        EXPECT_EQ(prompts.shown[0].text, QString::fromLatin1(c.message) + "\r" + path);
        EXPECT_EQ(prompts.shown[0].icon, Prompts::Icon::Error);
    }
}

TEST(CountTime, FilesThatCannotBeReadSayWhy) {
    Disk disk;
    const QString fifo = disk.path("fifo.mp3");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    const QString folder = disk.folder("folder.wav");
    // Reading this process's memory at offset 0 fails although it is a regular file.
    const QString memory = disk.path("memory.mp3");
    ASSERT_TRUE(QFile::link("/proc/self/mem", memory));
    const QString memoryWav = disk.path("memory.wav");
    ASSERT_TRUE(QFile::link("/proc/self/mem", memoryWav));
    const std::pair<QString, QString> cases[] = {
        {fifo, "Can't open file\r" + fifo + "\rnot a regular file"},
        {folder, "Can't open file\r" + folder + "\rnot a regular file"},
        {disk.path("gone.mp3"), "Can't open file\r" + disk.path("gone.mp3") + "\rNo such file or directory"},
        {memory, "Error reading file\r" + memory + "\rInput/output error"},
        {memoryWav, "Error reading file (beginning)\r" + memoryWav + "\rInput/output error"},
    };
    for (const auto& [path, message] : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(CountPlayTime(path, prompts), 0);
        ASSERT_EQ(prompts.shown.size(), 1) << path.toStdString();
        EXPECT_EQ(prompts.shown[0].text, message);
    }
}
