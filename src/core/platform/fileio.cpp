#include "fileio.h"

#include "paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

OpenedFile openRegularFile(const QString& path, int flags, unsigned mode) {
    const QByteArray p = encodeName(path);
    OpenedFile out;
    // Non-blocking only while we look: opening a FIFO would otherwise wait
    // for its other end.
    int fd;
    do {
        fd = ::open(p.constData(), flags | O_NONBLOCK | O_CLOEXEC, mode_t(mode));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        // A FIFO without a reader or a folder opened for writing fails before
        // it can be looked at; name what it is rather than the open's errno.
        struct ::stat st {};
        const bool other = ::stat(p.constData(), &st) == 0 && !S_ISREG(st.st_mode);
        out.error = other ? QString::fromLatin1(kNotRegularFile) : systemErrorText(error);
        return out;
    }
    struct ::stat st {};
    if (::fstat(fd, &st) != 0) {
        out.error = systemErrorText(errno);
    } else if (!S_ISREG(st.st_mode)) {
        out.error = QString::fromLatin1(kNotRegularFile);
    } else {
        const int fl = ::fcntl(fd, F_GETFL);
        if (fl >= 0 && ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) == 0) {
            out.fd = fd;
            return out;
        }
        out.error = systemErrorText(errno);
    }
    ::close(fd);
    return out;
}

} // namespace vorlane
