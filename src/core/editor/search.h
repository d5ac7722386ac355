#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <compare>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vorlane {

// How a search text is read.
struct SearchOptions {
    bool regex = false;
    bool matchCase = false;
    bool wholeWords = false;
};

// A place in an editor's text: line and column from 0, the column counted in
// UTF-16 units of the line as the file-name codec decodes it.
struct TextPos {
    int line = 0;
    int column = 0;
    friend bool operator==(const TextPos&, const TextPos&) = default;
    friend auto operator<=>(const TextPos&, const TextPos&) = default;
};

struct TextRange {
    TextPos begin;
    TextPos end;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// Where a search looks: the whole text, or pieces of it (the selected text,
// or each row of a column selection). A piece is searched as a text of its
// own: "^", "$" and look-behind stop at its edges, and what replaces an
// occurrence stays inside it.
struct SearchScope {
    bool whole = true;
    QList<TextRange> pieces;

    static SearchScope of(QList<TextRange> pieces) { return {false, std::move(pieces)}; }
};

// One occurrence inside the text it was found in: offsets of the whole match
// and of the groups $1..$9 (-1 when a group took no part).
struct PatternMatch {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype groups[10][2] = {};
    bool empty() const { return start == end; }
};

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
    // What replaces one occurrence: regular expressions expand $0..$9 (one
    // digit each: "$10" is group 1 and a "0") from the original text; every
    // other character, "$" included, stands for itself.
    QString expand(const QString& replacement, const PatternMatch& m, QStringView original) const;

private:
    class Regex;

    SearchOptions m_options;
    QString m_text;
    std::shared_ptr<const Regex> m_regex;
    QString m_errorText;
    qsizetype m_errorOffset = -1;
};

// What a search that the engine gave up on says: "The regular expression is
// too complex" and the line where it gave up ("Line 1" for line 0), '\r'
// between them.
QString tooComplexMessage(int line);

// The occurrence nearest the caret in `text` (an editor's lines joined by
// '\n'): going forward the first that starts at or after it, going backward
// the last that ends at or before it. With `skipEmptyAtCaret`, an empty
// occurrence at the caret (the one found last) is passed over. When the engine
// gives up, nothing is found and `*gaveUpLine` is the line where it did.
std::optional<TextRange> findOccurrence(const QString& text, const SearchPattern& pattern,
                                        const SearchScope& scope, TextPos caret, bool backward,
                                        bool skipEmptyAtCaret, int* gaveUpLine = nullptr);

// The text with every occurrence replaced, for one name at a time. When the
// engine gives up, the text comes back as it was and `*gaveUp` is true.
QString replaceAllIn(const QString& text, const SearchPattern& pattern, const QString& replacement,
                     int* count = nullptr, bool* gaveUp = nullptr);

enum class ReplaceAnswer { Replace, Skip, ReplaceAll, Cancel };

// What a search and a replace run need of an editor.
class SearchEditor {
public:
    virtual ~SearchEditor() = default;
    // Its lines joined by '\n'.
    virtual QString text() const = 0;
    virtual TextPos caret() const = 0;
    virtual void setCaret(TextPos pos) = 0;
    // Selects an occurrence and scrolls to it; the caret at its end, or at its
    // start going backward.
    virtual void showFound(const TextRange& found, bool caretAtStart) = 0;
    // Replaces lines first..last by the lines of `with` (joined by '\n').
    virtual void replaceLines(int first, int last, const QString& with) = 0;
    // Edits between these two are one step of the undo history.
    virtual void beginEdits() {}
    virtual void endEdits() {}
};

struct ReplaceRequest {
    SearchScope scope;
    TextPos caret;
    bool backward = false;
    // The whole scope; otherwise from the caret on (or up to it going backward).
    bool entire = true;
    // Asked for each occurrence, which the editor shows first; none: replace all.
    std::function<ReplaceAnswer(const TextRange&)> confirm;
};

// Replaces the occurrences in the editor, in the order of the direction,
// asking for each while `confirm` is set and not answered ReplaceAll. What
// replaces an occurrence is never searched again. All edits are one undo
// step; the caret ends after the last replacement (before it going
// backward). Returns how many were replaced. When the engine gives up, the
// editor is left as it was, 0 comes back and `*gaveUpLine` is the line where
// it did.
int replaceOccurrences(SearchEditor& editor, const SearchPattern& pattern, const QString& replacement,
                       const ReplaceRequest& request, int* gaveUpLine = nullptr);

} // namespace vorlane
