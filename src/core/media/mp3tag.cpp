#include "mp3tag.h"

#include "core/masks/cp1251.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"

#include <QStringDecoder>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {
QString decodeTagText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromCp1251(bytes) : text;
}
} // namespace

std::optional<QString> ReadMp3TagField(const QString& path, char field) {
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
    const int fd = openRegularFile(path, O_RDONLY).fd;
    if (fd < 0)
        return std::nullopt;
    struct ::stat st {};
    char tag[128];
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 128 &&
                    ::pread(fd, tag, sizeof tag, st.st_size - 128) == ssize_t(sizeof tag);
    ::close(fd);
    if (!ok || tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G')
        return QString();
    QByteArray bytes(tag + offset, size);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    while (bytes.endsWith(' '))
        bytes.chop(1);
    return decodeTagText(bytes);
}

} // namespace vorlane
