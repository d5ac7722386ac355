#pragma once

#include <QString>

namespace vorlane {

// The undo log: two lines per rename (old full path, new name), each ending
// in CR LF, UTF-8, and a path's own bytes for names that are not UTF-8. It is
// only ever appended to here; each entry reaches the file right after its
// rename, so a crash loses at most the entry of the rename in flight.
class UndoLog {
public:
    explicit UndoLog(QString path) : m_path(std::move(path)) {}
    ~UndoLog();
    UndoLog(const UndoLog&) = delete;
    UndoLog& operator=(const UndoLog&) = delete;

    bool open();
    bool append(const QString& oldPath, const QString& newName);
    void close();
    const QString& path() const { return m_path; }

    // Creates the log, empty, when it does not exist; false when it cannot.
    static bool createIfMissing(const QString& path);

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace vorlane
