#include "conflicts.h"

#include "core/filelist/filelist.h"
#include "core/platform/paths.h"
#include "core/rename/rename.h"

#include <QHash>
#include <QHashFunctions>
#include <QSet>

#include <deque>
#include <optional>

namespace vorlane {

QString conflictText(Conflict::Kind kind) {
    switch (kind) {
    case Conflict::EmptyName:
        return QStringLiteral("No new name");
    case Conflict::BadCharacter:
        return QStringLiteral("The name holds a line break or a NUL character");
    case Conflict::NameTooLong:
        return QStringLiteral("The name is longer than 255 bytes");
    case Conflict::MissingFolder:
        return QStringLiteral("The name leads into a folder that does not exist");
    case Conflict::SameTarget:
        return QStringLiteral("Another line gives the same new name");
    case Conflict::TargetExists:
        return QStringLiteral("A file with the new name exists");
    }
    return QString();
}

namespace {

struct Rename {
    int line;
    QString from;
    int folder = -1; // the target's folder, as an index into the folders
    quint64 key = 0; // the target: its folder and the hash of its name's bytes
    std::optional<Conflict::Kind> kind;
};

// A part of a name over 255 bytes (a character takes at most 3 bytes per
// UTF-16 unit, so short parts need no encoding).
bool tooLong(QStringView name) {
    for (const QStringView part : name.tokenize(u'/'))
        if (part.size() * 3 > 255 && encodeName(part.toString()).size() > 255)
            return true;
    return false;
}

// Paths are compared as a folder's index and a 64-bit hash of the name's
// bytes: no path is built or decoded per line. Two different names agreeing
// in all 64 bits would at worst mark a line that is in fact fine.
quint64 keyOf(int folder, QByteArrayView name) {
    return quint64(qHash(name, 0x5eed)) + quint64(folder) * 0x9E3779B97F4A7C15ull;
}

class Folders {
public:
    explicit Folders(FileSystem& fs) : m_fs(fs) {}

    int indexOf(const QString& folder) {
        if (m_last >= 0 && folder == m_paths[m_last])
            return m_last;
        auto it = m_index.constFind(folder);
        if (it == m_index.constEnd()) {
            it = m_index.insert(folder, int(m_paths.size()));
            m_paths << folder;
        }
        return m_last = it.value();
    }
    // The folder of a path, shared with the path before it when they agree.
    QString folderOf(const QString& path) {
        const qsizetype cut = lastDelimiter(path) + 1;
        if (m_last >= 0 && cut == m_paths[m_last].size() && path.startsWith(m_paths[m_last]))
            return m_paths[m_last];
        return path.left(cut);
    }
    // Whether a name stands in the folder; nothing when the folder cannot be read.
    std::optional<bool> holds(int folder, quint64 key) {
        auto it = m_names.find(folder);
        if (it == m_names.end()) {
            // Every folder holds "." and "..", which a listing leaves out:
            // a rename onto either fails like one onto any taken name.
            QSet<quint64> names{keyOf(folder, "."), keyOf(folder, "..")};
            if (!m_fs.forEachName(m_paths[folder], [&](QByteArrayView n) { names.insert(keyOf(folder, n)); }))
                it = m_names.insert(folder, std::nullopt);
            else
                it = m_names.insert(folder, std::move(names));
        }
        if (!it.value())
            return std::nullopt;
        return it.value()->contains(key);
    }

private:
    FileSystem& m_fs;
    QStringList m_paths;
    QHash<QString, int> m_index;
    QHash<int, std::optional<QSet<quint64>>> m_names;
    int m_last = -1;
};

} // namespace

QVector<Conflict> findConflicts(FileList& list, bool resolveChains) {
    const NameLines& editor = list.editor();
    Folders folders(list.fileSystem());
    std::vector<Rename> renames;
    renames.reserve(size_t(list.count()));
    QHash<quint64, int> wanted; // target -> how many renames give it
    wanted.reserve(list.count());
    for (int i = 0; i < list.count(); ++i) {
        if (!list.isSelected(i) || list.isSeparator(i))
            continue;
        Rename r{i, list.text(i), -1, 0, std::nullopt};
        const QString name = RenameRun::newName(i < editor.count() ? editor.line(i) : QString());
        if (name.isEmpty()) {
            r.kind = Conflict::EmptyName;
        } else if (hasLineBreakOrNul(name)) {
            r.kind = Conflict::BadCharacter;
        } else if (tooLong(name)) {
            r.kind = Conflict::NameTooLong;
        } else {
            const QString own = folders.folderOf(r.from);
            const qsizetype slash = lastDelimiter(name);
            r.folder = folders.indexOf(slash < 0 ? own : own + name.left(slash + 1));
            r.key = keyOf(r.folder, encodeName(slash < 0 ? name : name.mid(slash + 1)));
            ++wanted[r.key];
        }
        renames.push_back(std::move(r));
    }

    // Where each selected file stands: needed only once a target is taken.
    QHash<quint64, int> standing;
    auto standingAt = [&](quint64 key) {
        if (standing.isEmpty() && !renames.empty()) {
            standing.reserve(qsizetype(renames.size()));
            for (int k = 0; k < int(renames.size()); ++k) {
                const QString& from = renames[size_t(k)].from;
                const int folder = folders.indexOf(folders.folderOf(from));
                standing.insert(keyOf(folder, encodeName(fileNamePart(from))), k);
            }
        }
        return standing.value(key, -1);
    };
    for (int k = 0; k < int(renames.size()); ++k) {
        Rename& r = renames[size_t(k)];
        if (r.kind)
            continue;
        if (wanted.value(r.key) > 1) {
            r.kind = Conflict::SameTarget;
            continue;
        }
        const std::optional<bool> taken = folders.holds(r.folder, r.key);
        if (!taken) {
            r.kind = Conflict::MissingFolder;
            continue;
        }
        if (!*taken)
            continue;
        // Someone stands there: free only when the run moves that file away first.
        const int other = standingAt(r.key);
        if (other == k)
            continue; // already under its new name: the run leaves it be
        if (other < 0 || (!resolveChains && renames[size_t(other)].line > r.line))
            r.kind = Conflict::TargetExists;
    }

    // A rename whose target waits on a file that cannot move fails too.
    std::deque<int> failing;
    QHash<int, QVector<int>> waiting; // a selected file -> the renames whose target it is
    for (int k = 0; k < int(renames.size()); ++k) {
        const Rename& r = renames[size_t(k)];
        if (r.kind) {
            failing.push_back(k);
        } else if (!standing.isEmpty()) {
            const int at = standing.value(r.key, -1);
            if (at >= 0 && at != k)
                waiting[at].append(k);
        }
    }
    while (!failing.empty()) {
        const int k = failing.front();
        failing.pop_front();
        for (const int w : waiting.value(k)) {
            if (!renames[size_t(w)].kind) {
                renames[size_t(w)].kind = Conflict::TargetExists;
                failing.push_back(w);
            }
        }
    }

    QVector<Conflict> out;
    for (const Rename& r : renames)
        if (r.kind)
            out.append({r.line, *r.kind});
    return out;
}

} // namespace vorlane
