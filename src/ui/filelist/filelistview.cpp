#include "filelistview.h"

#include "core/filelist/filelist.h"
#include "core/platform/paths.h"
#include "core/settings/options.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

namespace vorlane {

namespace {
const QColor kSeparatorPink(255, 213, 213);
} // namespace

FileListView::FileListView(FileList& list, const Options& options, QWidget* parent)
    : QAbstractScrollArea(parent), m_list(list), m_options(options) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    refresh();
}

int FileListView::topLine() const {
    return verticalScrollBar()->value();
}

void FileListView::setTopLine(int line) {
    verticalScrollBar()->setValue(line);
}

int FileListView::visibleRows() const {
    return qMax(1, viewport()->height() / kRowHeight);
}

int FileListView::rowAt(const QPoint& pos) const {
    if (pos.y() < 0)
        return -1;
    const int row = topLine() + pos.y() / kRowHeight;
    return row < m_list.count() ? row : -1;
}

QRect FileListView::rowRect(int index) const {
    return QRect(0, (index - topLine()) * kRowHeight, viewport()->width(), kRowHeight);
}

void FileListView::ensureVisible(int index) {
    if (index < 0)
        return;
    if (index < topLine())
        setTopLine(index);
    else if (index >= topLine() + visibleRows())
        setTopLine(index - visibleRows() + 1);
}

void FileListView::refresh() {
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(visibleRows());
    bar->setRange(0, qMax(0, m_list.count() - visibleRows()));
    measureLines();
    fitHorizontalRange();
    viewport()->update();
}

QString FileListView::shownText(int index) const {
    const ListLine& line = m_list.line(index);
    if (!m_options.Dsfcb)
        return visibleName(line.text);
    return visibleName(line.isSeparator() ? separatorName(line.text) : fileNamePart(line.text));
}

int FileListView::textLeft(int index) const {
    // A separator's text stands right of its 16-pixel image.
    return m_list.isSeparator(index) ? 16 + 4 : 0;
}

void FileListView::measureLines() {
    const int n = m_list.count();
    const bool same = m_measuredDsfcb == m_options.Dsfcb && m_measuredFont == font();
    if (same && m_measuredVersion == m_list.structureVersion() && m_measuredCount == n)
        return;
    // Lines only added: the widest so far still stands.
    const int from = same && n > m_measuredCount ? m_measuredCount : 0;
    if (from == 0)
        m_contentWidth = 0;
    // Both panes use a fixed-pitch font, so the line with the most characters
    // is the widest; only that one is measured in pixels.
    int widest = -1;
    qsizetype most = -1;
    for (int i = from; i < n; ++i) {
        const ListLine& line = m_list.line(i);
        qsizetype chars = line.text.size();
        if (m_options.Dsfcb && !line.isSeparator())
            chars -= lastDelimiter(line.text) + 1;
        else if (m_options.Dsfcb)
            chars = separatorName(line.text).size();
        if (chars > most) {
            most = chars;
            widest = i;
        }
    }
    if (widest >= 0) {
        const int w = textLeft(widest) + fontMetrics().horizontalAdvance(shownText(widest)) + 2;
        m_contentWidth = qMax(m_contentWidth, w);
    }
    m_measuredVersion = m_list.structureVersion();
    m_measuredCount = n;
    m_measuredDsfcb = m_options.Dsfcb;
    m_measuredFont = font();
}

void FileListView::fitHorizontalRange() {
    QScrollBar* bar = horizontalScrollBar();
    const int page = viewport()->width();
    bar->setPageStep(page);
    bar->setSingleStep(qMax(1, fontMetrics().horizontalAdvance(u'M')));
    bar->setRange(0, qMax(0, m_contentWidth - page));
}

void FileListView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const int first = topLine();
    const int last = qMin(m_list.count() - 1, first + viewport()->height() / kRowHeight + 1);
    const int shift = horizontalScrollBar()->value();
    int widest = m_contentWidth;
    for (int i = first; i <= last; ++i) {
        // Scrolled to the right, the row begins left of the pane and still
        // ends at its right edge.
        const QRect r = rowRect(i).adjusted(-shift, 0, 0, 0);
        Lb1DrawItem(p, r, i);
        // A line that grew since it was measured (a renamed file, a wide
        // character) widens the range when it shows.
        widest = qMax(widest, textLeft(i) + fontMetrics().horizontalAdvance(shownText(i)) + 2);
        if (i == m_list.caret() && hasFocus()) {
            QStyleOptionFocusRect o;
            o.initFrom(this);
            o.rect = r;
            o.backgroundColor = palette().color(QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
        }
    }
    if (widest > m_contentWidth) {
        m_contentWidth = widest;
        QMetaObject::invokeMethod(
            this, [this] { fitHorizontalRange(); }, Qt::QueuedConnection);
    }
}

void FileListView::Lb1DrawItem(QPainter& p, const QRect& rect, int index) {
    if (index < 0 || index >= m_list.count())
        return;
    const ListLine& line = m_list.line(index);
    p.save();
    p.setClipRect(rect);
    p.setFont(font());
    const QFontMetrics fm(p.font());
    if (line.isSeparator()) {
        p.fillRect(rect, line.selected ? palette().color(QPalette::Button) : kSeparatorPink);
        p.setPen(Qt::black);
        if (m_separatorImage.isNull())
            m_separatorImage = style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16);
        p.drawPixmap(rect.left() + 2, rect.top(), 16, 16, m_separatorImage);
        const int textLeft = rect.left() + 16 + 4;
        const QString text = visibleName(m_options.Dsfcb ? separatorName(line.text) : line.text);
        p.drawText(QPoint(textLeft, rect.top() + fm.ascent()), text);
        p.drawLine(textLeft, rect.bottom(), rect.right(), rect.bottom());
    } else {
        const QPalette& pal = palette();
        p.fillRect(rect, line.selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        p.setPen(line.selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        const QString text = visibleName(m_options.Dsfcb ? fileNamePart(line.text) : line.text);
        p.drawText(QPoint(rect.left(), rect.top() + fm.ascent()), text);
    }
    p.restore();
}

void FileListView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    refresh();
}

void FileListView::scrollContentsBy(int, int dy) {
    viewport()->update();
    if (dy != 0)
        Q_EMIT scrolled();
}

void FileListView::moveCaretTo(int index, Qt::KeyboardModifiers mods) {
    if (m_list.count() == 0)
        return;
    index = qBound(0, index, m_list.count() - 1);
    m_list.beginUpdate();
    if (mods & Qt::ShiftModifier) {
        if (!(mods & Qt::ControlModifier))
            m_list.clearSelection();
        m_list.selectRange(m_anchor, index, true);
    } else if (!(mods & Qt::ControlModifier)) {
        m_list.selectOnly(index);
        m_anchor = index;
    }
    m_list.setCaret(index);
    m_list.endUpdate();
    ensureVisible(index);
}

void FileListView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    const int row = rowAt(e->position().toPoint());
    if (row < 0)
        return;
    if ((e->modifiers() & Qt::ControlModifier) && !(e->modifiers() & Qt::ShiftModifier)) {
        m_list.beginUpdate();
        m_list.setSelected(row, !m_list.isSelected(row));
        m_list.setCaret(row);
        m_list.endUpdate();
        m_anchor = row;
    } else {
        moveCaretTo(row, e->modifiers());
    }
    m_dragging = true;
}

void FileListView::mouseMoveEvent(QMouseEvent* e) {
    // The list may have been emptied since the button went down.
    if (!m_dragging || !(e->buttons() & Qt::LeftButton) || m_list.count() == 0)
        return;
    int row = topLine() + int(e->position().y()) / kRowHeight;
    if (e->position().y() < 0)
        row = topLine() - 1;
    row = qBound(0, row, m_list.count() - 1);
    if (row != m_list.caret())
        moveCaretTo(row, Qt::ShiftModifier);
}

void FileListView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        Q_EMIT clicked();
    }
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rowAt(e->position().toPoint()) >= 0)
        Q_EMIT doubleClicked();
}

void FileListView::keyPressEvent(QKeyEvent* e) {
    const int caret = qMax(0, m_list.caret());
    const int page = qMax(1, visibleRows() - 1);
    int target = -1;
    switch (e->key()) {
    case Qt::Key_Up:
        target = caret - 1;
        break;
    case Qt::Key_Down:
        target = caret + 1;
        break;
    case Qt::Key_PageUp:
        target = caret - page;
        break;
    case Qt::Key_PageDown:
        target = caret + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = m_list.count() - 1;
        break;
    case Qt::Key_F2:
        if (e->modifiers() == Qt::NoModifier) {
            Q_EMIT editNameRequested();
            return;
        }
        QAbstractScrollArea::keyPressEvent(e);
        return;
    case Qt::Key_Space:
        if (m_list.caret() >= 0) {
            const bool toggle = e->modifiers() & Qt::ControlModifier;
            m_list.setSelected(caret, toggle ? !m_list.isSelected(caret) : true);
            Q_EMIT clicked();
        }
        return;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    if (m_list.count() == 0 || (e->modifiers() & Qt::AltModifier))
        return;
    moveCaretTo(target, e->modifiers());
    Q_EMIT clicked();
}

void FileListView::keyReleaseEvent(QKeyEvent* e) {
    QAbstractScrollArea::keyReleaseEvent(e);
    Q_EMIT keyReleased();
}

void FileListView::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 40; // three lines per notch
    if (steps != 0)
        setTopLine(topLine() - steps);
    if (const int dx = e->angleDelta().x(); dx != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        dx / 40 * horizontalScrollBar()->singleStep());
    e->accept();
}

} // namespace vorlane
