#pragma once

#include <QByteArray>
#include <QString>

namespace vorlane {

// The system's text for an error number, as strerror() gives it.
QString systemErrorText(int error);

// What a file is refused with when it is a FIFO, a device, a socket or a folder.
inline constexpr char kNotRegularFile[] = "not a regular file";

// A descriptor from openRegularFile, or -1 and the reason in words.
struct OpenedFile {
    int fd = -1;
    QString error;
    bool ok() const { return fd >= 0; }
};

// Opens `path` (open(2) flags; O_CLOEXEC is added) only when it is a regular
// file, so that a FIFO or a device in a file's place is refused instead of
// blocking the program or being read from. The caller closes the descriptor.
OpenedFile openRegularFile(const QString& path, int flags, unsigned mode = 0644);

// Reads a whole regular file (as openRegularFile opens it); false with the
// reason in `error` when it cannot.
bool readWholeFile(const QString& path, QByteArray& out, QString* error = nullptr);

// Reads `fd` from where it stands to its end; false with the reason in
// `error` when a read fails.
bool readAll(int fd, QByteArray& out, QString* error = nullptr);

// Writes all of `bytes` to `fd`, going on after short writes; false with errno
// set when they did not all land.
bool writeAll(int fd, const QByteArray& bytes);

} // namespace vorlane
