#include "naturalorder.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

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

// The order of `n` items: by group, then by collation key, then by name.
template <typename Name, typename Group>
std::vector<qsizetype> naturalOrder(const QCollator& collator, qsizetype n, Name name, Group group) {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i)
        keys.push_back(collator.sortKey(name(i)));
    std::vector<qsizetype> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        if (group(a) != group(b))
            return group(a) < group(b);
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        return c != 0 ? c < 0 : name(a) < name(b);
    });
    return order;
}

} // namespace

NaturalOrder::NaturalOrder() : m_collator(collationLocale()) {
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void NaturalOrder::sort(QStringList& names) const {
    const auto order = naturalOrder(
        m_collator, names.size(), [&](qsizetype i) -> const QString& { return std::as_const(names)[i]; },
        [](qsizetype) { return 0; });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order)
        sorted.append(std::move(names[i]));
    names = std::move(sorted);
}

void NaturalOrder::sort(std::vector<DirEntry>& entries) const {
    const auto order = naturalOrder(
        m_collator, qsizetype(entries.size()),
        [&](qsizetype i) -> const QString& { return entries[size_t(i)].name; },
        [&](qsizetype i) { return entries[size_t(i)].kind == DirEntry::Folder ? 0 : 1; });
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (qsizetype i : order)
        sorted.push_back(std::move(entries[size_t(i)]));
    entries = std::move(sorted);
}

} // namespace vorlane
