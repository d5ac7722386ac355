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

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace vorlane {

namespace {

// The library reads a tag in many small pieces, at the file's start and at
// its end, going back and forth: they come from two windows of the file, one
// at its start and one wherever the last other read was, each read at once,
// so that a small file costs one read and a large one two.
class WindowSource : public ByteSource {
public:
    explicit WindowSource(ByteSource& source) : m_source(source) {}
    qint64 size() const override { return m_source.size(); }
    int error() const override { return m_source.error(); }
    qint64 read(qint64 pos, char* buf, qint64 n) override {
        const qint64 total = m_source.size();
        if (pos < 0 || n < 0)
            return -1;
        n = qMin(n, qMax<qint64>(0, total - pos));
        if (n == 0)
            return 0;
        if (n > kWindow)
            return m_source.read(pos, buf, n);
        Window& w = pos + n <= kWindow ? m_head : m_other;
        if (pos < w.start || pos + n > w.start + w.bytes.size()) {
            // Near the file's end the window is its last part, since the
            // tags there are read backwards.
            const qint64 start = &w == &m_head          ? 0
                                 : total - pos <= kTail ? qMax<qint64>(0, total - kTail)
                                                        : pos;
            w.bytes.resize(qMin(kWindow, total - start));
            const qint64 got = m_source.read(start, w.bytes.data(), w.bytes.size());
            if (got < 0) {
                w.bytes.clear();
                return -1;
            }
            w.bytes.resize(got);
            w.start = start;
            n = qMin(n, w.start + got - pos);
            if (n <= 0)
                return 0;
        }
        std::memcpy(buf, w.bytes.constData() + (pos - w.start), size_t(n));
        return n;
    }

private:
    static constexpr qint64 kWindow = 16 * 1024;
    static constexpr qint64 kTail = 4 * 1024;
    struct Window {
        QByteArray bytes;
        qint64 start = 0;
    };
    ByteSource& m_source;
    Window m_head, m_other;
};

// A read-only stream over our byte source, named "f." and the file's
// extension: the library chooses the format by the extension alone.
class SourceStream : public TagLib::IOStream {
public:
    SourceStream(ByteSource& source, const QByteArray& extension)
        : m_source(source), m_name("f." + extension) {}

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

// The file name's extension in lower case when the library knows it; empty
// otherwise.
QByteArray knownExtension(const QString& fileName) {
    static const QSet<QByteArray> known = [] {
        QSet<QByteArray> out;
        for (const TagLib::String& e : TagLib::FileRef::defaultFileExtensions())
            out.insert(QByteArray::fromStdString(e.to8Bit(true)).toLower());
        return out;
    }();
    QByteArray ext;
    for (qsizetype i = fileName.size() - 1; i >= 0; --i) {
        const char16_t c = fileName.at(i).unicode();
        if (c == u'.')
            break;
        if (isPathDelimiter(QChar(c)) || c > 0x7F || ext.size() >= 8 || i == 0)
            return QByteArray();
        ext.prepend(char(c >= u'A' && c <= u'Z' ? c + 32 : c));
    }
    return known.contains(ext) ? ext : QByteArray();
}

// Tag text as one line of a list.
QString lineText(const TagLib::String& s) {
    QString text = QString::fromWCharArray(s.toCWString(), qsizetype(s.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r' || c == u'\n' || c == u'\0')
            text[i] = u' ';
    }
    return text;
}

// The tag's track: the library reads the number before any "/" of a
// "7/12" as 7, in every format.
void fill(TagFields& out, const TagLib::Tag& tag, QByteArrayView letters) {
    if (letters.contains('T'))
        out.title = lineText(tag.title());
    if (letters.contains('A'))
        out.artist = lineText(tag.artist());
    if (letters.contains('C'))
        out.album = lineText(tag.album());
    if (letters.contains('R'))
        out.comment = lineText(tag.comment());
    if (letters.contains('G'))
        out.genre = lineText(tag.genre());
    if (letters.contains('Y') && tag.year() > 0)
        out.year = QString::number(tag.year());
    if (letters.contains('N') && tag.track() > 0)
        out.track = QString::asprintf("%02u", tag.track());
}

// The ID3v1 tag at the end of the source, as the ID3v1 reader decodes it.
QByteArray lastBlock(ByteSource& source) {
    QByteArray tag(128, '\0');
    const qint64 size = source.size();
    if (size < 128 || source.read(size - 128, tag.data(), 128) != 128)
        return QByteArray();
    return tag;
}

void fillGaps(TagFields& out, ByteSource& source, QByteArrayView letters) {
    const QByteArray v1 = lastBlock(source);
    for (const char letter : letters) {
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

TagFields readAllTags(ByteSource& file, const QString& fileName, QByteArrayView letters) {
    WindowSource source(file);
    TagFields out;
    const QByteArray extension = knownExtension(fileName);
    if (extension.isEmpty()) {
        fillGaps(out, source, letters);
        return out;
    }
    SourceStream stream(source, extension);
    const TagLib::FileRef ref(&stream, false);
    if (ref.isNull()) {
        // Not what its name says: still the ID3v1 tag any file may end with.
        fillGaps(out, source, letters);
        return out;
    }
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file())) {
        if (mpeg->hasID3v2Tag())
            fill(out, *mpeg->ID3v2Tag(), letters);
        fillGaps(out, source, letters);
    } else if (const TagLib::Tag* tag = ref.tag()) {
        fill(out, *tag, letters);
    }
    return out;
}

std::optional<TagFields> readAllTags(const QString& path, QByteArrayView letters) {
    // Non-blocking, so that a FIFO in a file's place is refused rather than
    // waited on; reading a regular file does not care.
    const QByteArray name = encodeName(path);
    const UniqueFd fd(sys().open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0));
    struct ::stat st {};
    if (!fd.valid() || sys().fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    FileSource source(fd.get(), st.st_size);
    return readAllTags(source, path, letters);
}

bool hasAudioProperties(const QString& fileName) {
    return !knownExtension(fileName).isEmpty();
}

std::optional<double> audioSeconds(ByteSource& file, const QString& fileName) {
    const QByteArray extension = knownExtension(fileName);
    if (extension.isEmpty())
        return std::nullopt;
    WindowSource source(file);
    SourceStream stream(source, extension);
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
