#include "undolist.h"

#include "core/platform/fileio.h"
#include "core/platform/paths.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace vorlane {

namespace {

const QString kUndoSeparator = QStringLiteral("Undo files list");

// What one row is sorted by: a folder part and the rest (by "Before"), or one text.
struct SortKey {
    QString dir;
    QString name;
};

class KeyMaker {
public:
    explicit KeyMaker(int column) : m_column(column) {}

    SortKey operator()(const UndoRow& r) {
        SortKey k;
        switch (m_column) {
        case UndoList::ByBefore: {
            // Delimiters become tabs, which sort before every letter, so a
            // folder's own files come before those of its subfolders.
            QString key = m_locale.toUpper(r.before);
            int split = 0; // 1-based position of the last delimiter
            for (qsizetype c = 0; c < key.size(); ++c) {
                if (isPathDelimiter(key[c])) {
                    key[c] = u'\t';
                    split = int(c) + 1;
                }
            }
            // Files of one folder share one folder string, which spares its collation.
            const QString dir = key.left(split);
            auto it = m_folders.constFind(dir);
            k.dir = it != m_folders.constEnd() ? it.value() : *m_folders.insert(dir, dir);
            k.name = key.mid(qMax(split - 1, 0), 1024);
            break;
        }
        case UndoList::ByAfter:
            k.name = m_locale.toUpper(r.after);
            break;
        case UndoList::ByBeforeWithoutDir:
            k.name = m_locale.toUpper(fileNamePart(r.before));
            break;
        default:
            break;
        }
        return k;
    }

private:
    int m_column;
    QLocale m_locale;
    QHash<QString, QString> m_folders;
};

int compareKeys(const QCollator& collator, const SortKey& a, const SortKey& b) {
    if (a.dir.constData() != b.dir.constData()) {
        const int c = collator.compare(a.dir, b.dir);
        if (c != 0)
            return c;
    }
    return collator.compare(a.name, b.name);
}

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

QString UndoRow::currentPath() const {
    return folderPart(before) + after;
}

QString UndoRow::oldName() const {
    return fileNamePart(before);
}

QVector<UndoRow> UndoList::parse(const QByteArray& log) {
    QVector<UndoRow> rows;
    const char* data = log.constData();
    const qsizetype size = log.size();
    qsizetype pos = 0;
    auto nextLine = [&] {
        const qsizetype lf = log.indexOf('\n', pos);
        const qsizetype end = lf < 0 ? size : lf;
        qsizetype len = end - pos;
        if (len > 0 && data[pos + len - 1] == '\r')
            --len;
        const QString line = decodeName(QByteArray::fromRawData(data + pos, len));
        pos = lf < 0 ? size : lf + 1;
        return line;
    };
    // The end is looked for only before an entry's first line.
    while (pos < size) {
        UndoRow r;
        r.before = nextLine();
        if (pos < size)
            r.after = nextLine();
        r.order = int(rows.size()) + 1;
        rows.append(std::move(r));
    }
    return rows;
}

QByteArray UndoList::serialize(const QVector<UndoRow>& rows) {
    QByteArray out;
    for (const UndoRow& r : rows)
        out += encodeName(r.before) + "\r\n" + encodeName(r.after) + "\r\n";
    return out;
}

void UndoList::beginChange() {
    if (hooks.aboutToChange)
        hooks.aboutToChange();
}

void UndoList::endChange() {
    if (hooks.changed)
        hooks.changed();
}

bool UndoList::load() {
    QByteArray bytes;
    QString error;
    const bool read = readWholeFile(m_logPath, bytes, &error);
    setRows(parse(bytes));
    if (!read)
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't read the undo log\r") +
                                                       withVisibleControls(m_logPath) + u'\r' + error);
    return read;
}

void UndoList::setRows(QVector<UndoRow> rows) {
    beginChange();
    m_rows = std::move(rows);
    m_mode = ByRenameOrder;
    m_modified = false;
    endChange();
}

int UndoList::checkedCount() const {
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const UndoRow& r) { return r.checked; }));
}

QString UndoList::caption(int column) const {
    QString c = column == 0 ? QStringLiteral("Before  ") : QStringLiteral("After  ");
    if (std::abs(m_mode) == column + 1)
        c += m_mode > 0 ? QStringLiteral("(+)") : QStringLiteral("(-)");
    return c;
}

int UndoList::columnClickMode(int column) const {
    const int c = column + 1;
    return std::abs(m_mode) == c ? -m_mode : c;
}

void UndoList::SetSortMode(int mode) {
    if (mode == m_mode)
        return;
    beginChange();
    m_mode = mode;
    sortRows();
    endChange();
}

int UndoList::lv1Compare(const UndoRow& a, const UndoRow& b) const {
    const int column = std::abs(m_mode);
    if (column == ByRenameOrder)
        return sign(a.order - b.order);
    KeyMaker keys(column);
    QCollator collator;
    return sign(m_mode) * compareKeys(collator, keys(a), keys(b));
}

void UndoList::sortRows() {
    QVector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    const int column = std::abs(m_mode);
    if (column == ByRenameOrder) {
        std::sort(order.begin(), order.end(),
                  [this](int a, int b) { return m_rows[a].order < m_rows[b].order; });
    } else {
        // Keys once per row, one collator per sort.
        KeyMaker make(column);
        QVector<SortKey> keys;
        keys.reserve(m_rows.size());
        for (const UndoRow& r : m_rows)
            keys.append(make(r));
        const QCollator collator;
        const int direction = sign(m_mode);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return direction * compareKeys(collator, keys[a], keys[b]) < 0;
        });
    }
    QVector<UndoRow> sorted;
    sorted.reserve(m_rows.size());
    for (int i : order)
        sorted.append(std::move(m_rows[i]));
    m_rows = std::move(sorted);
}

void UndoList::setChecked(const QVector<int>& rows, bool on) {
    for (int r : rows)
        m_rows[r].checked = on;
}

bool UndoList::Deletefromlist1Click() {
    const int n = checkedCount();
    if (n == 0) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("No items checked"));
        return false;
    }
    const auto answer =
        m_prompts.ask(QStringLiteral("Confirmation"),
                      QStringLiteral("Do you really want to DELETE from list\rchecked file(s) ( %1 )").arg(n),
                      Prompts::Icon::Information, Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return false;
    beginChange();
    m_rows.removeIf([](const UndoRow& r) { return r.checked; });
    m_modified = true;
    endChange();
    return true;
}

int UndoList::Undorename1Click(FileList& list, GroupOperation& group) {
    const int n = checkedCount();
    if (n == 0) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("No items checked"));
        return 0;
    }
    const auto answer =
        m_prompts.ask(QStringLiteral("Confirmation"),
                      QStringLiteral("Do you really want to ADD to main list\rchecked file(s) ( %1 )").arg(n),
                      Prompts::Icon::Information, Prompts::Buttons::YesNoCancel);
    if (answer != Prompts::Answer::Yes)
        return 0;
    list.setPendingSeparator(kUndoSeparator);
    group.PrepareGroup(QStringLiteral("Adding Undo Items"), n);
    QStringList refused;
    int added = 0;
    list.beginUpdate();
    for (int i = 0; i < count(); ++i) {
        const UndoRow& r = m_rows[i];
        if (!r.checked)
            continue;
        const QString path = r.currentPath();
        const QString oldName = r.oldName();
        // Lines of the file list and the editor never hold line breaks or NULs.
        if (hasLineBreakOrNul(path) || hasLineBreakOrNul(oldName)) {
            refused << path;
            continue;
        }
        if (list.AddItem(i, 0, true, path)) {
            list.editor().setLine(list.count() - 1, oldName);
            ++added;
        }
    }
    list.endUpdate();
    // Nothing added: the separator is not owed to the next command.
    if (list.pendingSeparator() == kUndoSeparator)
        list.setPendingSeparator(QString());
    group.EndGroup(QStringLiteral("were added"));
    for (const QString& path : refused)
        m_prompts.error(QStringLiteral("Error"),
                        QStringLiteral("Can't add file\r") + withVisibleControls(path) +
                            QStringLiteral("\rThe entry holds a line break or a NUL character"));
    return added;
}

bool UndoList::FormClose() {
    if (!m_modified)
        return true;
    const auto answer = m_prompts.ask(QStringLiteral("Confirmation"),
                                      QStringLiteral("You modified UNDO contents\rDo you want to save it?"),
                                      Prompts::Icon::Information, Prompts::Buttons::YesNoCancel);
    if (answer == Prompts::Answer::No)
        return true;
    if (answer != Prompts::Answer::Yes)
        return false;
    // The log keeps the order of the renames.
    SetSortMode(ByRenameOrder);
    QString error;
    if (!replaceFileAtomically(m_logPath, serialize(m_rows), &error)) {
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't write the undo log\r") +
                                                       withVisibleControls(m_logPath) + u'\r' + error);
        return false;
    }
    m_modified = false;
    return true;
}

TakeBackResult takeBackLast(const QString& logPath, int n, FileSystem& fs) {
    TakeBackResult result;
    QByteArray bytes;
    QString error;
    if (!readWholeFile(logPath, bytes, &error)) {
        result.error = QStringLiteral("can't read the undo log ") + logPath + QStringLiteral(": ") + error;
        return result;
    }
    QVector<UndoRow> rows = UndoList::parse(bytes);
    result.available = int(rows.size());
    QVector<char> back(rows.size(), 0);
    for (int i = int(rows.size()) - 1; i >= 0 && i >= rows.size() - n; --i) {
        const UndoRow& r = rows[i];
        const QString current = r.currentPath();
        QString cause;
        if (hasLineBreakOrNul(r.before) || hasLineBreakOrNul(r.after)) {
            cause = QStringLiteral("The entry holds a line break or a NUL character");
        } else if (r.after.isEmpty()) {
            cause = QStringLiteral("The entry has no new name");
        } else if (fs.stat(current).isDir) {
            cause = QStringLiteral("It is a folder");
        } else {
            const FileSystem::Status s = fs.renameNoReplace(current, r.before);
            if (s.ok()) {
                back[i] = 1;
                ++result.done;
                continue;
            }
            cause = s.text();
        }
        result.failures << QStringLiteral("Can't rename file ") + current + QStringLiteral(" back to ") +
                               r.oldName() + QStringLiteral(": ") + cause;
    }
    if (result.done == 0)
        return result;
    QVector<UndoRow> kept;
    kept.reserve(rows.size() - result.done);
    for (int i = 0; i < rows.size(); ++i)
        if (!back[i])
            kept.append(std::move(rows[i]));
    if (!replaceFileAtomically(logPath, UndoList::serialize(kept), &error))
        result.error = QStringLiteral("can't rewrite the undo log ") + logPath + QStringLiteral(": ") +
                       error + QStringLiteral(" (the files went back; their entries stay in the log)");
    return result;
}

} // namespace vorlane
