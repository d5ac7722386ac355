#pragma once

class QFont;
class QsciScintilla;

namespace vorlane {

struct Options;

// The fixed-pitch design font of both panes and the mask editor.
QFont editorFont();

// Settings shared by the name editor and the buffer editor: fixed-pitch font,
// no margins, column selection with Alt, auto-indent, drag and drop of text,
// virtual space, spaces for tabs, trailing blanks of typed lines trimmed.
void setupEditor(QsciScintilla* editor);
// The name editor's own: scrolling past the end, the horizontal range of the
// longest line, no vertical scroll bar, a horizontal one only with the option,
// the right-edge marker at the alarm length, lines as high as the list's.
void setupNameEditor(QsciScintilla* editor, const Options& options, int lineHeight);
// Applies the options that the name editor shows (scroll bar, edge column).
void applyNameEditorOptions(QsciScintilla* editor, const Options& options);

} // namespace vorlane
