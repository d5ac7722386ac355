#pragma once

#include "core/editor/searchpattern.h"

#include <QList>
#include <QString>

#include <compare>
#include <functional>
#include <optional>
#include <vector>

namespace vorlane {

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

// An editor's lines joined by '\n', and the way between offsets in it and
// places in the editor.
class JoinedText {
public:
    explicit JoinedText(QString text);

    const QString& text() const { return m_text; }
    int lines() const { return int(m_starts.size()); }
    qsizetype lineStart(int line) const { return m_starts[size_t(line)]; }
    qsizetype lineEnd(int line) const;
    // A position past the text's end or its line's end stands at that end.
    qsizetype offsetOf(TextPos p) const;
    TextPos posOf(qsizetype offset) const;

private:
    QString m_text;
    std::vector<qsizetype> m_starts;
};

// A piece of the scope as offsets in the joined text.
struct Piece {
    qsizetype start;
    qsizetype end;
};

// The scope as ordered pieces of the joined text that do not overlap.
std::vector<Piece> piecesOf(const JoinedText& doc, const SearchScope& scope);

// Each occurrence in one piece from the offset `from` on, as
// SearchPattern::scan finds them in the piece's own text, but with offsets
// in the joined text. Returns false when the engine gave up, with
// `*gaveUpLine` the line where it did.
bool scanPiece(const JoinedText& doc, const Piece& piece, const SearchPattern& pattern, qsizetype from,
               bool emptyAtFrom, const std::function<bool(const PatternMatch&)>& take, int* gaveUpLine);

// The occurrence nearest the caret in `text` (an editor's lines joined by
// '\n'): going forward the first that starts at or after it, going backward
// the last that ends at or before it. With `skipEmptyAtCaret`, an empty
// occurrence at the caret (the one found last) is passed over. When the engine
// gives up, nothing is found and `*gaveUpLine` is the line where it did.
std::optional<TextRange> findOccurrence(const QString& text, const SearchPattern& pattern,
                                        const SearchScope& scope, TextPos caret, bool backward,
                                        bool skipEmptyAtCaret, int* gaveUpLine = nullptr);

} // namespace vorlane
