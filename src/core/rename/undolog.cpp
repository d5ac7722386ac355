#include "undolog.h"

#include "core/platform/fileio.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"
#include "core/rename/undolist.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {
bool truncateTo(int fd, qint64 size) {
    int r;
    do {
        r = sys().ftruncate(fd, off_t(size));
    } while (r != 0 && errno == EINTR);
    return r == 0;
}
} // namespace

UndoLog::~UndoLog() {
    close();
}

bool UndoLog::fail(int error) {
    m_error = systemErrorText(error);
    return false;
}

bool UndoLog::open() {
    close();
    m_error.clear();
    OpenedFile f = openRegularFile(m_path, O_RDWR | O_APPEND);
    if (!f.ok()) {
        m_error = f.error;
        return false;
    }
    m_fd = std::move(f.fd);
    if (!mendTornLine()) {
        const QString error = m_error;
        close();
        m_error = error;
        return false;
    }
    return true;
}

bool UndoLog::mendTornLine() {
    struct ::stat st {};
    if (sys().fstat(m_fd.get(), &st) != 0)
        return fail(errno);
    const qint64 size = st.st_size;
    char last = '\n';
    if (size > 0 && readFully(m_fd.get(), &last, 1, off_t(size - 1)) != 1)
        return fail(errno);
    if (last == '\n')
        return true;
    // The last line has no LF: a write cut short, or a file saved by hand
    // with CR line ends or none after its last line.
    QByteArray bytes;
    if (sys().lseek(m_fd.get(), 0, SEEK_SET) != 0 || !readAll(m_fd.get(), bytes, &m_error))
        return m_error.isEmpty() ? fail(errno) : false;
    const QVector<UndoRow> rows = UndoList::parse(bytes);
    // A torn old path, cut before its line ended and without its new name:
    // its rename never happened. Only that tail goes, never a whole entry.
    if (!rows.isEmpty() && rows.last().after.isEmpty() && rows.last().end == size &&
        rows.last().before.startsWith(u'/'))
        return truncateTo(m_fd.get(), rows.last().start) || fail(errno);
    // Otherwise the line is ended, so the next entry starts on a line of its own.
    const QByteArray end = last == '\r' ? QByteArray("\n") : QByteArray("\r\n");
    if (writeAll(m_fd.get(), end))
        return true;
    const int error = errno;
    truncateTo(m_fd.get(), size);
    return fail(error);
}

bool UndoLog::append(const QString& oldPath, const QString& newName) {
    m_lastEntryLength = 0;
    if (!m_fd.valid())
        return fail(EBADF);
    // Built in a buffer kept between entries: a run of many renames
    // allocates nothing per entry.
    QByteArray& entry = m_entry;
    entry.resize(0);
    appendEncodedName(entry, oldPath);
    entry.append("\r\n", 2);
    appendEncodedName(entry, newName);
    entry.append("\r\n", 2);
    // One write per entry, so a crash or a kill leaves it whole or not there.
    // The log's length is looked up only when a part of it must come off again,
    // so a run of many renames costs one write each and nothing more.
    size_t written = 0;
    if (!writeFully(m_fd.get(), entry.constData(), size_t(entry.size()), -1, &written)) {
        const int error = errno;
        if (written > 0)
            cutTail(qint64(written));
        return fail(error);
    }
    m_lastEntryLength = entry.size();
    return true;
}

bool UndoLog::cutTail(qint64 length) {
    struct ::stat st {};
    if (sys().fstat(m_fd.get(), &st) != 0)
        return false;
    return st.st_size >= length && truncateTo(m_fd.get(), st.st_size - length);
}

bool UndoLog::removeLastEntry() {
    if (!m_fd.valid() || m_lastEntryLength <= 0)
        return fail(EBADF);
    const qint64 length = m_lastEntryLength;
    m_lastEntryLength = 0;
    return cutTail(length) || fail(errno);
}

bool UndoLog::blankEntry(const LoggedRename& entry) {
    if (entry.start < 0 || entry.end <= entry.start || entry.end - entry.start > (1 << 20))
        return false;
    if (!m_fdInPlace.valid()) {
        OpenedFile f = openRegularFile(m_path, O_RDWR);
        if (!f.ok())
            return false;
        m_fdInPlace = std::move(f.fd);
    }
    const qint64 length = entry.end - entry.start;
    QByteArray bytes(length, Qt::Uninitialized);
    if (readFully(m_fdInPlace.get(), bytes.data(), size_t(length), off_t(entry.start)) != length)
        return false;
    // Only the very entry: the log may have been written anew since it was read.
    const QVector<UndoRow> rows = UndoList::parse(bytes);
    if (rows.size() != 1 || !rows[0].refused.isEmpty() || rows[0].before != entry.before ||
        rows[0].after != entry.after || !bytes.startsWith(encodeName(entry.before)))
        return false;
    const QByteArray blank(length, '\n');
    return writeFully(m_fdInPlace.get(), blank.constData(), size_t(length), off_t(entry.start));
}

void UndoLog::close() {
    m_fdInPlace.reset();
    m_fd.reset();
    m_lastEntryLength = 0;
}

bool UndoLog::createIfMissing(const QString& path, QString* error) {
    // Opening also tells a FIFO or a folder in the log's place from a file.
    const OpenedFile f = openRegularFile(path, O_RDONLY | O_CREAT);
    if (!f.ok()) {
        if (error)
            *error = f.error;
        return false;
    }
    return true;
}

} // namespace vorlane
