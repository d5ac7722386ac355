#include "scinamelines.h"

#include "core/platform/paths.h"

#include <Qsci/qsciscintilla.h>

namespace vorlane {

// The editor holds the names' own bytes: valid UTF-8 shows as text, other
// bytes as the editor's byte marks, and both come back unchanged through the
// file-name codec.

long SciNameLines::length() const {
    return m_e->SendScintilla(QsciScintilla::SCI_GETLENGTH);
}

bool SciNameLines::endsWithBreak() const {
    const long len = length();
    if (len == 0)
        return false;
    const int c = int(m_e->SendScintilla(QsciScintilla::SCI_GETCHARAT, len - 1));
    return c == '\n' || c == '\r';
}

QByteArray SciNameLines::bytes(long start, long end) const {
    if (end <= start)
        return {};
    // Room for the terminating zero the editor writes after the range.
    QByteArray out(end - start + 1, Qt::Uninitialized);
    m_e->SendScintilla(QsciScintilla::SCI_GETTEXTRANGE, start, end, out.data());
    out.chop(1);
    return out;
}

QStringList& SciNameLines::copy() {
    if (!m_copy)
        m_copy = readLines();
    return *m_copy;
}

int SciNameLines::count() const {
    if (m_copy)
        return int(m_copy->size());
    if (length() == 0)
        return 0;
    const int n = int(m_e->SendScintilla(QsciScintilla::SCI_GETLINECOUNT));
    return endsWithBreak() ? n - 1 : n;
}

QString SciNameLines::line(int i) const {
    if (m_copy)
        return m_copy->value(i);
    if (i < 0 || i >= count())
        return QString();
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(i));
    const long end = m_e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, long(i));
    return decodeName(bytes(start, end));
}

void SciNameLines::setLine(int i, const QString& text) {
    if (i < 0)
        return;
    if (m_updateDepth > 0) {
        QStringList& c = copy();
        while (c.size() <= i)
            c.append(QString());
        c[i] = text;
        return;
    }
    while (count() <= i)
        append(QString());
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, i);
    const long end = m_e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, i);
    QByteArray b = encodeName(text);
    // An empty last line needs its line break, or it would stop being a line.
    if (b.isEmpty() && i == count() - 1 && end == length())
        b = "\n";
    m_e->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, start, end);
    m_e->SendScintilla(QsciScintilla::SCI_REPLACETARGET, b.size(), b.constData());
}

void SciNameLines::append(const QString& text) {
    if (m_updateDepth > 0) {
        copy().append(text);
        return;
    }
    QByteArray b = encodeName(text);
    if (length() > 0 && !endsWithBreak())
        b.prepend('\n');
    if (text.isEmpty())
        b.append('\n');
    m_e->SendScintilla(QsciScintilla::SCI_APPENDTEXT, b.size(), b.constData());
}

void SciNameLines::appendEmpty(int n) {
    if (n <= 0)
        return;
    if (m_updateDepth > 0) {
        QStringList& c = copy();
        for (int i = 0; i < n; ++i)
            c.append(QString());
        return;
    }
    // Each empty line is its own line break; an unended last line needs one first.
    QByteArray b(n, '\n');
    if (length() > 0 && !endsWithBreak())
        b.prepend('\n');
    m_e->SendScintilla(QsciScintilla::SCI_APPENDTEXT, b.size(), b.constData());
}

int SciNameLines::countAfterDeleting(long pos, long length) const {
    const long len = this->length();
    const long end = qMin(pos + length, len);
    if (pos >= end)
        return count();
    if (end - pos == len)
        return 0;
    const long breaks = m_e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, end) -
                        m_e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, pos);
    const int lines = int(m_e->SendScintilla(QsciScintilla::SCI_GETLINECOUNT) - breaks);
    // The last byte left decides whether the last line is ended or still open.
    const long last = end == len ? pos - 1 : len - 1;
    const int c = int(m_e->SendScintilla(QsciScintilla::SCI_GETCHARAT, last));
    return c == '\n' || c == '\r' ? lines - 1 : lines;
}

QStringList SciNameLines::lines() const {
    return m_copy ? *m_copy : readLines();
}

QStringList SciNameLines::readLines() const {
    const QByteArray t = bytes(0, length());
    if (t.isEmpty())
        return {};
    QStringList out;
    out.reserve(m_e->lines());
    qsizetype start = 0;
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = t[i];
        if (c == '\n' || c == '\r') {
            out.append(decodeName(QByteArrayView(t).sliced(start, i - start)));
            if (c == '\r' && i + 1 < n && t[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        out.append(decodeName(QByteArrayView(t).sliced(start)));
    return out;
}

// The editor's bytes for the lines, made line by line: a million names never
// stand in memory once more as one text of UTF-16.
namespace {
QByteArray bytesOf(const QStringList& lines) {
    qsizetype size = 1;
    for (const QString& l : lines)
        size += l.size() + 1;
    QByteArray b;
    b.reserve(size);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            b += '\n';
        b += encodeName(lines[i]);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        b += '\n';
    return b;
}
} // namespace

void SciNameLines::setLines(const QStringList& lines) {
    if (m_updateDepth > 0)
        m_copy = lines;
    else
        writeText(bytesOf(lines));
}

void SciNameLines::writeText(const QByteArray& bytes) {
    const int top = m_e->firstVisibleLine();
    int line = 0, index = 0;
    m_e->getCursorPosition(&line, &index);
    m_e->beginUndoAction();
    m_e->SendScintilla(QsciScintilla::SCI_SETTEXT, bytes.constData());
    m_e->endUndoAction();
    m_e->setCursorPosition(qMin(line, qMax(0, m_e->lines() - 1)), index);
    m_e->setFirstVisibleLine(top);
}

void SciNameLines::beginUpdate() {
    ++m_updateDepth;
}

// The edits made since beginUpdate go in as one step of the undo history.
// The editor keeps painting its old text meanwhile: a long group operation
// lets the window repaint, and an editor that did not paint would show black.
void SciNameLines::endUpdate() {
    if (--m_updateDepth > 0)
        return;
    if (m_copy) {
        QStringList lines = std::move(*m_copy);
        m_copy.reset();
        if (lines == readLines())
            return;
        const QByteArray bytes = bytesOf(lines);
        // The names go before the editor makes its own copies of them.
        lines = QStringList();
        writeText(bytes);
    }
}

} // namespace vorlane
