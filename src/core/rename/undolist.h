#pragma once

#include "core/filelist/filelist.h"
#include "core/filelist/groupop.h"
#include "core/platform/filesystem.h"
#include "core/platform/prompts.h"

#include <QString>
#include <QVector>

#include <functional>

namespace vorlane {

// What was read of the log, so that a rewrite can tell entries appended
// since (by a rename run elsewhere) and keep them.
struct LogStamp {
    qsizetype size = 0;
    size_t hash = 0;
    bool endsLine = true;

    static LogStamp of(const QByteArray& log);
};

// Writes `log` as the whole undo log at `path`, atomically. When the file
// still begins with what `read` describes, the entries appended after it
// follow the new content.
bool rewriteLog(const QString& path, QByteArray log, const LogStamp& read, QString* error);

// Takes the newest sound entry `before` -> `after` off the log at `path`, the
// log written anew atomically. False with the reason in `error` when the log
// cannot be read or written; true, changing nothing, when no such entry is there.
bool dropLogEntry(const QString& path, const QString& before, const QString& after, QString* error);

// One entry of the undo log as the undo window shows it.
struct UndoRow {
    QString before; // the old full path
    QString after;  // the new name, relative to the folder of `before`
    int order = 0;  // 1-based place in the log as loaded
    bool checked = false;
    // Why the entry is never taken back (an old path that is not a full path,
    // no new name, a NUL); empty for a sound entry.
    QString refused;
    // Where the entry's bytes lie in the log as read: [start, end).
    qsizetype start = 0;
    qsizetype end = 0;

    // Where the file is now: the folder of `before` and the new name.
    QString currentPath() const;
    QString oldName() const;
};

// The undo window's rows: the log as loaded, sorted for display, checked and
// thinned out by the user, and written back in the order of the renames.
class UndoList {
public:
    // Sort modes; a negative mode sorts the same column descending.
    enum SortMode { ByRenameOrder = 0, ByBefore = 1, ByAfter = 2, ByBeforeWithoutDir = 3 };

    UndoList(Prompts& prompts, QString logPath) : m_prompts(prompts), m_logPath(std::move(logPath)) {}

    // Around every change of the rows' set or order (loading, sorting,
    // deleting), so a view can let go of them and take them up again. No
    // message box is shown between the two.
    struct Hooks {
        std::function<void()> aboutToChange;
        std::function<void()> changed;
    } hooks;

    // The log's lines paired into entries, oldest first. CR, LF and CR LF
    // each end a line, and a last line cut off before its line break still
    // counts. Empty lines are passed over. Old paths are full paths and new
    // names are not, so a line out of place (an old path without its new
    // name, a stray name) becomes a refused entry of its own and the entries
    // after it keep their pairing.
    static QVector<UndoRow> parse(QByteArrayView log);
    // The log's bytes for rows, in the order given.
    static QByteArray serialize(const QVector<UndoRow>& rows);

    // Loads the log in rename order and clears the modified flag. A log that
    // cannot be read is reported and leaves the list empty.
    bool load();
    void setRows(QVector<UndoRow> rows);

    int count() const { return int(m_rows.size()); }
    const UndoRow& row(int i) const { return m_rows[i]; }
    int sortMode() const { return m_mode; }
    bool modified() const { return m_modified; }
    int checkedCount() const;
    const QString& logPath() const { return m_logPath; }
    // Column captions ("Before  ", "After  "), the sorted one marked "(+)" or "(-)".
    QString caption(int column) const;

    // Re-sorts the rows when the mode changes.
    void SetSortMode(int mode);
    // The mode a click on a column header leads to: that column ascending, or
    // the current direction flipped when it is already sorted by it.
    int columnClickMode(int column) const;

    void setChecked(int row, bool on) { m_rows[row].checked = on; }
    // Check1Click / UnCheck1Click on the selected rows.
    void setChecked(const QVector<int>& rows, bool on);

    // Asks, then drops the checked rows from the list (not yet from the log).
    // True when rows went.
    bool Deletefromlist1Click();
    // Asks, then appends the checked rows' files to the file list under their
    // current names, each with its old name on its editor line. Returns the
    // number of lines added.
    int Undorename1Click(FileList& list, GroupOperation& group);
    // The closing question when the list was changed; on Yes the log is
    // rewritten in rename order. False when the window is to stay open.
    bool FormClose();

private:
    void sortRows();
    void beginChange();
    void endChange();

    Prompts& m_prompts;
    QString m_logPath;
    QVector<UndoRow> m_rows;
    int m_mode = ByRenameOrder;
    bool m_modified = false;
    LogStamp m_read;
};

// Takes the last renames of the log back, newest first: each file goes back
// to its old name (never replacing a file), and its entry is cut off the end
// of the log as soon as the file is back, so a run killed at any point can
// simply be run again. An entry whose file is gone from its new path while
// its old path exists was taken back already (by a run that ended before
// its entry went): it leaves the log with a note. The run stops at the first
// entry that cannot go back, since the older renames were made on top of it.
struct TakeBackResult {
    int done = 0;
    int available = 0;    // entries the log held
    QStringList notes;    // entries found already taken back
    QStringList failures; // the entry that did not go back, with its cause
    int left = 0;         // older entries of the range left in the log after a failure
    QString error;        // the log could not be read or shortened
};
TakeBackResult takeBackLast(const QString& logPath, int n, FileSystem& fs);

} // namespace vorlane
