#include "projectfile.h"

#include "core/filelist/filelist.h"
#include "core/platform/atomicfile.h"
#include "core/platform/fileio.h"
#include "core/platform/paths.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane {

namespace {

bool isBreak(char c) {
    return c == '\n' || c == '\r';
}

enum class Number { Ok, NotANumber, OutOfRange };

// A decimal number at the start of a line (blanks before it and anything after
// it are allowed).
Number parseNumber(QByteArrayView s, qint64 min, qint64 max, qint64& out) {
    qsizetype i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i >= s.size() || s[i] < '0' || s[i] > '9')
        return Number::NotANumber;
    // Accumulated as a negative value, whose range reaches the minimum.
    qint64 value = 0;
    bool inRange = true;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        const int digit = s[i] - '0';
        if (value < (std::numeric_limits<qint64>::min() + digit) / 10)
            inRange = false;
        else
            value = value * 10 - digit;
    }
    if (!negative) {
        if (value == std::numeric_limits<qint64>::min())
            inRange = false; // one past the largest value
        else
            value = -value;
    }
    if (!inRange || value < min || value > max)
        return Number::OutOfRange;
    out = value;
    return Number::Ok;
}

} // namespace

bool ProjectReader::fail(const QString& what) {
    m_error = QStringLiteral("Line %1: ").arg(m_line) + what;
    return false;
}

// Line breaks after the last record are no record. The first byte after
// m_pos that is not a line break is remembered, so that a long run of blank
// lines is looked at once.
bool ProjectReader::atEnd() {
    if (m_content < m_pos) {
        m_content = m_pos;
        while (m_content < m_bytes.size() && isBreak(m_bytes[m_content]))
            ++m_content;
    }
    return m_content >= m_bytes.size();
}

bool ProjectReader::readLine(QByteArrayView& line) {
    ++m_line;
    const qsizetype n = m_bytes.size();
    if (m_pos >= n)
        return fail(QStringLiteral("the file ends inside a record"));
    const char* data = m_bytes.data();
    qsizetype end = m_pos;
    while (end < n && !isBreak(data[end]))
        ++end;
    line = m_bytes.sliced(m_pos, end - m_pos);
    if (end < n && data[end] == '\r' && end + 1 < n && data[end + 1] == '\n')
        ++end;
    m_pos = end + 1;
    if (line.contains('\0'))
        return fail(QStringLiteral("the line holds a NUL character"));
    return true;
}

bool ProjectReader::next(ProjectRecord& record) {
    if (!m_error.isEmpty())
        return false;
    if (atEnd())
        return false;
    QByteArrayView text, name, size, time;
    if (!readLine(text) || !readLine(name))
        return false;
    qint64 sizeValue = 0, timeValue = 0;
    if (!readLine(size))
        return false;
    switch (parseNumber(size, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
                        sizeValue)) {
    case Number::Ok:
        break;
    case Number::NotANumber:
        return fail(QStringLiteral("the file size is not a number"));
    case Number::OutOfRange:
        return fail(QStringLiteral("the file size is out of range"));
    }
    if (!readLine(time))
        return false;
    switch (parseNumber(time, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(),
                        timeValue)) {
    case Number::Ok:
        break;
    case Number::NotANumber:
        return fail(QStringLiteral("the playing time is not a number"));
    case Number::OutOfRange:
        return fail(QStringLiteral("the playing time is out of range"));
    }
    if (text == QByteArrayView("-")) {
        record.separator = true;
        record.text = QStringLiteral("-");
    } else if (text.startsWith('\\')) {
        record.separator = true;
        record.text = decodeName(text.sliced(1));
    } else {
        record.separator = false;
        record.text = decodeName(text);
    }
    record.name = decodeName(name);
    record.size = sizeValue;
    record.time = qint32(timeValue);
    return true;
}

bool appendRecord(QByteArray& out, const QString& text, bool separator, const QString& name, qint64 size,
                  qint32 time) {
    if (hasLineBreakOrNul(text) || hasLineBreakOrNul(name))
        return false;
    if (separator)
        out.append('\\');
    out.append(encodeName(text));
    out.append("\r\n");
    out.append(encodeName(name));
    out.append("\r\n");
    out.append(QByteArray::number(size));
    out.append("\r\n");
    out.append(QByteArray::number(time));
    out.append("\r\n");
    return true;
}

bool loadProject(const QString& path, FileList& list, QString* error) {
    QByteArray bytes;
    return readWholeFile(path, bytes, error) && appendRecords(bytes, list, error);
}

bool appendRecords(QByteArrayView bytes, FileList& list, QString* error) {
    // Loading inserts no separators of its own.
    list.setPendingSeparator(QString());
    NameLines& names = list.editor();
    ProjectReader reader(bytes);
    ProjectRecord r;
    list.beginUpdate();
    while (reader.next(r)) {
        if (r.separator)
            list.AddSeparator(r.text);
        else
            list.AddItem(0, 0, true, r.text);
        const int last = list.count() - 1;
        names.setLine(last, r.name);
        list.setFileSize(last, r.size);
        list.setPlayTime(last, r.time);
    }
    list.endUpdate();
    *error = reader.error();
    return error->isEmpty();
}

bool saveProject(const QString& path, FileList& list, QString* error) {
    const QStringList names = list.editor().lines();
    AtomicFile file(path);
    if (!file.open()) {
        *error = file.errorText();
        return false;
    }
    QByteArray record;
    for (int i = 0; i < list.count(); ++i) {
        const ListLine& l = list.line(i);
        record.clear();
        if (!appendRecord(record, l.text, l.isSeparator(), names.value(i), l.info.FileSize,
                          l.info.PlayTime)) {
            *error = QStringLiteral("Line %1 of the list holds a line break or a NUL character").arg(i + 1);
            return false;
        }
        if (!file.write(record)) {
            *error = file.errorText();
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.errorText();
        return false;
    }
    return true;
}

} // namespace vorlane
