#include "core/media/photodate.h"

#include "support/diskfixture.h"
#include "support/guards.h"
#include "support/mediafiles.h"
#include "support/qtprint.h"

#include <QLocale>
#include <QStandardPaths>
#include <QTimeZone>

#include <cstdio>
#include <ctime>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlane;

// Readable failure output for dates.
static void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << (d.isValid() ? d.toString(Qt::ISODateWithMs).toStdString() : "invalid");
}

namespace {

// File times keep their milliseconds.
const QDateTime kFileTime(QDate(2019, 3, 2), QTime(1, 2, 3, 250));
const QDateTime kOriginal(QDate(2021, 7, 4), QTime(10, 11, 12));
const QDateTime kDigitized(QDate(2022, 8, 5), QTime(13, 14, 15));

bool haveTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("exiv2")).isEmpty();
}

void setFileTime(const QString& path, const QDateTime& when) {
    const timespec t{when.toSecsSinceEpoch(), when.time().msec() * 1'000'000L};
    const timespec times[2] = {t, t};
    ASSERT_EQ(::utimensat(AT_FDCWD, encodeName(path).constData(), times, 0), 0) << path.toStdString();
}

// Where the Exif block of a JPEG starts: its "Exif\0\0" header.
qsizetype exifAt(const QByteArray& bytes) {
    return bytes.indexOf(QByteArray("Exif\0\0", 6));
}

// Where the value of the Exif block's pointer to its Exif folder (tag 0x8769)
// is, and where the length of its DateTimeOriginal entry (tag 0x9003) is; the
// blocks the exiv2 tool writes are little-endian.
qsizetype exifPointerAt(const QByteArray& bytes) {
    const qsizetype at = bytes.indexOf("\x69\x87\x04\x00", exifAt(bytes));
    EXPECT_GE(at, 0);
    return at + 8;
}
qsizetype dateCountAt(const QByteArray& bytes) {
    const qsizetype at = bytes.indexOf("\x03\x90\x02\x00", exifAt(bytes));
    EXPECT_GE(at, 0);
    return at + 4;
}

// The TIFF structure inside a JPEG's Exif block.
QByteArray exifTiff(const QByteArray& jpeg) {
    const qsizetype at = exifAt(jpeg);
    const int length = (uchar(jpeg[at - 2]) << 8) | uchar(jpeg[at - 1]);
    return jpeg.mid(at + 6, length - 8);
}

QByteArray be(quint32 value, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(value >> (8 * i));
    return out;
}
QByteArray box(const char* type, const QByteArray& payload) {
    return be(quint32(8 + payload.size()), 4) + type + payload;
}
QByteArray fullBox(const char* type, int version, const QByteArray& payload) {
    return box(type, be(quint32(version) << 24, 4) + payload);
}

// A HEIF-style file (HEIF and AVIF differ in their brand) whose one item is
// an Exif block: the container a phone writes its photo's date into.
QByteArray heifWithExif(const QByteArray& brand, const QByteArray& tiff) {
    const QByteArray exif = be(6, 4) + QByteArray("Exif\0\0", 6) + tiff;
    const QByteArray ftyp = box("ftyp", brand + be(0, 4) + "mif1" + brand);
    const QByteArray hdlr = fullBox("hdlr", 0, be(0, 4) + "pict" + QByteArray(13, '\0'));
    const QByteArray pitm = fullBox("pitm", 0, be(1, 2));
    const QByteArray infe = fullBox("infe", 2, be(1, 2) + be(0, 2) + "Exif" + QByteArray(1, '\0'));
    const QByteArray iinf = fullBox("iinf", 0, be(1, 2) + infe);
    // Item 1: one extent, 4-byte offset and length, in the mdat box at the end.
    const auto meta = [&](quint32 offset) {
        const QByteArray iloc = fullBox("iloc", 0,
                                        QByteArray("\x44\x00", 2) + be(1, 2) + be(1, 2) + be(0, 2) +
                                            be(1, 2) + be(offset, 4) + be(quint32(exif.size()), 4));
        return fullBox("meta", 0, hdlr + pitm + iloc + iinf);
    };
    const quint32 offset = quint32(ftyp.size() + meta(0).size() + 8);
    return ftyp + meta(offset) + box("mdat", exif);
}

// Bytes this process has read so far (page cache included).
qint64 bytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = io.readAll();
    const qsizetype at = text.indexOf("rchar: ");
    return at < 0 ? -1 : text.mid(at + 7, text.indexOf('\n', at) - at - 7).toLongLong();
}

void replaceDate(QByteArray& bytes, const QByteArray& text) {
    const qsizetype at = bytes.indexOf("2021:07:04 10:11:12");
    ASSERT_GE(at, 0);
    bytes.replace(at, text.size(), text);
}

// Pictures made by imagemagick, their Exif dates set by the exiv2 tool.
struct Photos {
    Disk disk;

    QString image(const QString& name) const {
        const QString p = disk.path(name);
        EXPECT_TRUE(media::run("convert", {"-size", "8x8", "xc:red", p})) << name.toStdString();
        return p;
    }
    QString withDates(const QString& name, const QString& original, const QString& digitized = {}) const {
        const QString p = image(name);
        QStringList args;
        if (!original.isEmpty())
            args << "-M" + QStringLiteral("set Exif.Photo.DateTimeOriginal ") + original;
        if (!digitized.isEmpty())
            args << "-M" + QStringLiteral("set Exif.Photo.DateTimeDigitized ") + digitized;
        QString errors;
        EXPECT_TRUE(media::run("exiv2", args << p, &errors)) << errors.toStdString();
        return p;
    }
    // A HEIF or AVIF file holding the Exif block of a JPEG dated
    // DateTimeOriginal, with its last `cut` bytes cut off.
    QString heif(const QString& name, const QByteArray& brand, int cut = 0) const {
        const QByteArray jpeg = disk.read(withDates(name + ".jpg", "2021:07:04 10:11:12"));
        QByteArray bytes = heifWithExif(brand, exifTiff(jpeg));
        bytes.chop(cut);
        disk.write(disk.path(name), bytes);
        return disk.path(name);
    }
    // The file at `path` under the name `name`.
    QString renamed(const QString& path, const QString& name) const {
        EXPECT_EQ(::rename(encodeName(path).constData(), encodeName(disk.path(name)).constData()), 0);
        return disk.path(name);
    }
    // A JPEG whose date was written, then had bytes of its file changed.
    QString damaged(const QString& name, const std::function<void(QByteArray&)>& change) const {
        const QString p = withDates(name, "2021:07:04 10:11:12");
        QByteArray bytes = disk.read(p);
        EXPECT_GE(bytes.indexOf(QByteArray("Exif\0\0", 6)), 0) << name.toStdString();
        change(bytes);
        disk.write(p, bytes);
        return p;
    }
};

} // namespace

TEST(PhotoDate, DateTakenElseFileTime) {
    if (!haveTools())
        GTEST_SKIP() << "needs imagemagick's convert and the exiv2 tool";
    Photos ph;
    const Disk& disk = ph.disk;
    const QString symlink = disk.path("link.jpg");
    struct Case {
        QString path;
        QDateTime expected;
    };
    const Case cases[] = {
        {ph.withDates("original.jpg", "2021:07:04 10:11:12"), kOriginal},
        {ph.withDates("both.jpg", "2021:07:04 10:11:12", "2022:08:05 13:14:15"), kOriginal},
        {ph.withDates("digitized.jpg", {}, "2022:08:05 13:14:15"), kDigitized},
        {ph.withDates("photo.tif", "2021:07:04 10:11:12"), kOriginal},
        // Told by content: the name's extension does not matter.
        {ph.withDates("IMG_0001.JPG", "2021:07:04 10:11:12"), kOriginal},
        {ph.renamed(ph.withDates("photo.jpg", "2021:07:04 10:11:12"), "photo.txt"), kOriginal},
        // A name that is not UTF-8.
        {ph.renamed(ph.withDates("latin1.jpg", "2021:07:04 10:11:12"), decodeName("\xE9t\xE9.jpg")),
         kOriginal},
        {ph.image("plain.jpg"), kFileTime},
        {ph.image("plain.heic"), kFileTime},
        {ph.heif("phone.heic", "heic"), kOriginal},
        {ph.heif("phone.avif", "avif"), kOriginal},
        {ph.heif("cut.heic", "heic", 20), kFileTime},
        // Exif in a PNG is no camera's date.
        {ph.withDates("picture.png", "2021:07:04 10:11:12"), kFileTime},
        // Dates that are none: a later valid one is used, else the file's time.
        {ph.damaged("zeros.jpg", [](QByteArray& b) { replaceDate(b, "0000:00:00 00:00:00"); }), kFileTime},
        {ph.damaged("blanks.jpg", [](QByteArray& b) { replaceDate(b, "    :  :     :  :  "); }), kFileTime},
        {ph.damaged("month13.jpg", [](QByteArray& b) { replaceDate(b, "2021:13:04 10:11:12"); }), kFileTime},
        {ph.damaged("hour25.jpg", [](QByteArray& b) { replaceDate(b, "2021:07:04 25:11:12"); }), kFileTime},
        {ph.withDates("zerothendigitized.jpg", "0000:00:00 00:00:00", "2022:08:05 13:14:15"), kDigitized},
        // Damaged Exif blocks and files.
        {ph.damaged("tiffheader.jpg", [](QByteArray& b) { b.replace(exifAt(b) + 6, 4, "XX\x2A\0"); }),
         kFileTime},
        {ph.damaged("ifdoffset.jpg", [](QByteArray& b) { b.replace(exifAt(b) + 10, 4, "\xF0\xFF\xFF\x7F"); }),
         kFileTime},
        {ph.damaged("exifpointer.jpg", [](QByteArray& b) { b.replace(exifPointerAt(b), 4, "\xF0\xFF\0\0"); }),
         kFileTime},
        {ph.damaged("datecount.jpg", [](QByteArray& b) { b.replace(dateCountAt(b), 4, "\xFF\xFF\0\0"); }),
         kFileTime},
        {ph.damaged("segmentlength.jpg", [](QByteArray& b) { b.replace(exifAt(b) - 2, 2, "\xFF\xFF"); }),
         kFileTime},
        {ph.damaged("cutinexif.jpg", [](QByteArray& b) { b.truncate(exifAt(b) + 30); }), kFileTime},
        {ph.damaged("cutafterexif.jpg", [](QByteArray& b) { b.truncate(b.indexOf("\xFF\xDB")); }), kOriginal},
        {ph.damaged("garbage.jpg", [](QByteArray& b) { b.fill('\xA5', b.size() - 2).prepend("\xFF\xD8"); }),
         kFileTime},
        // Other files and things that are no files.
        {disk.file("song.mp3", 4096), kFileTime},
        {disk.file("empty.jpg", 0), kFileTime},
        {disk.folder("album"), kFileTime},
    };
    ASSERT_EQ(::symlink(encodeName(disk.path("original.jpg")).constData(), encodeName(symlink).constData()),
              0);
    for (const Case& c : cases)
        setFileTime(c.path, kFileTime);
    for (const Case& c : cases)
        EXPECT_EQ(fileDate(c.path), c.expected) << c.path.toStdString();
    EXPECT_EQ(fileDate(symlink), kOriginal);
    EXPECT_FALSE(fileDate(disk.path("missing.jpg")).isValid());
}

// Large files are not read through: only their first bytes tell what they are.
TEST(PhotoDate, LargeFilesAreNotReadThrough) {
    if (bytesRead() < 0)
        GTEST_SKIP() << "needs /proc/self/io";
    Disk disk;
    const qint64 size = qint64(1) << 30;
    const QByteArray heads[] = {
        QByteArray(16, '\xFF'),                                  // no known kind
        "RIFF" + QByteArray("\xF0\xFF\xFF\x3F", 4) + "AVI LIST", // a video
        "ID3\x03" + QByteArray(6, '\0'),                         // a song
        "\xFF\xD8\xFF\xE1\x00\x10",                              // a JPEG cut short
        QByteArray("\0\0\0\x18"
                   "ftypisom\0\0\0\0isommp42",
                   24), // an MP4 video
    };
    int n = 0;
    for (const QByteArray& head : heads) {
        const QString p = disk.path(QString("big%1").arg(++n));
        disk.write(p, head);
        ASSERT_TRUE(QFile::resize(p, size));
        setFileTime(p, kFileTime);
        const qint64 before = bytesRead();
        EXPECT_EQ(fileDate(p), kFileTime) << n;
        EXPECT_LT(bytesRead() - before, 1 << 20) << n;
    }
}

// Pictures with bytes changed or cut anywhere give a date, the one taken or
// the file's; none crashes, hangs or throws.
TEST(PhotoDate, DamagedAnywhere) {
    if (!haveTools())
        GTEST_SKIP() << "needs imagemagick's convert and the exiv2 tool";
    Photos ph;
    QList<QByteArray> pictures;
    for (const QString name : {"a.jpg", "a.tif"})
        pictures << ph.disk.read(ph.withDates(name, "2021:07:04 10:11:12", "2022:08:05 13:14:15"));
    pictures << ph.disk.read(ph.heif("a.heic", "heic"));
    const QString p = ph.disk.path("damaged");
    const auto sweep = [&] {
        std::mt19937 random(20);
        bool allDated = true;
        for (const QByteArray& picture : pictures) {
            for (int round = 0; round < 300; ++round) {
                QByteArray bytes = picture;
                const auto at = [&] { return qsizetype(random() % quint32(bytes.size())); };
                if (round % 4 == 0)
                    bytes.truncate(at());
                else
                    for (int k = 0; k <= round % 5; ++k)
                        bytes[at()] = char(random());
                ph.disk.write(p, bytes);
                allDated = fileDate(p).isValid() && allDated;
            }
        }
        return allDated;
    };
    EXPECT_EQ(inChild(sweep, 300), true);
}

// A photo taken in the hour that the local clocks skip when summer time
// begins keeps the time its camera wrote.
TEST(PhotoDate, TimeSkippedByLocalClocks) {
    if (!haveTools())
        GTEST_SKIP() << "needs imagemagick's convert and the exiv2 tool";
    Photos ph;
    const QString p = ph.withDates("spring.jpg", "2021:03:28 02:30:00");
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    ::tzset();
    EXPECT_EQ(dateText(fileDate(p), "yyyy-MM-dd HH.mm.ss"), QString("2021-03-28 02.30.00"));
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    ::tzset();
}

TEST(PhotoDate, FifoIsNotOpened) {
    Disk disk;
    const QString fifo = disk.path("x.jpg");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    setFileTime(fifo, kFileTime);
    EXPECT_EQ(inChild([&] { return fileDate(fifo) == kFileTime; }), true);
}

// A damaged picture makes Exiv2 warn; none of that reaches our stderr.
TEST(PhotoDate, DamagedPictureIsSilent) {
    if (!haveTools())
        GTEST_SKIP() << "needs imagemagick's convert and the exiv2 tool";
    Photos ph;
    const QString p =
        ph.damaged("bad.jpg", [](QByteArray& b) { b.replace(exifPointerAt(b), 4, "\xF0\xFF\0\0"); });
    const QString captured = ph.disk.path("stderr.txt");
    std::fflush(stderr);
    const int saved = ::dup(2);
    std::FILE* out = std::fopen(encodeName(captured).constData(), "w");
    ASSERT_NE(out, nullptr);
    ::dup2(::fileno(out), 2);
    fileDate(p);
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    std::fclose(out);
    EXPECT_EQ(QString::fromUtf8(ph.disk.read(captured)), QString());
}

TEST(PhotoDate, Formats) {
    struct Case {
        QString format;
        bool valid;
    };
    const Case cases[] = {
        {kDefaultDateFormat, true},
        {"yyyy-MM-dd HH.mm.ss", true},
        {"dd.MM.yy 'at' hh-mm AP", true},
        {"dd/MM/yyyy", false},
        {"yyyy'/'MM", false},
        {"yyyy\nMM", false},
        {"yyyy\rMM", false},
        {QStringLiteral("yyyy") + QChar(0) + "MM", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(validDateFormat(c.format), c.valid) << c.format.toStdString();
}

TEST(PhotoDate, Text) {
    // Names do not follow the user's language.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 5, 9));
    // A zone whose abbreviation brings a path delimiter and a line break.
    const QTimeZone odd("Vorlane/Odd", 3 * 3600, "Odd", "A/B\nC");
    struct Case {
        QDateTime dateTime;
        QString format;
        QString expected;
    };
    const Case cases[] = {
        {when, kDefaultDateFormat, "2026-12-08"},
        {when, "yyyy-MM-dd HH.mm.ss", "2026-12-08 14.05.09"},
        {when, "MMMM dddd, h AP", "December Tuesday, 2 PM"},
        {QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9), odd), "yyyy t", "2026 A-B C"},
        {QDateTime(), "yyyy", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dateText(c.dateTime, c.format), c.expected) << c.format.toStdString();
    QLocale::setDefault(saved);
}
