// Sorting the selected ordinary lines among the places they occupy.
#include "filelist.h"

#include "core/platform/paths.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <cstring>

namespace vorlane {

namespace {

struct SortKey {
    QString dir;      // by name: the folder part up to its last tab
    QString name;     // by name: from the last tab on (at most 1,024 characters)
    QByteArray bytes; // without dir: the file name's bytes
    qint32 number = 0;
    int line = 0;
};

class Sorter {
public:
    Sorter(FileList::SortMode mode, QVector<SortKey>& keys) : m_mode(mode), m_keys(keys) {
        m_collator.setCaseSensitivity(Qt::CaseSensitive);
    }

    void sort(QVector<int>& order) {
        if (order.size() > 1)
            quickSort(order, 0, int(order.size()) - 1);
    }

private:
    int compare(const SortKey& a, const SortKey& b) const {
        switch (m_mode) {
        case FileList::ByName: {
            // Equal folders share one string (see SortSelection), which spares
            // the collation of the folder part for files of one folder.
            if (a.dir.constData() != b.dir.constData()) {
                const int c = m_collator.compare(a.dir, b.dir);
                if (c != 0)
                    return c;
            }
            return m_collator.compare(a.name, b.name);
        }
        case FileList::ByNameWithoutDir: {
            const qsizetype n = qMin(a.bytes.size(), b.bytes.size());
            const int c = n ? std::memcmp(a.bytes.constData(), b.bytes.constData(), size_t(n)) : 0;
            if (c != 0)
                return c;
            return a.bytes.size() < b.bytes.size() ? -1 : (a.bytes.size() > b.bytes.size() ? 1 : 0);
        }
        default:
            return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
        }
    }

    // The middle element is the pivot of each pass; the larger side is done by
    // the loop so the stack stays shallow (the two sides are disjoint, so the
    // result is the same as sorting them in either order).
    void quickSort(QVector<int>& o, int L, int R) {
        while (L < R) {
            const SortKey& pivot = m_keys[o[(L + R) / 2]];
            int i = L, j = R;
            do {
                while (compare(m_keys[o[i]], pivot) < 0)
                    ++i;
                while (compare(m_keys[o[j]], pivot) > 0)
                    --j;
                if (i <= j) {
                    std::swap(o[i], o[j]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j - L < R - i) {
                if (L < j)
                    quickSort(o, L, j);
                L = i;
            } else {
                if (i < R)
                    quickSort(o, i, R);
                R = j;
            }
        }
    }

    FileList::SortMode m_mode;
    QVector<SortKey>& m_keys;
    QCollator m_collator;
};

} // namespace

void FileList::SortSelection(SortMode mode) {
    // Keys of the slots, in list order.
    QVector<SortKey> keys;
    const QLocale locale;
    QHash<QString, QString> folders; // one shared string per folder part
    for (int i = 0; i < count(); ++i) {
        const ListLine& l = m_lines[i];
        if (!l.selected || l.isSeparator())
            continue;
        SortKey k;
        k.line = i;
        k.number = l.info.ItemNumber;
        if (mode == ByName || mode == ByNameWithoutDir) {
            QString key = m_options.Iccb ? locale.toUpper(l.text) : l.text;
            if (mode == ByName) {
                int split = 0; // 1-based position of the last delimiter
                for (qsizetype c = 0; c < key.size(); ++c) {
                    if (isPathDelimiter(key[c]) && (!kWindowsPaths || key[c] == u'\\')) {
                        key[c] = u'\t';
                        split = int(c) + 1;
                    }
                }
                const QString dir = key.left(split);
                auto it = folders.constFind(dir);
                k.dir = it != folders.constEnd() ? it.value() : *folders.insert(dir, dir);
                k.name = key.mid(qMax(split - 1, 0), 1024);
            } else {
                k.bytes = encodeName(fileNamePart(key));
            }
        }
        keys.append(std::move(k));
    }
    if (keys.size() < 2)
        return;

    QVector<int> order(keys.size());
    for (int k = 0; k < order.size(); ++k)
        order[k] = k;
    Sorter(mode, keys).sort(order);

    // sorted[k]: the line index recorded with the k-th sorted key; at[line]:
    // the sorted position of the key recorded with that line.
    QVector<int> sorted(order.size());
    QVector<int> at(count(), -1);
    for (int k = 0; k < order.size(); ++k) {
        sorted[k] = keys[order[k]].line;
        at[sorted[k]] = k;
    }

    beginUpdate();
    m_firstLineValid = false;
    QStringList ed = m_editor.lines();
    bool editorChanged = false;
    bool moved = false;
    int k = 0;
    for (int s = 0; s < count() && k < sorted.size(); ++s) {
        if (!m_lines[s].selected || m_lines[s].isSeparator())
            continue;
        const int d = sorted[k];
        if (d != s) {
            moved = true;
            const int f = at[s];
            std::swap(m_lines[d], m_lines[s]);
            m_lines[d].selected = false;
            m_lines[s].selected = false;
            if (m_caret == d)
                m_caret = s;
            else if (m_caret == s)
                m_caret = d;
            if (d < ed.size() && s < ed.size()) {
                ed.swapItemsAt(d, s);
                editorChanged = true;
            }
            sorted[f] = d;
            at[d] = f;
            m_lines[d].selected = true;
        }
        ++k;
    }
    if (editorChanged)
        m_editor.setLines(ed);
    if (moved)
        ++m_structure;
    notifyChanged();
    endUpdate();
    RenumberItems();
    setModified();
}

} // namespace vorlane
