#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vorlane {

struct DirEntry {
    enum Kind { File, Folder, Other };
    QString name;
    Kind kind = Other;
    qint64 size = -1; // files only
};

// Reads a folder's entries in the order the file system reports them,
// hidden ones included, "." and ".." left out. A link to a file is a file; a
// link to a folder counts as neither (folder walks never follow one, so a
// link cannot send them round in circles). Names keep their bytes through the
// file-name codec. False when the folder cannot be opened.
bool readFolder(const QString& folder, std::vector<DirEntry>& out, bool wantSizes = true);

// What a path names, links followed: File, Folder, or Other (also when missing).
DirEntry::Kind pathKind(const QString& path);
// The index of the first of these absolute paths that names a folder (links
// followed), or -1. Many paths in one folder are told apart by one listing
// of the folder rather than a lookup each.
qsizetype firstFolder(const QStringList& paths);
// The process's current folder through the codec; empty when it is unknown.
QString currentFolder();

} // namespace vorlane
