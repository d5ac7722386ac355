#include "keyranks.h"

#include <algorithm>
#include <vector>

namespace vorlane {

namespace {

struct Packed {
    quint64 high;
    quint64 low;
    int key;
};

bool packedLess(const Packed& a, const Packed& b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}

bool packedEqual(const Packed& a, const Packed& b) {
    return a.high == b.high && a.low == b.low;
}

// Units `at` to `at + 7` of the key, 0 past its end. A key that ends there
// and one that goes on with NULs pack alike: such ties are settled by the
// keys themselves.
void pack(Packed& p, QStringView key, qsizetype at) {
    quint64 units[2] = {0, 0};
    for (qsizetype i = 0; i < 8; ++i)
        units[i / 4] = units[i / 4] << 16 | (at + i < key.size() ? key[at + i].unicode() : 0u);
    p.high = units[0];
    p.low = units[1];
}

class Ranker {
public:
    explicit Ranker(const QVector<QStringView>& keys) : m_keys(keys), m_ranks(keys.size()) {}

    QVector<int> run() {
        std::vector<Packed> items(size_t(m_keys.size()));
        for (qsizetype k = 0; k < m_keys.size(); ++k)
            items[size_t(k)].key = int(k);
        m_first = items.data();
        if (!items.empty())
            rank(items.data(), items.data() + items.size(), 0);
        return std::move(m_ranks);
    }

private:
    QStringView key(const Packed& p) const { return m_keys[p.key]; }

    // Ranks the keys of [first, last), which agree on their first `offset` units.
    void rank(Packed* first, Packed* last, qsizetype offset) {
        // Past what all of them share, which can be long (a common folder).
        const QStringView lead = key(*first);
        qsizetype shared = lead.size();
        qsizetype longest = lead.size();
        for (const Packed* p = first + 1; p != last; ++p) {
            const QStringView k = key(*p);
            longest = std::max(longest, k.size());
            qsizetype i = offset;
            const qsizetype end = std::min(shared, k.size());
            while (i < end && k[i] == lead[i])
                ++i;
            shared = i;
        }
        if (shared >= longest) {
            // All alike to the last unit of the longest: one key.
            for (Packed* p = first; p != last; ++p)
                m_ranks[p->key] = int(first - m_first);
            return;
        }
        offset = std::max(offset, shared);
        for (Packed* p = first; p != last; ++p)
            pack(*p, key(*p), offset);
        std::sort(first, last, packedLess);
        for (Packed* a = first; a != last;) {
            Packed* b = a + 1;
            while (b != last && packedEqual(*a, *b))
                ++b;
            if (b - a == 1)
                m_ranks[a->key] = int(a - m_first);
            else if (std::all_of(a, b, [&](const Packed& p) { return key(p).size() <= offset + 8; }))
                settleEnds(a, b);
            else
                rank(a, b, offset + 8);
            a = b;
        }
    }

    // Keys that pack alike and have no units left: they differ, if at all,
    // in trailing NULs, which the plain comparison orders.
    void settleEnds(Packed* first, Packed* last) {
        std::sort(first, last, [&](const Packed& a, const Packed& b) { return key(a).compare(key(b)) < 0; });
        for (Packed* p = first; p != last; ++p)
            m_ranks[p->key] = p != first && key(p[-1]) == key(*p) ? m_ranks[p[-1].key] : int(p - m_first);
    }

    const QVector<QStringView>& m_keys;
    QVector<int> m_ranks;
    const Packed* m_first = nullptr;
};

} // namespace

QVector<int> codeUnitRanks(const QVector<QStringView>& keys) {
    return Ranker(keys).run();
}

} // namespace vorlane
