#include "search.h"

#include "core/platform/paths.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>

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

class SearchPattern::Regex {
public:
    explicit Regex(pcre2_code* code) : m_code(code) {
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
    ~Regex() {
        pcre2_jit_stack_free(m_stack);
        pcre2_match_context_free(m_context);
        pcre2_code_free(m_code);
    }
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

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

// --- the editor's lines as one text

class JoinedText {
public:
    explicit JoinedText(QString text) : m_text(std::move(text)) {
        m_starts.push_back(0);
        const QChar* d = m_text.constData();
        for (qsizetype i = 0, n = m_text.size(); i < n; ++i)
            if (d[i] == u'\n')
                m_starts.push_back(i + 1);
    }
    const QString& text() const { return m_text; }
    int lines() const { return int(m_starts.size()); }
    qsizetype lineStart(int line) const { return m_starts[size_t(line)]; }
    qsizetype lineEnd(int line) const {
        return line + 1 < lines() ? m_starts[size_t(line) + 1] - 1 : m_text.size();
    }
    // A position past the text's end or its line's end stands at that end.
    qsizetype offsetOf(TextPos p) const {
        const int line = std::clamp(p.line, 0, lines() - 1);
        return lineStart(line) + std::clamp<qsizetype>(p.column, 0, lineEnd(line) - lineStart(line));
    }
    TextPos posOf(qsizetype offset) const {
        const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
        const int line = int(it - m_starts.begin()) - 1;
        return {line, int(offset - m_starts[size_t(line)])};
    }

private:
    QString m_text;
    std::vector<qsizetype> m_starts;
};

struct Piece {
    qsizetype start;
    qsizetype end;
};

// The scope as ordered pieces of the joined text that do not overlap.
std::vector<Piece> piecesOf(const JoinedText& doc, const SearchScope& scope) {
    std::vector<Piece> out;
    if (scope.whole) {
        out.push_back({0, doc.text().size()});
        return out;
    }
    for (const TextRange& r : scope.pieces) {
        qsizetype a = doc.offsetOf(r.begin), b = doc.offsetOf(r.end);
        if (b < a)
            std::swap(a, b);
        out.push_back({a, b});
    }
    std::sort(out.begin(), out.end(), [](const Piece& x, const Piece& y) { return x.start < y.start; });
    qsizetype reached = 0;
    for (Piece& p : out) {
        p.start = std::max(p.start, reached);
        p.end = std::max(p.end, p.start);
        reached = p.end;
    }
    return out;
}

QString pieceText(const JoinedText& doc, const Piece& p) {
    if (p.start == 0 && p.end == doc.text().size())
        return doc.text();
    return doc.text().mid(p.start, p.end - p.start);
}

// --- replacements

bool isReference(const QString& r, qsizetype i) {
    return r[i] == u'$' && i + 1 < r.size() && r[i + 1] >= u'0' && r[i + 1] <= u'9';
}

int referenceAt(const QString& r, qsizetype i) {
    return r[i + 1].unicode() - u'0';
}

// The highest group the replacement refers to; -1 for none.
int highestReference(const QString& r) {
    int highest = -1;
    for (qsizetype i = 0; i < r.size(); ++i)
        if (isReference(r, i))
            highest = std::max(highest, referenceAt(r, i++));
    return highest;
}

// The replacement with $0..$9 expanded; `groups` holds a start and an end
// (-1: took no part) for each of the first `count` groups of `original`.
qsizetype expandedSize(const QString& r, const qsizetype* groups, int count) {
    qsizetype size = 0;
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (!isReference(r, i)) {
            ++size;
            continue;
        }
        const int g = referenceAt(r, i++);
        if (g < count && groups[2 * g] >= 0)
            size += groups[2 * g + 1] - groups[2 * g];
    }
    return size;
}

void appendExpanded(QString& out, const QString& r, const qsizetype* groups, int count,
                    QStringView original) {
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (!isReference(r, i)) {
            out += r[i];
            continue;
        }
        const int g = referenceAt(r, i++);
        if (g < count && groups[2 * g] >= 0)
            out += original.mid(groups[2 * g], groups[2 * g + 1] - groups[2 * g]);
    }
}

struct Replacement {
    qsizetype start;
    qsizetype end;
    // Where its groups start in Replacer::groups.
    qsizetype groups;
};

// What replaces each occurrence, built where it goes: the groups the
// replacement refers to are kept as offsets into the text as it was.
struct Replacer {
    const QString& replacement;
    const QString& original;
    int count; // groups kept per occurrence; 0: the replacement stands as it is
    std::vector<qsizetype> groups;

    qsizetype size(const Replacement& r) const {
        return count ? expandedSize(replacement, &groups[size_t(r.groups)], count) : replacement.size();
    }
    void append(QString& out, const Replacement& r) const {
        if (count)
            appendExpanded(out, replacement, &groups[size_t(r.groups)], count, original);
        else
            out += replacement;
    }
    qsizetype moved(const Replacement& r) const { return size(r) - (r.end - r.start); }
};

// Applies replacements (ascending, not overlapping) to the editor as one
// change of the lines they touch; `doc` follows when asked to. Returns where
// `offset` of the changed text (inside the changed lines) stands.
TextPos applyReplacements(SearchEditor& editor, JoinedText& doc, const Replacer& with,
                          const std::vector<Replacement>& reps, qsizetype offset, bool updateDoc) {
    const QString& text = doc.text();
    const int first = doc.posOf(reps.front().start).line;
    const int last = doc.posOf(reps.back().end).line;
    const qsizetype from = doc.lineStart(first), to = doc.lineEnd(last);
    qsizetype size = to - from;
    for (const Replacement& r : reps)
        size += with.moved(r);
    QString changed;
    changed.reserve(size);
    qsizetype at = from;
    for (const Replacement& r : reps) {
        changed += QStringView(text).mid(at, r.start - at);
        with.append(changed, r);
        at = r.end;
    }
    changed += QStringView(text).mid(at, to - at);
    editor.replaceLines(first, last, changed);

    const QStringView before = QStringView(changed).left(offset - from);
    const TextPos pos{first + int(before.count(u'\n')), int(before.size() - before.lastIndexOf(u'\n') - 1)};
    if (updateDoc)
        doc = JoinedText(text.left(from) + changed + text.mid(to));
    return pos;
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
    m_regex = std::make_shared<const Regex>(code);
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
    if (!m_options.regex) {
        const Qt::CaseSensitivity cs = m_options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const QStringView needle(m_text);
        qsizetype pos = from;
        PatternMatch r;
        for (auto& g : r.groups)
            g[0] = g[1] = -1;
        for (;;) {
            const qsizetype i = s.indexOf(needle, pos, cs);
            if (i < 0)
                return true;
            if (m_options.wholeWords && !isWholeWord(s, i, i + needle.size())) {
                pos = i + 1;
                continue;
            }
            r.start = r.groups[0][0] = i;
            r.end = r.groups[0][1] = i + needle.size();
            if (!take(r))
                return true;
            pos = r.end;
        }
    }
    const Regex& re = *m_regex;
    const MatchData data = re.matchData();
    const qsizetype length = s.size();
    // Where the engine gave up on a call from `offset`: the first line whose
    // end, taken as the text's end, already makes it give up.
    auto lineOfGivingUp = [&](qsizetype offset, uint32_t options) {
        std::vector<qsizetype> ends;
        for (qsizetype i = s.indexOf(u'\n', offset); i >= 0; i = s.indexOf(u'\n', i + 1))
            ends.push_back(i);
        ends.push_back(length);
        size_t lo = 0, hi = ends.size() - 1;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            const int rc = re.match(s, ends[mid], offset, options, data.get());
            if (rc < 0 && rc != PCRE2_ERROR_NOMATCH)
                hi = mid;
            else
                lo = mid + 1;
        }
        const qsizetype end = ends[lo];
        return end == 0 ? 0 : s.lastIndexOf(u'\n', end - 1) + 1;
    };
    qsizetype pos = from;
    bool allowEmpty = emptyAtFrom;
    for (;;) {
        // One pass of global matching: each search starts where the last
        // occurrence ended; after an empty one, first a non-empty occurrence
        // right there, else the next search one character on. A whole-word
        // miss starts another pass one character after the rejected start.
        qsizetype offset = pos;
        bool previousEmpty = false;
        bool first = true;
        bool restart = false;
        for (;;) {
            uint32_t options = 0;
            int rc;
            if (!previousEmpty) {
                rc = re.match(s, length, offset, options, data.get());
            } else {
                options = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
                rc = re.match(s, length, offset, options, data.get());
                if (rc == PCRE2_ERROR_NOMATCH) {
                    if (++offset < length && s[offset].isLowSurrogate())
                        ++offset;
                    if (offset > length)
                        break;
                    options = 0;
                    rc = re.match(s, length, offset, options, data.get());
                }
            }
            if (rc == PCRE2_ERROR_NOMATCH)
                break;
            if (rc < 0) {
                if (gaveUpAt)
                    *gaveUpAt = lineOfGivingUp(offset, options);
                return false;
            }
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
            PatternMatch r;
            r.start = qsizetype(ov[0]);
            r.end = qsizetype(ov[1]);
            previousEmpty = r.empty();
            offset = r.end;
            const bool skip = first && !allowEmpty && r.empty() && r.start == pos;
            first = false;
            if (skip)
                continue;
            if (m_options.wholeWords && !isWholeWord(s, r.start, r.end)) {
                if (r.start >= length)
                    return true;
                pos = nextCharacter(s, r.start);
                allowEmpty = true;
                restart = true;
                break;
            }
            for (int g = 0; g < 10; ++g) {
                const bool set = g < rc && ov[2 * g] != PCRE2_UNSET;
                r.groups[g][0] = set ? qsizetype(ov[2 * g]) : -1;
                r.groups[g][1] = set ? qsizetype(ov[2 * g + 1]) : -1;
            }
            if (!take(r))
                return true;
        }
        if (!restart)
            return true;
    }
}

QString SearchPattern::expand(const QString& replacement, const PatternMatch& m, QStringView original) const {
    if (!m_options.regex || !replacement.contains(u'$'))
        return replacement;
    QString out;
    out.reserve(expandedSize(replacement, &m.groups[0][0], 10));
    appendExpanded(out, replacement, &m.groups[0][0], 10, original);
    return out;
}

// --- searching the editor's lines

QString tooComplexMessage(int line) {
    return QStringLiteral("The regular expression is too complex\rLine ") + QString::number(line + 1);
}

std::optional<TextRange> findOccurrence(const QString& text, const SearchPattern& pattern,
                                        const SearchScope& scope, TextPos caret, bool backward,
                                        bool skipEmptyAtCaret, int* gaveUpLine) {
    const JoinedText doc(text);
    const qsizetype at = doc.offsetOf(caret);
    std::vector<Piece> pieces = piecesOf(doc, scope);
    if (backward)
        std::reverse(pieces.begin(), pieces.end());
    std::optional<Piece> found;
    for (const Piece& p : pieces) {
        if (backward ? p.start > at : p.end < at)
            continue;
        const QString subject = pattern.prepared(pieceText(doc, p));
        bool ok = true;
        qsizetype gaveUpAt = 0;
        if (!backward) {
            const qsizetype from = std::max(at, p.start);
            ok = pattern.scan(
                subject, from - p.start, !(skipEmptyAtCaret && from == at),
                [&](const PatternMatch& m) {
                    found = Piece{p.start + m.start, p.start + m.end};
                    return false;
                },
                &gaveUpAt);
        } else {
            const qsizetype limit = std::min(p.end, at) - p.start;
            ok = pattern.scan(
                subject, 0, true,
                [&](const PatternMatch& m) {
                    if (m.end > limit)
                        return false;
                    if (!(skipEmptyAtCaret && m.empty() && p.start + m.start == at))
                        found = Piece{p.start + m.start, p.start + m.end};
                    return true;
                },
                &gaveUpAt);
        }
        if (!ok) {
            if (gaveUpLine)
                *gaveUpLine = doc.posOf(p.start + gaveUpAt).line;
            return std::nullopt;
        }
        if (found)
            return TextRange{doc.posOf(found->start), doc.posOf(found->end)};
    }
    return std::nullopt;
}

QString replaceAllIn(const QString& text, const SearchPattern& pattern, const QString& replacement,
                     int* count, bool* gaveUp) {
    const QString subject = pattern.prepared(text);
    QString out;
    qsizetype at = 0;
    int n = 0;
    const bool ok = pattern.scan(subject, 0, true, [&](const PatternMatch& m) {
        out += QStringView(text).mid(at, m.start - at);
        out += pattern.expand(replacement, m, text);
        at = m.end;
        ++n;
        return true;
    });
    if (gaveUp)
        *gaveUp = !ok;
    if (!ok)
        n = 0;
    if (count)
        *count = n;
    if (n == 0)
        return text;
    out += QStringView(text).mid(at);
    return out;
}

int replaceOccurrences(SearchEditor& editor, const SearchPattern& pattern, const QString& replacement,
                       const ReplaceRequest& request, int* gaveUpLine) {
    JoinedText doc(editor.text());
    const qsizetype at = doc.offsetOf(request.caret);
    const bool forward = !request.backward;

    // Every occurrence first, in the original text: replacements are never searched again.
    const QString original = doc.text();
    Replacer with{replacement, original, pattern.options().regex ? highestReference(replacement) + 1 : 0, {}};
    std::vector<Replacement> found;
    for (const Piece& p : piecesOf(doc, request.scope)) {
        if (!request.entire && (forward ? p.end < at : p.start > at))
            continue;
        const QString subject = pattern.prepared(pieceText(doc, p));
        const qsizetype from = request.entire || !forward ? 0 : std::max(at, p.start) - p.start;
        const qsizetype limit = request.entire || forward ? p.end - p.start : std::min(p.end, at) - p.start;
        qsizetype gaveUpAt = 0;
        const bool ok = pattern.scan(
            subject, from, true,
            [&](const PatternMatch& m) {
                if (m.end > limit)
                    return false;
                found.push_back({p.start + m.start, p.start + m.end, qsizetype(with.groups.size())});
                for (int g = 0; g < with.count; ++g)
                    for (const qsizetype offset : m.groups[g])
                        with.groups.push_back(offset < 0 ? -1 : p.start + offset);
                return true;
            },
            &gaveUpAt);
        if (!ok) {
            // Nothing was changed yet: the run ends before its first edit.
            if (gaveUpLine)
                *gaveUpLine = doc.posOf(p.start + gaveUpAt).line;
            return 0;
        }
    }
    if (found.empty())
        return 0;
    if (!request.confirm) {
        // Without questions: one change from the first occurrence to the last.
        qsizetype moved = 0;
        for (const Replacement& r : found)
            moved += with.moved(r);
        editor.beginEdits();
        const TextPos caret = applyReplacements(
            editor, doc, with, found, forward ? found.back().end + moved : found.front().start, false);
        editor.endEdits();
        editor.setCaret(caret);
        return int(found.size());
    }
    if (!forward)
        std::reverse(found.begin(), found.end());

    int count = 0;
    qsizetype shift = 0; // what the replacements made so far moved later text by
    std::optional<TextPos> caretAfter;
    bool all = false;
    std::vector<Replacement> rest;
    editor.beginEdits();
    for (const Replacement& r : found) {
        const Replacement live{r.start + (forward ? shift : 0), r.end + (forward ? shift : 0), r.groups};
        if (!all) {
            const TextRange shown{doc.posOf(live.start), doc.posOf(live.end)};
            editor.showFound(shown, !forward);
            const ReplaceAnswer answer = request.confirm(shown);
            if (answer == ReplaceAnswer::Cancel)
                break;
            if (answer == ReplaceAnswer::Skip)
                continue;
            if (answer == ReplaceAnswer::Replace) {
                caretAfter = applyReplacements(editor, doc, with, {live},
                                               forward ? live.start + with.size(live) : live.start, true);
                shift += with.moved(live);
                ++count;
                continue;
            }
            all = true;
        }
        rest.push_back(live);
        ++count;
    }
    if (!rest.empty()) {
        if (!forward)
            std::reverse(rest.begin(), rest.end());
        qsizetype moved = 0;
        for (const Replacement& r : rest)
            moved += with.moved(r);
        caretAfter = applyReplacements(editor, doc, with, rest,
                                       forward ? rest.back().end + moved : rest.front().start, false);
    }
    editor.endEdits();
    if (caretAfter)
        editor.setCaret(*caretAfter);
    return count;
}

} // namespace vorlane
