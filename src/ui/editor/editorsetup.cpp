#include "editorsetup.h"

#include "core/settings/options.h"

#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QObject>

namespace vorlane {

QFont editorFont() {
    QFont f(QStringLiteral("Courier New"));
    if (!QFontDatabase::families().contains(QStringLiteral("Courier New")))
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // 13 pixels at 96 dpi; QScintilla measures fonts by point size only.
    f.setPointSizeF(9.75);
    return f;
}

namespace {

// Trailing blanks of a line the user typed on go when the caret leaves it.
void trimTypedLines(QsciScintilla* e) {
    auto edited = std::make_shared<int>(-1);
    QObject::connect(e, &QsciScintilla::SCN_MODIFIED, e,
                     [e, edited](int pos, int type, const char*, int, int, int, int, int, int, int) {
                         if ((type & QsciScintilla::SC_PERFORMED_USER) &&
                             (type & (QsciScintilla::SC_MOD_INSERTTEXT | QsciScintilla::SC_MOD_DELETETEXT)))
                             *edited = int(e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, long(pos)));
                     });
    QObject::connect(e, &QsciScintilla::cursorPositionChanged, e, [e, edited](int line, int) {
        const int last = *edited;
        if (last < 0 || last == line || last >= e->lines())
            return;
        *edited = -1;
        const long start = e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(last));
        const long end = e->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, long(last));
        long cut = end;
        while (cut > start && e->SendScintilla(QsciScintilla::SCI_GETCHARAT, cut - 1) == ' ')
            --cut;
        if (cut == end)
            return;
        e->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, cut, end);
        e->SendScintilla(QsciScintilla::SCI_REPLACETARGET, 0UL, "");
    });
}
} // namespace

void setupEditor(QsciScintilla* e) {
    e->setUtf8(true);
    e->setEolMode(QsciScintilla::EolUnix);
    e->setFont(editorFont());
    for (int m = 0; m < 5; ++m)
        e->setMarginWidth(m, 0);
    e->setWrapMode(QsciScintilla::WrapNone);
    e->setAutoIndent(true);
    e->setIndentationsUseTabs(false);
    e->setTabIndents(true);
    e->setBackspaceUnindents(true);
    e->SendScintilla(QsciScintilla::SCI_SETRECTANGULARSELECTIONMODIFIER, long(QsciScintilla::SCMOD_ALT));
    e->SendScintilla(QsciScintilla::SCI_SETMOUSESELECTIONRECTANGULARSWITCH, 1L);
    e->SendScintilla(QsciScintilla::SCI_SETVIRTUALSPACEOPTIONS,
                     long(QsciScintilla::SCVS_RECTANGULARSELECTION | QsciScintilla::SCVS_USERACCESSIBLE));
    e->SendScintilla(QsciScintilla::SCI_SETPASTECONVERTENDINGS, 1L);
    e->setContextMenuPolicy(Qt::CustomContextMenu);
    trimTypedLines(e);
}

void setupNameEditor(QsciScintilla* e, const Options& options, int lineHeight) {
    setupEditor(e);
    const int textHeight = int(e->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0L));
    if (textHeight < lineHeight)
        e->SendScintilla(QsciScintilla::SCI_SETEXTRADESCENT, long(lineHeight - textHeight));
    e->SendScintilla(QsciScintilla::SCI_SETENDATLASTLINE, 0L);
    e->SendScintilla(QsciScintilla::SCI_SETVSCROLLBAR, 0L);
    e->SendScintilla(QsciScintilla::SCI_SETSCROLLWIDTH, 1L);
    e->SendScintilla(QsciScintilla::SCI_SETSCROLLWIDTHTRACKING, 1L);
    e->setEdgeMode(QsciScintilla::EdgeLine);
    e->setEdgeColor(QColor(192, 192, 192));
    applyNameEditorOptions(e, options);
}

void applyNameEditorOptions(QsciScintilla* e, const Options& options) {
    e->SendScintilla(QsciScintilla::SCI_SETHSCROLLBAR, options.Ssorcb ? 1L : 0L);
    e->setEdgeColumn(options.alarmColumn());
}

} // namespace vorlane
