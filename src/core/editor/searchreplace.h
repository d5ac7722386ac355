#pragma once

#include "core/editor/search.h"

#include <QString>

#include <functional>

namespace vorlane {

// What replaces an occurrence: regular expressions expand $0..$9 in the
// replacement (one digit each: "$10" is group 1 and a "0") from the text as
// it was; every other character, "$" included, stands for itself.

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
