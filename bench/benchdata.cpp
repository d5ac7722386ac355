#include "benchdata.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace benchdata {

namespace {

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "bench data: %s\n", qPrintable(what));
    std::exit(1);
}

} // namespace

QString root() {
    QString dir = qEnvironmentVariable("VORLANE_BENCH_DATA");
    if (dir.isEmpty()) {
        // The programs sit in build/<preset>/bench.
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec)
            fail(QStringLiteral("can't find the program's own folder"));
        dir = QFile::decodeName(exe.parent_path().parent_path().native().c_str()) +
              QStringLiteral("/bench-data");
    }
    std::error_code ec;
    std::filesystem::create_directories(QFile::encodeName(dir).constData(), ec);
    if (ec)
        fail(QStringLiteral("can't make ") + dir + QStringLiteral(": ") +
             QString::fromStdString(ec.message()));
    return dir;
}

QString madeOnce(const QString& name, const std::function<bool(const QString& dir)>& make) {
    const QString dir = root() + u'/' + name;
    const QByteArray marker = QFile::encodeName(dir + QStringLiteral(".done"));
    if (::access(marker.constData(), F_OK) == 0)
        return dir;
    std::fprintf(stderr, "bench data: making %s (once)\n", qPrintable(dir));
    std::error_code ec;
    const QByteArray path = QFile::encodeName(dir);
    std::filesystem::remove_all(path.constData(), ec);
    std::filesystem::create_directories(path.constData(), ec);
    if (ec || !make(dir))
        fail(QStringLiteral("can't make ") + dir);
    const int fd = ::open(marker.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail(QStringLiteral("can't write ") + QFile::decodeName(marker));
    ::close(fd);
    return dir;
}

QString fileTree(int files) {
    return madeOnce(QStringLiteral("tree-%1").arg(files), [files](const QString& dir) {
        const int top = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        if (top < 0)
            return false;
        int group = -1;
        int folder = -1;
        bool ok = true;
        for (int i = 0; ok && i < files; ++i) {
            if (i % 10000 == 0) {
                if (group >= 0)
                    ::close(group);
                const QByteArray name = "g" + QByteArray::number(i / 10000);
                ::mkdirat(top, name.constData(), 0755);
                group = ::openat(top, name.constData(), O_RDONLY | O_DIRECTORY);
                ok = group >= 0;
            }
            if (ok && i % 100 == 0) {
                if (folder >= 0)
                    ::close(folder);
                const QByteArray name = "f" + QByteArray::number(i / 100);
                ::mkdirat(group, name.constData(), 0755);
                folder = ::openat(group, name.constData(), O_RDONLY | O_DIRECTORY);
                ok = folder >= 0;
            }
            if (!ok)
                break;
            const QByteArray name = "track " + QByteArray::number(i) + ".mp3";
            const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT, 0644);
            ok = fd >= 0;
            if (ok)
                ::close(fd);
        }
        for (const int fd : {folder, group, top})
            if (fd >= 0)
                ::close(fd);
        return ok;
    });
}

QString renameFolder(int files) {
    const auto name = [](const QString& dir, char prefix, int i) {
        return QFile::encodeName(dir) + '/' + prefix + QByteArray::number(i) + ".mp3";
    };
    const QString dir = madeOnce(QStringLiteral("rename-%1").arg(files), [&](const QString& d) {
        for (int i = 0; i < files; ++i) {
            const int fd = ::open(name(d, 'a', i).constData(), O_WRONLY | O_CREAT, 0644);
            if (fd < 0)
                return false;
            ::close(fd);
        }
        return true;
    });
    for (int i = 0; i < files; ++i) {
        const QByteArray a = name(dir, 'a', i);
        if (::access(a.constData(), F_OK) != 0 && ::rename(name(dir, 'b', i).constData(), a.constData()) != 0)
            fail(QStringLiteral("can't put back ") + QFile::decodeName(a));
    }
    return dir;
}

long warmTree(const QString& dir) {
    long files = 0;
    std::vector<QByteArray> pending{QFile::encodeName(dir)};
    while (!pending.empty()) {
        const QByteArray folder = pending.back();
        pending.pop_back();
        DIR* d = ::opendir(folder.constData());
        if (!d)
            continue;
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
                continue;
            struct ::stat st {};
            if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode))
                pending.push_back(folder + '/' + e->d_name);
            else
                ++files;
        }
        ::closedir(d);
    }
    return files;
}

} // namespace benchdata
