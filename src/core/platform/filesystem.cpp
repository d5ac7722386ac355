#include "filesystem.h"
#include "fileio.h"
#include "paths.h"

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
    if (::stat(encodeName(path).constData(), &st) != 0)
        return out;
    out.exists = true;
    out.isDir = S_ISDIR(st.st_mode);
    out.size = st.st_size;
    return out;
}

FileSystem::Status PosixFileSystem::removeFile(const QString& path) {
    const QByteArray p = encodeName(path);
    struct ::stat st {};
    if (::lstat(p.constData(), &st) != 0)
        return {errno};
    if (S_ISDIR(st.st_mode))
        return {EISDIR};
    return {::unlink(p.constData()) == 0 ? 0 : errno};
}

FileSystem::Status PosixFileSystem::renameNoReplace(const QString& from, const QString& to) {
    const QByteArray f = encodeName(from);
    const QByteArray t = encodeName(to);
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return {errno};
    // The file system cannot refuse to replace by itself: look first.
    struct ::stat st {};
    if (::lstat(t.constData(), &st) == 0)
        return {EEXIST};
    if (errno != ENOENT)
        return {errno};
    return {::rename(f.constData(), t.constData()) == 0 ? 0 : errno};
}

bool PosixFileSystem::forEachName(const QString& folder,
                                  const std::function<void(QByteArrayView name)>& each) {
    DIR* dir = ::opendir(encodeName(folder).constData());
    if (!dir)
        return false;
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        each(QByteArrayView(n, qsizetype(std::strlen(n))));
    }
    ::closedir(dir);
    return true;
}

PosixFileSystem& PosixFileSystem::instance() {
    static PosixFileSystem fs;
    return fs;
}

} // namespace vorlane
