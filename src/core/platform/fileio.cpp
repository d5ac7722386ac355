#include "fileio.h"

#include "paths.h"
#include "sys.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace vorlane {

namespace {
// Calls `call` again for as long as a signal interrupts it.
template <typename Call> auto retried(Call call) {
    for (;;) {
        const auto r = call();
        if (!(r < 0 && errno == EINTR))
            return r;
    }
}
} // namespace

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other)
        reset(other.release());
    return *this;
}

int UniqueFd::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void UniqueFd::reset(int fd) {
    if (m_fd >= 0 && m_fd != fd)
        sys().close(m_fd);
    m_fd = fd;
}

int UniqueFd::close() {
    const int fd = release();
    if (fd < 0)
        return 0;
    return sys().close(fd) == 0 ? 0 : errno;
}

OpenedFile openRegularFile(const QString& path, int flags, unsigned mode) {
    const QByteArray p = encodeName(path);
    OpenedFile out;
    // Non-blocking only while we look: opening a FIFO would otherwise wait
    // for its other end.
    UniqueFd fd(
        retried([&] { return sys().open(p.constData(), flags | O_NONBLOCK | O_CLOEXEC, mode_t(mode)); }));
    struct ::stat st {};
    if (!fd.valid()) {
        const int error = errno;
        // A FIFO without a reader or a folder opened for writing fails before
        // it can be looked at; name what it is rather than the open's errno.
        const bool other = sys().stat(p.constData(), &st) == 0 && !S_ISREG(st.st_mode);
        out.error = other ? QString::fromLatin1(kNotRegularFile) : systemErrorText(error);
        return out;
    }
    if (sys().fstat(fd.get(), &st) != 0) {
        out.error = systemErrorText(errno);
    } else if (!S_ISREG(st.st_mode)) {
        out.error = QString::fromLatin1(kNotRegularFile);
    } else {
        const int fl = sys().fcntl(fd.get(), F_GETFL, 0);
        if (fl >= 0 && sys().fcntl(fd.get(), F_SETFL, fl & ~O_NONBLOCK) == 0) {
            out.fd = std::move(fd);
            return out;
        }
        out.error = systemErrorText(errno);
    }
    return out;
}

ssize_t readFully(int fd, char* buf, size_t n, off_t at) {
    size_t got = 0;
    while (got < n) {
        const ssize_t r = retried([&] {
            return at < 0 ? sys().read(fd, buf + got, n - got)
                          : sys().pread(fd, buf + got, n - got, at + off_t(got));
        });
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        got += size_t(r);
    }
    return ssize_t(got);
}

bool writeFully(int fd, const char* data, size_t n, off_t at, size_t* written) {
    size_t done = 0;
    if (written)
        *written = 0;
    while (done < n) {
        const ssize_t w = retried([&] {
            return at < 0 ? sys().write(fd, data + done, n - done)
                          : sys().pwrite(fd, data + done, n - done, at + off_t(done));
        });
        if (w <= 0) {
            if (w == 0)
                errno = ENOSPC;
            return false;
        }
        // After a short write the rest either lands or the system says why not.
        done += size_t(w);
        if (written)
            *written = done;
    }
    return true;
}

QString tooLargeText(qint64 limit) {
    return QStringLiteral("File too large (over %1 MiB)").arg(limit >> 20);
}

bool readAll(int fd, QByteArray& out, QString* error, qint64 limit) {
    out.clear();
    struct ::stat st {};
    if (sys().fstat(fd, &st) == 0 && st.st_size > 0 && (limit < 0 || st.st_size <= limit))
        out.reserve(qsizetype(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = readFully(fd, buf, sizeof buf);
        if (n < 0) {
            const int e = errno;
            out.clear();
            if (error)
                *error = systemErrorText(e);
            return false;
        }
        out.append(buf, n);
        if (limit >= 0 && out.size() > limit) {
            out.clear();
            if (error)
                *error = tooLargeText(limit);
            return false;
        }
        if (size_t(n) < sizeof buf)
            return true;
    }
}

bool readWholeFile(const QString& path, QByteArray& out, QString* error, qint64 limit) {
    out.clear();
    const OpenedFile f = openRegularFile(path, O_RDONLY);
    if (!f.ok()) {
        if (error)
            *error = f.error;
        return false;
    }
    return readAll(f.fd.get(), out, error, limit);
}

} // namespace vorlane
