#include "textcounts.h"

#include <QHashFunctions>

#include <algorithm>

namespace vorlane {

quint32 TextCounts::defaultHash(QStringView text) {
    const quint64 h = qHash(text, QHashSeed::globalSeed());
    return quint32(h ^ (h >> 32));
}

qsizetype TextCounts::find(const QString& text, quint32 hash, size_t* free) const {
    if (m_slots.empty())
        return -1;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot s = m_slots[i];
        if (s.entry == 0) {
            if (free)
                *free = i;
            return -1;
        }
        if (s.hash == hash && m_entries[size_t(s.entry - 1)].text == text)
            return s.entry - 1;
    }
}

void TextCounts::rebuild(size_t room) {
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.count == 0; }),
        m_entries.end());
    // Half again as many as are there: growing stays rare, whatever the size.
    room = std::max(room, m_entries.size() / 2 + 1);
    size_t size = 16;
    while (size / 2 < m_entries.size() + room)
        size *= 2;
    m_slots.assign(size, Slot{});
    // Room for every text the slots take before they grow again.
    m_entries.reserve(size / 2);
    const size_t mask = size - 1;
    for (size_t e = 0; e < m_entries.size(); ++e) {
        size_t i = m_entries[e].hash & mask;
        while (m_slots[i].entry != 0)
            i = (i + 1) & mask;
        m_slots[i] = {m_entries[e].hash, qint32(e + 1)};
    }
}

int& TextCounts::operator[](const QString& text) {
    const quint32 hash = m_hash(text);
    size_t free = 0;
    const qsizetype found = find(text, hash, &free);
    if (found >= 0)
        return m_entries[size_t(found)].count;
    if ((m_entries.size() + 1) * 2 > m_slots.size()) {
        rebuild(1);
        find(text, hash, &free);
    }
    m_slots[free] = {hash, qint32(m_entries.size() + 1)};
    m_entries.push_back({text, hash, 0});
    return m_entries.back().count;
}

int TextCounts::count(const QString& text) const {
    const qsizetype found = find(text, m_hash(text));
    return found >= 0 ? m_entries[size_t(found)].count : 0;
}

void TextCounts::remove(const QString& text) {
    const qsizetype found = find(text, m_hash(text));
    if (found >= 0 && m_entries[size_t(found)].count > 0)
        --m_entries[size_t(found)].count;
}

void TextCounts::clear() {
    // The memory goes too: the list it counted may have been large.
    m_slots = {};
    m_entries = {};
}

void TextCounts::reserve(qsizetype n) {
    const size_t want = size_t(std::max<qsizetype>(n, 0));
    if (want * 2 > m_slots.size())
        rebuild(want > m_entries.size() ? want - m_entries.size() : 1);
}

} // namespace vorlane
