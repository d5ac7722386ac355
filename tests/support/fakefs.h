#pragma once

#include "core/platform/filesystem.h"

#include <QHash>
#include <QSet>

// An in-memory file system: files with sizes, folders, and files that refuse
// to be deleted.
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
    bool removeFile(const QString& path) override {
        if (undeletable.contains(path) || !files.contains(path))
            return false;
        files.remove(path);
        return true;
    }

    bool renameNoReplace(const QString& from, const QString& to) override {
        if (!files.contains(from) || files.contains(to) || folders.contains(to))
            return false;
        files.insert(to, files.take(from));
        return true;
    }

    QHash<QString, qint64> files;
    QSet<QString> folders;
    QSet<QString> undeletable;
};
