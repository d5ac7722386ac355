#pragma once

#include "core/platform/filesystem.h"

#include <QHash>
#include <QSet>

#include <cerrno>

// An in-memory file system: files with sizes, folders, and files that refuse
// to be deleted; failures carry the error number the system would give.
class FakeFileSystem : public vorlane::FileSystem {
public:
    Stat stat(const QString& path) override {
        Stat s;
        if (files.contains(path)) {
            s.exists = true;
            s.size = files.value(path);
        } else if (folders.contains(path)) {
            s.exists = true;
            s.isDir = true;
        }
        return s;
    }
    Status removeFile(const QString& path) override {
        if (folders.contains(path))
            return {EISDIR};
        if (!files.contains(path))
            return {ENOENT};
        if (undeletable.contains(path))
            return {EPERM};
        files.remove(path);
        return {};
    }

    Status renameNoReplace(const QString& from, const QString& to) override {
        if (!files.contains(from))
            return {ENOENT};
        if (files.contains(to) || folders.contains(to))
            return {EEXIST};
        files.insert(to, files.take(from));
        return {};
    }

    QHash<QString, qint64> files;
    QSet<QString> folders;
    QSet<QString> undeletable;
};
