#include "scinamelines.h"

#include <Qsci/qsciscintilla.h>

namespace vorlane {

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
    QString t = m_e->text(i);
    while (t.endsWith(u'\n') || t.endsWith(u'\r'))
        t.chop(1);
    return t;
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
    QByteArray bytes = text.toUtf8();
    // An empty last line needs its line break, or it would stop being a line.
    if (bytes.isEmpty() && i == count() - 1 && end == length())
        bytes = "\n";
    m_e->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, start, end);
    m_e->SendScintilla(QsciScintilla::SCI_REPLACETARGET, bytes.size(), bytes.constData());
}

void SciNameLines::append(const QString& text) {
    if (m_updateDepth > 0) {
        copy().append(text);
        return;
    }
    QByteArray bytes = text.toUtf8();
    if (length() > 0 && !endsWithBreak())
        bytes.prepend('\n');
    if (text.isEmpty())
        bytes.append('\n');
    m_e->SendScintilla(QsciScintilla::SCI_APPENDTEXT, bytes.size(), bytes.constData());
}

QStringList SciNameLines::lines() const {
    return m_copy ? *m_copy : readLines();
}

QStringList SciNameLines::readLines() const {
    const QString t = m_e->text();
    if (t.isEmpty())
        return {};
    QStringList out;
    out.reserve(m_e->lines());
    qsizetype start = 0;
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = t[i];
        if (c == u'\n' || c == u'\r') {
            out.append(t.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && t[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        out.append(t.mid(start));
    return out;
}

QString SciNameLines::textOf(const QStringList& lines) {
    QString t = lines.join(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        t.append(u'\n');
    return t;
}

void SciNameLines::setLines(const QStringList& lines) {
    if (m_updateDepth > 0)
        m_copy = lines;
    else
        writeLines(lines);
}

void SciNameLines::writeLines(const QStringList& lines) {
    const int top = m_e->firstVisibleLine();
    int line = 0, index = 0;
    m_e->getCursorPosition(&line, &index);
    const QByteArray bytes = textOf(lines).toUtf8();
    m_e->beginUndoAction();
    m_e->SendScintilla(QsciScintilla::SCI_SETTEXT, bytes.constData());
    m_e->endUndoAction();
    m_e->setCursorPosition(qMin(line, qMax(0, m_e->lines() - 1)), index);
    m_e->setFirstVisibleLine(top);
}

void SciNameLines::beginUpdate() {
    if (m_updateDepth++ == 0)
        m_e->setUpdatesEnabled(false);
}

// The edits made since beginUpdate go in as one step of the undo history.
void SciNameLines::endUpdate() {
    if (--m_updateDepth > 0)
        return;
    if (m_copy) {
        const QStringList lines = std::move(*m_copy);
        m_copy.reset();
        if (lines != readLines())
            writeLines(lines);
    }
    m_e->setUpdatesEnabled(true);
    m_e->viewport()->update();
}

} // namespace vorlane
