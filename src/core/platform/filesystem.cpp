#include "filesystem.h"
#include "fileio.h"
#include "paths.h"
#include "sys.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

QString FileSystem::Status::text() const {
    return ok() ? QString() : systemErrorText(error);
}

FileSystem::Stat PosixFileSystem::stat(const QString& path) {
    struct ::stat st {};
    Stat out;
    if (sys().stat(encodeName(path).constData(), &st) != 0)
        return out;
    out.exists = true;
    out.isDir = S_ISDIR(st.st_mode);
    out.size = st.st_size;
    return out;
}

FileSystem::Status PosixFileSystem::removeFile(const QString& path) {
    const QByteArray p = encodeName(path);
    struct ::stat st {};
    if (sys().stat(p.constData(), &st, false) != 0)
        return {errno};
    if (S_ISDIR(st.st_mode))
        return {EISDIR};
    return {sys().unlink(p.constData()) == 0 ? 0 : errno};
}

namespace {
// The folder a batch of renames holds open on this thread.
struct HeldFolder {
    int depth = 0;
    QString folder;     // of the batch's last rename, with its final '/'
    int fd = -1;        // that folder held open, or -1
    bool tried = false; // opening it failed: its renames go by path
    QByteArray names;   // the two names of a rename, kept for its room

    void drop() {
        if (fd >= 0)
            sys().close(fd);
        fd = -1;
        tried = false;
        folder.clear();
        names.clear();
    }
};
thread_local HeldFolder t_held;

// The descriptor of the folder both paths share (everything up to their last
// '/'), or -1: outside a batch, for paths in different folders, without a
// folder or without a name, when the folder can't be opened (the rename by
// path then reports why), and for the first rename in a folder. Only the
// second rename in a row in one folder opens it, so a list that moves to
// another folder at every file makes no more calls than renames by path.
// `cut` receives the folder's length.
int sharedFolder(const QString& from, const QString& to, qsizetype* cut) {
    if (t_held.depth == 0)
        return -1;
    // A path ending in '/' names the folder itself: that one goes by path.
    const qsizetype f = from.lastIndexOf(u'/') + 1;
    if (f == 0 || f == from.size() || f == to.size() || to.lastIndexOf(u'/') + 1 != f ||
        QStringView(from).left(f) != QStringView(to).left(f)) {
        t_held.drop();
        return -1;
    }
    const QStringView folder = QStringView(from).left(f);
    if (folder != t_held.folder) {
        t_held.drop();
        t_held.folder = folder.toString();
        return -1;
    }
    if (t_held.fd < 0) {
        if (t_held.tried)
            return -1;
        t_held.fd = sys().open(encodeName(t_held.folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
        t_held.tried = t_held.fd < 0;
        if (t_held.fd < 0)
            return -1;
    }
    *cut = f;
    return t_held.fd;
}
} // namespace

RenameBatch::RenameBatch() {
    ++t_held.depth;
}

RenameBatch::~RenameBatch() {
    if (--t_held.depth == 0)
        t_held.drop();
}

void RenameBatch::letGo() {
    t_held.drop();
}

FileSystem::Status PosixFileSystem::renameNoReplace(const QString& from, const QString& to) {
    qsizetype cut = 0;
    const int folder = sharedFolder(from, to, &cut);
    if (folder >= 0) {
        // The names alone, relative to the folder held open.
        QByteArray& names = t_held.names;
        names.resize(0);
        appendEncodedName(names, QStringView(from).mid(cut));
        names.append('\0');
        const qsizetype second = names.size();
        appendEncodedName(names, QStringView(to).mid(cut));
        if (sys().renameat2(folder, names.constData(), names.constData() + second, RENAME_NOREPLACE) == 0)
            return {};
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return {errno};
    }
    const QByteArray f = encodeName(from);
    const QByteArray t = encodeName(to);
    if (folder < 0) {
        if (sys().renameat2(AT_FDCWD, f.constData(), t.constData(), RENAME_NOREPLACE) == 0)
            return {};
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return {errno};
    }
    // The file system cannot refuse to replace by itself: look first.
    struct ::stat st {};
    if (sys().stat(t.constData(), &st, false) == 0)
        return {EEXIST};
    if (errno != ENOENT)
        return {errno};
    return {sys().rename(f.constData(), t.constData()) == 0 ? 0 : errno};
}

bool PosixFileSystem::forEachName(const QString& folder,
                                  const std::function<void(QByteArrayView name)>& each) {
    DIR* dir = sys().opendir(encodeName(folder).constData());
    if (!dir)
        return false;
    for (;;) {
        errno = 0;
        const dirent* e = sys().readdir(dir);
        if (!e)
            break;
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        each(QByteArrayView(n, qsizetype(std::strlen(n))));
    }
    // A listing cut short by a failure is not the whole folder.
    const bool whole = errno == 0;
    sys().closedir(dir);
    return whole;
}

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace vorlane
