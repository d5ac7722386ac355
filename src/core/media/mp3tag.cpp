#include "mp3tag.h"

#include "core/media/tagreader.h"
#include "core/platform/cp1251.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

std::optional<QString> strictUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// Bytes in the UTF-8 sequence that `lead` starts; 0 when it starts none.
int sequenceLength(uchar lead) {
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Length of the UTF-8 sequence that `bytes` ends in the middle of: its lead
// byte and the continuation bytes after it; 0 when nothing is cut off.
qsizetype cutSequenceLength(const QByteArray& bytes) {
    qsizetype k = 1;
    while (k <= 3 && k <= bytes.size() && (uchar(bytes[bytes.size() - k]) & 0xC0) == 0x80)
        ++k;
    if (k > 3 || k > bytes.size())
        return 0;
    const uchar lead = uchar(bytes[bytes.size() - k]);
    if (sequenceLength(lead) <= k)
        return 0;
    if (k >= 2) { // the second byte's range depends on the lead
        const uchar second = uchar(bytes[bytes.size() - k + 1]);
        const uchar low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const uchar high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        if (second < low || second > high)
            return 0;
    }
    return k;
}

// Field bytes as text: UTF-8 when they are, else Windows-1251. A field that
// fills its whole width may have lost the end of its last character; it still
// counts as UTF-8 when the rest is UTF-8 with at least one character beyond
// ASCII (without that, a final byte such as 0xC2 is the letter of Windows-1251).
QString decodeTagText(const QByteArray& bytes, bool full) {
    if (const auto text = strictUtf8(bytes))
        return *text;
    if (const qsizetype cut = full ? cutSequenceLength(bytes) : 0) {
        QByteArray head = bytes.chopped(cut);
        while (head.endsWith(' '))
            head.chop(1);
        const auto text = strictUtf8(head);
        if (text && text->size() < head.size())
            return *text;
    }
    return fromCp1251(bytes);
}

} // namespace

std::optional<QByteArray> readId3v1Block(const QString& path) {
    const OpenedFile f = openRegularFile(path, O_RDONLY);
    if (!f.ok())
        return std::nullopt;
    struct ::stat st {};
    QByteArray tag(128, '\0');
    const bool ok = sys().fstat(f.fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 128 &&
                    readFully(f.fd.get(), tag.data(), 128, st.st_size - 128) == 128;
    return ok ? tag : QByteArray();
}

QString id3v1Field(QByteArrayView tag, char field) {
    if (tag.size() != 128 || tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G')
        return QString();
    if (field == 'N') {
        // ID3v1.1: a zero byte before the comment's last byte, which holds the track.
        const int track = uchar(tag[126]);
        return tag[125] == '\0' && track != 0 ? QString::asprintf("%02d", track) : QString();
    }
    if (field == 'G')
        return id3v1GenreName(uchar(tag[127]));
    int offset = 0, size = 30;
    switch (field) {
    case 'T':
        offset = 3;
        break;
    case 'A':
        offset = 33;
        break;
    case 'C':
        offset = 63;
        break;
    case 'Y':
        offset = 93, size = 4;
        break;
    case 'R':
        offset = 97;
        break;
    default:
        return QString();
    }
    QByteArray bytes(tag.data() + offset, size);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    // The text goes into one line of a list: line breaks become blanks.
    bytes.replace('\r', ' ').replace('\n', ' ');
    const bool full = bytes.size() == size;
    while (bytes.endsWith(' '))
        bytes.chop(1);
    return decodeTagText(bytes, full);
}

std::optional<QString> ReadMp3TagField(const QString& path, char field) {
    if (field == 0 || !QByteArray("TACYRNG").contains(field))
        return QString();
    const auto tag = readId3v1Block(path);
    if (!tag)
        return std::nullopt;
    return id3v1Field(*tag, field);
}

} // namespace vorlane
