#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>

namespace vorlane {

// How a search text is read.
struct SearchOptions {
    bool regex = false;
    bool matchCase = false;
    bool wholeWords = false;
};

// One occurrence inside the text it was found in: offsets of the whole match
// and of the groups $1..$9 (-1 when a group took no part).
struct PatternMatch {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype groups[10][2] = {};
    bool empty() const { return start == end; }
};

class CompiledRegex;

// A search text compiled once per command: plain text or a regular expression
// (PCRE2). Regular expressions take "^" and "$" at every line, a "." that
// stops at line breaks, and letter case from the options; the inline
// modifiers of PCRE2 change that, and "(?g)" / "(?-g)" switch between greedy
// and lazy quantifiers. An empty search text finds nothing.
//
// A regular expression gets a bounded number of steps per search: one that
// would backtrack for minutes (nested repeats such as "(a+)+$" on a long
// name) makes the engine give up, and the search says so instead of finding
// nothing.
class SearchPattern {
public:
    SearchPattern(const QString& text, const SearchOptions& options);

    const SearchOptions& options() const { return m_options; }
    bool isValid() const { return m_errorOffset < 0; }
    // Why a regular expression does not compile, and where: the offset PCRE2
    // reports, counted in the text as typed.
    QString errorText() const { return m_errorText; }
    qsizetype errorOffset() const { return m_errorOffset; }
    // "Bad regular expression '...'" with the cause and its position, '\r' between lines.
    QString errorMessage() const;

    // The subject as the matcher reads it; offsets are the same in both.
    QString prepared(const QString& subject) const;
    // Each occurrence in `subject` (as prepared) from `from` on, in order,
    // until `take` returns false. Occurrences never overlap; an empty one is
    // followed by the next at least one character on, so no scan loops. With
    // `emptyAtFrom` false, an empty occurrence exactly at `from` is passed over.
    // Returns false when the engine gave up, with `gaveUpAt` set to the start
    // of the line of `subject` where it did; the occurrences passed to `take`
    // before stand.
    bool scan(QStringView subject, qsizetype from, bool emptyAtFrom,
              const std::function<bool(const PatternMatch&)>& take, qsizetype* gaveUpAt = nullptr) const;

private:
    SearchOptions m_options;
    QString m_text;
    std::shared_ptr<const CompiledRegex> m_regex;
    QString m_errorText;
    qsizetype m_errorOffset = -1;
};

// What a search that the engine gave up on says: "The regular expression is
// too complex" and the line where it gave up ("Line 1" for line 0), '\r'
// between them.
QString tooComplexMessage(int line);

} // namespace vorlane
