#include "counter.h"

#include "core/masks/codepoints.h"

#include <algorithm>
#include <unordered_map>

namespace vorlane {

namespace {

// What one raw character stands for: itself, or for a "-" between two
// characters the code points strictly between them. Ranges leave out the
// surrogate block, which holds no characters.
struct Piece {
    char32_t first = 1, last = 0; // inclusive; empty when first > last
    bool range = false;
};

Piece pieceAt(const std::u32string& raw, size_t i) {
    const char32_t c = raw[i];
    if (c == U'-' && i > 0 && i + 1 < raw.size() && raw[i - 1] != U'-') {
        const char32_t left = raw[i - 1], right = raw[i + 1];
        if (right != U'-' && right > left + 1)
            return {left + 1, right - 1, true};
        return {};
    }
    return {c, c, false};
}

constexpr char32_t kSurrogateFirst = 0xD800, kSurrogateLast = 0xDFFF;

bool skipped(const Piece& p, char32_t c) {
    return p.range && c >= kSurrogateFirst && c <= kSurrogateLast;
}

qint64 pieceSize(const Piece& p) {
    if (p.first > p.last)
        return 0;
    qint64 n = qint64(p.last) - p.first + 1;
    if (p.range)
        n -= std::max<qint64>(0, qint64(std::min(p.last, kSurrogateLast)) -
                                     std::max(p.first, kSurrogateFirst) + 1);
    return n;
}

} // namespace

std::optional<QString> expandQuoted(const QString& raw, qsizetype limit) {
    const std::u32string r = toCodePoints(raw);
    std::u32string out;
    for (size_t i = 0; i < r.size(); ++i) {
        const Piece p = pieceAt(r, i);
        if (qint64(out.size()) + pieceSize(p) > limit)
            return std::nullopt;
        for (qint64 c = p.first; c <= qint64(p.last); ++c)
            if (!skipped(p, char32_t(c)))
                out += char32_t(c);
    }
    return fromCodePoints(out);
}

QString expandedTail(const QString& raw, qsizetype count) {
    const std::u32string r = toCodePoints(raw);
    std::u32string tail; // backwards
    for (size_t i = r.size(); i-- > 0 && qsizetype(tail.size()) < count;) {
        const Piece p = pieceAt(r, i);
        for (qint64 c = p.last; c >= qint64(p.first) && qsizetype(tail.size()) < count; --c) {
            if (skipped(p, char32_t(c)))
                c = kSurrogateFirst; // the loop steps below the block
            else
                tail += char32_t(c);
        }
    }
    std::reverse(tail.begin(), tail.end());
    return fromCodePoints(tail);
}

Counter::Counter(int width, const QString& start, const QString& alphabet)
    : m_alphabet(toCodePoints(alphabet)) {
    if (width <= 0 || m_alphabet.empty())
        return;
    const int n = int(m_alphabet.size());
    // Each character's first occurrence decides its successor.
    std::unordered_map<char32_t, int> firstOf;
    for (int i = 0; i < n; ++i)
        firstOf.emplace(m_alphabet[size_t(i)], i);

    m_start = toCodePoints(start);
    if (m_start.size() < size_t(width))
        m_start.insert(0, size_t(width) - m_start.size(), m_alphabet[0]);
    else
        m_start.erase(0, m_start.size() - size_t(width));
    for (const char32_t c : m_start) {
        const auto it = firstOf.find(c);
        m_startState.push_back(it == firstOf.end() ? -1 : it->second);
    }

    m_next.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        m_next[size_t(i)] = i + 1 < n ? firstOf.at(m_alphabet[size_t(i) + 1]) : 0;

    // Every index leads into a cycle of the step function: note for each how
    // far away that cycle is and where the walk enters it.
    m_tailSteps.assign(size_t(n), 0);
    m_tailCarries.assign(size_t(n), 0);
    m_entry.assign(size_t(n), 0);
    m_cycle.assign(size_t(n), -1);
    m_cyclePos.assign(size_t(n), -1);
    enum : char { Unseen, OnPath, Done };
    std::vector<char> status(size_t(n), Unseen);
    std::vector<int> path, pathIndex(size_t(n), -1);
    for (int first = 0; first < n; ++first) {
        path.clear();
        int s = first;
        while (status[size_t(s)] == Unseen) {
            status[size_t(s)] = OnPath;
            pathIndex[size_t(s)] = int(path.size());
            path.push_back(s);
            s = m_next[size_t(s)];
        }
        size_t tailEnd = path.size();
        if (status[size_t(s)] == OnPath) { // the walk closed a new cycle
            Cycle cycle;
            cycle.carriesBefore.push_back(0);
            tailEnd = size_t(pathIndex[size_t(s)]);
            for (size_t k = tailEnd; k < path.size(); ++k) {
                const int t = path[k];
                m_cycle[size_t(t)] = int(m_cycles.size());
                m_cyclePos[size_t(t)] = int(cycle.states.size());
                m_entry[size_t(t)] = t;
                status[size_t(t)] = Done;
                cycle.states.push_back(t);
                cycle.carriesBefore.push_back(cycle.carriesBefore.back() + (t == n - 1));
            }
            m_cycles.push_back(std::move(cycle));
        }
        for (size_t k = tailEnd; k-- > 0;) {
            const int t = path[k];
            const int u = m_next[size_t(t)];
            m_tailSteps[size_t(t)] = m_tailSteps[size_t(u)] + 1;
            m_tailCarries[size_t(t)] = m_tailCarries[size_t(u)] + (t == n - 1);
            m_entry[size_t(t)] = m_entry[size_t(u)];
            status[size_t(t)] = Done;
        }
    }
}

int Counter::advance(int state, qint64 steps, qint64& carries) const {
    const int last = int(m_alphabet.size()) - 1;
    if (steps < m_tailSteps[size_t(state)]) {
        for (; steps > 0; --steps) {
            carries += state == last;
            state = m_next[size_t(state)];
        }
        return state;
    }
    steps -= m_tailSteps[size_t(state)];
    carries += m_tailCarries[size_t(state)];
    state = m_entry[size_t(state)];
    const Cycle& cycle = m_cycles[size_t(m_cycle[size_t(state)])];
    const qint64 length = qint64(cycle.states.size());
    const qint64 at = m_cyclePos[size_t(state)];
    const qint64 rest = steps % length;
    carries += steps / length * cycle.carriesBefore.back();
    if (at + rest <= length)
        carries += cycle.carriesBefore[size_t(at + rest)] - cycle.carriesBefore[size_t(at)];
    else
        carries += cycle.carriesBefore.back() - cycle.carriesBefore[size_t(at)] +
                   cycle.carriesBefore[size_t(at + rest - length)];
    return cycle.states[size_t((at + rest) % length)];
}

QString Counter::text(qint64 steps) const {
    std::u32string v = m_start;
    qint64 m = steps;
    for (size_t pos = v.size(); pos-- > 0 && m > 0;) {
        int state = m_startState[pos];
        if (state < 0) { // a character outside the alphabet becomes its first, without carry
            state = 0;
            --m;
        }
        qint64 carries = 0;
        state = advance(state, m, carries);
        v[pos] = m_alphabet[size_t(state)];
        m = carries;
    }
    return fromCodePoints(v);
}

QString counterText(int width, const QString& start, const QString& alphabet, qint64 steps) {
    return Counter(width, start, alphabet).text(steps);
}

} // namespace vorlane
