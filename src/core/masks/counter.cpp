#include "counter.h"

#include <QHash>

#include <vector>

namespace vorlane {

QString expandQuoted(const QString& raw) {
    QString out;
    const qsizetype n = raw.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = raw[i];
        if (c == u'-' && i > 0 && i < n - 1 && raw[i - 1] != u'-') {
            const char16_t left = raw[i - 1].unicode();
            const char16_t right = raw[i + 1].unicode();
            if (raw[i + 1] != u'-' && right > left + 1)
                for (char32_t u = left + 1; u < right; ++u)
                    out += QChar(char16_t(u));
            continue;
        }
        out += c;
    }
    return out;
}

namespace {

// The alphabet as a digit: each character's first occurrence decides its successor.
class Digits {
public:
    explicit Digits(const QString& alphabet) : m_a(alphabet) {
        if (m_a.size() > 16) {
            m_index.reserve(m_a.size());
            for (qsizetype i = m_a.size() - 1; i >= 0; --i)
                m_index.insert(m_a[i].unicode(), int(i));
        }
    }
    int firstIndex(QChar c) const {
        if (m_a.size() > 16)
            return m_index.value(c.unicode(), -1);
        return int(m_a.indexOf(c));
    }
    // One step of one digit; `carry` when it went round past the last character.
    QChar advance(QChar c, bool& carry) const {
        const int i = firstIndex(c);
        carry = false;
        if (i < 0)
            return m_a[0];
        if (i < m_a.size() - 1)
            return m_a[i + 1];
        carry = true;
        return m_a[0];
    }
    qsizetype size() const { return m_a.size(); }

private:
    QString m_a;
    QHash<char16_t, int> m_index;
};

QString padded(int width, const QString& start, const QString& alphabet) {
    QString v = start;
    if (v.size() < width)
        v.prepend(QString(width - v.size(), alphabet[0]));
    else if (v.size() > width)
        v = v.right(width);
    return v;
}

// Advances one digit `m` times; returns how often it carried to its left.
qint64 advanceDigit(const Digits& d, QChar& c, qint64 m) {
    qint64 carries = 0;
    bool carry = false;
    const qint64 direct = 2 * qint64(d.size()) + 2;
    if (m <= direct) {
        for (qint64 s = 0; s < m; ++s) {
            c = d.advance(c, carry);
            carries += carry;
        }
        return carries;
    }
    // A digit's path enters a cycle within size()+1 steps: walk to the first
    // repeated character, then skip whole cycles.
    QHash<char16_t, std::pair<qint64, qint64>> seen; // char -> (step, carries so far)
    qint64 step = 0;
    while (!seen.contains(c.unicode())) {
        seen.insert(c.unicode(), {step, carries});
        c = d.advance(c, carry);
        carries += carry;
        ++step;
        if (step == m)
            return carries;
    }
    const auto [firstStep, firstCarries] = seen.value(c.unicode());
    const qint64 cycle = step - firstStep;
    const qint64 cycleCarries = carries - firstCarries;
    const qint64 left = m - step;
    carries += (left / cycle) * cycleCarries;
    for (qint64 s = 0; s < left % cycle; ++s) {
        c = d.advance(c, carry);
        carries += carry;
    }
    return carries;
}

} // namespace

QString counterText(int width, const QString& start, const QString& alphabet, qint64 steps) {
    if (width <= 0 || alphabet.isEmpty())
        return QString();
    QString v = padded(width, start, alphabet);
    const Digits digits(alphabet);
    qint64 m = steps;
    for (qsizetype pos = v.size() - 1; pos >= 0 && m > 0; --pos) {
        QChar c = v[pos];
        m = advanceDigit(digits, c, m);
        v[pos] = c;
    }
    return v;
}

} // namespace vorlane
