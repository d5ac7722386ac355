#pragma once

#include <QAbstractScrollArea>

#include <QPixmap>

namespace vorlane {

class FileList;
struct Options;

// The left pane: draws the core's lines with a fixed line height and edits the
// core's selection and caret the way a multi-selection list box does (click,
// Ctrl+click, Shift+click, drag, arrows, pages). Nothing is copied out of the
// core, so the view costs the same for a million lines as for ten.
class FileListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 16;

    FileListView(FileList& list, const Options& options, QWidget* parent = nullptr);

    // Draws line `index` into `rect`: a separator pink with the folder image,
    // its name (the last component with "Don't show folders on left") and a
    // line along its foot; a file as its name or its full path.
    void Lb1DrawItem(QPainter& painter, const QRect& rect, int index);

    int topLine() const;
    void setTopLine(int line);
    int visibleRows() const;
    int rowAt(const QPoint& viewportPos) const;
    QRect rowRect(int index) const;
    void ensureVisible(int index);
    // The core changed: fit the scroll ranges and repaint.
    void refresh();
    // Pixels the widest line needs: what the horizontal scroll bar spans.
    int contentWidth() const { return m_contentWidth; }

Q_SIGNALS:
    void clicked();
    void doubleClicked();
    void keyReleased();
    // A vertical scroll or a mouse-wheel turn moved the top line.
    void scrolled();
    // F2: the user wants to edit the caret line's new name.
    void editNameRequested();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void moveCaretTo(int index, Qt::KeyboardModifiers mods);
    // The text drawn for a line and where it begins.
    QString shownText(int index) const;
    int textLeft(int index) const;
    // Keeps contentWidth up to date without measuring every line at each
    // change: lines appended since the last look are measured alone, and all
    // lines only when lines went away or moved (after which the widest may be
    // another) or the shown text changed kind.
    void measureLines();
    void fitHorizontalRange();

    FileList& m_list;
    const Options& m_options;
    QPixmap m_separatorImage;
    int m_anchor = 0;
    bool m_dragging = false;
    int m_contentWidth = 0;
    // What measureLines saw last: the list's structure, its length, the
    // shown kind of text and the font.
    quint64 m_measuredVersion = ~quint64(0);
    int m_measuredCount = 0;
    bool m_measuredDsfcb = false;
    QFont m_measuredFont;
};

} // namespace vorlane
