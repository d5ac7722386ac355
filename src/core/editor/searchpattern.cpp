#include "searchpattern.h"

#include "core/platform/paths.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <vector>

namespace vorlane {

// --- the compiled regular expression

namespace {

// Steps one match call may take. Ordinary patterns take a few dozen on any
// text; nested repeats on a long name take millions. At this limit the engine
// gives up in well under a millisecond, so a replace over 10,000 names ends
// within seconds whatever the pattern.
constexpr uint32_t kMatchLimit = 50'000;
// The same bound for the interpreter's nesting, and its memory, when a
// pattern cannot be compiled to machine code.
constexpr uint32_t kDepthLimit = 50'000;
constexpr uint32_t kHeapLimitKiB = 64 * 1024;
// The machine-code matcher's own stack grows up to this.
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 4 * 1024 * 1024;

struct MatchDataFree {
    void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};
using MatchData = std::unique_ptr<pcre2_match_data, MatchDataFree>;

} // namespace

class CompiledRegex {
public:
    explicit CompiledRegex(pcre2_code* code) : m_code(code) {
        // Machine code where the platform has it; the interpreter otherwise.
        pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE);
        m_context = pcre2_match_context_create(nullptr);
        pcre2_set_match_limit(m_context, kMatchLimit);
        pcre2_set_depth_limit(m_context, kDepthLimit);
        pcre2_set_heap_limit(m_context, kHeapLimitKiB);
        m_stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (m_stack)
            pcre2_jit_stack_assign(m_context, nullptr, m_stack);
    }
    ~CompiledRegex() {
        pcre2_jit_stack_free(m_stack);
        pcre2_match_context_free(m_context);
        pcre2_code_free(m_code);
    }
    CompiledRegex(const CompiledRegex&) = delete;
    CompiledRegex& operator=(const CompiledRegex&) = delete;

    MatchData matchData() const { return MatchData(pcre2_match_data_create_from_pattern(m_code, nullptr)); }
    // One match call on the first `length` units of `s`: the number of pairs
    // set in `data`, PCRE2_ERROR_NOMATCH, or another error when it gave up.
    int match(QStringView s, qsizetype length, qsizetype offset, uint32_t options,
              pcre2_match_data* data) const {
        return pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(s.utf16()), PCRE2_SIZE(length),
                           PCRE2_SIZE(offset), options | PCRE2_NO_UTF_CHECK, data, m_context);
    }

private:
    pcre2_code* m_code = nullptr;
    pcre2_match_context* m_context = nullptr;
    pcre2_jit_stack* m_stack = nullptr;
};

namespace {

// --- the pattern as PCRE2 gets it

struct Translated {
    QString pattern;
    // For each character of the pattern, where it came from in the text as
    // typed; one more entry for the end.
    std::vector<qsizetype> origin;
};

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// End of the character class that opens at `i` (just past its ']').
qsizetype classEnd(const QString& p, qsizetype i) {
    const qsizetype n = p.size();
    qsizetype j = i + 1;
    if (j < n && p[j] == u'^')
        ++j;
    if (j < n && p[j] == u']')
        ++j; // a ']' first in the class is a member
    while (j < n) {
        if (p[j] == u'\\') {
            j += 2;
        } else if (p[j] == u'[' && j + 1 < n && p[j + 1] == u':') {
            const qsizetype close = p.indexOf(QStringLiteral(":]"), j + 2);
            j = close < 0 ? j + 1 : close + 2;
        } else if (p[j] == u']') {
            return j + 1;
        } else {
            ++j;
        }
    }
    return n;
}

// PCRE2 has no greedy flag: "(?g)" becomes "(?-U)" (greedy, the default) and
// "(?-g)" becomes "(?U)" (lazy quantifiers), also inside combined groups such
// as "(?i-g)" or "(?g:...)". Escapes, classes, \Q...\E and comments are
// copied as they are.
Translated translateModifiers(const QString& p) {
    Translated t;
    t.pattern.reserve(p.size() + 8);
    t.origin.reserve(size_t(p.size()) + 9);
    const qsizetype n = p.size();
    auto copy = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to && k < n; ++k) {
            t.pattern.append(p[k]);
            t.origin.push_back(k);
        }
    };
    bool quoted = false;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = p[i];
        if (quoted) {
            const bool end = c == u'\\' && i + 1 < n && p[i + 1] == u'E';
            copy(i, i + (end ? 2 : 1));
            i += end ? 2 : 1;
            quoted = !end;
            continue;
        }
        if (c == u'\\') {
            quoted = i + 1 < n && p[i + 1] == u'Q';
            copy(i, i + 2);
            i += 2;
            continue;
        }
        if (c == u'[') {
            const qsizetype j = classEnd(p, i);
            copy(i, j);
            i = j;
            continue;
        }
        if (c == u'(' && i + 2 < n && p[i + 1] == u'?') {
            if (p[i + 2] == u'#') {
                const qsizetype close = p.indexOf(u')', i);
                const qsizetype j = close < 0 ? n : close + 1;
                copy(i, j);
                i = j;
                continue;
            }
            QString on, off;
            bool minus = false, gOn = false, gOff = false;
            qsizetype j = i + 2;
            for (; j < n && (isAsciiLetter(p[j]) || (p[j] == u'-' && !minus)); ++j) {
                if (p[j] == u'-')
                    minus = true;
                else if (p[j] == u'g')
                    (minus ? gOff : gOn) = true;
                else
                    (minus ? off : on).append(p[j]);
            }
            if ((gOn || gOff) && j < n && (p[j] == u')' || p[j] == u':')) {
                if (gOn)
                    off.append(u'U');
                if (gOff)
                    on.append(u'U');
                QString group = QStringLiteral("(?") + on;
                if (!off.isEmpty())
                    group += u'-' + off;
                group += p[j];
                for (const QChar gc : group) {
                    t.pattern.append(gc);
                    t.origin.push_back(i);
                }
                i = j + 1;
                continue;
            }
        }
        copy(i, i + 1);
        ++i;
    }
    t.origin.push_back(n);
    return t;
}

// --- characters

char32_t codePointBefore(QStringView s, qsizetype i) {
    const QChar c = s[i - 1];
    if (c.isLowSurrogate() && i >= 2 && s[i - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(s[i - 2], c);
    return c.unicode();
}

char32_t codePointAt(QStringView s, qsizetype i) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i + 1]);
    return c.unicode();
}

bool isWordChar(char32_t c) {
    return c == U'_' || QChar::isLetterOrNumber(c);
}

// Neither neighbour of the occurrence is a letter, digit or '_'.
bool isWholeWord(QStringView s, qsizetype start, qsizetype end) {
    if (start > 0 && isWordChar(codePointBefore(s, start)))
        return false;
    return end >= s.size() || !isWordChar(codePointAt(s, end));
}

bool splitsPair(QStringView s, qsizetype i) {
    return i > 0 && i < s.size() && s[i].isLowSurrogate() && s[i - 1].isHighSurrogate();
}

qsizetype nextCharacter(QStringView s, qsizetype i) {
    return splitsPair(s, i + 1) ? i + 2 : i + 1;
}

// --- one loop for plain text and regular expressions

// One search of a compiled search text in a subject. Plain text and regular
// expressions both answer it, so one loop scans for either and both advance
// the same way after an occurrence they pass over.
class Matcher {
public:
    enum Result { Found, None, GaveUp };

    virtual ~Matcher() = default;
    // The first occurrence in the first `length` units of `s` that starts at
    // `offset` or later; with `nonEmptyHere`, only a non-empty one that starts
    // exactly at `offset`. Sets `m`, groups included, when found.
    virtual Result match(QStringView s, qsizetype length, qsizetype offset, bool nonEmptyHere,
                         PatternMatch& m) const = 0;
};

class PlainMatcher final : public Matcher {
public:
    PlainMatcher(QStringView needle, Qt::CaseSensitivity cs) : m_needle(needle), m_cs(cs) {}

    Result match(QStringView s, qsizetype length, qsizetype offset, bool nonEmptyHere,
                 PatternMatch& m) const override {
        const QStringView in = s.left(length);
        const qsizetype i = nonEmptyHere ? (in.mid(offset).startsWith(m_needle, m_cs) ? offset : -1)
                                         : in.indexOf(m_needle, offset, m_cs);
        if (i < 0)
            return None;
        for (auto& g : m.groups)
            g[0] = g[1] = -1;
        m.start = m.groups[0][0] = i;
        m.end = m.groups[0][1] = i + m_needle.size();
        return Found;
    }

private:
    QStringView m_needle;
    Qt::CaseSensitivity m_cs;
};

// Made per scan: it holds the match data that its calls share.
class RegexMatcher final : public Matcher {
public:
    explicit RegexMatcher(const CompiledRegex& re) : m_re(re), m_data(re.matchData()) {}

    Result match(QStringView s, qsizetype length, qsizetype offset, bool nonEmptyHere,
                 PatternMatch& m) const override {
        const uint32_t options = nonEmptyHere ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
        const int rc = m_re.match(s, length, offset, options, m_data.get());
        if (rc == PCRE2_ERROR_NOMATCH)
            return None;
        if (rc < 0)
            return GaveUp;
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(m_data.get());
        for (int g = 0; g < 10; ++g) {
            const bool set = g < rc && ov[2 * g] != PCRE2_UNSET;
            m.groups[g][0] = set ? qsizetype(ov[2 * g]) : -1;
            m.groups[g][1] = set ? qsizetype(ov[2 * g + 1]) : -1;
        }
        m.start = m.groups[0][0];
        m.end = m.groups[0][1];
        return Found;
    }

private:
    const CompiledRegex& m_re;
    MatchData m_data;
};

// Where the matcher gave up on a call from `offset`: the start of the first
// line whose end, taken as the subject's end, already makes it give up.
qsizetype lineOfGivingUp(const Matcher& matcher, QStringView s, qsizetype offset, bool nonEmptyHere) {
    std::vector<qsizetype> ends;
    for (qsizetype i = s.indexOf(u'\n', offset); i >= 0; i = s.indexOf(u'\n', i + 1))
        ends.push_back(i);
    ends.push_back(s.size());
    PatternMatch m;
    size_t lo = 0, hi = ends.size() - 1;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (matcher.match(s, ends[mid], offset, nonEmptyHere, m) == Matcher::GaveUp)
            hi = mid;
        else
            lo = mid + 1;
    }
    const qsizetype end = ends[lo];
    return end == 0 ? 0 : s.lastIndexOf(u'\n', end - 1) + 1;
}

// Global matching: each search starts where the last occurrence ended; after
// an empty one, first a non-empty occurrence right there, else the next
// search one character on. An occurrence that is not a whole word, when
// whole words are asked for, is passed over, and the search goes on one
// character after its start.
bool scanWith(const Matcher& matcher, bool wholeWords, QStringView s, qsizetype from, bool emptyAtFrom,
              const std::function<bool(const PatternMatch&)>& take, qsizetype* gaveUpAt) {
    const qsizetype length = s.size();
    qsizetype offset = from;
    bool previousEmpty = false;
    bool passOverEmptyAtFrom = !emptyAtFrom;
    PatternMatch m;
    for (;;) {
        bool nonEmptyHere = previousEmpty;
        Matcher::Result result = matcher.match(s, length, offset, nonEmptyHere, m);
        if (nonEmptyHere && result == Matcher::None) {
            offset = nextCharacter(s, offset);
            if (offset > length)
                return true;
            nonEmptyHere = false;
            result = matcher.match(s, length, offset, false, m);
        }
        if (result == Matcher::None)
            return true;
        if (result == Matcher::GaveUp) {
            if (gaveUpAt)
                *gaveUpAt = lineOfGivingUp(matcher, s, offset, nonEmptyHere);
            return false;
        }
        previousEmpty = m.empty();
        offset = m.end;
        const bool passOver = passOverEmptyAtFrom && m.empty() && m.start == from;
        passOverEmptyAtFrom = false;
        if (passOver)
            continue;
        if (wholeWords && !isWholeWord(s, m.start, m.end)) {
            if (m.start >= length)
                return true;
            offset = nextCharacter(s, m.start);
            previousEmpty = false;
            continue;
        }
        if (!take(m))
            return true;
    }
}

} // namespace

// --- SearchPattern

SearchPattern::SearchPattern(const QString& text, const SearchOptions& options)
    : m_options(options), m_text(text) {
    if (!options.regex || text.isEmpty())
        return;
    const Translated t = translateModifiers(text);
    uint32_t o = PCRE2_UTF | PCRE2_MULTILINE | PCRE2_UCP;
    if (!options.matchCase)
        o |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE at = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(t.pattern.utf16()),
                                     PCRE2_SIZE(t.pattern.size()), o, &error, &at, nullptr);
    if (!code) {
        PCRE2_UCHAR buffer[256];
        const int n = pcre2_get_error_message(error, buffer, sizeof buffer / sizeof buffer[0]);
        m_errorText = QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), std::max(n, 0));
        const qsizetype clamped = std::clamp<qsizetype>(qsizetype(at), 0, qsizetype(t.origin.size()) - 1);
        m_errorOffset = t.origin[size_t(clamped)];
        return;
    }
    m_regex = std::make_shared<const CompiledRegex>(code);
}

QString SearchPattern::errorMessage() const {
    return QStringLiteral("Bad regular expression '") + withVisibleControls(m_text) + QStringLiteral("'\r") +
           m_errorText + QStringLiteral(" at position ") + QString::number(m_errorOffset);
}

// PCRE2 reads only well-formed UTF-16: a stray surrogate (a byte of a name that
// is not UTF-8) is read as U+FFFD, one unit for one, so offsets stay the same.
QString SearchPattern::prepared(const QString& subject) const {
    if (!m_options.regex)
        return subject;
    QString out;
    const qsizetype n = subject.size();
    const QChar* d = subject.constData();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && d[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (out.isNull())
            out = subject;
        out[i] = QChar::ReplacementCharacter;
    }
    return out.isNull() ? subject : out;
}

bool SearchPattern::scan(QStringView s, qsizetype from, bool emptyAtFrom,
                         const std::function<bool(const PatternMatch&)>& take, qsizetype* gaveUpAt) const {
    if (m_text.isEmpty() || !isValid())
        return true;
    from = std::clamp<qsizetype>(from, 0, s.size());
    if (splitsPair(s, from)) {
        ++from;
        emptyAtFrom = true;
    }
    if (m_regex)
        return scanWith(RegexMatcher(*m_regex), m_options.wholeWords, s, from, emptyAtFrom, take, gaveUpAt);
    const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return scanWith(PlainMatcher(m_text, cs), m_options.wholeWords, s, from, emptyAtFrom, take, gaveUpAt);
}

QString tooComplexMessage(int line) {
    return QStringLiteral("The regular expression is too complex\rLine ") + QString::number(line + 1);
}

} // namespace vorlane
