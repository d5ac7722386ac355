#include "naturalorder.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <optional>

namespace vorlane {

namespace {

QLocale collationLocale() {
    const QLocale locale;
    // The C locale collates by code point and ignores the numeric mode; the
    // root rules (those of English) still put "2" before "10".
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English);
    return locale;
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// ICU treats longer digit runs in pieces; such names take the collator's way.
constexpr qsizetype kLongestNumber = 200;

// Whether a name is printable ASCII only, with no overlong number: the names
// the ranks below compare.
bool isPlain(QStringView name) {
    qsizetype run = 0;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || c > 0x7E)
            return false;
        run = isDigit(c) ? run + 1 : 0;
        if (run > kLongestNumber)
            return false;
    }
    return true;
}

} // namespace

// The collator's order of plain ASCII names, without asking it for each name:
// every printable character has the rank the collator gives it on its own
// (letters of either case alike), and a run of digits compares as a number,
// ahead of letters and behind punctuation, as the collator's numeric mode
// does. Built from the collator once per locale and checked against it on a
// corpus; a locale whose rules join ASCII letters (contractions) or order
// them otherwise fails the check and keeps the collator for every name.
class PlainRanks {
public:
    static const PlainRanks* forCollator(const QCollator& collator);

    // <0, 0 or >0 as the collator would say.
    int compare(QStringView a, QStringView b) const;

private:
    explicit PlainRanks(const QCollator& collator);
    bool agreesWith(const QCollator& collator) const;

    std::array<quint8, 128> m_rank{};
};

PlainRanks::PlainRanks(const QCollator& collator) {
    QStringList chars;
    for (char16_t c = 0x20; c <= 0x7E; ++c)
        chars.append(QString(QChar(c)));
    std::stable_sort(chars.begin(), chars.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    quint8 rank = 0;
    for (qsizetype i = 0; i < chars.size(); ++i) {
        if (i > 0 && collator.compare(chars[i - 1], chars[i]) != 0)
            ++rank;
        m_rank[chars[i].at(0).unicode()] = rank;
    }
}

int PlainRanks::compare(QStringView a, QStringView b) const {
    qsizetype i = 0, j = 0;
    const qsizetype na = a.size(), nb = b.size();
    while (i < na && j < nb) {
        const char16_t ca = a[i].unicode(), cb = b[j].unicode();
        if (isDigit(ca) && isDigit(cb)) {
            // Numbers by value: leading zeros count for nothing.
            while (i < na && a[i] == u'0')
                ++i;
            while (j < nb && b[j] == u'0')
                ++j;
            qsizetype ea = i, eb = j;
            while (ea < na && isDigit(a[ea].unicode()))
                ++ea;
            while (eb < nb && isDigit(b[eb].unicode()))
                ++eb;
            if (ea - i != eb - j)
                return ea - i < eb - j ? -1 : 1;
            for (; i < ea; ++i, ++j)
                if (a[i] != b[j])
                    return a[i] < b[j] ? -1 : 1;
            j = eb;
            continue;
        }
        const int ra = m_rank[isDigit(ca) ? u'0' : ca], rb = m_rank[isDigit(cb) ? u'0' : cb];
        if (ra != rb)
            return ra < rb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na)
        return 1;
    return j < nb ? -1 : 0;
}

// Names of every shape the ranks must order as the collator does: letter
// pairs (where locales put contractions), case, punctuation, numbers with
// and without leading zeros.
static QStringList checkCorpus() {
    QStringList out;
    for (char16_t x = u'a'; x <= u'z'; ++x)
        for (char16_t y = u'a'; y <= u'z'; ++y)
            out << (QString(QChar(x)) + QChar(y)) << (QString(QChar(x)) + QChar(y - 32));
    quint32 seed = 7;
    const auto next = [&](quint32 n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    static const char pieces[] = " -_.,;()[]'!&+~#$%@^=0123456789AaBbCcDdEeHhLlNnOoRrSsTtZz";
    for (int k = 0; k < 1500; ++k) {
        QString name;
        const quint32 length = 1 + next(9);
        for (quint32 n = 0; n < length; ++n)
            name += QLatin1Char(pieces[next(sizeof pieces - 1)]);
        out << name;
    }
    return out;
}

bool PlainRanks::agreesWith(const QCollator& collator) const {
    QStringList corpus = checkCorpus();
    std::sort(corpus.begin(), corpus.end(), [&](const QString& a, const QString& b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    for (qsizetype i = 1; i < corpus.size(); ++i) {
        const int c = compare(corpus[i - 1], corpus[i]);
        if (c > 0 || (c == 0 && collator.compare(corpus[i - 1], corpus[i]) != 0))
            return false;
    }
    return true;
}

const PlainRanks* PlainRanks::forCollator(const QCollator& collator) {
    // One per locale for the life of the program; the program sorts on one thread.
    static QHash<QString, std::shared_ptr<const PlainRanks>> known;
    const QString name = collator.locale().bcp47Name();
    auto it = known.find(name);
    if (it == known.end()) {
        std::shared_ptr<const PlainRanks> ranks(new PlainRanks(collator));
        if (!ranks->agreesWith(collator))
            ranks.reset();
        it = known.insert(name, ranks);
    }
    return it->get();
}

namespace {

// The order of `n` items: by group, then as the collator orders their names,
// then by code unit. Plain names compare by their ranks, other names by
// collation keys made once each, and a plain name against another by the
// collator itself.
template <typename Name, typename Group>
std::vector<qsizetype> naturalOrder(const QCollator& collator, const PlainRanks* plain, qsizetype n,
                                    Name name, Group group) {
    std::vector<std::optional<QCollatorSortKey>> keys(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        if (!plain || !isPlain(name(i)))
            keys[size_t(i)].emplace(collator.sortKey(name(i)));
    std::vector<qsizetype> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (group(a) != group(b))
            return group(a) < group(b);
        const auto& ka = keys[size_t(a)];
        const auto& kb = keys[size_t(b)];
        int c;
        if (ka && kb)
            c = ka->compare(*kb);
        else if (!ka && !kb)
            c = plain->compare(name(a), name(b));
        else
            c = collator.compare(name(a), name(b));
        return c != 0 ? c < 0 : name(a) < name(b);
    });
    return order;
}

} // namespace

NaturalOrder::NaturalOrder() : m_collator(collationLocale()) {
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_plain = PlainRanks::forCollator(m_collator);
}

bool NaturalOrder::comparesPlainNamesItself() const {
    return m_plain != nullptr;
}

void NaturalOrder::sort(QStringList& names) const {
    const auto order = naturalOrder(
        m_collator, m_plain, names.size(),
        [&](qsizetype i) -> const QString& { return std::as_const(names)[i]; }, [](qsizetype) { return 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order)
        sorted.append(std::move(names[i]));
    names = std::move(sorted);
}

void NaturalOrder::sort(std::vector<DirEntry>& entries) const {
    const auto order = naturalOrder(
        m_collator, m_plain, qsizetype(entries.size()),
        [&](qsizetype i) -> const QString& { return entries[size_t(i)].name; },
        [&](qsizetype i) { return entries[size_t(i)].kind == DirEntry::Folder ? 0 : 1; });
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (qsizetype i : order)
        sorted.push_back(std::move(entries[size_t(i)]));
    entries = std::move(sorted);
}

} // namespace vorlane
