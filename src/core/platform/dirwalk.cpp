#include "dirwalk.h"

#include "paths.h"
#include "sys.h"

#include <QHash>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace vorlane {

bool readFolder(const QString& folder, std::vector<DirEntry>& out, bool wantSizes) {
    out.clear();
    DIR* dir = sys().opendir(encodeName(folder).constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* e = sys().readdir(dir);
        if (!e)
            break;
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        DirEntry entry;
        unsigned char type = e->d_type;
        struct ::stat st {};
        if (type == DT_UNKNOWN && ::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISLNK(st.st_mode) ? DT_LNK : (S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN);
        const bool link = type == DT_LNK;
        bool haveStat = false;
        if (type == DT_UNKNOWN || link || (type == DT_REG && wantSizes)) {
            // Follows links: a link to a file is a file of the link target's size.
            if (::fstatat(fd, n, &st, 0) == 0) {
                haveStat = true;
                type = S_ISREG(st.st_mode) ? DT_REG : (S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN);
            } else {
                type = DT_UNKNOWN;
            }
        }
        if (type == DT_REG) {
            entry.kind = DirEntry::File;
            entry.size = haveStat ? qint64(st.st_size) : -1;
        } else if (type == DT_DIR && !link) {
            entry.kind = DirEntry::Folder;
        } else {
            entry.kind = DirEntry::Other;
        }
        entry.name = decodeName(QByteArrayView(n, qsizetype(std::strlen(n))));
        out.push_back(std::move(entry));
    }
    // A listing cut short by a failure is not the whole folder.
    const bool whole = errno == 0;
    sys().closedir(dir);
    if (!whole)
        out.clear();
    return whole;
}

DirEntry::Kind pathKind(const QString& path) {
    struct ::stat st {};
    if (sys().stat(encodeName(path).constData(), &st) != 0)
        return DirEntry::Other;
    if (S_ISREG(st.st_mode))
        return DirEntry::File;
    return S_ISDIR(st.st_mode) ? DirEntry::Folder : DirEntry::Other;
}

namespace {
struct ViewHash {
    size_t operator()(QStringView v) const noexcept { return qHash(v); }
};
} // namespace

qsizetype firstFolder(const QStringList& paths) {
    // The paths of each folder, folders in the order they first come. Paths
    // of one folder mostly come together, so the last folder is tried first.
    std::unordered_map<QStringView, std::vector<qsizetype>, ViewHash> byFolder;
    std::vector<QStringView> order;
    QStringView lastFolder;
    std::vector<qsizetype>* lastAt = nullptr;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QStringView folder = QStringView(paths[i]).left(qMax<qsizetype>(lastDelimiter(paths[i]), 1));
        if (!lastAt || folder != lastFolder) {
            auto [it, fresh] = byFolder.try_emplace(folder);
            if (fresh)
                order.push_back(folder);
            lastFolder = folder;
            lastAt = &it->second;
        }
        lastAt->push_back(i);
    }
    std::vector<char> folderAt(size_t(paths.size()), 0);
    for (const QStringView folderView : order) {
        const std::vector<qsizetype>& at = byFolder[folderView];
        const QString folder = folderView.toString();
        // A listing pays when the paths are a fair share of the folder's
        // entries; the folder's size in bytes stands for their number.
        struct ::stat st {};
        std::vector<DirEntry> entries;
        const bool listed = at.size() >= 64 && sys().stat(encodeName(folder).constData(), &st) == 0 &&
                            qint64(at.size()) * 256 >= qint64(st.st_size) &&
                            readFolder(folder, entries, false);
        // Only the entries that are not plain files are kept: a name the
        // listing does not hold is no folder either (it is missing, or came
        // after the listing, which a look-up could not tell apart from coming
        // after the look-up).
        std::unordered_map<QStringView, DirEntry::Kind, ViewHash> notFiles;
        for (const DirEntry& e : entries)
            if (e.kind != DirEntry::File)
                notFiles.emplace(QStringView(e.name), e.kind);
        for (const qsizetype i : at) {
            const QString& path = paths[i];
            const QStringView name = QStringView(path).sliced(lastDelimiter(path) + 1);
            // What a listing cannot settle ("", ".", "..", links and other
            // non-files) is looked up one by one.
            DirEntry::Kind kind = DirEntry::Other;
            if (listed && !name.isEmpty() && name != u"." && name != u"..") {
                const auto found = notFiles.find(name);
                kind = found == notFiles.end() ? DirEntry::File : found->second;
            }
            if (kind == DirEntry::Other)
                kind = pathKind(path);
            folderAt[size_t(i)] = kind == DirEntry::Folder;
        }
    }
    for (qsizetype i = 0; i < paths.size(); ++i)
        if (folderAt[size_t(i)])
            return i;
    return -1;
}

QString currentFolder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? decodeName(QByteArray(buffer)) : QString();
}

} // namespace vorlane
