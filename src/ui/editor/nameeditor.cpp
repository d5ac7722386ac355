#include "nameeditor.h"

#include "core/editor/tools.h"
#include "core/settings/options.h"
#include "ui/editor/scinamelines.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>

namespace vorlane {

namespace {
const QColor kSeparatorPink(255, 213, 213);
const QColor kSeparatorNavy(0, 0, 128);
const QColor kConflictAmber(255, 224, 150);
constexpr int kSeparatorMarker = 1;
constexpr int kConflictMarker = 2;
constexpr int kSeparatorIndicator = 8;

// The editors' own keys, as the help lists them: those of a plain text editor.
// Every other key the editing component binds by default is unbound: its line
// commands (cut, delete, copy, duplicate, transpose, move or reverse lines) and
// case changes change names unseen, and would shift the names below against
// their files; zoom would let the lines stop standing beside the list's rows.
// The context menu's keys come on top (yieldKeysTo).
struct Binding {
    QsciCommand::Command command;
    int key;
    int alternateKey = 0;
};
constexpr int Ctrl = Qt::CTRL, Shift = Qt::SHIFT, Alt = Qt::ALT;
const Binding kKeys[] = {
    // Moving the caret; with Shift selecting, with Shift+Alt selecting a column.
    {QsciCommand::CharLeft, Qt::Key_Left},
    {QsciCommand::CharLeftExtend, Shift | Qt::Key_Left},
    {QsciCommand::CharLeftRectExtend, Alt | Shift | Qt::Key_Left},
    {QsciCommand::CharRight, Qt::Key_Right},
    {QsciCommand::CharRightExtend, Shift | Qt::Key_Right},
    {QsciCommand::CharRightRectExtend, Alt | Shift | Qt::Key_Right},
    {QsciCommand::LineUp, Qt::Key_Up},
    {QsciCommand::LineUpExtend, Shift | Qt::Key_Up},
    {QsciCommand::LineUpRectExtend, Alt | Shift | Qt::Key_Up},
    {QsciCommand::LineDown, Qt::Key_Down},
    {QsciCommand::LineDownExtend, Shift | Qt::Key_Down},
    {QsciCommand::LineDownRectExtend, Alt | Shift | Qt::Key_Down},
    {QsciCommand::WordLeft, Ctrl | Qt::Key_Left},
    {QsciCommand::WordLeftExtend, Ctrl | Shift | Qt::Key_Left},
    {QsciCommand::WordRight, Ctrl | Qt::Key_Right},
    {QsciCommand::WordRightExtend, Ctrl | Shift | Qt::Key_Right},
    {QsciCommand::VCHome, Qt::Key_Home},
    {QsciCommand::VCHomeExtend, Shift | Qt::Key_Home},
    {QsciCommand::VCHomeRectExtend, Alt | Shift | Qt::Key_Home},
    {QsciCommand::LineEnd, Qt::Key_End},
    {QsciCommand::LineEndExtend, Shift | Qt::Key_End},
    {QsciCommand::LineEndRectExtend, Alt | Shift | Qt::Key_End},
    {QsciCommand::DocumentStart, Ctrl | Qt::Key_Home},
    {QsciCommand::DocumentStartExtend, Ctrl | Shift | Qt::Key_Home},
    {QsciCommand::DocumentEnd, Ctrl | Qt::Key_End},
    {QsciCommand::DocumentEndExtend, Ctrl | Shift | Qt::Key_End},
    {QsciCommand::PageUp, Qt::Key_PageUp},
    {QsciCommand::PageUpExtend, Shift | Qt::Key_PageUp},
    {QsciCommand::PageUpRectExtend, Alt | Shift | Qt::Key_PageUp},
    {QsciCommand::PageDown, Qt::Key_PageDown},
    {QsciCommand::PageDownExtend, Shift | Qt::Key_PageDown},
    {QsciCommand::PageDownRectExtend, Alt | Shift | Qt::Key_PageDown},
    {QsciCommand::SelectAll, Ctrl | Qt::Key_A},
    {QsciCommand::Cancel, Qt::Key_Escape},
    // Editing.
    {QsciCommand::Newline, Qt::Key_Return, Shift | Qt::Key_Return},
    {QsciCommand::Tab, Qt::Key_Tab},
    {QsciCommand::Backtab, Shift | Qt::Key_Tab},
    {QsciCommand::DeleteBack, Qt::Key_Backspace, Shift | Qt::Key_Backspace},
    {QsciCommand::Delete, Qt::Key_Delete},
    {QsciCommand::SelectionCut, Ctrl | Qt::Key_X, Shift | Qt::Key_Delete},
    {QsciCommand::SelectionCopy, Ctrl | Qt::Key_C, Ctrl | Qt::Key_Insert},
    {QsciCommand::Paste, Ctrl | Qt::Key_V, Shift | Qt::Key_Insert},
    {QsciCommand::Undo, Ctrl | Qt::Key_Z},
    {QsciCommand::Redo, Ctrl | Qt::Key_Y, Ctrl | Shift | Qt::Key_Z},
};
} // namespace

QFont editorFont() {
    QFont f(QStringLiteral("Courier New"));
    if (!QFontDatabase::families().contains(QStringLiteral("Courier New")))
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // 13 pixels at 96 dpi; QScintilla measures fonts by point size only.
    f.setPointSizeF(9.75);
    return f;
}

NameEditor::NameEditor(Role role, QWidget* parent)
    : QsciScintilla(parent), m_role(role), m_lines(std::make_unique<SciNameLines>(this)) {
    setUtf8(true);
    setEolMode(EolUnix);
    setFont(editorFont());
    for (int m = 0; m < 5; ++m)
        setMarginWidth(m, 0);
    setWrapMode(WrapNone);
    setAutoIndent(true);
    setIndentationsUseTabs(false);
    setTabIndents(true);
    setBackspaceUnindents(true);
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, long(SCMOD_ALT));
    SendScintilla(SCI_SETMOUSESELECTIONRECTANGULARSWITCH, 1L);
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS, long(SCVS_RECTANGULARSELECTION | SCVS_USERACCESSIBLE));
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1L);
    setContextMenuPolicy(Qt::CustomContextMenu);
    trimTypedLines();
    bindKeys();

    if (m_role == Role::Scratch) {
        SendScintilla(SCI_SETHSCROLLBAR, 0L);
        SendScintilla(SCI_SETVSCROLLBAR, 0L);
        return;
    }
    SendScintilla(SCI_SETENDATLASTLINE, 0L);
    SendScintilla(SCI_SETVSCROLLBAR, 0L);
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    setEdgeMode(EdgeLine);
    setEdgeColor(QColor(192, 192, 192));
    SendScintilla(SCI_MARKERDEFINE, long(kSeparatorMarker), long(SC_MARK_BACKGROUND));
    SendScintilla(SCI_MARKERSETBACK, long(kSeparatorMarker), kSeparatorPink);
    SendScintilla(SCI_MARKERDEFINE, long(kConflictMarker), long(SC_MARK_BACKGROUND));
    SendScintilla(SCI_MARKERSETBACK, long(kConflictMarker), kConflictAmber);
    SendScintilla(SCI_INDICSETSTYLE, long(kSeparatorIndicator), long(INDIC_TEXTFORE));
    SendScintilla(SCI_INDICSETFORE, long(kSeparatorIndicator), kSeparatorNavy);
    connect(this, &QsciScintilla::SCN_MODIFIED, this,
            [this](int, int, const char*, int, int linesAdded, int, int, int, int, int) {
                // Lines moved under the separator colours, which go by position.
                if (linesAdded != 0)
                    scheduleSeparatorColours();
            });
    connect(this, &QsciScintilla::SCN_MODIFIED, this,
            [this](int pos, int type, const char*, int length, int, int, int, int, int, int) {
                if ((type & SC_MOD_BEFOREDELETE) && (type & SC_PERFORMED_USER))
                    openPadStep(pos, length);
            });
}

NameEditor::~NameEditor() = default;

NameLines& NameEditor::lines() {
    return *m_lines;
}

void NameEditor::applyOptions(const Options& options) {
    SendScintilla(SCI_SETHSCROLLBAR, options.Ssorcb ? 1L : 0L);
    setEdgeColumn(options.alarmColumn());
}

void NameEditor::setLineHeight(int pixels) {
    m_lineHeight = pixels;
    SendScintilla(SCI_SETEXTRAASCENT, 0L);
    SendScintilla(SCI_SETEXTRADESCENT, 0L);
    const int natural = int(SendScintilla(SCI_TEXTHEIGHT, 0L));
    // Negative when the font is taller: the line then loses rows at its foot.
    SendScintilla(SCI_SETEXTRADESCENT, long(pixels - natural));
}

void NameEditor::trimTypedLines() {
    connect(this, &QsciScintilla::SCN_MODIFIED, this,
            [this](int pos, int type, const char*, int, int, int, int, int, int, int) {
                if ((type & SC_PERFORMED_USER) && (type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
                    m_typedLine = int(SendScintilla(SCI_LINEFROMPOSITION, long(pos)));
            });
    connect(this, &QsciScintilla::cursorPositionChanged, this, [this](int line, int) {
        const int last = m_typedLine;
        if (last < 0 || last == line || last >= QsciScintilla::lines())
            return;
        m_typedLine = -1;
        const long start = SendScintilla(SCI_POSITIONFROMLINE, long(last));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, long(last));
        long cut = end;
        while (cut > start && SendScintilla(SCI_GETCHARAT, cut - 1) == ' ')
            --cut;
        if (cut == end)
            return;
        SendScintilla(SCI_SETTARGETRANGE, cut, end);
        SendScintilla(SCI_REPLACETARGET, 0UL, "");
    });
}

void NameEditor::bindKeys() {
    QHash<int, Binding> keep;
    for (const Binding& b : kKeys)
        keep.insert(b.command, b);
    const QList<QsciCommand*> commands = standardCommands()->commands();
    for (QsciCommand* cmd : commands) {
        cmd->setKey(0);
        cmd->setAlternateKey(0);
    }
    // Also whatever the component binds beyond its own command list.
    SendScintilla(SCI_CLEARALLCMDKEYS);
    for (QsciCommand* cmd : commands) {
        const auto it = keep.constFind(cmd->command());
        if (it == keep.constEnd())
            continue;
        cmd->setKey(it->key);
        cmd->setAlternateKey(it->alternateKey);
    }
}

void NameEditor::setSeparatorLines(QVector<int> lines) {
    m_separators = std::move(lines);
    colourSeparators();
}

void NameEditor::setConflictLines(const QVector<int>& lines) {
    SendScintilla(SCI_MARKERDELETEALL, long(kConflictMarker));
    const int count = QsciScintilla::lines();
    for (const int i : lines)
        if (i < count)
            SendScintilla(SCI_MARKERADD, long(i), long(kConflictMarker));
}

void NameEditor::scheduleSeparatorColours() {
    if (m_colourPending)
        return;
    m_colourPending = true;
    QTimer::singleShot(0, this, [this] {
        m_colourPending = false;
        colourSeparators();
    });
}

void NameEditor::colourSeparators() {
    if (m_role != Role::Names)
        return;
    SendScintilla(SCI_MARKERDELETEALL, long(kSeparatorMarker));
    SendScintilla(SCI_SETINDICATORCURRENT, long(kSeparatorIndicator));
    SendScintilla(SCI_INDICATORCLEARRANGE, 0L, SendScintilla(SCI_GETLENGTH));
    const int count = QsciScintilla::lines();
    for (const int i : m_separators) {
        if (i >= count)
            break;
        SendScintilla(SCI_MARKERADD, long(i), long(kSeparatorMarker));
        const long start = SendScintilla(SCI_POSITIONFROMLINE, long(i));
        const long end = SendScintilla(SCI_GETLINEENDPOSITION, long(i));
        if (end > start)
            SendScintilla(SCI_INDICATORFILLRANGE, start, end - start);
    }
}

void NameEditor::setPadTarget(std::function<int()> target) {
    m_padTarget = std::move(target);
}

// Called before a deletion of the user's (typing, cut, paste, drop, replace)
// is carried out: when it will leave fewer lines than the target, an undo step
// is begun that the padding ends. Deletions by undo and redo are left alone.
void NameEditor::openPadStep(long pos, long length) {
    if (m_padStepOpen || !m_padTarget)
        return;
    if (m_lines->countAfterDeleting(pos, length) >= m_padTarget())
        return;
    beginUndoAction();
    m_padStepOpen = true;
    padLater();
}

void NameEditor::padLater() {
    if (m_padPending || (!m_padStepOpen && (!m_padTarget || m_lines->count() >= m_padTarget())))
        return;
    m_padPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_padPending)
            padNow();
    });
}

void NameEditor::padNow() {
    m_padPending = false;
    const int missing = m_padTarget ? m_padTarget() - m_lines->count() : 0;
    if (missing > 0) {
        // The padding is not typing: its line is not one to trim.
        const int typed = m_typedLine;
        m_lines->appendEmpty(missing);
        m_typedLine = typed;
    }
    if (m_padStepOpen) {
        m_padStepOpen = false;
        endUndoAction();
    }
    if (missing > 0)
        Q_EMIT padded();
}

void NameEditor::forgetHistory() {
    if (m_padPending || m_padStepOpen)
        padNow();
    SendScintilla(SCI_EMPTYUNDOBUFFER);
}

// Undo and redo go between whole steps: a change still waiting for its
// padding gets it first.
void NameEditor::undo() {
    if (m_padPending || m_padStepOpen)
        padNow();
    QsciScintilla::undo();
}

void NameEditor::redo() {
    if (m_padPending || m_padStepOpen)
        padNow();
    QsciScintilla::redo();
}

bool NameEditor::columnMode() const {
    return SendScintilla(SCI_GETSELECTIONMODE) != SC_SEL_STREAM;
}

QString NameEditor::selectedTextCrLf() const {
    return withCrLf(selectedText());
}

void NameEditor::replaceSelection(const QString& text) {
    if (text.isEmpty())
        return;
    // Offsets in characters, so the selection comes back over as many characters.
    const long start = SendScintilla(SCI_COUNTCHARACTERS, 0L, SendScintilla(SCI_GETSELECTIONSTART));
    const long end = SendScintilla(SCI_COUNTCHARACTERS, 0L, SendScintilla(SCI_GETSELECTIONEND));
    auto* data = new QMimeData;
    data->setText(text);
    // A column selection is pasted back as a column.
    if (SendScintilla(SCI_SELECTIONISRECTANGLE))
        data->setData(QStringLiteral("MSDEVColumnSelect"), QByteArray());
    QGuiApplication::clipboard()->setMimeData(data);
    paste();
    SendScintilla(SCI_SETSELECTIONSTART, SendScintilla(SCI_POSITIONRELATIVE, 0L, start));
    SendScintilla(SCI_SETSELECTIONEND, SendScintilla(SCI_POSITIONRELATIVE, 0L, end));
}

void NameEditor::convertSelection(QString (*conversion)(const QString&)) {
    const QString selected = selectedTextCrLf();
    if (!selected.isEmpty())
        replaceSelection(conversion(selected));
}

void NameEditor::yieldKeysTo(const QList<QAction*>& actions) {
    for (QAction* a : actions) {
        if (a->shortcut().isEmpty())
            continue;
        const int key = a->shortcut()[0].toCombined();
        if (QsciCommand* cmd = standardCommands()->boundTo(key)) {
            if (cmd->key() == key)
                cmd->setKey(0);
            else
                cmd->setAlternateKey(0);
        }
    }
}

void NameEditor::showSelectionModeLater() {
    QTimer::singleShot(0, this, [this] { Q_EMIT selectionModeShown(columnMode()); });
}

void NameEditor::keyPressEvent(QKeyEvent* e) {
    // A key works on a whole step: the last change's padding is done before
    // the key (Ctrl+Z undoes change and padding together), and the key's own
    // right after it.
    if (m_padPending || m_padStepOpen)
        padNow();
    keyPressed(e);
    if (m_padPending || m_padStepOpen)
        padNow();
}

void NameEditor::keyPressed(QKeyEvent* e) {
    if (m_role != Role::Names) {
        passToEditor(e);
        return;
    }
    // Some window systems leave a modifier key out of its own key-down.
    const bool shift = (e->modifiers() & Qt::ShiftModifier) || e->key() == Qt::Key_Shift;
    const bool alt = (e->modifiers() & Qt::AltModifier) || e->key() == Qt::Key_Alt;
    showSelectionModeLater();
    if (shift && alt) {
        // Shift+Alt switches between column and normal selection.
        const long mode = SendScintilla(SCI_GETSELECTIONMODE);
        SendScintilla(SCI_SETSELECTIONMODE,
                      long(mode == SC_SEL_RECTANGLE ? SC_SEL_STREAM : SC_SEL_RECTANGLE));
    } else if (shift && !(e->modifiers() & Qt::ControlModifier) &&
               SendScintilla(SCI_GETSELECTIONMODE) == SC_SEL_RECTANGLE) {
        // In column mode Shift with the movement keys widens the column.
        static const QHash<int, int> extend = {
            {Qt::Key_Left, SCI_CHARLEFTRECTEXTEND}, {Qt::Key_Right, SCI_CHARRIGHTRECTEXTEND},
            {Qt::Key_Up, SCI_LINEUPRECTEXTEND},     {Qt::Key_Down, SCI_LINEDOWNRECTEXTEND},
            {Qt::Key_Home, SCI_VCHOMERECTEXTEND},   {Qt::Key_End, SCI_LINEENDRECTEXTEND},
            {Qt::Key_PageUp, SCI_PAGEUPRECTEXTEND}, {Qt::Key_PageDown, SCI_PAGEDOWNRECTEXTEND},
        };
        if (const int command = extend.value(e->key(), 0)) {
            SendScintilla(static_cast<unsigned int>(command));
            e->accept();
            return;
        }
    }
    passToEditor(e);
}

// A key held with Ctrl, Alt or Meta that is not one of the editor's keys
// types nothing either (the component would type its character): it is left
// to the window. Ctrl and Alt together are AltGr on some systems and type.
void NameEditor::passToEditor(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
    const bool chord = (ctrl != alt) || (mods & Qt::MetaModifier);
    if (chord && !e->text().isEmpty() && !standardCommands()->boundTo(e->key() | int(mods))) {
        e->ignore();
        return;
    }
    QsciScintilla::keyPressEvent(e);
}

void NameEditor::keyReleaseEvent(QKeyEvent* e) {
    QsciScintilla::keyReleaseEvent(e);
    QTimer::singleShot(0, this, [this] { Q_EMIT keyReleased(); });
}

void NameEditor::changeEvent(QEvent* e) {
    QsciScintilla::changeEvent(e);
    if (e->type() == QEvent::FontChange && m_lineHeight > 0)
        setLineHeight(m_lineHeight);
}

void NameEditor::mouseReleaseEvent(QMouseEvent* e) {
    QsciScintilla::mouseReleaseEvent(e);
    if (m_role == Role::Names)
        showSelectionModeLater();
}

} // namespace vorlane
