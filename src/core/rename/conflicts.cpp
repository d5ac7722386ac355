#include "conflicts.h"

#include "core/filelist/filelist.h"
#include "core/platform/paths.h"
#include "core/rename/rename.h"

#include <QHash>
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
    QString target;
    std::optional<Conflict::Kind> kind;
};

} // namespace

QVector<Conflict> findConflicts(FileList& list, bool resolveChains) {
    const NameLines& editor = list.editor();
    std::vector<Rename> renames;
    for (int i = 0; i < list.count(); ++i) {
        if (!list.isSelected(i) || list.isSeparator(i))
            continue;
        Rename r{i, list.text(i), QString(), std::nullopt};
        const QString name = RenameRun::newName(i < editor.count() ? editor.line(i) : QString());
        r.target = folderPart(r.from) + name;
        if (name.isEmpty()) {
            r.kind = Conflict::EmptyName;
        } else if (hasLineBreakOrNul(name)) {
            r.kind = Conflict::BadCharacter;
        } else {
            for (const QString& part : name.split(u'/'))
                if (encodeName(part).size() > 255)
                    r.kind = Conflict::NameTooLong;
        }
        renames.push_back(std::move(r));
    }

    // Where each selected file stands, and which renames want the same path.
    QHash<QString, int> standing;
    QHash<QString, int> targets;
    for (int k = 0; k < int(renames.size()); ++k) {
        standing.insert(renames[size_t(k)].from, k);
        if (!renames[size_t(k)].kind)
            ++targets[renames[size_t(k)].target];
    }
    QHash<QString, QSet<QString>> folders; // a target folder's names; missing: unreadable
    QSet<QString> unreadable;
    for (Rename& r : renames) {
        if (r.kind)
            continue;
        if (targets.value(r.target) > 1) {
            r.kind = Conflict::SameTarget;
            continue;
        }
        const QString folder = folderPart(r.target);
        if (!folders.contains(folder) && !unreadable.contains(folder)) {
            QSet<QString> in;
            if (list.fileSystem().folderNames(folder, in))
                folders.insert(folder, std::move(in));
            else
                unreadable.insert(folder);
        }
        if (unreadable.contains(folder)) {
            r.kind = Conflict::MissingFolder;
            continue;
        }
        if (!folders[folder].contains(fileNamePart(r.target)))
            continue;
        // Someone stands there: free only when the run moves that file away first.
        const int other = standing.value(r.target, -1);
        const bool self = other == int(&r - renames.data());
        if (other < 0 || (self && !resolveChains) || (!resolveChains && renames[size_t(other)].line > r.line))
            r.kind = Conflict::TargetExists;
    }

    // A rename whose target waits on a file that cannot move fails too.
    std::deque<int> failing;
    for (int k = 0; k < int(renames.size()); ++k)
        if (renames[size_t(k)].kind)
            failing.push_back(k);
    QHash<QString, QVector<int>> waiting;
    for (int k = 0; k < int(renames.size()); ++k)
        if (!renames[size_t(k)].kind && standing.contains(renames[size_t(k)].target))
            waiting[renames[size_t(k)].target].append(k);
    while (!failing.empty()) {
        const int k = failing.front();
        failing.pop_front();
        for (const int w : waiting.value(renames[size_t(k)].from)) {
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
