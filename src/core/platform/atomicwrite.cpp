#include "atomicwrite.h"

#include "paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

// The file that is really replaced: the target of a symbolic link.
QByteArray realTarget(const QByteArray& path) {
    struct ::stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : path;
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A new file beside `path` that no one else uses; -1 with errno on failure.
int createTemporary(const QByteArray& path, QByteArray& name) {
    name = path + ".XXXXXX";
    int fd;
    do {
        fd = ::mkostemp(name.data(), O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

} // namespace

FileSystem::Status writeFileAtomically(const QString& path, const QByteArray& data) {
    const QByteArray target = realTarget(encodeName(path));
    QByteArray temp;
    const int fd = createTemporary(target, temp);
    if (fd < 0)
        return {errno};
    int error = writeAll(fd, data);
    if (!error) {
        // The new file takes the old one's permissions, or the usual ones.
        struct ::stat old {};
        mode_t mode;
        if (::stat(target.constData(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
            error = errno;
    }
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return {error};
    }
    // The rename itself reaches the disk with its folder.
    const int dir = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

FileSystem::Status checkReplaceable(const QString& path) {
    const QByteArray target = realTarget(encodeName(path));
    if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        return {errno};
    QByteArray temp;
    const int fd = createTemporary(target, temp);
    if (fd < 0)
        return {errno};
    ::close(fd);
    ::unlink(temp.constData());
    return {};
}

} // namespace vorlane
