#pragma once

#include "core/filelist/filelist.h"
#include "core/platform/fileio.h"

#include <QString>

namespace vorlane {

// The undo log: two lines per rename (old full path, new name), each ending
// in CR LF, UTF-8, and a path's own bytes for names that are not UTF-8. It is
// only ever appended to here. An entry goes to the file in one write before
// its rename and is taken back when the rename fails, so a killed run never
// leaves a renamed file unlogged.
class UndoLog {
public:
    explicit UndoLog(QString path) : m_path(std::move(path)) {}
    ~UndoLog();
    UndoLog(const UndoLog&) = delete;
    UndoLog& operator=(const UndoLog&) = delete;

    // Opens the log for appending. A last line torn by an earlier failed write
    // is mended first: a torn new name is ended, a torn old path dropped, so
    // later entries keep their pairing.
    bool open();
    // Appends one entry whole; on failure the log keeps its former length.
    bool append(const QString& oldPath, const QString& newName);
    // Takes the entry of the last append back off the log.
    bool removeLastEntry();
    // Blanks an entry where it stands, once its file is back: its bytes become
    // empty lines, which readers pass over. One write in place, so it needs no
    // free space, and a cut-short write leaves a part that is never taken back
    // either. False, changing nothing, when the log no longer holds the entry
    // at that place.
    bool blankEntry(const LoggedRename& entry);
    void close();
    const QString& path() const { return m_path; }
    // Why the last call failed, in the system's words.
    const QString& errorText() const { return m_error; }

    // Creates the log, empty, when it does not exist; false (and the reason in
    // `error`) when it cannot, or when something other than a file holds its place.
    static bool createIfMissing(const QString& path, QString* error = nullptr);

private:
    bool mendTornLine();
    // Cuts `length` bytes off the end of the log.
    bool cutTail(qint64 length);
    bool fail(int error);

    QString m_path;
    QString m_error;
    UniqueFd m_fd;
    UniqueFd m_fdInPlace;         // writes at an offset (appending descriptors cannot)
    qint64 m_lastEntryLength = 0; // of the last append, while it may be taken back
    QByteArray m_entry;           // the entry being appended
};

} // namespace vorlane
