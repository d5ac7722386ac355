#include "scisearchtarget.h"

#include "core/platform/paths.h"
#include "ui/editor/nameeditor.h"

#include <algorithm>

namespace vorlane {

namespace {
QByteArray bytes(QsciScintilla* e, long start, long end) {
    if (end <= start)
        return {};
    // Room for the terminating zero the editor writes after the range.
    QByteArray out(end - start + 1, Qt::Uninitialized);
    e->SendScintilla(QsciScintilla::SCI_GETTEXTRANGE, start, end, out.data());
    out.chop(1);
    return out;
}
} // namespace

QString SciSearchTarget::lineText(int line) const {
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(line));
    const long end = m_e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, long(line));
    return decodeName(bytes(m_e, start, end));
}

long SciSearchTarget::position(TextPos pos, long* virtualSpace) const {
    const int last = int(m_e->SendScintilla(QsciScintilla::SCI_GETLINECOUNT)) - 1;
    const int line = std::clamp(pos.line, 0, last);
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(line));
    const QString text = lineText(line);
    const int column = std::max(pos.column, 0);
    if (virtualSpace)
        *virtualSpace = std::max<long>(0, column - text.size());
    return start + long(encodeName(text.left(column)).size());
}

TextPos SciSearchTarget::textPos(long position, long virtualSpace) const {
    const int line = int(m_e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, position));
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(line));
    return {line, int(decodeName(bytes(m_e, start, position)).size() + virtualSpace)};
}

// The whole text in one read; a line break at its end ends the last line.
QString SciSearchTarget::text() const {
    QByteArray b = bytes(m_e, 0, m_e->SendScintilla(QsciScintilla::SCI_GETLENGTH));
    if (b.contains('\r'))
        b.replace("\r\n", "\n").replace('\r', '\n');
    if (b.endsWith('\n'))
        b.chop(1);
    return decodeName(b);
}

TextPos SciSearchTarget::caret() const {
    return textPos(m_e->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS));
}

void SciSearchTarget::setCaret(TextPos pos) {
    m_e->SendScintilla(QsciScintilla::SCI_GOTOPOS, position(pos));
}

void SciSearchTarget::showFound(const TextRange& found, bool caretAtStart) {
    const long begin = position(found.begin), end = position(found.end);
    if (caretAtStart)
        m_e->SendScintilla(QsciScintilla::SCI_SETSEL, end, begin);
    else
        m_e->SendScintilla(QsciScintilla::SCI_SETSEL, begin, end);
}

void SciSearchTarget::replaceLines(int first, int last, const QString& with) {
    if (m_e->lines().count() == 0) {
        m_e->lines().setLines(with.split(u'\n'));
        return;
    }
    const int lastLine = int(m_e->SendScintilla(QsciScintilla::SCI_GETLINECOUNT)) - 1;
    first = std::clamp(first, 0, lastLine);
    last = std::clamp(last, first, lastLine);
    const long start = m_e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(first));
    const long end = m_e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, long(last));
    QByteArray b = encodeName(with);
    // An empty last line needs its line break, or it would stop being a line.
    if (end == m_e->SendScintilla(QsciScintilla::SCI_GETLENGTH) && (with.isEmpty() || with.endsWith(u'\n')))
        b.append('\n');
    m_e->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, start, end);
    m_e->SendScintilla(QsciScintilla::SCI_REPLACETARGET, long(b.size()), b.constData());
}

void SciSearchTarget::beginEdits() {
    m_e->beginUndoAction();
}

void SciSearchTarget::endEdits() {
    m_e->endUndoAction();
}

std::optional<SearchBlock> SciSearchTarget::selection() const {
    if (m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONEMPTY))
        return std::nullopt;
    SearchBlock b;
    if (!m_e->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE)) {
        b.anchor = textPos(m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART));
        b.caret = textPos(m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND));
        return b;
    }
    b.mode = SearchBlock::Column;
    b.anchor = textPos(m_e->SendScintilla(QsciScintilla::SCI_GETRECTANGULARSELECTIONANCHOR),
                       m_e->SendScintilla(QsciScintilla::SCI_GETRECTANGULARSELECTIONANCHORVIRTUALSPACE));
    b.caret = textPos(m_e->SendScintilla(QsciScintilla::SCI_GETRECTANGULARSELECTIONCARET),
                      m_e->SendScintilla(QsciScintilla::SCI_GETRECTANGULARSELECTIONCARETVIRTUALSPACE));
    const long n = m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONS);
    for (long i = 0; i < n; ++i) {
        std::pair<long, long> a{m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONNANCHOR, i),
                                m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONNANCHORVIRTUALSPACE, i)};
        std::pair<long, long> c{m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONNCARET, i),
                                m_e->SendScintilla(QsciScintilla::SCI_GETSELECTIONNCARETVIRTUALSPACE, i)};
        if (c < a)
            std::swap(a, c);
        // A row whose line ends before the block's left edge has nothing in it.
        if (a.second > 0)
            continue;
        b.rows.append({textPos(a.first), textPos(c.first)});
    }
    std::sort(b.rows.begin(), b.rows.end(),
              [](const TextRange& x, const TextRange& y) { return x.begin < y.begin; });
    return b;
}

void SciSearchTarget::select(const SearchBlock& block) {
    if (block.mode == SearchBlock::Stream) {
        m_e->SendScintilla(QsciScintilla::SCI_SETSEL, position(block.anchor), position(block.caret));
        return;
    }
    long anchorSpace = 0, caretSpace = 0;
    const long anchor = position(block.anchor, &anchorSpace);
    const long caret = position(block.caret, &caretSpace);
    m_e->SendScintilla(QsciScintilla::SCI_SETRECTANGULARSELECTIONANCHOR, anchor);
    m_e->SendScintilla(QsciScintilla::SCI_SETRECTANGULARSELECTIONANCHORVIRTUALSPACE, anchorSpace);
    m_e->SendScintilla(QsciScintilla::SCI_SETRECTANGULARSELECTIONCARET, caret);
    m_e->SendScintilla(QsciScintilla::SCI_SETRECTANGULARSELECTIONCARETVIRTUALSPACE, caretSpace);
}

} // namespace vorlane
