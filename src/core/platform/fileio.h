#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <sys/types.h>

namespace vorlane {

// The system's text for an error number, as strerror() gives it.
QString systemErrorText(int error);

// What a file is refused with when it is a FIFO, a device, a socket or a folder.
inline constexpr char kNotRegularFile[] = "not a regular file";

// A descriptor owned by one scope: closed on the way out unless released.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release();
    // Closes the descriptor held, if any, and holds `fd` instead.
    void reset(int fd = -1);
    // Closes now: 0, or the error number of a write the system could only
    // report at the end.
    int close();

private:
    int m_fd = -1;
};

// A descriptor from openRegularFile, or none and the reason in words.
struct OpenedFile {
    UniqueFd fd;
    QString error;
    bool ok() const { return fd.valid(); }
};

// Opens `path` (open(2) flags; O_CLOEXEC is added) only when it is a regular
// file, so that a FIFO or a device in a file's place is refused instead of
// blocking the program or being read from.
OpenedFile openRegularFile(const QString& path, int flags, unsigned mode = 0644);

// Reads `n` bytes into `buf`, at offset `at` or, when `at` is negative, from
// where the descriptor stands; fewer only at the end of the file. -1 with
// errno set when a read fails.
ssize_t readFully(int fd, char* buf, size_t n, off_t at = -1);

// Writes all `n` bytes, at offset `at` or, when `at` is negative, where the
// descriptor stands (its end when appending), going on after short writes;
// false with errno set (ENOSPC for a write that took nothing) when they did
// not all land; `written`, when given, tells how many did.
bool writeFully(int fd, const char* data, size_t n, off_t at = -1, size_t* written = nullptr);
inline bool writeAll(int fd, QByteArrayView bytes) {
    return writeFully(fd, bytes.data(), size_t(bytes.size()));
}

// Reads `fd` from where it stands to its end, up to `limit` bytes; false with
// the reason in `error` when a read fails or the file holds more.
bool readAll(int fd, QByteArray& out, QString* error = nullptr, qint64 limit = -1);

// Reads a whole regular file (as openRegularFile opens it); false with the
// reason in `error` when it cannot.
bool readWholeFile(const QString& path, QByteArray& out, QString* error = nullptr, qint64 limit = -1);

// What readAll says when the file holds more than its limit.
QString tooLargeText(qint64 limit);

} // namespace vorlane
