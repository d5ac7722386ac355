#include "namelines.h"

namespace vorlane {

void NameLines::insert(int i, const QString& text) {
    QStringList l = lines();
    l.insert(qBound(0, i, int(l.size())), text);
    setLines(l);
}

void NameLines::remove(int i) {
    QStringList l = lines();
    if (i < 0 || i >= l.size())
        return;
    l.removeAt(i);
    setLines(l);
}

void NameLines::move(int from, int to) {
    QStringList l = lines();
    if (from < 0 || from >= l.size() || to < 0 || to >= l.size() || from == to)
        return;
    l.move(from, to);
    setLines(l);
}

void NameLines::exchange(int a, int b) {
    QStringList l = lines();
    if (a < 0 || a >= l.size() || b < 0 || b >= l.size() || a == b)
        return;
    l.swapItemsAt(a, b);
    setLines(l);
}

void ListNameLines::setLine(int i, const QString& text) {
    if (i < 0)
        return;
    while (m_lines.size() <= i)
        m_lines.append(QString());
    m_lines[i] = text;
}

} // namespace vorlane
