#include "undolog.h"

#include "core/platform/paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

UndoLog::~UndoLog() {
    close();
}

bool UndoLog::open() {
    close();
    m_fd = ::open(encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    return m_fd >= 0;
}

bool UndoLog::append(const QString& oldPath, const QString& newName) {
    if (m_fd < 0)
        return false;
    const QByteArray entry = encodeName(oldPath) + "\r\n" + encodeName(newName) + "\r\n";
    // One write per entry: the two lines land together or not at all.
    qsizetype done = 0;
    while (done < entry.size()) {
        const ssize_t n = ::write(m_fd, entry.constData() + done, size_t(entry.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void UndoLog::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool UndoLog::createIfMissing(const QString& path) {
    const QByteArray p = encodeName(path);
    struct ::stat st {};
    if (::stat(p.constData(), &st) == 0)
        return true;
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno == EEXIST;
    ::close(fd);
    return true;
}

} // namespace vorlane
