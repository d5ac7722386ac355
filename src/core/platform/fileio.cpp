#include "fileio.h"

#include "paths.h"

#include <cerrno>
#include <cstdlib>
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

bool readAll(int fd, QByteArray& out, QString* error) {
    out.clear();
    struct ::stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        out.reserve(qsizetype(st.st_size));
    char buf[65536];
    int e = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            e = errno;
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    if (e != 0) {
        out.clear();
        if (error)
            *error = systemErrorText(e);
        return false;
    }
    return true;
}

bool readWholeFile(const QString& path, QByteArray& out, QString* error) {
    out.clear();
    const OpenedFile f = openRegularFile(path, O_RDONLY);
    if (!f.ok()) {
        if (error)
            *error = f.error;
        return false;
    }
    const bool read = readAll(f.fd, out, error);
    ::close(f.fd);
    return read;
}

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        // After a short write the rest either lands or the system says why not.
        done += n;
    }
    return true;
}

} // namespace vorlane
