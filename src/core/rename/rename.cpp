#include "rename.h"

#include "core/platform/paths.h"
#include "core/rename/undolist.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>

#include <cerrno>
#include <deque>

namespace vorlane {

RenameRun::RenameRun(FileList& list, Prompts& prompts, FileSystem& fs, QString undoLogPath)
    : m_list(list), m_prompts(prompts), m_fs(fs), m_logPath(std::move(undoLogPath)) {}

RenameRun::~RenameRun() = default;

QString RenameRun::newName(const QString& editorLine) {
    qsizetype end = editorLine.size();
    while (end > 0 && editorLine[end - 1] == u' ')
        --end;
    return editorLine.left(end);
}

RenameRun::Result RenameRun::Rename1Click() {
    Result result;
    int count = 0;
    for (int i = 0; i < m_list.count(); ++i)
        if (m_list.isSelected(i) && !m_list.isSeparator(i))
            ++count;
    if (count == 0) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("No items selected"));
        return result;
    }
    QString question = QStringLiteral("Do you really want to RENAME\rselected file(s) ( %1 )").arg(count);
    if (m_knownFailures > 0)
        question += QStringLiteral("\r%1 of them will fail (amber lines)").arg(m_knownFailures);
    const auto answer = m_prompts.ask(QStringLiteral("Confirmation"), question, Prompts::Icon::Information,
                                      Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return result;
    m_total = count;

    m_log = std::make_unique<UndoLog>(m_logPath);
    if (!m_unlogged && !m_log->open()) {
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't open the undo log\r") +
                                                       withVisibleControls(m_logPath) + u'\r' +
                                                       m_log->errorText());
        return result;
    }
    result.started = true;
    // The panes take the run's changes in one go; a message box first shows
    // them as far as the run got.
    m_list.beginUpdate();
    const RenameBatch batch;
    if (m_list.options().cbResolveChains)
        runResolved(result);
    else
        runInOrder(result);
    m_list.endUpdate();
    if (!m_unlogged)
        m_log->close();
    if (m_list.hooks.lb1Click)
        m_list.hooks.lb1Click();
    if (m_progress.status)
        m_progress.status(QStringLiteral("%1 of %2 file(s) were renamed").arg(result.renamed).arg(count));
    return result;
}

void RenameRun::progressed(const Result& result) {
    if (!m_progress.clock)
        return;
    const qint64 now = m_progress.clock->nowMs();
    if (now - m_lastProgress < 500)
        return;
    m_lastProgress = now;
    if (m_progress.status)
        m_progress.status(QStringLiteral("%1 of %2").arg(result.renamed + result.failed).arg(m_total));
    if (m_progress.pump)
        m_progress.pump->pump();
}

void RenameRun::takenBack(const QString& from, const QString& to) {
    const auto it = m_list.takeBacks.find(from);
    if (it == m_list.takeBacks.end())
        return;
    const auto entry = it.value();
    m_list.takeBacks.erase(it);
    if (m_unlogged)
        return;
    if (entry.before != to) {
        // Stepped aside (a temporary name): the entry follows its file.
        m_list.takeBacks.insert(to, entry);
        return;
    }
    if (m_log->blankEntry(entry))
        return;
    // The log changed since the undo window read it: the entry is looked for
    // and the log written anew, and the appending descriptor opened again on
    // the new file. Should the entry stay (a failed write), the next take-back
    // finds the file back under its old name and drops it then.
    m_log->close();
    QString error;
    dropLogEntry(m_logPath, entry.before, entry.after, &error);
    m_log->open();
}

namespace {
// The path of `name` in the folder of `path`, built with one allocation.
QString besideIn(const QString& path, const QString& name) {
    const qsizetype folder = lastDelimiter(path) + 1;
    QString out;
    out.reserve(folder + name.size());
    out.append(QStringView(path).left(folder)).append(name);
    return out;
}
} // namespace

RenameRun::Move RenameRun::move(const QString& from, const QString& name) {
    return move(from, name, besideIn(from, name));
}

RenameRun::Move RenameRun::move(const QString& from, const QString& name, const QString& to) {
    Move m;
    // A line break or a NUL would tear the log's lines apart, and a NUL
    // would cut the name the system sees.
    if (hasLineBreakOrNul(from)) {
        m.cause = QStringLiteral("The path holds a line break or a NUL character");
        return m;
    }
    if (hasLineBreakOrNul(name)) {
        m.cause = QStringLiteral("The name holds a line break or a NUL character");
        return m;
    }
    // Files here carry no read-only/hidden/system/archive attributes: nothing to reset.
    // Logged first: a run killed after the rename still has its entry.
    if (!m_unlogged && !m_log->append(from, name)) {
        m.outcome = Outcome::LogFailed;
        return m;
    }
    const FileSystem::Status renamed = m_fs.renameNoReplace(from, to);
    if (renamed.ok()) {
        m.outcome = Outcome::Done;
        if (!m_list.takeBacks.isEmpty())
            takenBack(from, to);
        return m;
    }
    m.cause = renamed.text();
    m.error = renamed.error;
    // A failed rename whose entry stayed would be "taken back" later.
    if (!m_unlogged && !m_log->removeLastEntry())
        m.outcome = Outcome::LogFailed;
    return m;
}

RenameRun::Next RenameRun::failed(const QString& from, const QString& name, const Move& m) {
    const QString shownRename =
        withVisibleControls(from) + QStringLiteral("\r\tto\r") + withVisibleControls(name);
    m_list.endUpdate();
    // While the box is up the user may move folders about.
    RenameBatch::letGo();
    Next next = Next::Abort;
    if (m.outcome == Outcome::LogFailed) {
        // Renaming without an entry could not be taken back: the run ends.
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't write to the undo log\r") +
                                                       withVisibleControls(m_logPath) + u'\r' + shownRename +
                                                       u'\r' + m_log->errorText());
    } else {
        const auto choice = m_prompts.ask(QStringLiteral("Error!"),
                                          QStringLiteral("Can't rename file\r") + shownRename + u'\r' +
                                              m.cause + QStringLiteral("\rWhat do you want to do?"),
                                          Prompts::Icon::Error, Prompts::Buttons::AbortRetryIgnore);
        next = choice == Prompts::Answer::Retry    ? Next::Retry
               : choice == Prompts::Answer::Ignore ? Next::Ignore
                                                   : Next::Abort;
    }
    m_list.beginUpdate();
    return next;
}

void RenameRun::follow(int line, const QString& path, bool finished) {
    m_list.setLineText(line, path);
    if (finished) {
        m_list.setSelected(line, false);
        m_list.editor().setLine(line, QString());
    }
    if (m_list.hooks.setModified)
        m_list.hooks.setModified(true);
}

void RenameRun::runInOrder(Result& result) {
    NameLines& editor = m_list.editor();
    for (int i = 0; i < m_list.count();) {
        if (!m_list.isSelected(i) || m_list.isSeparator(i)) {
            ++i;
            continue;
        }
        progressed(result);
        const QString oldPath = m_list.text(i);
        const QString name = newName(i < editor.count() ? editor.line(i) : QString());
        const QString target = besideIn(oldPath, name);
        if (target == oldPath) {
            // Already under its new name: nothing to rename, nothing to log.
            follow(i, oldPath, true);
            ++result.renamed;
            ++i;
            continue;
        }
        const Move m = move(oldPath, name, target);
        if (m.outcome == Outcome::Done) {
            follow(i, target, true);
            ++result.renamed;
            ++i;
            continue;
        }
        const Next next = failed(oldPath, name, m);
        if (next == Next::Retry)
            continue;
        if (m.outcome != Outcome::LogFailed)
            ++result.failed;
        if (next == Next::Abort)
            return;
        ++i;
    }
}

// The selected renames as a graph: a rename waits while another selected
// file still stands at its target. Renames whose target is free go first,
// in list order; each one done frees its old path for the renames waiting on
// it. What is left then waits in cycles (one file goes to a temporary name
// to break each) or behind a file that could not move (those fail).
struct RenameRun::Resolver {
    enum State { Pending, Done, Failed };
    struct Item {
        int line;
        QString origin; // where the file stood before the run
        QString at;     // where the file stands now
        QString name;
        QString target;
        State state = Pending;
        bool stuck = false; // could not go back from a temporary name
    };

    RenameRun& run;
    Result& result;
    std::vector<Item> items;
    QHash<QString, int> standing;         // path -> the pending item standing there
    QHash<QString, QVector<int>> waiting; // path -> the items whose target it is
    std::deque<int> ready;
    int firstPending = 0;
    bool aborted = false;

    Resolver(RenameRun& r, Result& res) : run(r), result(res) {}

    void collect() {
        FileList& list = run.m_list;
        NameLines& editor = list.editor();
        for (int i = 0; i < list.count(); ++i) {
            if (!list.isSelected(i) || list.isSeparator(i))
                continue;
            Item it;
            it.line = i;
            it.at = list.text(i);
            it.origin = it.at;
            it.name = newName(i < editor.count() ? editor.line(i) : QString());
            it.target = folderPart(it.at) + it.name;
            items.push_back(std::move(it));
        }
        for (int k = 0; k < int(items.size()); ++k)
            standing.insert(items[size_t(k)].at, k);
        for (int k = 0; k < int(items.size()); ++k) {
            Item& it = items[size_t(k)];
            if (it.target == it.at) {
                // Already under its new name: nothing to do.
                it.state = Done;
                standing.remove(it.at);
                run.follow(it.line, it.at, true);
                ++result.renamed;
                continue;
            }
            waiting[it.target].append(k);
        }
        for (int k = 0; k < int(items.size()); ++k)
            if (items[size_t(k)].state == Pending && !blocked(k))
                ready.push_back(k);
    }

    // Another pending file stands at the item's target.
    bool blocked(int k) const {
        const int other = standing.value(items[size_t(k)].target, -1);
        return other >= 0 && other != k;
    }

    // Moves item k's file to `name` in its folder; false once the run ends.
    bool step(int k, const QString& name, bool finished) {
        Item& it = items[size_t(k)];
        for (;;) {
            const Move m = run.move(it.at, name);
            if (m.outcome == Outcome::Done)
                break;
            if (!finished && m.outcome == Outcome::Failed && m.error == EEXIST)
                return true; // a temporary name that exists: the caller picks another
            const Next next = run.failed(it.at, name, m);
            if (next == Next::Retry)
                continue;
            if (m.outcome != Outcome::LogFailed) {
                ++result.failed;
                it.state = Failed;
            }
            aborted = next == Next::Abort || m.outcome == Outcome::LogFailed;
            return !aborted;
        }
        const QString from = it.at;
        it.at = folderPart(from) + name;
        standing.remove(from);
        if (finished) {
            it.state = Done;
            ++result.renamed;
        } else {
            standing.insert(it.at, k);
        }
        run.follow(it.line, it.at, finished);
        // Whoever waited on the old place may go now.
        for (const int w : waiting.value(from))
            if (items[size_t(w)].state == Pending && !blocked(w))
                ready.push_back(w);
        return true;
    }

    // A name beside the file that no file has; the rename itself never replaces.
    bool toTemporary(int k) {
        Item& it = items[size_t(k)];
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString temp = QStringLiteral(".vorlane-%1.tmp")
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
            const QString before = it.at;
            if (!step(k, temp, false))
                return false;
            if (it.at != before || it.state != Pending)
                return true;
        }
        // No free name found: the rename itself is tried, and fails as it must.
        ready.push_back(k);
        return true;
    }

    // A file that stepped aside to a temporary name goes back to its own
    // name when its cycle cannot finish. False once the run ends.
    bool restore(int k) {
        Item& it = items[size_t(k)];
        if (it.at == it.origin || it.stuck)
            return true;
        for (;;) {
            const Move m = run.move(it.at, fileNamePart(it.origin));
            if (m.outcome == Outcome::Done)
                break;
            if (m.outcome == Outcome::LogFailed) {
                run.failed(it.at, fileNamePart(it.origin), m);
                aborted = true;
                return false;
            }
            // Say where the file is and where it came from; its line follows it.
            const auto choice = run.m_prompts.ask(
                QStringLiteral("Error!"),
                QStringLiteral("Can't move file\r") + withVisibleControls(it.at) +
                    QStringLiteral("\rback to its name\r") + withVisibleControls(it.origin) + u'\r' +
                    m.cause +
                    QStringLiteral("\rThe file stays under the temporary name.\rWhat do you want to do?"),
                Prompts::Icon::Error, Prompts::Buttons::AbortRetryIgnore);
            if (choice == Prompts::Answer::Retry)
                continue;
            if (it.state != Failed)
                ++result.failed;
            it.state = Failed;
            it.stuck = true;
            aborted = choice != Prompts::Answer::Ignore;
            return !aborted;
        }
        standing.remove(it.at);
        it.at = it.origin;
        standing.insert(it.at, k);
        run.follow(it.line, it.at, false);
        return true;
    }

    // Files left under a temporary name when the run ends early go back.
    void restoreAll() {
        for (int k = 0; k < int(items.size()) && !aborted; ++k)
            if (items[size_t(k)].state != Done)
                restore(k);
    }

    void resolve() {
        collect();
        while (!aborted) {
            while (!ready.empty() && !aborted) {
                const int k = ready.front();
                ready.pop_front();
                if (items[size_t(k)].state == Pending) {
                    run.progressed(result);
                    step(k, items[size_t(k)].name, true);
                }
            }
            if (aborted)
                return;
            // Nothing free: follow the first pending file's chain of targets.
            // (An item never becomes pending again, so the search goes on
            // from where it stopped.)
            while (firstPending < int(items.size()) && items[size_t(firstPending)].state != Pending)
                ++firstPending;
            if (firstPending == int(items.size()))
                return;
            const int first = firstPending;
            QSet<int> seen{first};
            int k = first;
            for (;;) {
                const int next = standing.value(items[size_t(k)].target, -1);
                if (next < 0 || items[size_t(next)].state != Pending) {
                    // Behind a file that stays: the rename is tried, and fails
                    // as it must, from the file's own name.
                    if (!restore(first))
                        return;
                    ready.push_back(first);
                    break;
                }
                if (seen.contains(next)) {
                    // A cycle: one of its files steps aside.
                    if (!toTemporary(next))
                        return;
                    break;
                }
                seen.insert(next);
                k = next;
            }
        }
    }
};

void RenameRun::runResolved(Result& result) {
    Resolver r(*this, result);
    r.resolve();
    // After Abort too: no file is left under a name nobody chose.
    r.aborted = false;
    r.restoreAll();
}

} // namespace vorlane
