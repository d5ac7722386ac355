#pragma once

#include "core/editor/namelines.h"

#include <Qsci/qsciscintilla.h>

#include <QVector>

#include <functional>
#include <memory>

class QAction;

namespace vorlane {

struct Options;
class SciNameLines;

// The fixed-pitch design font of both panes and the mask editor.
QFont editorFont();

// The plain-text editor of the names (the right pane) and of the buffer
// window: fixed-pitch font, no margins, column selection with Alt (and a
// Shift+Alt switch), auto-indent, drag and drop, virtual space, spaces for
// tabs, trailing blanks of typed lines trimmed when the caret leaves them.
// The names pane also scrolls past its end, never shows a vertical scroll bar
// (it scrolls with the file list), marks the alarm column and colours the
// lines that stand beside separators.
class NameEditor : public QsciScintilla {
    Q_OBJECT
public:
    enum class Role { Names, Scratch };

    explicit NameEditor(Role role, QWidget* parent = nullptr);
    ~NameEditor() override;

    // The text as lines, byte for byte (names that are not UTF-8 included).
    NameLines& lines();

    // The scroll bar and the alarm column follow the options.
    void applyOptions(const Options& options);
    // Every line exactly `pixels` high, whatever font was found (also after a
    // change of font), so that the lines stand beside the file list's rows.
    void setLineHeight(int pixels);

    // Lines drawn navy on light pink (by position: they stay at these indexes
    // when text moves under them).
    void setSeparatorLines(QVector<int> lines);
    // Lines whose names will fail to rename, drawn on light amber.
    void setConflictLines(const QVector<int>& lines);

    // The line count the editor keeps (the file list's): a change that leaves
    // fewer lines is followed by empty lines up to it, and the change and its
    // padding are one step of the undo history, so that undo and redo go
    // between padded texts and never pad again.
    void setPadTarget(std::function<int()> target);
    // Pads as soon as the current change is done (an editor cannot be changed
    // inside its own change notification; the count is read then).
    void padLater();
    // Empties the undo history, padding first what is still due.
    void forgetHistory();

    void undo() override;
    void redo() override;

    bool columnMode() const;
    // The selected text, lines joined by CR LF.
    QString selectedTextCrLf() const;
    // Replaces the selection through the clipboard (one undo step; a column
    // selection goes back as a column) and selects the same characters again.
    void replaceSelection(const QString& text);
    // Replaces the selection by a conversion of it; nothing when empty.
    void convertSelection(QString (*conversion)(const QString&));

    // The editor's own key bindings give way to these actions' shortcuts.
    void yieldKeysTo(const QList<QAction*>& actions);

Q_SIGNALS:
    // After every key-down and mouse release: whether column mode is on.
    void selectionModeShown(bool column);
    void keyReleased();
    // Empty lines were appended to reach the pad target.
    void padded();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void trimTypedLines();
    void bindKeys();
    void keyPressed(QKeyEvent* e);
    void passToEditor(QKeyEvent* e);
    void openPadStep(long pos, long length);
    void padNow();
    void scheduleSeparatorColours();
    void colourSeparators();
    void showSelectionModeLater();

    Role m_role;
    std::unique_ptr<SciNameLines> m_lines;
    QVector<int> m_separators;
    bool m_colourPending = false;
    bool m_padPending = false;
    // An undo step begun before a deletion that leaves the editor short,
    // ended after its padding.
    bool m_padStepOpen = false;
    std::function<int()> m_padTarget;
    int m_typedLine = -1;
    int m_lineHeight = 0;
};

} // namespace vorlane
