#include "searchsession.h"

#include "core/platform/paths.h"

#include <cmath>

namespace vorlane {

namespace {
const QString kError = QStringLiteral("Error");
const QString kInformation = QStringLiteral("Information!");

TextPos endOfText(const QString& text) {
    const qsizetype lastBreak = text.lastIndexOf(u'\n');
    return {int(text.count(u'\n')), int(text.size() - lastBreak - 1)};
}
} // namespace

SearchScope SearchBlock::scope() const {
    if (mode == Column)
        return SearchScope::of(rows);
    return SearchScope::of({{qMin(anchor, caret), qMax(anchor, caret)}});
}

SearchSession::SearchSession(Prompts& prompts, std::function<void()> beep)
    : m_prompts(prompts), m_beep(std::move(beep)) {}

bool SearchSession::compiles(const SearchPattern& pattern) {
    if (pattern.isValid())
        return true;
    m_prompts.error(kError, pattern.errorMessage());
    return false;
}

void SearchSession::inform(const QString& text) {
    m_prompts.ask(kInformation, text, Prompts::Icon::Information, Prompts::Buttons::Ok);
}

// "Selected text": the selection becomes the saved block and the caret goes
// to the end the search starts from.
bool SearchSession::saveBlock(SearchTarget& editor, const SearchSettings& settings,
                              const QString& whenEmpty) {
    const std::optional<SearchBlock> block = editor.selection();
    if (!block) {
        m_prompts.error(kError, whenEmpty);
        return false;
    }
    m_saved = block;
    const SearchScope scope = block->scope();
    if (!scope.pieces.isEmpty())
        editor.setCaret(settings.backward ? scope.pieces.last().end : scope.pieces.first().begin);
    return true;
}

void SearchSession::placeCaret(SearchTarget& editor, const SearchSettings& settings) {
    if (!settings.fromCursor)
        editor.setCaret(settings.backward ? endOfText(editor.text()) : TextPos{});
}

SearchSession::Outcome SearchSession::find(SearchTarget& editor, const SearchSettings& settings) {
    // A malformed pattern is reported before anything moves.
    if (!compiles(SearchPattern(settings.text, settings.options)))
        return Outcome::Done;
    m_lastIn = nullptr;
    if (settings.selectedText) {
        if (!saveBlock(editor, settings, QStringLiteral("Selected text is empty!\rSearch is impossible")))
            return Outcome::Done;
    } else {
        placeCaret(editor, settings);
    }
    return searchAgain(editor, settings, false);
}

SearchSession::Outcome SearchSession::searchAgain(SearchTarget& editor, const SearchSettings& settings,
                                                  bool backwards) {
    if (settings.text.isEmpty())
        return Outcome::NeedText;
    const SearchPattern pattern(settings.text, settings.options);
    if (!compiles(pattern))
        return Outcome::Done;
    SearchScope scope;
    if (settings.selectedText) {
        if (!m_saved) {
            m_prompts.error(kError, QStringLiteral("Selected text is empty!\rSearch is impossible"));
            return Outcome::Done;
        }
        scope = m_saved->scope();
    }
    const bool backward = settings.backward || backwards;
    TextPos from = editor.caret();
    bool onEmpty = false;
    if (m_lastIn == &editor && (from == m_last.begin || from == m_last.end)) {
        from = backward ? m_last.begin : m_last.end;
        onEmpty = m_last.begin == m_last.end;
    }
    m_lastIn = nullptr;
    int gaveUpLine = -1;
    const std::optional<TextRange> found =
        findOccurrence(editor.text(), pattern, scope, from, backward, onEmpty, &gaveUpLine);
    if (gaveUpLine >= 0) {
        if (settings.selectedText)
            editor.select(*m_saved);
        m_prompts.error(kError, tooComplexMessage(gaveUpLine));
        return Outcome::Done;
    }
    if (found) {
        editor.showFound(*found, backward);
        m_lastIn = &editor;
        m_last = *found;
        return Outcome::Done;
    }
    if (m_beep)
        m_beep();
    if (settings.selectedText)
        editor.select(*m_saved);
    inform(QStringLiteral("Search string '") + withVisibleControls(settings.text) +
           QStringLiteral("' not found!"));
    return Outcome::Done;
}

int SearchSession::replace(SearchTarget& editor, const SearchSettings& settings,
                           const std::function<ReplaceAnswer(const TextRange&)>& confirm) {
    const SearchPattern pattern(settings.text, settings.options);
    if (!compiles(pattern))
        return -1;
    if (hasLineBreakOrNul(settings.replacement)) {
        m_prompts.error(kError, QStringLiteral("The replacement holds a line break or a NUL character"));
        return -1;
    }
    if (settings.selectedText) {
        if (!saveBlock(editor, settings, QStringLiteral("Tried to search marked block but it is invalid")))
            return -1;
    } else {
        placeCaret(editor, settings);
    }
    m_lastIn = nullptr;

    ReplaceRequest request;
    if (settings.selectedText)
        request.scope = m_saved->scope();
    request.caret = editor.caret();
    request.backward = settings.backward;
    request.entire = !settings.fromCursor;
    if (settings.prompt)
        request.confirm = confirm;
    int gaveUpLine = -1;
    const int count = replaceOccurrences(editor, pattern, settings.replacement, request, &gaveUpLine);

    if (settings.selectedText)
        editor.select(*m_saved);
    if (gaveUpLine >= 0) {
        m_prompts.error(kError, tooComplexMessage(gaveUpLine));
        return -1;
    }
    if (m_beep)
        m_beep();
    const QString quoted = QStringLiteral("String '") + withVisibleControls(settings.text) + u'\'';
    inform(count > 0
               ? quoted + QStringLiteral(" replaced ") + QString::number(count) + QStringLiteral(" time(s)")
               : quoted + QStringLiteral(" not found!"));
    return count;
}

void rememberText(QStringList& history, const QString& text) {
    if (text.isEmpty())
        return;
    history.removeAll(text);
    history.prepend(text);
}

QPoint confirmDialogPosition(const QRect& editor, int x, int y1, int y2, const QSize& dialog) {
    const int w = editor.width(), h = editor.height();
    const int right = editor.left() + w;
    if (w <= dialog.width())
        x = editor.left() - (dialog.width() - w) / 2;
    else if (x + dialog.width() > right)
        x = right - dialog.width();
    const int lowerThird = editor.top() + int(std::lround(h * 2.0 / 3.0));
    const int y = lowerThird < y2 ? y1 - dialog.height() - 4 : y2 + 4;
    return {x, y};
}

} // namespace vorlane
