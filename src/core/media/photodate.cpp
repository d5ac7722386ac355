#include "photodate.h"

#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <QLocale>
#include <QRegularExpression>

#include <exiv2/exiv2.hpp>

#include <mutex>
#include <string>

#include <sys/stat.h>

namespace vorlane {

namespace {

// Exiv2 writes warnings about damaged files to stderr unless told otherwise;
// HEIF/AVIF reading has to be switched on; the XMP parser must be set up
// before two threads can read at once.
void setUpExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::LogMsg::setHandler(nullptr);
        Exiv2::enableBMFF(true);
        Exiv2::XmpParser::initialize();
    });
}

// The kinds of file a camera writes its date into. Exiv2 also opens PNG, GIF,
// WebP, video containers and more; those count as other files, and their
// metadata is never read.
bool isPhotoType(int type) {
    switch (type) {
    case Exiv2::ImageType::jpeg:
    case Exiv2::ImageType::tiff: // also DNG, NEF, PEF, ARW, SR2, SRW
    case Exiv2::ImageType::cr2:
    case Exiv2::ImageType::crw:
    case Exiv2::ImageType::mrw:
    case Exiv2::ImageType::orf:
    case Exiv2::ImageType::rw2:
    case Exiv2::ImageType::raf:
    case Exiv2::ImageType::bmff: // HEIF, AVIF, CR3
        return true;
    default:
        return false;
    }
}

// "2021:07:04 10:11:12" as Exif writes it (some programs write "-" in the date
// or "T" between date and time); invalid for blanks, zeros or other text.
QDateTime parseExifDate(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([0-9]{4})[:-]([0-9]{2})[:-]([0-9]{2})[ T]([0-9]{2}):([0-9]{2}):([0-9]{2}))"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    const QDateTime taken(date, time);
    if (taken.isValid())
        return taken;
    // A time the local clocks skipped (summer time began): the camera's clock
    // did not, and the name shows what it wrote.
    return QDateTime(date, time, Qt::OffsetFromUTC, date.startOfDay().offsetFromUtc());
}

// The date the picture was taken, or invalid when the file is no photo or
// holds no usable date.
QDateTime takenDate(const QByteArray& encodedPath) {
    try {
        // A FileIo of our own rather than a path: Exiv2 would read "-" as
        // standard input and "http://..." as an address.
        Exiv2::BasicIo::AutoPtr io(
            new Exiv2::FileIo(std::string(encodedPath.constData(), encodedPath.size())));
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(std::move(io));
        if (!image.get() || !isPhotoType(image->imageType()))
            return {};
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
            const auto it = exif.findKey(Exiv2::ExifKey(key));
            if (it == exif.end())
                continue;
            const QDateTime date = parseExifDate(QString::fromStdString(it->toString()));
            if (date.isValid())
                return date;
        }
    } catch (...) {
        // Unreadable or damaged: the file's own time stands in.
    }
    return {};
}

} // namespace

QDateTime fileDate(const QString& path) {
    const QByteArray encoded = encodeName(path);
    struct ::stat st {};
    if (sys().stat(encoded.constData(), &st) != 0)
        return {};
    // Only regular files are opened: a FIFO would block the reader.
    if (S_ISREG(st.st_mode)) {
        setUpExiv2();
        const QDateTime taken = takenDate(encoded);
        if (taken.isValid())
            return taken;
    }
    return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
}

bool validDateFormat(const QString& format) {
    for (const QChar c : format)
        if (c == u'/' || isPathDelimiter(c))
            return false;
    return !hasLineBreakOrNul(format);
}

QString dateText(const QDateTime& dateTime, const QString& format) {
    if (!dateTime.isValid())
        return {};
    QString text = QLocale::c().toString(dateTime, format);
    for (QChar& c : text) {
        if (c == u'/' || isPathDelimiter(c))
            c = u'-';
        else if (c == u'\r' || c == u'\n' || c == QChar(0))
            c = u' ';
    }
    return text;
}

} // namespace vorlane
