#pragma once

#include <QString>

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

    virtual ~FileSystem() = default;
    virtual Stat stat(const QString& path) = 0;
    // Deletes a file (never a folder); false on failure.
    virtual bool removeFile(const QString& path) = 0;
    // Renames or moves a file; fails, and never replaces, when `to` exists.
    virtual bool renameNoReplace(const QString& from, const QString& to) = 0;
};

class PosixFileSystem : public FileSystem {
public:
    Stat stat(const QString& path) override;
    bool removeFile(const QString& path) override;
    bool renameNoReplace(const QString& from, const QString& to) override;

    static PosixFileSystem& instance();
};

} // namespace vorlane
