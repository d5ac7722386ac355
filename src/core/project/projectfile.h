#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vorlane {

class FileList;

// One record of a project file: a file-list line with its record and the
// name editor's line beside it.
struct ProjectRecord {
    QString text; // a path, or a separator's text
    bool separator = false;
    QString name;
    qint64 size = 0;
    qint32 time = 0;
};

// Project files hold four lines per file-list line: the path (a separator as
// '\' and its text; a line "-" is a separator "-" too), the name, the size and
// the playing time. Lines end with CR LF; LF or CR alone also end a line when
// reading. Names are stored as their own bytes, so names that are not UTF-8
// come back unchanged.
//
// Reads the records of a project file's bytes one by one.
class ProjectReader {
public:
    explicit ProjectReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next whole record; false at the end of the bytes or at an error.
    bool next(ProjectRecord& record);
    // Why reading stopped early ("Line 7: ..."); empty at a clean end.
    const QString& error() const { return m_error; }

private:
    bool atEnd();
    bool readLine(QByteArrayView& line);
    bool fail(const QString& what);

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_content = -1;
    qint64 m_line = 0;
    QString m_error;
};

// The four lines of one record, each ending with CR LF; false when a text
// would not stay one line (it holds CR, LF or NUL).
bool appendRecord(QByteArray& out, const QString& text, bool separator, const QString& name, qint64 size,
                  qint32 time);

// Appends the records of a project file's bytes to the list, each through
// AddItem in loading mode, with the list and its editor told once. On an
// error the whole records read until then stay, and `error` says what went
// wrong.
bool appendRecords(QByteArrayView bytes, FileList& list, QString* error);
// The same for the file at `path`.
bool loadProject(const QString& path, FileList& list, QString* error);

// Writes the list and the name editor's lines beside it to `path`, replacing
// the old file only when all was written (the old file stays whole otherwise).
bool saveProject(const QString& path, FileList& list, QString* error);

} // namespace vorlane
