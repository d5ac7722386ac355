#pragma once

#include "core/platform/filesystem.h"
#include "core/platform/paths.h"

#include <QHash>
#include <QSet>

#include <cerrno>

// An in-memory file system: files with sizes, folders, and files that refuse
// to be deleted; failures carry the error number the system would give.
class FakeFileSystem : public vorlane::FileSystem {
public:
    Stat stat(const QString& path) override {
        Stat s;
        // One lookup: benchmarks stat every file they add.
        if (const auto it = files.constFind(path); it != files.constEnd()) {
            s.exists = true;
            s.size = it.value();
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

    // A folder holds the files and folders listed below it; one that holds
    // nothing and is not listed itself does not exist.
    bool forEachName(const QString& folder, const std::function<void(QByteArrayView)>& each) override {
        QString f = folder;
        if (!f.endsWith(u'/'))
            f += u'/';
        bool exists = folders.contains(f.chopped(1)) || f == QLatin1String("/");
        QSet<QString> names;
        for (const QSet<QString>& paths : {QSet<QString>(files.keyBegin(), files.keyEnd()), folders}) {
            for (const QString& p : paths) {
                if (!p.startsWith(f) || p.size() == f.size())
                    continue;
                exists = true;
                names.insert(p.mid(f.size()).section(u'/', 0, 0));
            }
        }
        for (const QString& n : names)
            each(vorlane::encodeName(n));
        return exists;
    }

    QHash<QString, qint64> files;
    QSet<QString> folders;
    QSet<QString> undeletable;
};
