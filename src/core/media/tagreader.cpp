// The one place that knows the tag library: everything else sees TagFields.
#include "tagreader.h"

#include "core/media/mp3tag.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <QSet>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace vorlane {

namespace {

// A read-only stream over our byte source, named as the file is so that the
// library chooses the format by its extension.
class SourceStream : public TagLib::IOStream {
public:
    SourceStream(ByteSource& source, const QString& fileName)
        : m_source(source), m_name(encodeName(fileName)) {}

    TagLib::FileName name() const override { return m_name.constData(); }
    TagLib::ByteVector readBlock(unsigned long length) override {
        const qint64 size = m_source.size();
        if (m_pos < 0 || m_pos >= size)
            return {};
        const qint64 n = qMin<qint64>(qint64(qMin<unsigned long>(length, 1UL << 30)), size - m_pos);
        TagLib::ByteVector block(static_cast<unsigned int>(n), '\0');
        const qint64 got = m_source.read(m_pos, block.data(), n);
        if (got <= 0)
            return {};
        block.resize(static_cast<unsigned int>(got));
        m_pos += got;
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return true; }
    void seek(long offset, Position p) override {
        const qint64 base = p == Beginning ? 0 : p == Current ? m_pos : m_source.size();
        m_pos = base + offset;
    }
    long tell() const override { return long(m_pos); }
    long length() override { return long(m_source.size()); }
    void truncate(long) override {}

private:
    ByteSource& m_source;
    QByteArray m_name;
    qint64 m_pos = 0;
};

QString lowerExtension(const QString& fileName) {
    return extensionOf(fileNamePart(fileName)).mid(1).toLower();
}

bool libraryKnows(const QString& fileName) {
    static const QSet<QString> known = [] {
        QSet<QString> out;
        for (const TagLib::String& e : TagLib::FileRef::defaultFileExtensions())
            out.insert(QString::fromStdString(e.to8Bit(true)).toLower());
        return out;
    }();
    const QString ext = lowerExtension(fileName);
    return !ext.isEmpty() && known.contains(ext);
}

// Tag text as one line of a list.
QString lineText(const TagLib::String& s) {
    const std::string bytes = s.to8Bit(true);
    QString text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' || c == u'\n' || c == u'\0')
            text[i] = u' ';
    }
    return text;
}

// The number before any "/", at least two digits; empty when there is none.
QString trackText(const QString& raw) {
    const QString number = raw.section(u'/', 0, 0).trimmed();
    if (number.isEmpty() || number.size() > 9)
        return QString();
    for (const QChar c : number)
        if (c < u'0' || c > u'9')
            return QString();
    const int n = number.toInt();
    return n > 0 ? QString::asprintf("%02d", n) : QString();
}

QString trackOf(const TagLib::PropertyMap& properties, unsigned int fallback) {
    const auto it = properties.find("TRACKNUMBER");
    if (it != properties.end() && !it->second.isEmpty())
        if (const QString t = trackText(lineText(it->second.front())); !t.isEmpty())
            return t;
    return fallback > 0 ? QString::asprintf("%02u", fallback) : QString();
}

void fill(TagFields& out, const TagLib::Tag& tag, const TagLib::PropertyMap& properties) {
    out.title = lineText(tag.title());
    out.artist = lineText(tag.artist());
    out.album = lineText(tag.album());
    out.comment = lineText(tag.comment());
    out.genre = lineText(tag.genre());
    out.year = tag.year() > 0 ? QString::number(tag.year()) : QString();
    out.track = trackOf(properties, tag.track());
}

// The ID3v1 tag at the end of the source, as the ID3v1 reader decodes it.
QByteArray lastBlock(ByteSource& source) {
    QByteArray tag(128, '\0');
    const qint64 size = source.size();
    if (size < 128 || source.read(size - 128, tag.data(), 128) != 128)
        return QByteArray();
    return tag;
}

void fillGaps(TagFields& out, ByteSource& source) {
    const QByteArray v1 = lastBlock(source);
    for (const char letter : {'T', 'A', 'C', 'Y', 'R', 'N', 'G'}) {
        QString* field = letter == 'T'   ? &out.title
                         : letter == 'A' ? &out.artist
                         : letter == 'C' ? &out.album
                         : letter == 'Y' ? &out.year
                         : letter == 'R' ? &out.comment
                         : letter == 'N' ? &out.track
                                         : &out.genre;
        if (field->isEmpty())
            *field = id3v1Field(v1, letter);
    }
}

// The source's size, read from the opened file.
std::optional<qint64> sizeOf(int fd) {
    struct ::stat st {};
    if (sys().fstat(fd, &st) != 0)
        return std::nullopt;
    return qint64(st.st_size);
}

} // namespace

QString TagFields::field(char letter) const {
    switch (letter) {
    case 'T':
        return title;
    case 'A':
        return artist;
    case 'C':
        return album;
    case 'Y':
        return year;
    case 'R':
        return comment;
    case 'N':
        return track;
    case 'G':
        return genre;
    default:
        return QString();
    }
}

TagFields readAllTags(ByteSource& source, const QString& fileName) {
    TagFields out;
    if (!libraryKnows(fileName)) {
        fillGaps(out, source);
        return out;
    }
    SourceStream stream(source, fileName);
    const TagLib::FileRef ref(&stream, false);
    if (ref.isNull()) {
        // Not what its name says: still the ID3v1 tag any file may end with.
        fillGaps(out, source);
        return out;
    }
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file())) {
        if (mpeg->hasID3v2Tag())
            fill(out, *mpeg->ID3v2Tag(), mpeg->ID3v2Tag()->properties());
        fillGaps(out, source);
    } else if (const TagLib::Tag* tag = ref.tag()) {
        fill(out, *tag, ref.file()->properties());
    }
    return out;
}

std::optional<TagFields> readAllTags(const QString& path) {
    const OpenedFile f = openRegularFile(path, O_RDONLY);
    if (!f.ok())
        return std::nullopt;
    const auto size = sizeOf(f.fd.get());
    if (!size)
        return TagFields();
    FileSource source(f.fd.get(), *size);
    return readAllTags(source, path);
}

bool hasAudioProperties(const QString& fileName) {
    return libraryKnows(fileName);
}

std::optional<double> audioSeconds(ByteSource& source, const QString& fileName) {
    if (!libraryKnows(fileName))
        return std::nullopt;
    SourceStream stream(source, fileName);
    const TagLib::FileRef ref(&stream, true, TagLib::AudioProperties::Average);
    if (ref.isNull() || !ref.audioProperties())
        return std::nullopt;
    // A damaged stream can state a length below zero (an Ogg page's granule
    // position before the stream's start): no length at all.
    const int ms = ref.audioProperties()->lengthInMilliseconds();
    if (ms <= 0)
        return std::nullopt;
    return ms / 1000.0;
}

QString id3v1GenreName(int index) {
    return lineText(TagLib::ID3v1::genre(index));
}

} // namespace vorlane
