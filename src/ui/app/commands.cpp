// The main window's commands: every menu, pop-up menu, tool-bar button and
// window key comes from one table, in the order the user sees them.
#include "tmain.h"

#include "core/editor/tools.h"
#include "core/masks/lettercase.h"
#include "ui/editor/nameeditor.h"
#include "ui/editor/sesearch.h"
#include "ui/filelist/filelistview.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace vorlane {

namespace {

enum Kind {
    Menu,      // a menu: on the menu bar, a pop-up menu (no parent) or a submenu
    Item,      // a command in a menu, on the menu bar, or a key of the window (no parent)
    Separator, // a line in a menu or a gap in the tool bar
    Tool,      // a tool-bar button for an item's command
    ToolMenu,  // a tool-bar drop-down button
};

enum Flag : unsigned {
    Default = 1,   // the menu's default item
    WindowKey = 2, // its key works wherever the focus is in the main window
    Disabled = 4,  // never enabled
};

// When entries of the pop-up menus and the Service menu are enabled while
// their menu is open ("selected" counts separators too).
bool anySelected(TMain& w) {
    return w.list().selectedCount() > 0;
}
bool oneSelected(TMain& w) {
    return w.list().selectedCount() == 1;
}
bool listNotEmpty(TMain& w) {
    return w.list().count() > 0;
}
bool hasCaret(TMain& w) {
    return w.list().caret() >= 0;
}
bool textSelected(TMain& w) {
    return w.GetSE()->hasSelectedText();
}
bool editorNotEmpty(TMain& w) {
    return w.GetSE()->lines().count() > 0;
}
bool canPaste(TMain& w) {
    return !w.GetSE()->isReadOnly() && !QGuiApplication::clipboard()->text().isEmpty();
}
bool shiftHeld(TMain& w) {
    return w.keyboardModifiers() & Qt::ShiftModifier;
}

void toClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

struct Row {
    Kind kind;
    const char* parent;    // object name of its menu or tool bar; "bar" is the menu bar
    const char* name = ""; // the handler's name, or the menu's
    const char* caption = "";
    int key = 0;
    unsigned flags = 0;
    std::function<void(TMain&)> run = nullptr; // commands still to come have none
    TMain::EnablingRule enabled = nullptr;     // none: always enabled
    QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
    const char* hint = nullptr;    // tool buttons: the caption without '&' unless given
    QIcon (*makeIcon)() = nullptr; // tool buttons: an icon of our own instead of `icon`
};

// Rename: a name field with its name selected and the text caret after it.
// The desktop's icon theme may offer its own; without one (or without any
// theme) this drawing stands in.
QPixmap drawRenameIcon(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    p.setPen(QPen(QColor(80, 80, 80), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.75, 5, 22.5, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(61, 133, 224));
    p.drawRect(QRectF(2.5, 7, 13, 10));
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    // "ab" as strokes, readable at 24 pixels without depending on a font.
    p.drawEllipse(QPointF(6, 13), 2, 2);
    p.drawLine(QPointF(8, 10.5), QPointF(8, 15));
    p.drawLine(QPointF(10.5, 8.5), QPointF(10.5, 15));
    p.drawEllipse(QPointF(12.5, 13), 2, 2);
    p.setPen(QPen(QColor(20, 20, 20), 1.5));
    p.drawLine(QPointF(18.5, 3), QPointF(18.5, 21));
    p.drawLine(QPointF(16.5, 3), QPointF(20.5, 3));
    p.drawLine(QPointF(16.5, 21), QPointF(20.5, 21));
    return pm;
}

QIcon renameIcon() {
    QIcon drawn;
    for (int size : {16, 24, 32, 48})
        drawn.addPixmap(drawRenameIcon(size));
    return QIcon::fromTheme(QStringLiteral("edit-rename"), drawn);
}

constexpr int Ctrl = Qt::CTRL, Shift = Qt::SHIFT, Alt = Qt::ALT;

const Row kRows[] = {
    {Menu, "bar", "File1", "&File"},
    {Item, "File1", "New1Click", "&New", 0, 0, [](TMain& w) { w.project().New1Click(); }},
    {Item, "File1", "Open1Click", "&Open...", 0, Default, &TMain::Open1Click},
    {Item, "File1", "Merge1Click", "&Merge...", 0, 0, [](TMain& w) { w.project().Merge1Click(); }},
    {Separator, "File1"},
    {Item, "File1", "Save2Click", "Sa&ve", 0, 0, [](TMain& w) { w.project().Save2Click(); }},
    {Item, "File1", "SaveasmClick", "&Save as...", 0, 0, [](TMain& w) { w.project().SaveasmClick(); }},
    {Separator, "File1"},
    {Item, "File1", "Exit1Click", "&Exit", 0, 0, [](TMain& w) { w.close(); }},
    {Item, "bar", "Buffer1Click", "&Buffer", 0, 0, &TMain::Buffer1Click},
    {Menu, "bar", "Actions1", "&Service"},
    {Item, "Actions1", "Options1Click", "&Options...", Qt::Key_F10, Default | WindowKey,
     &TMain::Options1Click},
    {Separator, "Actions1"},
    {Item, "Actions1", "ReCountmp3filestime1Click", "&ReCount mp3/wav-file(s) time", 0, 0,
     &TMain::ReCountmp3filestime1Click, anySelected},
    {Item, "Actions1", "Checkfilesexist1Click", "Check file(s) &exist", 0, 0, &TMain::Checkfilesexist1Click,
     anySelected},
    {Separator, "Actions1"},
    {Item, "Actions1", "Undo1Click", "&Undo rename...", 0, 0, &TMain::Undo1Click},
    {Item, "Actions1", "Copy1Click", "&Copy...", 0, 0, &TMain::Copy1Click, shiftHeld},
    {Item, "Actions1", "Checkfile1Click", "Compare...", 0, 0, &TMain::Checkfile1Click, shiftHeld},
    {Item, "Actions1", "Makeprinttemplate1", "&Make print template", 0, Disabled},
    {Item, "bar", "Help1Click", "Help", Qt::Key_F1, WindowKey, &TMain::Help1Click},
    {Item, nullptr, "FormKeyDownAltC", "", Alt | Qt::Key_C, WindowKey, &TMain::Convert1Click},
    {Item, nullptr, "FormKeyDownAltR", "", Alt | Qt::Key_R, WindowKey, &TMain::Rename1Click},

    {Menu, nullptr, "pmlb", ""},
    {Menu, "pmlb", "Open2", "&Open"},
    {Item, "Open2", "Openfiles1Click", "Open &files...", Ctrl | Qt::Key_O, 0, &TMain::Openfiles1Click},
    {Item, "Open2", "OpenDirectory1Click", "Open F&older...", 0, 0, &TMain::OpenDirectory1Click},
    {Item, "Open2", "OpenFolderwithsubfolders1Click", "Open Fol&der with subfolders...", Ctrl | Qt::Key_D, 0,
     [](TMain& w) { w.openFolder(true); }},
    {Menu, "pmlb", "Sort1", "&Sort", 0, 0, nullptr, anySelected},
    {Item, "Sort1", "SortbyName1Click", "Sort by &Name", Ctrl | Qt::Key_1, 0,
     [](TMain& w) { w.list().SortSelection(FileList::ByName); }},
    {Item, "Sort1", "SortbyNamewithoutdir1Click", "Sort by Name &without dir", Ctrl | Qt::Key_2, 0,
     [](TMain& w) { w.list().SortSelection(FileList::ByNameWithoutDir); }},
    {Item, "Sort1", "Sortbynumber1Click", "&Sort by self number", Ctrl | Qt::Key_3, 0,
     [](TMain& w) { w.list().SortSelection(FileList::ByNumber); }},
    {Menu, "pmlb", "Edit1", "&Edit"},
    {Item, "Edit1", "mCopyPathAndNameClick", "Copy to clipboard", Ctrl | Qt::Key_C, 0,
     &TMain::mCopyPathAndNameClick, hasCaret},
    {Separator, "Edit1"},
    {Item, "Edit1", "SelectAll1Click", "&Select All", Ctrl | Qt::Key_A, 0, &TMain::SelectAll1Click,
     listNotEmpty},
    {Item, "Edit1", "InvertSelection1Click", "&Invert selection", Ctrl | Qt::Key_I, 0,
     [](TMain& w) { w.list().InvertSelection1Click(); }, listNotEmpty},
    {Item, "Edit1", "SelectAlbum1Click", "Select al&bum", Ctrl | Qt::Key_S, 0,
     [](TMain& w) { w.list().SelectAlbum1Click(); }, listNotEmpty},
    {Separator, "Edit1"},
    {Item, "Edit1", "Insertseparator1Click", "Insert S&eparator", Qt::Key_Insert, 0,
     &TMain::Insertseparator1Click},
    {Item, "Edit1", "mDeleteFromListClick", "&Delete from list", Qt::Key_Delete, 0,
     [](TMain& w) { w.list().mDeleteFromListClick(); }, anySelected},
    {Item, "Edit1", "Selectallseparators1Click", "Delete separato&r(s)", 0, 0,
     [](TMain& w) { w.list().Selectallseparators1Click(); }, anySelected},
    {Item, "Edit1", "mDeletefromdiskClick", "Delete from disk...", 0, 0,
     [](TMain& w) { w.list().mDeletefromdiskClick(); }, anySelected},
    {Separator, "Edit1"},
    {Item, "Edit1", "ShiftSelectionUp1Click", "Shift Items Up", Alt | Qt::Key_Up, 0,
     [](TMain& w) { w.list().ShiftSelectionUp1Click(); }},
    {Item, "Edit1", "ShiftSelectionDown1Click", "Shift Items Down", Alt | Qt::Key_Down, 0,
     [](TMain& w) { w.list().ShiftSelectionDown1Click(); }},
    {Item, "pmlb", "mOpeninExplorer1Click", "Open in Explorer", 0, 0, &TMain::mOpeninExplorer1Click,
     oneSelected},
    {Separator, "pmlb"},
    {Item, "pmlb", "Convert1Click", "&Convert...", 0, 0, &TMain::Convert1Click, anySelected},
    {Item, "pmlb", "FastConvert1Click", "&Fast Convert", Ctrl | Qt::Key_Q, WindowKey,
     &TMain::FastConvert1Click, anySelected},
    {Separator, "pmlb"},
    {Item, "pmlb", "Rename1Click", "&Rename...", 0, 0, &TMain::Rename1Click, anySelected},

    {Menu, nullptr, "pmse", ""},
    {Menu, "pmse", "Case1", "&Case", 0, 0, nullptr, textSelected},
    {Item, "Case1", "lowcasemClick", "&low case", Ctrl | Shift | Qt::Key_1, 0,
     [](TMain& w) { w.GetSE()->convertSelection(lowerCase); }},
    {Item, "Case1", "uppercasemClick", "&UPPER CASE", Ctrl | Shift | Qt::Key_2, 0,
     [](TMain& w) { w.GetSE()->convertSelection(upperCase); }},
    {Item, "Case1", "firstupmClick", "&First letter up", Ctrl | Shift | Qt::Key_3, 0,
     [](TMain& w) { w.GetSE()->convertSelection(FirstLetterUp); }},
    {Item, "Case1", "upfirstineachwClick", "Up First In Each &Word", Ctrl | Shift | Qt::Key_4, 0,
     [](TMain& w) { w.GetSE()->convertSelection(UpFirstInEachWord); }},
    {Item, "Case1", "Kirilitsa1Click", "Кириллица -> &Kirillitsa", Ctrl | Shift | Qt::Key_5, 0,
     [](TMain& w) { w.GetSE()->convertSelection(Translit); }},
    {Menu, "pmse", "Align1", "&Align", 0, 0, nullptr, editorNotEmpty},
    {Item, "Align1", "ralignmClick", "&Right Align", Ctrl | Shift | Qt::Key_R, 0, &TMain::ralignmClick},
    {Item, "Align1", "LeftAlign1Click", "&Left Align", Ctrl | Shift | Qt::Key_L, 0,
     [](TMain& w) { w.alignActive(leftAlign); }},
    {Item, "Align1", "Alignby1Click", "&Align by '.'", Ctrl | Shift | Qt::Key_Period, 0,
     [](TMain& w) { w.alignActive(alignByDot); }},
    {Separator, "pmse"},
    {Item, "pmse", "CutmClick", "C&ut", 0, 0, &TMain::CutmClick, textSelected},
    {Item, "pmse", "CopymClick", "&Copy", 0, 0, [](TMain& w) { w.GetSE()->copy(); }, textSelected},
    {Item, "pmse", "PastemClick", "&Paste", 0, 0, [](TMain& w) { w.GetSE()->paste(); }, canPaste},
    {Item, "pmse", "delmClick", "&Delete", 0, 0, [](TMain& w) { w.GetSE()->removeSelectedText(); },
     textSelected},
    {Separator, "pmse"},
    {Menu, "pmse", "Sort2", "&Sort", 0, 0, nullptr, textSelected},
    {Item, "Sort2", "Accending1Click", "&Ascending", 0, 0, &TMain::Accending1Click},
    {Item, "Sort2", "Descending1Click", "&Descending", 0, 0, [](TMain& w) { w.sortSelectedLines(true); }},
    {Separator, "pmse"},
    {Menu, "pmse", "Search1", "Search", 0, 0, nullptr, editorNotEmpty},
    {Item, "Search1", "Find1Click", "&Find...", Ctrl | Qt::Key_F, 0,
     [](TMain& w) { w.search()->ShowSearchDialog(w.GetSE()); }},
    {Item, "Search1", "Findnext1Click", "Find next", Qt::Key_F3, 0,
     [](TMain& w) { w.search()->SearchAgain(w.GetSE(), false); }},
    {Item, "Search1", "Findprevious1Click", "Find previous", Shift | Qt::Key_F3, 0,
     [](TMain& w) { w.search()->SearchAgain(w.GetSE(), true); }},
    {Separator, "Search1"},
    {Item, "Search1", "Replace1Click", "&Replace...", Ctrl | Qt::Key_R, 0, &TMain::Replace1Click},

    {Menu, nullptr, "pmsb", ""},
    {Item, "pmsb", "CopyTimexxxxxx1Click", "Copy (&Time: xx:xx:xx)", 0, 0,
     [](TMain& w) { toClipboard(u'(' + w.shownSums().time + u')'); }},
    {Item, "pmsb", "Copyinformation1Click", "Copy &All Information", 0, 0,
     [](TMain& w) { toClipboard(w.panel(1)->text()); }},

    {Tool, "ToolBar1", "New1Click", "New file", 0, 0, nullptr, nullptr, QStyle::SP_FileIcon},
    {Separator, "ToolBar1"},
    {Tool, "ToolBar1", "OpenFolderwithsubfolders1Click", "Open folder", 0, 0, nullptr, nullptr,
     QStyle::SP_DirOpenIcon, "Open Folder with subfolders"},
    {Tool, "ToolBar1", "SelectAll1Click", "Select All", 0, 0, nullptr, nullptr, QStyle::SP_DialogApplyButton},
    {Separator, "ToolBar1"},
    {Tool, "ToolBar1", "Convert1Click", "&Convert...", 0, 0, nullptr, nullptr, QStyle::SP_BrowserReload},
    {Tool, "ToolBar1", "Rename1Click", "&Rename...", 0, 0, nullptr, nullptr, QStyle::SP_CustomBase, nullptr,
     renameIcon},
    {Separator, "ToolBar1"},
    {Tool, "ToolBar1", "Find1Click", "Find", 0, 0, nullptr, nullptr, QStyle::SP_FileDialogContentsView},
    {Tool, "ToolBar1", "Findnext1Click", "Find next", 0, 0, nullptr, nullptr, QStyle::SP_ArrowForward},
    {ToolMenu, "ToolBar1", "pmAlign", "Align", 0, 0, nullptr, nullptr,
     QStyle::SP_ToolBarHorizontalExtensionButton},
    {Separator, "ToolBar1"},
    {Tool, "ToolBar1", "Options1Click", "Options...", 0, 0, nullptr, nullptr,
     QStyle::SP_FileDialogDetailedView},
};

constexpr QSize kToolButton(62, 44);

} // namespace

void TMain::attachEditor(NameEditor* se) {
    se->addActions(m_pmseKeys);
    QMenu* pmse = menu("pmse");
    connect(se, &QWidget::customContextMenuRequested, this,
            [se, pmse](const QPoint& pos) { pmse->exec(se->mapToGlobal(pos)); });
    // The menu's keys win over the editors' own bindings of the same keys.
    se->yieldKeysTo(se->actions());
}

QMenu* TMain::menu(const char* name) const {
    return findChild<QMenu*>(QLatin1String(name));
}

void TMain::buildCommands() {
    QHash<QString, QMenu*> menus;
    QHash<QString, QString> rootOf; // menu -> its top-level menu
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    QFont buttonFont = font();
    buttonFont.setPointSizeF(buttonFont.pointSizeF() * 0.85);
    auto fitButton = [&](QToolButton* b) {
        b->setFixedSize(kToolButton);
        b->setFont(buttonFont);
    };

    for (const Row& r : kRows) {
        const QString parent = QLatin1String(r.parent);
        const QString name = QLatin1String(r.name);
        const QString caption = QString::fromUtf8(r.caption);
        QMenu* in = menus.value(parent);
        switch (r.kind) {
        case Menu: {
            QMenu* m = nullptr;
            if (parent == QLatin1String("bar"))
                m = menuBar()->addMenu(caption);
            else if (in)
                m = in->addMenu(caption);
            else
                m = new QMenu(this);
            m->setObjectName(name);
            menus.insert(name, m);
            rootOf.insert(name, in ? rootOf.value(parent) : name);
            if (r.enabled)
                m_rules[rootOf.value(name)].append({m->menuAction(), r.enabled});
            break;
        }
        case Item: {
            auto* a = new QAction(caption, this);
            a->setObjectName(name);
            a->setAutoRepeat(false);
            if (r.key)
                a->setShortcut(QKeySequence(r.key));
            if (r.flags & Disabled)
                a->setEnabled(false);
            if (r.run)
                connect(a, &QAction::triggered, this, [this, &run = r.run] { run(*this); });
            const QString root = rootOf.value(parent);
            if (r.enabled)
                m_rules[root].append({a, r.enabled});
            // Keys of the list's and the editors' menus act where those have the focus.
            a->setShortcutContext((r.flags & WindowKey) ? Qt::WindowShortcut
                                                        : Qt::WidgetWithChildrenShortcut);
            if (!r.parent)
                addAction(a);
            else if (parent == QLatin1String("bar"))
                menuBar()->addAction(a);
            else
                in->addAction(a);
            if (r.flags & Default)
                in->setDefaultAction(a);
            if (root == QLatin1String("pmlb"))
                m_lb1->addAction(a);
            else if (root == QLatin1String("pmse") && r.key && !(r.flags & WindowKey))
                m_pmseKeys << a;
            break;
        }
        case Separator:
            if (in)
                in->addSeparator();
            else
                m_toolBar->addSeparator();
            break;
        case Tool: {
            QAction* a =
                m_toolBar->addAction(r.makeIcon ? r.makeIcon() : style()->standardIcon(r.icon), caption);
            a->setObjectName(QStringLiteral("tb_") + name);
            // The button shows the caption as it stands (a generated one would drop
            // the dots), without an accelerator: Alt+C and Alt+R are the window's.
            a->setIconText(QString(caption).remove(u'&'));
            a->setToolTip(r.hint ? QString::fromUtf8(r.hint) : QString(caption).remove(u'&'));
            if (QAction* target = action(name))
                connect(a, &QAction::triggered, target, &QAction::trigger);
            if (auto* b = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a)))
                fitButton(b);
            break;
        }
        case ToolMenu:
            m_alignButton = new QToolButton;
            m_alignButton->setObjectName(QStringLiteral("tbAlign"));
            m_alignButton->setText(caption);
            m_alignButton->setToolTip(caption);
            m_alignButton->setIcon(style()->standardIcon(r.icon));
            m_alignButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            m_alignButton->setPopupMode(QToolButton::InstantPopup);
            m_alignButton->setMenu(new QMenu(m_alignButton));
            m_alignButton->menu()->setObjectName(name);
            fitButton(m_alignButton);
            m_toolBar->addWidget(m_alignButton);
            break;
        }
    }
    // Pop-up menus: where they open, and their enabling rules while open. When
    // a menu closes every entry is enabled again, so a key never depends on
    // the state of the last pop-up (each handler checks its own preconditions).
    QMenu* pmlb = menu("pmlb");
    QMenu* pmse = menu("pmse");
    QMenu* pmsb = menu("pmsb");
    connect(pmlb, &QMenu::aboutToShow, this, [this] { pmlbPopup(); });
    connect(pmse, &QMenu::aboutToShow, this, [this] { pmsePopup(); });
    connect(menu("Actions1"), &QMenu::aboutToShow, this, [this] { Actions1Click(); });
    for (auto it = m_rules.cbegin(); it != m_rules.cend(); ++it) {
        connect(menu(qPrintable(it.key())), &QMenu::aboutToHide, this, [entries = it.value()] {
            for (const auto& entry : entries)
                entry.first->setEnabled(true);
        });
    }
    m_lb1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lb1, &QWidget::customContextMenuRequested, this,
            [this, pmlb](const QPoint& pos) { pmlb->exec(m_lb1->mapToGlobal(pos)); });
    attachEditor(m_se2);
    statusBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(statusBar(), &QWidget::customContextMenuRequested, this,
            [this, pmsb](const QPoint& pos) { pmsb->exec(statusBar()->mapToGlobal(pos)); });
}

} // namespace vorlane
