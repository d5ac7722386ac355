#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// Characters a counter alphabet may hold; a longer one is a malformed mask.
inline constexpr qsizetype kMaxAlphabet = 1024;

// Quoted text of counters: "a-e" gives "abcde" (a "-" between two characters
// stands for the characters strictly between them). Nothing when the result
// would be longer than `limit` characters.
std::optional<QString> expandQuoted(const QString& raw, qsizetype limit);
// The last `count` characters of the expanded text, without building the rest.
QString expandedTail(const QString& raw, qsizetype count);

// A fixed-width counter: the start text padded (or cut) to the width and
// advanced through the alphabet, one step per counted file. Built once per
// mask; the walk tables make any number of steps cost about as much as one
// step per digit, giving exactly what stepping one at a time gives.
class Counter {
public:
    Counter(int width, const QString& start, const QString& alphabet);
    QString text(qint64 steps) const;

private:
    // One digit from alphabet index `state` (a first occurrence) advanced `steps`
    // times; adds how often it went round to `carries`.
    int advance(int state, qint64 steps, qint64& carries) const;

    struct Cycle {
        std::vector<int> states;        // in step order
        std::vector<int> carriesBefore; // carries in the first k steps from states[0]
    };

    std::u32string m_alphabet;
    std::u32string m_start;         // padded to the width
    std::vector<int> m_startState;  // alphabet index of each start character, -1 outside it
    std::vector<int> m_next;        // index after one step
    std::vector<int> m_tailSteps;   // steps until the index reaches its cycle
    std::vector<int> m_tailCarries; // carries on the way there
    std::vector<int> m_entry;       // the first index on the cycle
    std::vector<int> m_cycle;       // for an index on a cycle: which cycle
    std::vector<int> m_cyclePos;    // and where on it
    std::vector<Cycle> m_cycles;
};

// The text of a counter for one file, for callers without a compiled mask.
QString counterText(int width, const QString& start, const QString& alphabet, qint64 steps);

} // namespace vorlane
