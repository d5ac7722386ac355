#include "tmain.h"

#include "core/editor/tools.h"
#include "core/masks/applymask.h"
#include "core/masks/convert.h"
#include "core/masks/lettercase.h"
#include "core/platform/paths.h"
#include "core/rename/rename.h"
#include "core/rename/undolog.h"
#include "ui/app/shell.h"
#include "ui/editor/editorsetup.h"
#include "ui/editor/scinamelines.h"
#include "ui/editor/tbuffer.h"
#include "ui/filelist/filelistview.h"
#include "ui/filelist/tfrmgroupop.h"
#include "ui/filelist/topendirdialog.h"
#include "ui/masks/tmaskedf.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHash>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace vorlane {

namespace {
const QColor kSeparatorPink(255, 213, 213);
constexpr int kSeparatorMarker = 1;
constexpr int kSeparatorIndicator = 8;

// Long commands keep the window alive: the list shows what was added so far,
// then pending events are handled (a click on Cancel among them).
class WindowPump : public EventPump {
public:
    explicit WindowPump(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}
    void pump() override {
        m_refresh();
        QCoreApplication::processEvents();
    }

private:
    std::function<void()> m_refresh;
};

} // namespace

TMain::TMain(const TMainDeps& deps, QWidget* parent)
    : QMainWindow(parent), m_options(*deps.options), m_prompts(*deps.prompts),
      m_fs(deps.fs ? *deps.fs : PosixFileSystem::instance()),
      m_shell(deps.shell ? *deps.shell : Shell::desktop()), m_home(deps.home), m_appDir(deps.appDir) {
    keyboardModifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
    setWindowTitle(baseCaption());
    setObjectName(QStringLiteral("Main"));

    buildEditor();
    m_names = std::make_unique<SciNameLines>(m_se2);
    m_list = std::make_unique<FileList>(m_options, m_prompts, *m_names, m_fs);
    m_lb1 = new FileListView(*m_list);
    m_lb1->setObjectName(QStringLiteral("lb1"));
    m_lb1->drawItem = [this](QPainter& p, const QRect& r, int i) { Lb1DrawItem(p, r, i); };

    FileListHooks& h = m_list->hooks;
    h.setModified = [this](bool f) { SetModified(f); };
    h.lb1Click = [this] { Lb1Click(); };
    h.changed = [this] { refreshList(); };
    h.alignEditorTop = [this] { alignOneWay(); };
    h.openFile = [this](const QString& path) { m_shell.openFile(path); };

    Clock* clock = deps.clock;
    if (!clock) {
        m_ownClock = std::make_unique<SteadyClock>();
        clock = m_ownClock.get();
    }
    EventPump* pump = deps.pump;
    if (!pump) {
        m_ownPump = std::make_unique<WindowPump>([this] { refreshList(); });
        pump = m_ownPump.get();
    }
    m_group = std::make_unique<GroupOperation>(m_list->groupCounterRef(), *clock, *pump);
    m_groupUi = std::make_unique<QtGroupUi>(*this, *m_group);
    m_group->setUi(m_groupUi.get());
    m_adder = std::make_unique<FileAdder>(*m_list, *m_group, m_prompts, m_options);
    // Until the mask editor exists its default mask stands.
    m_adder->currentMask = [this] { return currentMask(); };
    h.applyMask = [this](int position, int groupSize, const QString& path) {
        return ApplyMask(position, groupSize, path, maskSpec(), maskContext()).value_or(QString());
    };
    execDialog = [](QDialog* d) { return d->exec(); };
    odfExecute = [this] { return runAddFilesDialog(); };

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_lb1);
    m_splitter->addWidget(m_se2);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    connect(m_lb1, &FileListView::clicked, this, [this] { Lb1Click(); });
    connect(m_lb1, &FileListView::scrolled, this, [this] { alignTwoWay(); });
    connect(m_lb1, &FileListView::keyReleased, this, [this] { alignOneWay(); });
    connect(m_lb1, &FileListView::doubleClicked, this, [this] { m_list->Lb1DblClick(); });
    connect(m_se2, &QsciScintilla::textChanged, this, [this] { Se2Change(); });
    connect(m_se2, &QsciScintilla::SCN_MODIFIED, this,
            [this](int, int, const char*, int, int linesAdded, int, int, int, int, int) {
                // Lines moved under the separator colours, which go by position.
                if (linesAdded != 0)
                    scheduleSeparatorColours();
            });
    connect(m_se2, &QsciScintilla::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & QsciScintilla::SC_UPDATE_V_SCROLL) && !m_aligning &&
            m_se2->firstVisibleLine() != m_lb1->topLine()) {
            m_aligning = true;
            m_lb1->setTopLine(m_se2->firstVisibleLine());
            m_aligning = false;
        }
    });

    m_maskedf = new TMaskedf(
        *m_list, [this] { return maskContext(); }, this);
    m_buffer = new TBuffer(this);
    m_bufferLines = std::make_unique<SciNameLines>(m_buffer->se1);
    m_buffer->se1->installEventFilter(this);
    connect(m_buffer->se1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_pmse->exec(m_buffer->se1->mapToGlobal(pos)); });
    for (QAction* a : m_se2->actions())
        m_buffer->se1->addAction(a);
    // The menu's keys win over the editors' own bindings of the same keys.
    for (QsciScintilla* se : {m_se2, m_buffer->se1})
        for (QAction* a : se->actions())
            if (QsciCommand* cmd = se->standardCommands()->boundTo(a->shortcut()[0].toCombined())) {
                if (cmd->key() == a->shortcut()[0].toCombined())
                    cmd->setKey(0);
                else
                    cmd->setAlternateKey(0);
            }

    FormCreate();
}

TMain::~TMain() = default;

NameLines& TMain::names() {
    return *m_names;
}

void TMain::buildEditor() {
    m_se2 = new QsciScintilla;
    m_se2->setObjectName(QStringLiteral("Se2"));
    // Lines as high as the list's, so both panes stand line beside line.
    setupNameEditor(m_se2, m_options, FileListView::kRowHeight);
    // Separator lines: light pink behind, navy text.
    m_se2->SendScintilla(QsciScintilla::SCI_MARKERDEFINE, long(kSeparatorMarker),
                         long(QsciScintilla::SC_MARK_BACKGROUND));
    m_se2->SendScintilla(QsciScintilla::SCI_MARKERSETBACK, long(kSeparatorMarker), kSeparatorPink);
    m_se2->SendScintilla(QsciScintilla::SCI_INDICSETSTYLE, long(kSeparatorIndicator),
                         long(QsciScintilla::INDIC_TEXTFORE));
    m_se2->SendScintilla(QsciScintilla::SCI_INDICSETFORE, long(kSeparatorIndicator), QColor(0, 0, 128));
    m_se2->installEventFilter(this);
    m_se2->viewport()->installEventFilter(this);
}

QAction* TMain::makeAction(const QString& name, const QString& caption, const QKeySequence& key,
                           std::function<void()> handler) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    a->setAutoRepeat(false);
    if (handler)
        connect(a, &QAction::triggered, this, [handler] { handler(); });
    return a;
}

QAction* TMain::action(const QString& handler) const {
    return findChild<QAction*>(handler);
}

void TMain::buildMenus() {
    auto noop = std::function<void()>();
    FileList& l = *m_list;

    // Main menu.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(makeAction(QStringLiteral("New1Click"), QStringLiteral("&New"), {}, noop));
    QAction* open = makeAction(QStringLiteral("Open1Click"), QStringLiteral("&Open..."), {}, noop);
    file->addAction(open);
    file->setDefaultAction(open);
    file->addAction(makeAction(QStringLiteral("Merge1Click"), QStringLiteral("&Merge..."), {}, noop));
    file->addSeparator();
    file->addAction(makeAction(QStringLiteral("Save2Click"), QStringLiteral("Sa&ve"), {}, noop));
    file->addAction(makeAction(QStringLiteral("SaveasmClick"), QStringLiteral("&Save as..."), {}, noop));
    file->addSeparator();
    file->addAction(
        makeAction(QStringLiteral("Exit1Click"), QStringLiteral("&Exit"), {}, [this] { Exit1Click(); }));

    menuBar()->addAction(makeAction(QStringLiteral("Buffer1Click"), QStringLiteral("&Buffer"), {},
                                    [this] { Buffer1Click(); }));

    m_serviceMenu = menuBar()->addMenu(QStringLiteral("&Service"));
    m_serviceMenu->setObjectName(QStringLiteral("Actions1"));
    QAction* opts =
        makeAction(QStringLiteral("Options1Click"), QStringLiteral("&Options..."), Qt::Key_F10, noop);
    opts->setShortcutContext(Qt::WindowShortcut);
    m_serviceMenu->addAction(opts);
    m_serviceMenu->setDefaultAction(opts);
    m_serviceMenu->addSeparator();
    m_serviceMenu->addAction(makeAction(QStringLiteral("ReCountmp3filestime1Click"),
                                        QStringLiteral("&ReCount mp3/wav-file(s) time"), {}, noop));
    m_serviceMenu->addAction(makeAction(QStringLiteral("Checkfilesexist1Click"),
                                        QStringLiteral("Check file(s) &exist"), {}, noop));
    m_serviceMenu->addSeparator();
    m_serviceMenu->addAction(
        makeAction(QStringLiteral("Undo1Click"), QStringLiteral("&Undo rename..."), {}, noop));
    m_serviceMenu->addAction(makeAction(QStringLiteral("Copy1Click"), QStringLiteral("&Copy..."), {}, noop));
    m_serviceMenu->addAction(
        makeAction(QStringLiteral("Checkfile1Click"), QStringLiteral("Compare..."), {}, noop));
    QAction* print =
        makeAction(QStringLiteral("Makeprinttemplate1"), QStringLiteral("&Make print template"), {}, noop);
    print->setEnabled(false);
    m_serviceMenu->addAction(print);
    connect(m_serviceMenu, &QMenu::aboutToShow, this, [this] { Actions1Click(); });

    QAction* help = makeAction(QStringLiteral("Help1Click"), QStringLiteral("Help"), Qt::Key_F1,
                               [this] { Help1Click(); });
    help->setShortcutContext(Qt::WindowShortcut);
    menuBar()->addAction(help);

    // The main window sees these keys first, wherever the focus is.
    QAction* altC = makeAction(QStringLiteral("FormKeyDownAltC"), QString(),
                               QKeySequence(Qt::ALT | Qt::Key_C), [this] { Convert1Click(); });
    QAction* altR = makeAction(QStringLiteral("FormKeyDownAltR"), QString(),
                               QKeySequence(Qt::ALT | Qt::Key_R), [this] { Rename1Click(); });
    for (QAction* a : {altC, altR}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }

    // File list menu.
    m_pmlb = new QMenu(this);
    m_pmlb->setObjectName(QStringLiteral("pmlb"));
    QMenu* openSub = m_pmlb->addMenu(QStringLiteral("&Open"));
    openSub->setObjectName(QStringLiteral("Open2"));
    openSub->addAction(makeAction(QStringLiteral("Openfiles1Click"), QStringLiteral("Open &files..."),
                                  QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Openfiles1Click(); }));
    openSub->addAction(makeAction(QStringLiteral("OpenDirectory1Click"), QStringLiteral("Open F&older..."),
                                  {}, [this] { OpenDirectory1Click(); }));
    openSub->addAction(makeAction(
        QStringLiteral("OpenFolderwithsubfolders1Click"), QStringLiteral("Open Fol&der with subfolders..."),
        QKeySequence(Qt::CTRL | Qt::Key_D), [this] { OpenFolderwithsubfolders1Click(); }));
    QMenu* sortSub = m_pmlb->addMenu(QStringLiteral("&Sort"));
    sortSub->setObjectName(QStringLiteral("Sort1"));
    sortSub->addAction(makeAction(QStringLiteral("SortbyName1Click"), QStringLiteral("Sort by &Name"),
                                  QKeySequence(Qt::CTRL | Qt::Key_1),
                                  [&l] { l.SortSelection(FileList::ByName); }));
    sortSub->addAction(makeAction(
        QStringLiteral("SortbyNamewithoutdir1Click"), QStringLiteral("Sort by Name &without dir"),
        QKeySequence(Qt::CTRL | Qt::Key_2), [&l] { l.SortSelection(FileList::ByNameWithoutDir); }));
    sortSub->addAction(makeAction(QStringLiteral("Sortbynumber1Click"),
                                  QStringLiteral("&Sort by self number"), QKeySequence(Qt::CTRL | Qt::Key_3),
                                  [&l] { l.SortSelection(FileList::ByNumber); }));
    QMenu* editSub = m_pmlb->addMenu(QStringLiteral("&Edit"));
    editSub->setObjectName(QStringLiteral("Edit1"));
    editSub->addAction(makeAction(QStringLiteral("mCopyPathAndNameClick"),
                                  QStringLiteral("Copy to clipboard"), QKeySequence(Qt::CTRL | Qt::Key_C),
                                  [this] { mCopyPathAndNameClick(); }));
    editSub->addSeparator();
    editSub->addAction(makeAction(QStringLiteral("SelectAll1Click"), QStringLiteral("&Select All"),
                                  QKeySequence(Qt::CTRL | Qt::Key_A), [this] { SelectAll1Click(); }));
    editSub->addAction(makeAction(QStringLiteral("InvertSelection1Click"),
                                  QStringLiteral("&Invert selection"), QKeySequence(Qt::CTRL | Qt::Key_I),
                                  [&l] { l.InvertSelection1Click(); }));
    editSub->addAction(makeAction(QStringLiteral("SelectAlbum1Click"), QStringLiteral("Select al&bum"),
                                  QKeySequence(Qt::CTRL | Qt::Key_S), [&l] { l.SelectAlbum1Click(); }));
    editSub->addSeparator();
    editSub->addAction(makeAction(QStringLiteral("Insertseparator1Click"),
                                  QStringLiteral("Insert S&eparator"), Qt::Key_Insert, [this, &l] {
                                      l.Insertseparator1Click();
                                      m_lb1->refresh();
                                  }));
    editSub->addAction(makeAction(QStringLiteral("mDeleteFromListClick"), QStringLiteral("&Delete from list"),
                                  Qt::Key_Delete, [&l] { l.mDeleteFromListClick(); }));
    editSub->addAction(makeAction(QStringLiteral("Selectallseparators1Click"),
                                  QStringLiteral("Delete separato&r(s)"), {},
                                  [&l] { l.Selectallseparators1Click(); }));
    editSub->addAction(makeAction(QStringLiteral("mDeletefromdiskClick"),
                                  QStringLiteral("Delete from disk..."), {},
                                  [this] { mDeletefromdiskClick(); }));
    editSub->addSeparator();
    editSub->addAction(makeAction(QStringLiteral("ShiftSelectionUp1Click"), QStringLiteral("Shift Items Up"),
                                  QKeySequence(Qt::ALT | Qt::Key_Up), [&l] { l.ShiftSelectionUp1Click(); }));
    editSub->addAction(makeAction(QStringLiteral("ShiftSelectionDown1Click"),
                                  QStringLiteral("Shift Items Down"), QKeySequence(Qt::ALT | Qt::Key_Down),
                                  [&l] { l.ShiftSelectionDown1Click(); }));
    m_pmlb->addAction(makeAction(QStringLiteral("mOpeninExplorer1Click"), QStringLiteral("Open in Explorer"),
                                 {}, [this] { mOpeninExplorer1Click(); }));
    m_pmlb->addSeparator();
    m_pmlb->addAction(makeAction(QStringLiteral("Convert1Click"), QStringLiteral("&Convert..."), {},
                                 [this] { Convert1Click(); }));
    QAction* fast = makeAction(QStringLiteral("FastConvert1Click"), QStringLiteral("&Fast Convert"),
                               QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { FastConvert1Click(); });
    fast->setShortcutContext(Qt::WindowShortcut);
    m_pmlb->addAction(fast);
    m_pmlb->addSeparator();
    m_pmlb->addAction(makeAction(QStringLiteral("Rename1Click"), QStringLiteral("&Rename..."), {},
                                 [this] { Rename1Click(); }));
    // Shortcuts of the list's menu act while the list has the focus.
    for (QMenu* m : {m_pmlb, openSub, sortSub, editSub})
        for (QAction* a : m->actions())
            if (!a->isSeparator() && !a->menu())
                m_lb1->addAction(a);
    m_pmlbActions = m_lb1->actions();
    m_pmlbActions << sortSub->menuAction();
    connect(m_pmlb, &QMenu::aboutToShow, this, [this] { pmlbPopup(); });
    connect(m_pmlb, &QMenu::aboutToHide, this, [this] {
        // The enabling rules hold while the menu is open; the keys stay usable.
        for (QAction* a : m_pmlbActions)
            a->setEnabled(true);
    });
    m_lb1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_lb1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_pmlb->exec(m_lb1->mapToGlobal(pos)); });

    // Name editor menu.
    m_pmse = new QMenu(this);
    m_pmse->setObjectName(QStringLiteral("pmse"));
    QMenu* caseSub = m_pmse->addMenu(QStringLiteral("&Case"));
    caseSub->setObjectName(QStringLiteral("Case1"));
    caseSub->addAction(makeAction(QStringLiteral("lowcasemClick"), QStringLiteral("&low case"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1),
                                  [this] { lowcasemClick(); }));
    caseSub->addAction(makeAction(QStringLiteral("uppercasemClick"), QStringLiteral("&UPPER CASE"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2),
                                  [this] { uppercasemClick(); }));
    caseSub->addAction(makeAction(QStringLiteral("firstupmClick"), QStringLiteral("&First letter up"),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_3),
                                  [this] { firstupmClick(); }));
    caseSub->addAction(
        makeAction(QStringLiteral("upfirstineachwClick"), QStringLiteral("Up First In Each &Word"),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_4), [this] { upfirstineachwClick(); }));
    caseSub->addAction(
        makeAction(QStringLiteral("Kirilitsa1Click"), QStringLiteral("Кириллица -> &Kirillitsa"),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_5), [this] { Kirilitsa1Click(); }));
    m_alignMenu = m_pmse->addMenu(QStringLiteral("&Align"));
    m_alignMenu->setObjectName(QStringLiteral("Align1"));
    m_alignMenu->addAction(makeAction(QStringLiteral("ralignmClick"), QStringLiteral("&Right Align"),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
                                      [this] { ralignmClick(); }));
    m_alignMenu->addAction(makeAction(QStringLiteral("LeftAlign1Click"), QStringLiteral("&Left Align"),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
                                      [this] { LeftAlign1Click(); }));
    m_alignMenu->addAction(makeAction(QStringLiteral("Alignby1Click"), QStringLiteral("&Align by '.'"),
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Period),
                                      [this] { Alignby1Click(); }));
    m_pmse->addSeparator();
    m_pmse->addAction(
        makeAction(QStringLiteral("CutmClick"), QStringLiteral("C&ut"), {}, [this] { CutmClick(); }));
    m_pmse->addAction(
        makeAction(QStringLiteral("CopymClick"), QStringLiteral("&Copy"), {}, [this] { CopymClick(); }));
    m_pmse->addAction(
        makeAction(QStringLiteral("PastemClick"), QStringLiteral("&Paste"), {}, [this] { PastemClick(); }));
    m_pmse->addAction(
        makeAction(QStringLiteral("delmClick"), QStringLiteral("&Delete"), {}, [this] { delmClick(); }));
    m_pmse->addSeparator();
    QMenu* sortEd = m_pmse->addMenu(QStringLiteral("&Sort"));
    sortEd->setObjectName(QStringLiteral("Sort2"));
    sortEd->addAction(makeAction(QStringLiteral("Accending1Click"), QStringLiteral("&Ascending"), {},
                                 [this] { Accending1Click(); }));
    sortEd->addAction(makeAction(QStringLiteral("Descending1Click"), QStringLiteral("&Descending"), {},
                                 [this] { Descending1Click(); }));
    m_pmse->addSeparator();
    QMenu* search = m_pmse->addMenu(QStringLiteral("Search"));
    search->setObjectName(QStringLiteral("Search1"));
    search->addAction(makeAction(QStringLiteral("Find1Click"), QStringLiteral("&Find..."),
                                 QKeySequence(Qt::CTRL | Qt::Key_F), noop));
    search->addAction(
        makeAction(QStringLiteral("Findnext1Click"), QStringLiteral("Find next"), Qt::Key_F3, noop));
    search->addAction(makeAction(QStringLiteral("Findprevious1Click"), QStringLiteral("Find previous"),
                                 QKeySequence(Qt::SHIFT | Qt::Key_F3), noop));
    search->addSeparator();
    search->addAction(makeAction(QStringLiteral("Replace1Click"), QStringLiteral("&Replace..."),
                                 QKeySequence(Qt::CTRL | Qt::Key_R), noop));
    for (QMenu* m : {caseSub, m_alignMenu, sortEd, search})
        for (QAction* a : m->actions())
            if (!a->isSeparator() && !a->shortcut().isEmpty())
                m_se2->addAction(a);
    connect(m_se2, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_pmse->exec(m_se2->mapToGlobal(pos)); });
    connect(m_pmse, &QMenu::aboutToShow, this, [this] { pmsePopup(); });
    connect(m_pmse, &QMenu::aboutToHide, this, [this] {
        // The enabling rules hold while the menu is open; the keys stay usable.
        for (QAction* a : m_pmse->actions())
            a->setEnabled(true);
    });

    // Status bar menu.
    m_pmsb = new QMenu(this);
    m_pmsb->setObjectName(QStringLiteral("pmsb"));
    m_pmsb->addAction(makeAction(QStringLiteral("CopyTimexxxxxx1Click"),
                                 QStringLiteral("Copy (&Time: xx:xx:xx)"), {},
                                 [this] { CopyTimexxxxxx1Click(); }));
    m_pmsb->addAction(makeAction(QStringLiteral("Copyinformation1Click"),
                                 QStringLiteral("Copy &All Information"), {},
                                 [this] { Copyinformation1Click(); }));
}

void TMain::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Tools"));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));
    m_buttonFont = font();
    m_buttonFont.setPointSizeF(m_buttonFont.pointSizeF() * 0.85);
    auto add = [this](const QString& caption, QStyle::StandardPixmap icon, const QString& handler,
                      const QString& hint = QString()) {
        QAction* a = m_toolBar->addAction(style()->standardIcon(icon), caption);
        QString tip = hint.isEmpty() ? caption : hint;
        a->setToolTip(tip.remove(u'&'));
        a->setObjectName(QStringLiteral("tb_") + handler);
        if (QAction* target = action(handler))
            connect(a, &QAction::triggered, target, &QAction::trigger);
        if (auto* b = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(a))) {
            b->setFixedSize(62, 44);
            b->setFont(m_buttonFont);
        }
        return a;
    };
    add(QStringLiteral("New file"), QStyle::SP_FileIcon, QStringLiteral("New1Click"));
    m_toolBar->addSeparator();
    add(QStringLiteral("Open folder"), QStyle::SP_DirOpenIcon,
        QStringLiteral("OpenFolderwithsubfolders1Click"), QStringLiteral("Open Folder with subfolders"));
    add(QStringLiteral("Select All"), QStyle::SP_DialogApplyButton, QStringLiteral("SelectAll1Click"));
    m_toolBar->addSeparator();
    add(QStringLiteral("&Convert..."), QStyle::SP_BrowserReload, QStringLiteral("Convert1Click"));
    add(QStringLiteral("&Rename..."), QStyle::SP_DialogSaveButton, QStringLiteral("Rename1Click"));
    m_toolBar->addSeparator();
    add(QStringLiteral("Find"), QStyle::SP_FileDialogContentsView, QStringLiteral("Find1Click"));
    add(QStringLiteral("Find next"), QStyle::SP_ArrowForward, QStringLiteral("Findnext1Click"));
    m_alignButton = new QToolButton;
    m_alignButton->setObjectName(QStringLiteral("tbAlign"));
    m_alignButton->setText(QStringLiteral("Align"));
    m_alignButton->setToolTip(QStringLiteral("Align"));
    m_alignButton->setIcon(style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton));
    m_alignButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_alignButton->setPopupMode(QToolButton::InstantPopup);
    m_alignButton->setMenu(new QMenu(m_alignButton));
    m_alignButton->menu()->setObjectName(QStringLiteral("pmAlign"));
    m_alignButton->setFixedSize(62, 44);
    m_alignButton->setFont(m_buttonFont);
    m_toolBar->addWidget(m_alignButton);
    m_toolBar->addSeparator();
    add(QStringLiteral("Options..."), QStyle::SP_FileDialogDetailedView, QStringLiteral("Options1Click"));
}

void TMain::buildStatusBar() {
    m_panel0 = new QLabel;
    m_panel0->setObjectName(QStringLiteral("sb1panel0"));
    m_panel1 = new QLabel;
    m_panel1->setObjectName(QStringLiteral("sb1panel1"));
    for (QLabel* l : {m_panel0, m_panel1}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(1);
        statusBar()->addWidget(l);
    }
    statusBar()->setObjectName(QStringLiteral("sb1"));
    statusBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(statusBar(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_pmsb->exec(statusBar()->mapToGlobal(pos)); });
}

void TMain::FormCreate() {
    setAcceptDrops(true);
    // Design bounds; stored geometry replaces them once settings exist.
    move(246, 187);
    resize(758, 452);
    const int half = width() / 2;
    m_splitter->setSizes({half, width() - half});
    m_lb1->setFont(m_se2->font());

    m_openDir = std::make_unique<TOpenDirDialog>(QStringLiteral("Choose folder to get file from"));
    m_destDir = std::make_unique<TOpenDirDialog>(QStringLiteral("Choose destination folder"));

    if (!UndoLog::createIfMissing(undoLogPath()))
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't create file\r") + undoLogPath());

    // The tool bar's Align drop-down repeats the editor's Align submenu.
    for (QAction* a : m_alignMenu->actions()) {
        QAction* copy = m_alignButton->menu()->addAction(a->text());
        connect(copy, &QAction::triggered, a, &QAction::trigger);
    }
    Lb1Click();
    FormResize();
}

void TMain::SetModified(bool flag) {
    if (m_modified == flag)
        return;
    m_modified = flag;
    QString caption = windowTitle();
    const qsizetype brace = caption.indexOf(u'}');
    if (brace > 0) {
        caption[brace - 1] = flag ? u'*' : u' ';
        setWindowTitle(caption);
    }
}

int TMain::ShowModalDialog(QDialog* dialog) {
    const bool top = m_options.Topmcb;
    if (top)
        setTopmost(false);
    const int result = execDialog(dialog);
    if (top)
        setTopmost(true);
    return result;
}

void TMain::setTopmost(bool on) {
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show();
}

void TMain::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && m_options.Topmcb)
        setTopmost(true);
}

void TMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    FormResize();
}

void TMain::FormResize() {
    const int w = width();
    const int w0 = w / 4;
    m_panel0->setFixedWidth(w0);
    m_panel1->setFixedWidth(qMax(1, w - w0 - 4));
}

void TMain::closeEvent(QCloseEvent* e) {
    m_openDir.reset();
    m_destDir.reset();
    e->accept();
}

void TMain::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* e) {
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        // The path's own bytes, also for names that are not UTF-8.
        paths << decodeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    }
    e->acceptProposedAction();
    FilesDropped(paths);
}

QStringList TMain::runAddFilesDialog() {
    QFileDialog dialog(this, QStringLiteral("Choose file(s) you want to add to left panel"), m_odfDir);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({QStringLiteral("MP3 Files (*.mp3)"), QStringLiteral("All Files (*)")});
    if (ShowModalDialog(&dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

void TMain::Openfiles1Click() {
    const QStringList files = odfExecute();
    if (files.isEmpty())
        return;
    m_adder->addFiles(files);
    if (m_openDir)
        m_openDir->SetStartFolder(files.first());
}

void TMain::openFolder(bool withSubfolders) {
    if (!m_openDir)
        return;
    const bool top = m_options.Topmcb;
    if (top)
        setTopmost(false);
    m_openDir->setOwner(m_lb1);
    const bool chosen = m_openDir->Execute();
    if (top)
        setTopmost(true);
    if (!chosen)
        return;
    const QString folder = m_openDir->Directory();
    m_odfDir = folder;
    m_openDir->SetStartFolder(folder);
    m_adder->addFolder(folder, withSubfolders);
}

void TMain::OpenDirectory1Click() {
    openFolder(false);
}

void TMain::OpenFolderwithsubfolders1Click() {
    openFolder(true);
}

void TMain::FilesDropped(const QStringList& paths) {
    m_adder->FilesDropped(paths);
}

void TMain::Rename1Click() {
    RenameRun(*m_list, m_prompts, m_fs, undoLogPath()).Rename1Click();
}

void TMain::refreshList() {
    m_lb1->refresh();
    if (m_list->structureVersion() != m_separatorsVersion)
        Se2SpecialLineColors();
}

void TMain::alignOneWay() {
    if (m_aligning)
        return;
    m_aligning = true;
    m_se2->setFirstVisibleLine(m_lb1->topLine());
    m_aligning = false;
}

void TMain::alignTwoWay() {
    if (m_aligning)
        return;
    alignOneWay();
    if (m_se2->firstVisibleLine() != m_lb1->topLine()) {
        m_aligning = true;
        m_lb1->setTopLine(m_se2->firstVisibleLine());
        m_aligning = false;
    }
}

void TMain::Lb1Click() {
    alignTwoWay();
    const StatusTexts t = m_list->statusTexts();
    m_panel0->setText(t.panel0);
    m_panel1->setText(t.panel1);
}

void TMain::addPaths(const QStringList& paths) {
    FilesDropped(paths);
}

void TMain::Lb1DrawItem(QPainter& p, const QRect& rect, int index) {
    if (index < 0 || index >= m_list->count())
        return;
    const ListLine& line = m_list->line(index);
    p.save();
    p.setClipRect(rect);
    p.setFont(m_lb1->font());
    const QFontMetrics fm(p.font());
    if (line.isSeparator()) {
        p.fillRect(rect, line.selected ? palette().color(QPalette::Button) : kSeparatorPink);
        p.setPen(Qt::black);
        if (m_separatorImage.isNull())
            m_separatorImage = style()->standardIcon(QStyle::SP_DirIcon).pixmap(16, 16);
        p.drawPixmap(rect.left() + 2, rect.top(), 16, 16, m_separatorImage);
        const int textLeft = rect.left() + 16 + 4;
        const QString text = m_options.Dsfcb ? lastComponent(line.text) : line.text;
        p.drawText(QPoint(textLeft, rect.top() + fm.ascent()), text);
        p.drawLine(textLeft, rect.bottom(), rect.right(), rect.bottom());
    } else {
        const QPalette& pal = m_lb1->palette();
        p.fillRect(rect, line.selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
        p.setPen(line.selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
        const QString text = m_options.Dsfcb ? fileNamePart(line.text) : line.text;
        p.drawText(QPoint(rect.left(), rect.top() + fm.ascent()), text);
    }
    p.restore();
}

void TMain::pmlbPopup() {
    const int selected = m_list->selectedCount();
    const bool any = selected > 0;
    const bool notEmpty = m_list->count() > 0;
    auto enable = [this](const char* name, bool on) {
        if (QAction* a = action(QLatin1String(name)))
            a->setEnabled(on);
    };
    if (QMenu* sort = m_pmlb->findChild<QMenu*>(QStringLiteral("Sort1")))
        sort->menuAction()->setEnabled(any);
    for (const char* n : {"SelectAll1Click", "InvertSelection1Click", "SelectAlbum1Click"})
        enable(n, notEmpty);
    for (const char* n : {"mDeleteFromListClick", "mDeletefromdiskClick", "Selectallseparators1Click",
                          "Convert1Click", "FastConvert1Click", "Rename1Click"})
        enable(n, any);
    enable("mCopyPathAndNameClick", m_list->caret() >= 0);
    enable("mOpeninExplorer1Click", selected == 1);
}

void TMain::Actions1Click() {
    const bool any = m_list->selectedCount() > 0;
    action(QStringLiteral("ReCountmp3filestime1Click"))->setEnabled(any);
    action(QStringLiteral("Checkfilesexist1Click"))->setEnabled(any);
    const bool shift = keyboardModifiers() & Qt::ShiftModifier;
    action(QStringLiteral("Copy1Click"))->setEnabled(shift);
    action(QStringLiteral("Checkfile1Click"))->setEnabled(shift);
}

void TMain::SelectAll1Click() {
    const int albums = m_list->SelectAll1Click();
    m_panel1->setText(QStringLiteral("%1 Album(s) ").arg(albums) + m_panel1->text());
}

void TMain::mDeletefromdiskClick() {
    m_list->mDeletefromdiskClick();
}

void TMain::mCopyPathAndNameClick() {
    const int c = m_list->caret();
    if (c < 0)
        return;
    const QString& t = m_list->text(c);
    QGuiApplication::clipboard()->setText(m_options.Dsfcb ? fileNamePart(t) : t);
}

void TMain::CopyTimexxxxxx1Click() {
    const QString t = m_panel1->text();
    const qsizetype at = t.indexOf(QStringLiteral("Time"));
    if (at < 0)
        return;
    QGuiApplication::clipboard()->setText(u'(' + t.mid(at, 300) + u')');
}

void TMain::Copyinformation1Click() {
    QGuiApplication::clipboard()->setText(m_panel1->text());
}

void TMain::mOpeninExplorer1Click() {
    const int c = m_list->caret();
    if (c >= 0)
        m_shell.showInFileManager(m_list->text(c));
}

void TMain::Help1Click() {
    const QString file = m_appDir + QStringLiteral("/vln.html");
    if (!QFileInfo::exists(file) || !m_shell.openFile(file))
        m_prompts.error(QStringLiteral("Vorlane"), QStringLiteral("Can't open help file"));
}

void TMain::Exit1Click() {
    close();
}

QsciScintilla* TMain::GetSE() const {
    return isActiveWindow() || !m_buffer ? m_se2 : m_buffer->se1;
}

NameLines& TMain::activeLines() {
    return GetSE() == m_se2 ? static_cast<NameLines&>(*m_names) : *m_bufferLines;
}

QString TMain::GetSelectedText() const {
    QString text = GetSE()->selectedText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TMain::ReplaceSelection(const QString& text) {
    if (text.isEmpty())
        return;
    QsciScintilla* se = GetSE();
    // Offsets in characters, so the selection comes back over as many characters.
    const long startPos = se->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART);
    const long endPos = se->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND);
    const long start = se->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, 0L, startPos);
    const long end = se->SendScintilla(QsciScintilla::SCI_COUNTCHARACTERS, 0L, endPos);
    auto* data = new QMimeData;
    data->setText(text);
    // A column selection is pasted back as a column.
    if (se->SendScintilla(QsciScintilla::SCI_SELECTIONISRECTANGLE))
        data->setData(QStringLiteral("MSDEVColumnSelect"), QByteArray());
    QGuiApplication::clipboard()->setMimeData(data);
    se->paste();
    se->SendScintilla(QsciScintilla::SCI_SETSELECTIONSTART,
                      se->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVE, 0L, start));
    se->SendScintilla(QsciScintilla::SCI_SETSELECTIONEND,
                      se->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVE, 0L, end));
}

void TMain::convertSelection(QString (*conversion)(const QString&)) {
    const QString selected = GetSelectedText();
    if (!selected.isEmpty())
        ReplaceSelection(conversion(selected));
}

void TMain::lowcasemClick() {
    convertSelection(lowerCase);
}
void TMain::uppercasemClick() {
    convertSelection(upperCase);
}
void TMain::firstupmClick() {
    convertSelection(FirstLetterUp);
}
void TMain::upfirstineachwClick() {
    convertSelection(UpFirstInEachWord);
}
void TMain::Kirilitsa1Click() {
    convertSelection(Translit);
}

void TMain::pmsePopup() {
    QsciScintilla* se = GetSE();
    const bool selection = se->hasSelectedText();
    const bool lines = activeLines().count() > 0;
    for (const char* name : {"Case1", "Sort2"})
        if (QMenu* m = m_pmse->findChild<QMenu*>(QLatin1String(name)))
            m->menuAction()->setEnabled(selection);
    for (const char* name : {"Align1", "Search1"})
        if (QMenu* m = m_pmse->findChild<QMenu*>(QLatin1String(name)))
            m->menuAction()->setEnabled(lines);
    for (const char* name : {"CutmClick", "CopymClick", "delmClick"})
        action(QLatin1String(name))->setEnabled(selection);
    action(QStringLiteral("PastemClick"))
        ->setEnabled(!se->isReadOnly() && !QGuiApplication::clipboard()->text().isEmpty());
}

void TMain::alignActive(QStringList (*tool)(const QStringList&)) {
    NameLines& lines = activeLines();
    lines.setLines(tool(lines.lines()));
}

void TMain::ralignmClick() {
    alignActive(rightAlign);
}
void TMain::LeftAlign1Click() {
    alignActive(leftAlign);
}
void TMain::Alignby1Click() {
    alignActive(alignByDot);
}

void TMain::CutmClick() {
    GetSE()->cut();
    Se2Change();
}

void TMain::CopymClick() {
    GetSE()->copy();
}
void TMain::PastemClick() {
    GetSE()->paste();
}
void TMain::delmClick() {
    GetSE()->removeSelectedText();
}

void TMain::Accending1Click() {
    const QString text = GetSelectedText();
    if (!text.isEmpty())
        ReplaceSelection(sortSelectedText(text, false));
}

void TMain::Descending1Click() {
    const QString text = GetSelectedText();
    if (!text.isEmpty())
        ReplaceSelection(sortSelectedText(text, true));
}

void TMain::Se2Change() {
    if (m_list->updating())
        return;
    SetModified(true);
    if (m_names->count() >= m_list->count() || m_padPending)
        return;
    // The editor cannot be changed from inside its own change notification:
    // the missing lines follow as soon as the change is done.
    m_padPending = true;
    QTimer::singleShot(0, this, [this] {
        m_padPending = false;
        const int missing = m_list->count() - m_names->count();
        if (missing <= 0)
            return;
        m_names->beginUpdate();
        for (int i = 0; i < missing; ++i)
            m_names->append(QString());
        m_names->endUpdate();
        alignTwoWay();
    });
}

void TMain::scheduleSeparatorColours() {
    if (m_colourPending)
        return;
    m_colourPending = true;
    QTimer::singleShot(0, this, [this] {
        m_colourPending = false;
        Se2SpecialLineColors();
    });
}

void TMain::Se2SpecialLineColors() {
    if (m_list->updating())
        return;
    if (m_separatorsVersion != m_list->structureVersion()) {
        m_separators.clear();
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->isSeparator(i))
                m_separators << i;
        m_separatorsVersion = m_list->structureVersion();
    }
    m_se2->SendScintilla(QsciScintilla::SCI_MARKERDELETEALL, long(kSeparatorMarker));
    m_se2->SendScintilla(QsciScintilla::SCI_SETINDICATORCURRENT, long(kSeparatorIndicator));
    m_se2->SendScintilla(QsciScintilla::SCI_INDICATORCLEARRANGE, 0L,
                         m_se2->SendScintilla(QsciScintilla::SCI_GETLENGTH));
    const int lines = m_se2->lines();
    for (const int i : m_separators) {
        if (i >= lines)
            break;
        m_se2->SendScintilla(QsciScintilla::SCI_MARKERADD, long(i), long(kSeparatorMarker));
        const long start = m_se2->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(i));
        const long end = m_se2->SendScintilla(QsciScintilla::SCI_GETLINEENDPOSITION, long(i));
        if (end > start)
            m_se2->SendScintilla(QsciScintilla::SCI_INDICATORFILLRANGE, start, end - start);
    }
}

void TMain::colourSplitter() {
    const long mode = m_se2->SendScintilla(QsciScintilla::SCI_GETSELECTIONMODE);
    const QColor c = mode != QsciScintilla::SC_SEL_STREAM ? QColor(128, 255, 0) : QColor(255, 128, 0);
    QSplitterHandle* handle = m_splitter->handle(1);
    QPalette pal = handle->palette();
    pal.setColor(QPalette::Window, c);
    handle->setPalette(pal);
    handle->setAutoFillBackground(true);
    handle->update();
}

bool TMain::eventFilter(QObject* watched, QEvent* e) {
    if ((watched == m_se2 || watched == m_se2->viewport()) && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        // Some window systems leave a modifier key out of its own key-down.
        const bool shift = (k->modifiers() & Qt::ShiftModifier) || k->key() == Qt::Key_Shift;
        const bool alt = (k->modifiers() & Qt::AltModifier) || k->key() == Qt::Key_Alt;
        QTimer::singleShot(0, this, [this] { colourSplitter(); });
        if (shift && alt) {
            // Shift+Alt switches between column and normal selection.
            const long mode = m_se2->SendScintilla(QsciScintilla::SCI_GETSELECTIONMODE);
            m_se2->SendScintilla(QsciScintilla::SCI_SETSELECTIONMODE,
                                 long(mode == QsciScintilla::SC_SEL_RECTANGLE
                                          ? QsciScintilla::SC_SEL_STREAM
                                          : QsciScintilla::SC_SEL_RECTANGLE));
        } else if (shift && !(k->modifiers() & Qt::ControlModifier) &&
                   m_se2->SendScintilla(QsciScintilla::SCI_GETSELECTIONMODE) ==
                       QsciScintilla::SC_SEL_RECTANGLE) {
            // In column mode Shift with the movement keys widens the column.
            static const QHash<int, int> extend = {
                {Qt::Key_Left, QsciScintilla::SCI_CHARLEFTRECTEXTEND},
                {Qt::Key_Right, QsciScintilla::SCI_CHARRIGHTRECTEXTEND},
                {Qt::Key_Up, QsciScintilla::SCI_LINEUPRECTEXTEND},
                {Qt::Key_Down, QsciScintilla::SCI_LINEDOWNRECTEXTEND},
                {Qt::Key_Home, QsciScintilla::SCI_VCHOMERECTEXTEND},
                {Qt::Key_End, QsciScintilla::SCI_LINEENDRECTEXTEND},
                {Qt::Key_PageUp, QsciScintilla::SCI_PAGEUPRECTEXTEND},
                {Qt::Key_PageDown, QsciScintilla::SCI_PAGEDOWNRECTEXTEND},
            };
            if (const int command = extend.value(k->key(), 0)) {
                m_se2->SendScintilla(static_cast<unsigned int>(command));
                return true;
            }
        }
    } else if ((watched == m_se2 || watched == m_se2->viewport()) && e->type() == QEvent::KeyRelease) {
        // Se2KeyUp: the list follows the editor; a changed line count is padded.
        QTimer::singleShot(0, this, [this] {
            m_lb1->setTopLine(m_se2->firstVisibleLine());
            if (m_names->count() != m_list->count())
                Se2Change();
        });
    } else if (watched == m_se2->viewport() && e->type() == QEvent::MouseButtonRelease) {
        QTimer::singleShot(0, this, [this] { colourSplitter(); });
    } else if (m_buffer && watched == m_buffer->se1 && e->type() == QEvent::WindowActivate) {
        m_buffer->raise();
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMain::Buffer1Click() {
    if (m_buffer->isVisible())
        m_buffer->hide();
    else
        m_buffer->show();
}

QString TMain::currentMask() const {
    return m_maskedf ? m_maskedf->mask() : QStringLiteral("[n].[e]");
}

MaskSpec TMain::maskSpec() const {
    return {currentMask(), m_maskedf ? m_maskedf->letterSettings() : LetterSettings()};
}

MaskContext TMain::maskContext() const {
    MaskContext ctx;
    ctx.list = m_list.get();
    ctx.editor = m_names.get();
    return ctx;
}

void TMain::Convert1Click() {
    m_maskedf->span = selectionSpan(*m_list);
    if (ShowModalDialog(m_maskedf) != QDialog::Accepted)
        return;
    if (m_maskedf->toBuffer()) {
        QsciScintilla* se1 = m_buffer->se1;
        se1->clear();
        se1->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
        m_buffer->show();
        convertSelected(*m_list, maskSpec(), maskContext(), *m_bufferLines, true);
        return;
    }
    if (convertSelected(*m_list, maskSpec(), maskContext(), *m_names, false) > 0)
        SetModified(true);
}

void TMain::FastConvert1Click() {
    if (convertSelected(*m_list, maskSpec(), maskContext(), *m_names, false) > 0)
        SetModified(true);
}

} // namespace vorlane
