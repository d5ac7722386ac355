#include "planfs.h"

#include "core/platform/paths.h"

#include <QSet>

#include <cerrno>

namespace vorlane {

FileSystem::Stat PlanningFileSystem::stat(const QString& path) {
    const auto it = m_changed.constFind(path);
    return it != m_changed.constEnd() ? it.value() : m_disk.stat(path);
}

FileSystem::Status PlanningFileSystem::removeFile(const QString&) {
    return {EPERM};
}

FileSystem::Status PlanningFileSystem::renameNoReplace(const QString& from, const QString& to) {
    const Stat source = stat(from);
    if (!source.exists)
        return {ENOENT};
    for (const QStringView part : QStringView(to).tokenize(u'/'))
        if (encodeName(part.toString()).size() > 255)
            return {ENAMETOOLONG};
    const qsizetype cut = lastDelimiter(to);
    const Stat folder = stat(to.left(cut + 1));
    if (!folder.exists)
        return {ENOENT};
    if (!folder.isDir)
        return {ENOTDIR};
    if (stat(to).exists)
        return {EEXIST};
    m_changed.insert(from, Stat{});
    m_changed.insert(to, source);
    m_steps.append({from, to});
    return {};
}

bool PlanningFileSystem::forEachName(const QString& folder,
                                     const std::function<void(QByteArrayView name)>& each) {
    // The disk's names without those moved away, then those moved in.
    QString prefix = folder;
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    QSet<QByteArray> gone, added;
    for (auto it = m_changed.constBegin(); it != m_changed.constEnd(); ++it) {
        if (folderPart(it.key()) != prefix)
            continue;
        const QByteArray name = encodeName(fileNamePart(it.key()));
        (it.value().exists ? added : gone).insert(name);
    }
    const bool whole = m_disk.forEachName(folder, [&](QByteArrayView name) {
        const QByteArray n = name.toByteArray();
        if (!gone.contains(n) && !added.contains(n))
            each(name);
    });
    if (!whole)
        return false;
    for (const QByteArray& n : added)
        each(n);
    return true;
}

} // namespace vorlane
