#include "undolist.h"

#include "core/platform/atomicfile.h"
#include "core/platform/fileio.h"
#include "core/platform/keyranks.h"
#include "core/platform/paths.h"
#include "core/platform/sys.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>

namespace vorlane {

namespace {

const QString kUndoSeparator = QStringLiteral("Undo files list");

// Upper case by the user's locale. Where the locale maps the ASCII letters
// the plain way, ASCII text is done here, without a new string each time.
class UpperCase {
public:
    UpperCase() {
        const QString lower = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        m_plainAscii = m_locale.toUpper(lower) == lower.toLatin1().toUpper();
    }

    void append(QString& to, QStringView text) const {
        if (m_plainAscii && QtPrivate::isAscii(text)) {
            const qsizetype at = to.size();
            to.resize(at + text.size());
            QChar* out = to.data() + at;
            for (const QChar c : text)
                *out++ = c >= u'a' && c <= u'z' ? QChar(c.unicode() - 32) : c;
        } else {
            to += m_locale.toUpper(text.toString());
        }
    }

    // Upper-cases ASCII text where it lies; false, changing nothing, for
    // other text or where the locale maps ASCII letters its own way.
    bool asciiInPlace(QString& text) const {
        if (!m_plainAscii || !QtPrivate::isAscii(QStringView(text)))
            return false;
        for (QChar& c : text)
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - 32);
        return true;
    }

private:
    QLocale m_locale;
    bool m_plainAscii = false;
};

// The folders of the rows, numbered in the order found. Each folder's text is
// copied into one string, its hash kept beside its number: a row compares its
// folder with that copy, among the other folders, and only where the hashes
// agree, rather than with another row's path far off in memory.
class FolderIndex {
public:
    // The number of `folder`, new ones numbered on.
    int number(QStringView folder) {
        const quint32 hash = hashOf(folder);
        if ((m_ends.size() + 1) * 2 > m_slots.size())
            grow();
        const size_t mask = m_slots.size() - 1;
        size_t i = hash & mask;
        for (; m_slots[i].folder != 0; i = (i + 1) & mask)
            if (m_slots[i].hash == hash && text(m_slots[i].folder - 1) == folder)
                return m_slots[i].folder - 1;
        m_texts += folder;
        m_ends.push_back(m_texts.size());
        m_slots[i] = {hash, int(m_ends.size())};
        return int(m_ends.size()) - 1;
    }
    int count() const { return int(m_ends.size()); }
    // The folders' texts one after the other, and where each ends.
    QString takeTexts() { return std::move(m_texts); }
    std::vector<qsizetype> takeEnds() { return std::move(m_ends); }

private:
    struct Slot {
        quint32 hash = 0;
        int folder = 0; // 1 + its number; 0: free
    };
    QStringView text(int f) const {
        const qsizetype start = f > 0 ? m_ends[size_t(f) - 1] : 0;
        return QStringView(m_texts).sliced(start, m_ends[size_t(f)] - start);
    }
    static quint32 hashOf(QStringView s) {
        const quint64 h = qHash(s, QHashSeed::globalSeed());
        return quint32(h ^ (h >> 32));
    }
    void grow() {
        std::vector<Slot> table(std::max<size_t>(16, m_slots.size() * 2));
        const size_t mask = table.size() - 1;
        for (const Slot& s : m_slots) {
            if (s.folder == 0)
                continue;
            size_t i = s.hash & mask;
            while (table[i].folder != 0)
                i = (i + 1) & mask;
            table[i] = s;
        }
        m_slots = std::move(table);
    }

    std::vector<Slot> m_slots; // a power of two long, at most half of them taken
    QString m_texts;
    std::vector<qsizetype> m_ends;
};

// Whether the collator orders by UTF-16 code units, as it does in the C locale.
bool byCodeUnits(const QCollator& c) {
    return c.locale().language() == QLocale::C && c.caseSensitivity() == Qt::CaseSensitive &&
           !c.numericMode() && !c.ignorePunctuation();
}

// What rows are sorted by under one column: the upper-cased texts, and for
// "Before" each folder's rank apart from the file name. Folders are
// upper-cased and collated once each, and the names lie one after the other
// in one compact string: the sort then touches little memory per row, which
// keeps 100,000 rows about twice as costly as 50,000.
class SortKeys {
public:
    SortKeys(const QVector<UndoRow>& rows, int column) {
        const UpperCase upper;
        QVector<qsizetype> ends;
        ends.reserve(rows.size());
        FolderIndex folders;
        if (column == UndoList::ByBefore)
            m_dirs.reserve(rows.size());
        for (const UndoRow& r : rows) {
            if (column == UndoList::ByAfter) {
                upper.append(m_text, r.after);
            } else {
                const qsizetype cut = lastDelimiter(r.before) + 1;
                if (column == UndoList::ByBefore)
                    m_dirs.append(folders.number(QStringView(r.before).left(cut)));
                upper.append(m_text, QStringView(r.before).sliced(cut).left(1024));
            }
            ends.append(m_text.size());
        }
        // The text is complete: views into it stay valid from here on.
        const QStringView all(m_text);
        m_names.reserve(rows.size());
        for (qsizetype r = 0, start = 0; r < ends.size(); start = ends[r++])
            m_names.append(all.sliced(start, ends[r] - start));
        m_prefixed = byCodeUnits(m_collator);
        if (folders.count() == 0)
            return;
        // ASCII folders become their keys where they lie; others are written
        // anew, as upper case may change their length.
        m_keys = folders.takeTexts();
        std::vector<qsizetype> keyEnds = folders.takeEnds();
        if (!upper.asciiInPlace(m_keys)) {
            const QString texts = std::move(m_keys);
            m_keys = QString();
            qsizetype start = 0;
            for (qsizetype& end : keyEnds) {
                upper.append(m_keys, QStringView(texts).sliced(start, end - start));
                start = end;
                end = m_keys.size();
            }
        }
        // Folder separators ('\\' on Windows, where ':' is not one here, as in
        // the file list's sort) become tabs, which sort before every letter,
        // so a folder's own files come before those of its subfolders.
        for (QChar& c : m_keys)
            if (isPathDelimiter(c) && (!kWindowsPaths || c == u'\\'))
                c = u'\t';
        QVector<QStringView> keys;
        keys.reserve(qsizetype(keyEnds.size()));
        for (size_t f = 0, start = 0; f < keyEnds.size(); start = size_t(keyEnds[f++]))
            keys.append(QStringView(m_keys).sliced(qsizetype(start), keyEnds[f] - qsizetype(start)));
        QVector<int> rank;
        if (byCodeUnits(m_collator)) {
            rank = codeUnitRanks(keys);
        } else {
            QVector<int> byFolder(keys.size());
            std::iota(byFolder.begin(), byFolder.end(), 0);
            std::sort(byFolder.begin(), byFolder.end(),
                      [&](int a, int b) { return m_collator.compare(keys[a], keys[b]) < 0; });
            rank.resize(keys.size());
            for (int i = 0; i < byFolder.size(); ++i)
                rank[byFolder[i]] = i > 0 && m_collator.compare(keys[byFolder[i - 1]], keys[byFolder[i]]) == 0
                                        ? rank[byFolder[i - 1]]
                                        : i;
        }
        for (int& d : m_dirs)
            d = rank[d];
    }

    int compare(int a, int b) const {
        if (!m_dirs.isEmpty() && m_dirs[a] != m_dirs[b])
            return m_dirs[a] < m_dirs[b] ? -1 : 1;
        return compareNames(a, b);
    }
    int compareNames(int a, int b) const { return m_collator.compare(m_names[a], m_names[b]); }
    // Where the collator orders by code units, the first units of each
    // name: names whose prefixes differ compare as their prefixes do. 0 for
    // every row elsewhere.
    quint64 namePrefix(int row) const { return m_prefixed ? codeUnitPrefix(m_names[row]) : 0; }
    // By "Before": each row's folder rank, from 0 to below the number of rows.
    const QVector<int>& folderRanks() const { return m_dirs; }

private:
    QCollator m_collator;
    QString m_text;
    QString m_keys;      // the folders' keys, one after the other
    QVector<int> m_dirs; // by "Before": the folder's rank
    QVector<QStringView> m_names;
    bool m_prefixed = false;
};

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

LogStamp LogStamp::of(const QByteArray& log) {
    return {log.size(), qHash(log), log.isEmpty() || log.endsWith('\n')};
}

bool rewriteLog(const QString& path, QByteArray log, const LogStamp& read, QString* error) {
    QByteArray now;
    if (readWholeFile(path, now) && now.size() > read.size &&
        qHash(QByteArrayView(now).first(read.size)) == read.hash) {
        QByteArrayView appended = QByteArrayView(now).sliced(read.size);
        // A last line that was cut off was ended by the next run before it appended.
        if (!read.endsLine && appended.startsWith('\r'))
            appended = appended.sliced(1);
        if (!read.endsLine && appended.startsWith('\n'))
            appended = appended.sliced(1);
        log += appended;
    }
    return replaceFileAtomically(path, log, error);
}

bool dropLogEntry(const QString& path, const QString& before, const QString& after, QString* error) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes, error))
        return false;
    const QVector<UndoRow> rows = UndoList::parse(bytes);
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const UndoRow& r = rows[i];
        if (r.refused.isEmpty() && r.before == before && r.after == after) {
            bytes.remove(r.start, r.end - r.start);
            return replaceFileAtomically(path, bytes, error);
        }
    }
    return true;
}

QString UndoRow::currentPath() const {
    return folderPart(before) + after;
}

QString UndoRow::oldName() const {
    return fileNamePart(before);
}

QVector<UndoRow> UndoList::parse(QByteArrayView log) {
    const char* data = log.data();
    const qsizetype size = log.size();
    // The next line that is not empty, from `pos` on; CR, LF and CR LF each end one.
    struct Line {
        qsizetype start = 0, length = 0, next = 0;
        bool valid = false;
    };
    auto lineAt = [&](qsizetype pos) {
        Line l;
        while (pos < size) {
            const char* lf = static_cast<const char*>(std::memchr(data + pos, '\n', size_t(size - pos)));
            qsizetype end = lf ? lf - data : size;
            qsizetype next = lf ? end + 1 : size;
            // A CR before the LF belongs to it; one further on ends a line of its own.
            if (const void* cr = std::memchr(data + pos, '\r', size_t(end - pos))) {
                const qsizetype at = static_cast<const char*>(cr) - data;
                if (at + 1 < end || !lf) {
                    end = at;
                    next = at + 1 < size && data[at + 1] == '\n' ? at + 2 : at + 1;
                } else {
                    end = at;
                }
            }
            if (end > pos) {
                l = {pos, end - pos, next, true};
                return l;
            }
            pos = next;
        }
        return l;
    };
    auto text = [&](const Line& l) { return decodeName(log.sliced(l.start, l.length)); };
    auto fullPath = [&](const Line& l) { return l.valid && data[l.start] == '/'; };
    auto holdsNul = [&](const Line& l) {
        return std::memchr(data + l.start, 0, size_t(l.length)) != nullptr;
    };
    QVector<UndoRow> rows;
    rows.reserve(log.count('\n') / 2 + 1);
    for (Line first = lineAt(0); first.valid;) {
        UndoRow r;
        r.before = text(first);
        r.start = first.start;
        r.end = first.next;
        r.order = int(rows.size()) + 1;
        const Line second = lineAt(first.next);
        if (!fullPath(first)) {
            r.refused = QStringLiteral("The old path is not a full path");
            first = second;
        } else if (!second.valid || fullPath(second)) {
            r.refused = QStringLiteral("The entry has no new name");
            first = second;
        } else {
            r.after = text(second);
            r.end = second.next;
            if (holdsNul(first) || holdsNul(second))
                r.refused = QStringLiteral("The entry holds a line break or a NUL character");
            first = lineAt(second.next);
        }
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
    m_read = LogStamp::of(bytes);
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

void UndoList::sortRows() {
    QVector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    const int column = std::abs(m_mode);
    if (column == ByRenameOrder) {
        std::sort(order.begin(), order.end(),
                  [this](int a, int b) { return m_rows[a].order < m_rows[b].order; });
    } else if (column == ByBefore) {
        // The rows go to their folder's place in one counting pass, in the
        // order they had, and only the rows of one folder are compared by
        // name: the same order as a stable sort by folder and name.
        const SortKeys keys(m_rows, column);
        const int direction = sign(m_mode);
        const int* ranks = keys.folderRanks().constData();
        const int n = int(m_rows.size());
        std::vector<int> start(size_t(n) + 1, 0);
        const auto bucket = [&](int row) { return size_t(direction > 0 ? ranks[row] : n - 1 - ranks[row]); };
        for (int row = 0; row < n; ++row)
            ++start[bucket(row) + 1];
        for (size_t b = 0; b < size_t(n); ++b)
            start[b + 1] += start[b];
        std::vector<int> next(start.begin(), start.end() - 1);
        int* const sorted = order.data();
        for (int row = 0; row < n; ++row)
            sorted[next[bucket(row)]++] = row;
        // The rows of one folder side by side with their names' prefixes,
        // which mostly settle the order without reading the names again.
        struct Item {
            quint64 prefix;
            int row;
        };
        const auto before = [&](const Item& x, const Item& y) {
            const int c =
                x.prefix != y.prefix ? (x.prefix < y.prefix ? -1 : 1) : keys.compareNames(x.row, y.row);
            return direction * c < 0;
        };
        std::vector<Item> items;
        for (size_t b = 0; b < size_t(n); ++b) {
            if (start[b + 1] - start[b] < 2)
                continue;
            items.clear();
            for (int i = start[b]; i < start[b + 1]; ++i)
                items.push_back({keys.namePrefix(sorted[i]), sorted[i]});
            if (items.size() > 16) {
                std::stable_sort(items.begin(), items.end(), before);
            } else {
                // A folder of a few files: insertion, stable as well, without
                // the buffer a merge sort takes.
                for (auto i = items.begin() + 1; i != items.end(); ++i) {
                    const Item item = *i;
                    auto j = i;
                    for (; j != items.begin() && before(item, j[-1]); --j)
                        *j = j[-1];
                    *j = item;
                }
            }
            for (size_t i = 0; i < items.size(); ++i)
                sorted[size_t(start[b]) + i] = items[i].row;
        }
    } else {
        const SortKeys keys(m_rows, column);
        const int direction = sign(m_mode);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return direction * keys.compare(a, b) < 0; });
    }
    // Row order[i] goes to place i, cycle by cycle, without a second list of rows.
    QVector<char> placed(order.size(), 0);
    for (int i = 0; i < order.size(); ++i) {
        if (placed[i] || order[i] == i)
            continue;
        UndoRow first = std::move(m_rows[i]);
        int j = i;
        for (;;) {
            placed[j] = 1;
            const int from = order[j];
            // The rows a few steps down the chain are known already: fetching
            // them now hides the wait for rows scattered over a large list.
            if (from != i) {
                const int next = order[from];
                __builtin_prefetch(m_rows.constData() + next);
                __builtin_prefetch(m_rows.constData() + order[next]);
            }
            if (from == i) {
                m_rows[j] = std::move(first);
                break;
            }
            m_rows[j] = std::move(m_rows[from]);
            j = from;
        }
    }
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
    FileSystem& fs = list.fileSystem();
    QVector<int> alreadyBack;
    for (int i = 0; i < count(); ++i) {
        const UndoRow& r = m_rows[i];
        if (!r.checked)
            continue;
        const QString path = r.currentPath();
        if (!r.refused.isEmpty()) {
            refused << withVisibleControls(r.after.isEmpty() ? r.before : path) + u'\r' + r.refused;
            continue;
        }
        // Gone from its new place and back at its old one: taken back before.
        if (!fs.stat(path).exists && fs.stat(r.before).exists) {
            alreadyBack << i;
            continue;
        }
        if (list.AddItem(i, 0, true, path)) {
            list.editor().setLine(list.count() - 1, r.oldName());
            list.takeBacks.insert(path, {r.before, r.after, r.start, r.end});
            ++added;
        }
    }
    list.endUpdate();
    // Nothing added: the separator is not owed to the next command.
    if (list.pendingSeparator() == kUndoSeparator)
        list.setPendingSeparator(QString());
    group.EndGroup(QStringLiteral("were added"));
    for (const QString& what : refused)
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("Can't add file\r") + what);
    if (!alreadyBack.isEmpty()) {
        // Their entries leave the list; closing the window offers to save that.
        beginChange();
        for (qsizetype k = alreadyBack.size() - 1; k >= 0; --k)
            m_rows.removeAt(alreadyBack[k]);
        m_modified = true;
        endChange();
        m_prompts.ask(QStringLiteral("Information"),
                      QStringLiteral("%1 checked file(s) are back under their old names already\r"
                                     "Their entries were taken off the list")
                          .arg(alreadyBack.size()),
                      Prompts::Icon::Information, Prompts::Buttons::Ok);
    }
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
    if (!rewriteLog(m_logPath, serialize(m_rows), m_read, &error)) {
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't write the undo log\r") +
                                                       withVisibleControls(m_logPath) + u'\r' + error);
        return false;
    }
    m_modified = false;
    return true;
}

TakeBackResult takeBackLast(const QString& logPath, int n, FileSystem& fs) {
    TakeBackResult result;
    const OpenedFile f = openRegularFile(logPath, O_RDWR);
    QByteArray bytes;
    QString error;
    if (!f.ok() || !readAll(f.fd.get(), bytes, &error)) {
        result.error = QStringLiteral("can't read the undo log ") + logPath + QStringLiteral(": ") +
                       (f.ok() ? error : f.error);
        return result;
    }
    const QVector<UndoRow> rows = UndoList::parse(bytes);
    result.available = int(rows.size());
    qsizetype logEnd = bytes.size();
    const int first = std::max(0, int(rows.size()) - n);
    const RenameBatch batch;
    for (int i = int(rows.size()) - 1; i >= first; --i) {
        const UndoRow& r = rows[i];
        const QString current = r.currentPath();
        // Someone else appending meanwhile would lose entries to the cut.
        struct ::stat st {};
        if (sys().fstat(f.fd.get(), &st) != 0 || st.st_size != logEnd) {
            result.error = QStringLiteral("the undo log ") + logPath +
                           QStringLiteral(" changed while renames were taken back; run undo again");
            result.left = i - first + 1;
            break;
        }
        QString cause = r.refused;
        bool back = false;
        if (cause.isEmpty()) {
            const FileSystem::Stat now = fs.stat(current);
            if (!now.exists && fs.stat(r.before).exists) {
                result.notes << QStringLiteral("note: ") + withVisibleControls(current) +
                                    QStringLiteral(" is already back as ") +
                                    withVisibleControls(r.oldName()) +
                                    QStringLiteral("; its entry leaves the undo log");
                back = true;
            } else if (now.isDir) {
                cause = QStringLiteral("It is a folder");
            } else {
                const FileSystem::Status s = fs.renameNoReplace(current, r.before);
                if (s.ok()) {
                    ++result.done;
                    back = true;
                } else {
                    cause = s.text();
                }
            }
        }
        if (!back) {
            result.failures << (r.refused.isEmpty()
                                    ? QStringLiteral("Can't rename file ") + withVisibleControls(current) +
                                          QStringLiteral(" back to ") + withVisibleControls(r.oldName())
                                    : QStringLiteral("Can't take back the entry ") +
                                          withVisibleControls(r.before)) +
                                   QStringLiteral(": ") + cause;
            result.left = i - first;
            break;
        }
        // The entry goes as soon as its file is back: cutting the end of the
        // file needs no free space and leaves the older entries as they were.
        int rc;
        do {
            rc = sys().ftruncate(f.fd.get(), off_t(r.start));
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            result.error = QStringLiteral("can't shorten the undo log ") + logPath + QStringLiteral(": ") +
                           systemErrorText(errno) +
                           QStringLiteral(" (the file went back; the next undo drops its entry)");
            result.left = i - first;
            break;
        }
        logEnd = r.start;
    }
    return result;
}

} // namespace vorlane
