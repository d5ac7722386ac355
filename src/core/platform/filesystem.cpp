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

FileSystem::Status PosixFileSystem::renameNoReplace(const QString& from, const QString& to) {
    const QByteArray f = encodeName(from);
    const QByteArray t = encodeName(to);
    if (sys().renameat2(f.constData(), t.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return {errno};
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
