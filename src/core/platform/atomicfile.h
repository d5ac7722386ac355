#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "fileio.h"

namespace vorlane {

// Writes one of our own files so that it changes only when everything was
// written: the bytes go to a temporary file in the same folder, which is
// flushed to the disk and then renamed over the old file. Until commit()
// succeeds the old file stays whole; a failed or abandoned write leaves no
// temporary file behind. A link is followed: the file it points to is replaced.
class AtomicFile {
public:
    explicit AtomicFile(QString path) : m_path(std::move(path)) {}
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the folder is missing or not
    // writable, or something other than a file holds the file's place.
    bool open();
    // Buffered; false once a write failed.
    bool write(QByteArrayView bytes);
    // Flushes, syncs and renames the temporary file over the file.
    bool commit();
    // Removes the temporary file; the old file stays as it was.
    void discard();

    // Why the last call failed, in the system's words.
    const QString& errorText() const { return m_error; }

private:
    bool flush();
    bool fail(int error);

    QString m_path;
    QByteArray m_target; // the file replaced at commit (a link resolved)
    QByteArray m_temp;
    QByteArray m_buffer;
    QString m_error;
    UniqueFd m_fd;
};

// The whole of `bytes` written as one AtomicFile; the reason in `error` when it fails.
bool replaceFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Whether the file at `path` could be replaced now: its folder takes a new
// file and an existing file is not write-protected; the reason when not.
bool checkReplaceable(const QString& path, QString* error = nullptr);

} // namespace vorlane
