#include "tools.h"

#include "core/platform/paths.h"

#include <QCollator>
#include <QRegularExpression>

#include <algorithm>

namespace vorlane {

namespace {
QStringList padded(const QStringList& lines, const std::vector<qsizetype>& widths) {
    const qsizetype m = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
    QStringList out;
    out.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // One allocation a line: the blanks, then the line behind them.
        const qsizetype pad = m - widths[size_t(i)];
        QString line(pad + lines[i].size(), Qt::Uninitialized);
        std::fill_n(line.data(), pad, u' ');
        std::copy_n(lines[i].constData(), lines[i].size(), line.data() + pad);
        out << std::move(line);
    }
    return out;
}
} // namespace

QStringList rightAlign(const QStringList& lines) {
    std::vector<qsizetype> widths;
    widths.reserve(size_t(lines.size()));
    for (const QString& l : lines)
        widths.push_back(l.size());
    return padded(lines, widths);
}

QStringList leftAlign(const QStringList& lines) {
    QStringList out;
    out.reserve(lines.size());
    for (const QString& l : lines) {
        qsizetype i = 0;
        while (i < l.size() && l[i] == u' ')
            ++i;
        out << l.mid(i);
    }
    return out;
}

QStringList alignByDot(const QStringList& lines) {
    std::vector<qsizetype> widths;
    widths.reserve(size_t(lines.size()));
    for (const QString& l : lines) {
        const qsizetype dot = l.lastIndexOf(u'.');
        // An extension is a last dot with no folder delimiter after it.
        const bool ext = dot >= 0 && lastDelimiter(l) < dot;
        widths.push_back(ext ? dot : l.size());
    }
    return padded(lines, widths);
}

QString sortSelectedText(const QString& text, bool descending) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // a final line break ends the last line
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(lines.begin(), lines.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    if (descending)
        std::reverse(lines.begin(), lines.end());
    QString out;
    for (const QString& l : lines)
        out += l + QStringLiteral("\r\n");
    return out;
}

QString withCrLf(QStringView text) {
    const qsizetype lfs = text.count(u'\n');
    QString out(text.size() + lfs, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            *o++ = u'\r';
        *o++ = text[i];
    }
    out.truncate(o - out.constData());
    return out;
}

qsizetype nameStemLength(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? dot : name.size();
}

} // namespace vorlane
