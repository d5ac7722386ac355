#include "inidocument.h"

#include "core/platform/paths.h"

namespace vorlane {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray& b) {
    qsizetype from = 0;
    qsizetype to = b.size();
    while (from < to && isBlank(b[from]))
        ++from;
    while (to > from && isBlank(b[to - 1]))
        --to;
    return b.mid(from, to - from);
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

// A value as it must be written to read back the same: without control
// characters (a line break would end the line, others make the file look
// binary), and quoted when reading would strip its blanks or its quotes.
QByteArray encodeValue(const QString& value) {
    QString v = value;
    for (QChar& c : v)
        if (c.unicode() < 0x20 && c != u'\t')
            c = u' ';
    const bool blankEdge =
        !v.isEmpty() && (v.front() == u' ' || v.front() == u'\t' || v.back() == u' ' || v.back() == u'\t');
    const bool quoted = v.size() >= 2 && isQuote(v.front()) && v.front() == v.back();
    if (blankEdge || quoted)
        v = u'"' + v + u'"';
    return encodeName(v);
}

bool validName(const QString& name, char forbidden) {
    if (name.isEmpty() || name.front().isSpace() || name.back().isSpace())
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c == QLatin1Char(forbidden))
            return false;
    return name.front() != u'[' && name.front() != u';';
}

} // namespace

QString IniDocument::problemWith(const QByteArray& bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\r' && c != '\n')
            return QStringLiteral("Not a text file");
    }
    // A last line without its end is read as it stands: text editors save
    // files so, and our own saves replace the file whole.
    return QString();
}

IniDocument::IniDocument(const QByteArray& bytes) {
    // A UTF-8 byte-order mark (some editors put one in front) is no part of
    // the first line, which may be a section header; it is written back.
    qsizetype start = 0;
    if (bytes.startsWith(kBom)) {
        m_bom = true;
        start = 3;
    }
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype i = start;
        while (i < n && bytes[i] != '\r' && bytes[i] != '\n')
            ++i;
        qsizetype endLen = 0;
        if (i < n)
            endLen = (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        m_lines.append(parseLine(bytes.mid(start, i - start), bytes.mid(i, endLen)));
        start = i + endLen;
    }
}

IniDocument::Line IniDocument::parseLine(QByteArray text, QByteArray end) {
    Line l;
    l.text = std::move(text);
    l.end = std::move(end);
    const QByteArray t = trimBlanks(l.text);
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            l.kind = Line::Section;
            l.name = decodeName(trimBlanks(t.mid(1, close - 1)));
        }
    } else if (!t.startsWith(';')) {
        const qsizetype eq = t.indexOf('=');
        if (eq > 0) {
            l.name = decodeName(trimBlanks(t.left(eq)));
            l.kind = l.name.isEmpty() ? Line::Other : Line::Key;
        }
    }
    l.folded = l.name.toCaseFolded();
    return l;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out = m_bom ? QByteArray(kBom) : QByteArray();
    for (const Line& l : m_lines)
        out += l.text + l.end;
    return out;
}

bool IniDocument::findSection(const QString& folded, int& header, int& end) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Line::Section || m_lines[i].folded != folded)
            continue;
        header = i;
        end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Line::Section)
            ++end;
        return true;
    }
    return false;
}

int IniDocument::findKey(int header, int end, const QString& folded) const {
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Key && m_lines[i].folded == folded)
            return i;
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    int header, end;
    if (!findSection(section.toCaseFolded(), header, end))
        return std::nullopt;
    const int k = findKey(header, end, key.toCaseFolded());
    if (k < 0)
        return std::nullopt;
    const QByteArray& text = m_lines[k].text;
    QByteArray v = trimBlanks(text.mid(text.indexOf('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.front() == v.back())
        v = v.mid(1, v.size() - 2);
    return decodeName(v);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (!validName(section, ']') || !validName(key, '='))
        return;
    static const QByteArray crlf = QByteArrayLiteral("\r\n");
    const QByteArray encoded = encodeValue(value);
    int header, end;
    if (!findSection(section.toCaseFolded(), header, end)) {
        if (!m_lines.isEmpty() && m_lines.last().end.isEmpty())
            m_lines.last().end = crlf;
        m_lines.append(parseLine('[' + encodeName(section) + ']', crlf));
        m_lines.append(parseLine(encodeName(key) + '=' + encoded, crlf));
        return;
    }
    const int k = findKey(header, end, key.toCaseFolded());
    if (k >= 0) {
        Line& l = m_lines[k];
        l = parseLine(encodeName(l.name) + '=' + encoded, l.end);
        return;
    }
    int after = header;
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Key)
            after = i;
    if (m_lines[after].end.isEmpty())
        m_lines[after].end = crlf;
    m_lines.insert(after + 1, parseLine(encodeName(key) + '=' + encoded, crlf));
}

QStringList IniDocument::keys(const QString& section) const {
    QStringList out;
    int header, end;
    if (!findSection(section.toCaseFolded(), header, end))
        return out;
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Line::Key)
            out << m_lines[i].name;
    return out;
}

void IniDocument::eraseSection(const QString& section) {
    const QString folded = section.toCaseFolded();
    bool inside = false;
    QVector<Line> kept;
    kept.reserve(m_lines.size());
    for (Line& l : m_lines) {
        if (l.kind == Line::Section)
            inside = l.folded == folded;
        if (inside && l.kind != Line::Other)
            continue;
        kept.append(std::move(l));
    }
    m_lines = std::move(kept);
}

} // namespace vorlane
