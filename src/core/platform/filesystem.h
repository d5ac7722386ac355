#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace vorlane {

// The file-system calls the core makes, behind a seam so tests can make them
// fail in ways that hold even for root. Paths go through the file-name codec.
class FileSystem {
public:
    struct Stat {
        bool exists = false;
        bool isDir = false;
        qint64 size = -1;
    };

    // How a call ended: 0, or the system's error number (errno) of the failure.
    struct Status {
        int error = 0;
        bool ok() const { return error == 0; }
        // The system's words for the error; empty on success.
        QString text() const;
    };

    virtual ~FileSystem() = default;
    virtual Stat stat(const QString& path) = 0;
    // Deletes a file (never a folder).
    virtual Status removeFile(const QString& path) = 0;
    // Renames or moves a file; fails with EEXIST, and never replaces, when `to` exists.
    virtual Status renameNoReplace(const QString& from, const QString& to) = 0;
    // Calls `each` with the bytes of every name in a folder (files, folders and
    // anything else); false when the folder cannot be read.
    virtual bool forEachName(const QString& folder, const std::function<void(QByteArrayView name)>& each) = 0;
};

// While one lives, renames this thread makes through PosixFileSystem whose
// two paths share a folder go through a descriptor of that folder, opened at
// the second rename in a row there and kept until a rename elsewhere or the
// batch's end: the system then walks the folder's path once, not twice for
// every file. Any rename in another folder, or between folders, drops the
// descriptor, so no later rename can reach a folder moved away meanwhile.
// Batches nest.
class RenameBatch {
public:
    RenameBatch();
    ~RenameBatch();
    // Closes the folder held on this thread: after a pause (a question to the
    // user) folders may have moved. The next renames in a row open it again.
    static void letGo();
    RenameBatch(const RenameBatch&) = delete;
    RenameBatch& operator=(const RenameBatch&) = delete;
};

class PosixFileSystem : public FileSystem {
public:
    Stat stat(const QString& path) override;
    Status removeFile(const QString& path) override;
    Status renameNoReplace(const QString& from, const QString& to) override;
    bool forEachName(const QString& folder, const std::function<void(QByteArrayView name)>& each) override;

    static PosixFileSystem& instance();
};

} // namespace vorlane
