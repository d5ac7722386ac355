#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace vorlane {

// How many lines hold each text, for the file list's duplicate test. Each
// text's hash is kept beside it: a lookup compares hashes and reads a text's
// characters only where the hashes agree, and growing the table moves hashes
// without hashing a text again. A list of 100,000 paths is far larger than
// the processor's caches, so every text not touched is a miss saved.
class TextCounts {
public:
    using Hash = quint32 (*)(QStringView);
    // The hash is there for tests that need texts to collide.
    explicit TextCounts(Hash hash = defaultHash) : m_hash(hash) {}

    // The count of `text`, taken in at 0 when it has none: a reference valid
    // until the next call that may take a text in.
    int& operator[](const QString& text);
    // The count of `text`; 0 when it has none.
    int count(const QString& text) const;
    // One less for `text`, never below 0.
    void remove(const QString& text);
    void clear();
    // Room for `n` texts without growing.
    void reserve(qsizetype n);

    static quint32 defaultHash(QStringView text);

private:
    // An entry of 0 marks a free slot, any other is 1 + its place in m_entries.
    struct Slot {
        quint32 hash = 0;
        qint32 entry = 0;
    };
    struct Entry {
        QString text;
        quint32 hash;
        int count;
    };
    // The entry that holds `text`, or -1; `free` receives the slot where it
    // would go.
    qsizetype find(const QString& text, quint32 hash, size_t* free = nullptr) const;
    // Drops the texts counted 0 times and lays the slots out anew, with room
    // for at least `room` more texts.
    void rebuild(size_t room);

    Hash m_hash;
    std::vector<Slot> m_slots; // a power of two long, at most half of them taken
    std::vector<Entry> m_entries;
};

} // namespace vorlane
