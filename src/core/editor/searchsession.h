#pragma once

#include "core/editor/searchreplace.h"
#include "core/platform/prompts.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>
#include <optional>

namespace vorlane {

// What the search and replace dialogs hand the commands.
struct SearchSettings {
    QString text;
    QString replacement;
    SearchOptions options;
    bool backward = false;
    // Origin: from the caret, rather than the entire text or selection.
    bool fromCursor = false;
    // Scope: the selected text, rather than all of it.
    bool selectedText = false;
    bool prompt = true;
};

// A selection as the "Selected text" scope keeps it.
struct SearchBlock {
    enum Mode { Stream, Column };
    Mode mode = Stream;
    // Stream: begin and end. Column: the anchor and caret corners, whose
    // column may lie past the end of its line (in the virtual space).
    TextPos anchor;
    TextPos caret;
    // Column: the selected piece of each row that reaches the block.
    QList<TextRange> rows;

    SearchScope scope() const;
};

// An editor that the search commands act on: its text, caret and selection.
class SearchTarget : public SearchEditor {
public:
    // None when nothing is selected.
    virtual std::optional<SearchBlock> selection() const = 0;
    virtual void select(const SearchBlock& block) = 0;
};

// The logic of Find, Find next, Find previous and Replace over one editor:
// where the caret goes, the block of "Selected text", the counts and the
// messages. The dialogs belong to the window; their choices arrive here.
class SearchSession {
public:
    SearchSession(Prompts& prompts, std::function<void()> beep);

    enum class Outcome { Done, NeedText };

    // The search dialog closed with OK: places the caret by origin and scope
    // and searches. NeedText: the search text is empty, ask again.
    Outcome find(SearchTarget& editor, const SearchSettings& settings);
    // Find next (backwards false) and Find previous (true); the dialog's
    // direction "Backward" also searches backward.
    Outcome searchAgain(SearchTarget& editor, const SearchSettings& settings, bool backwards);
    // The replace dialog closed with OK: places the caret, replaces (asking
    // `confirm` for each occurrence when prompting) and reports the count.
    // Returns the count, or -1 when nothing ran (a malformed pattern, or one
    // the engine gave up on: nothing is replaced then).
    int replace(SearchTarget& editor, const SearchSettings& settings,
                const std::function<ReplaceAnswer(const TextRange&)>& confirm);

private:
    bool compiles(const SearchPattern& pattern);
    bool saveBlock(SearchTarget& editor, const SearchSettings& settings, const QString& whenEmpty);
    void placeCaret(SearchTarget& editor, const SearchSettings& settings);
    void inform(const QString& text);

    Prompts& m_prompts;
    std::function<void()> m_beep;
    std::optional<SearchBlock> m_saved;
    // The occurrence found last: while the caret stands at it, the next
    // search starts past it in either direction.
    const SearchTarget* m_lastIn = nullptr;
    TextRange m_last;
};

// The text goes to the top of the history: inserted when new, moved when it
// was there. An empty text is not kept.
void rememberText(QStringList& history, const QString& text);

// Where the confirmation dialog goes (its top-left corner) for an occurrence
// at x whose line runs from y1 to y2, all on the screen: above the occurrence
// when it lies in the lower third of the editor, else below it; centred on an
// editor not wider than the dialog, otherwise kept from passing its right edge.
QPoint confirmDialogPosition(const QRect& editor, int x, int y1, int y2, const QSize& dialog);

} // namespace vorlane
