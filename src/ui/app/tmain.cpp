#include "tmain.h"

#include "core/editor/tools.h"
#include "core/masks/convert.h"
#include "core/media/timecommands.h"
#include "core/platform/paths.h"
#include "core/rename/conflicts.h"
#include "core/rename/rename.h"
#include "core/rename/undolog.h"
#include "core/settings/inifile.h"
#include "core/settings/storedstate.h"
#include "ui/app/shell.h"
#include "ui/copy/tcopyf.h"
#include "ui/editor/nameeditor.h"
#include "ui/editor/sesearch.h"
#include "ui/editor/tbuffer.h"
#include "ui/filelist/filechooser.h"
#include "ui/filelist/filelistview.h"
#include "ui/filelist/tfrmgroupop.h"
#include "ui/filelist/topendirdialog.h"
#include "ui/masks/tmaskedf.h"
#include "ui/project/tssform.h"
#include "ui/rename/tundof.h"
#include "ui/settings/toptions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace vorlane {

namespace {
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

// The panes' splitter: when the window is resized the file list keeps its
// share of the width, not its width in pixels. The share is taken from the
// panes whenever they were changed since the last resize (the handle dragged,
// sizes set), so that a window made very small and large again gets back the
// split it had.
class ShareSplitter : public QSplitter {
public:
    ShareSplitter() : QSplitter(Qt::Horizontal) {}

    // The list's width in pixels for when the window first shows (the stored
    // LBWidth); the share follows from it then.
    void setListWidth(int pixels) {
        m_pending = pixels;
        setSizes({pixels, qMax(1, width() - pixels)});
    }

protected:
    void resizeEvent(QResizeEvent* e) override {
        const QList<int> before = sizes();
        if (m_pending < 0 && before != m_fitted && before.size() == 2 && before[0] + before[1] > 0)
            m_share = double(before[0]) / (before[0] + before[1]);
        QSplitter::resizeEvent(e);
        const QList<int> now = sizes();
        if (now.size() != 2 || now[0] + now[1] < 2)
            return;
        const int room = now[0] + now[1];
        const int first = qBound(1, m_pending >= 0 ? m_pending : int(m_share * room + 0.5), room - 1);
        if (m_pending >= 0 && window()->isVisible()) {
            m_pending = -1;
            m_share = double(first) / room;
        }
        setSizes({first, room - first});
        m_fitted = sizes();
    }

private:
    double m_share = 0.5;
    int m_pending = -1;
    QList<int> m_fitted;
};

// A status-bar panel that runs a command when clicked.
class ClickPanel : public QLabel {
public:
    explicit ClickPanel(std::function<void()> click) : m_click(std::move(click)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            m_click();
    }

private:
    std::function<void()> m_click;
};

// Empties an editor, with nothing left to undo and no line marked.
void emptyEditor(NameEditor* se) {
    se->clear();
    se->markerDeleteAll();
    se->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
}
} // namespace

TMain::TMain(const TMainDeps& deps, QWidget* parent)
    : QMainWindow(parent), m_options(*deps.options), m_prompts(*deps.prompts),
      m_shell(deps.shell ? *deps.shell : Shell::desktop()), m_home(deps.home), m_appDir(deps.appDir) {
    keyboardModifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
    execDialog = [](QDialog* d) { return d->exec(); };
    odfExecute = [this] { return runAddFilesDialog(); };
    setWindowTitle(baseCaption());
    setObjectName(QStringLiteral("Main"));

    m_se2 = new NameEditor(NameEditor::Role::Names);
    m_se2->setObjectName(QStringLiteral("Se2"));
    // Lines as high as the list's, so both panes stand line beside line.
    m_se2->setLineHeight(FileListView::kRowHeight);

    Workspace::Deps wd;
    wd.options = &m_options;
    wd.prompts = &m_prompts;
    wd.names = &m_se2->lines();
    wd.fs = deps.fs;
    wd.clock = deps.clock;
    wd.pump = deps.pump;
    if (!wd.pump) {
        m_ownPump = std::make_unique<WindowPump>([this] { refreshList(); });
        wd.pump = m_ownPump.get();
    }
    m_ws = std::make_unique<Workspace>(wd);
    m_lb1 = new FileListView(m_ws->list, m_options);
    m_lb1->setObjectName(QStringLiteral("lb1"));

    FileListHooks& h = m_ws->list.hooks;
    h.setModified = [this](bool f) { SetModified(f); };
    h.lb1Click = [this] { Lb1Click(); };
    h.changed = [this] { refreshList(); };
    h.alignEditorTop = [this] { alignOneWay(); };
    h.openFile = [this](const QString& path) { m_shell.openFile(path); };

    m_splitter = new ShareSplitter;
    m_splitter->addWidget(m_lb1);
    m_splitter->addWidget(m_se2);
    m_splitter->setChildrenCollapsible(false);
    setCentralWidget(m_splitter);

    m_search = std::make_unique<SESearch>(
        m_prompts, [this](QDialog* d) { return ShowModalDialog(d); }, this);

    buildCommands();
    buildStatusBar();
    connectPanes();
    connectProject();
    FormCreate();
    createWindows();
}

// The other windows, in this order: options, mask editor, buffer, then
// (as they come) the small save window, the undo window and the copy window,
// and last the group operations' progress window.
void TMain::createWindows() {
    m_windows << this;
    m_optionsDlg = new TOptions(m_options, m_settings.get(), this);
    m_windows << m_optionsDlg;
    // The rest of the options dialog's creation concerns this window.
    m_se2->applyOptions(m_options);

    m_maskedf = new TMaskedf(
        m_ws->list, [this] { return maskContext(); }, m_settings.get(), this);
    m_windows << m_maskedf;

    m_buffer = new TBuffer(this);
    attachEditor(m_buffer->se1);
    m_windows << m_buffer;

    m_ssform = new TSSForm(this);
    m_windows << m_ssform;

    m_undof = new TUndof(m_prompts, m_ws->list, m_ws->group, m_options, undoLogPath(), this);
    m_windows << m_undof;

    m_copyf = new TCopyf(m_ws->list, m_prompts, m_ws->clock, m_ws->pump, this);
    m_windows << m_copyf;

    // The mask editor has loaded the mask that names added files.
    showAddingMask();

    GroupHost host;
    host.window = this;
    host.stayOnTop = [this] { return m_options.Topmcb; };
    host.setTopmost = [this](bool on) { setTopmost(on); };
    host.setStatus = [this](const QString& text) { m_panel0->setText(text); };
    m_groupUi = std::make_unique<QtGroupUi>(std::move(host), m_ws->group);
    m_ws->group.setUi(m_groupUi.get());
    m_windows << m_groupUi->window();
}

QList<QWidget*> TMain::windows() const {
    QList<QWidget*> out;
    for (const QPointer<QWidget>& w : m_windows)
        if (w)
            out << w.data();
    return out;
}

// The other windows go first, newest first, so those that store their state
// do it while the settings file is still open; all of it reaches the disk in
// one write when this window has stored its own.
TMain::~TMain() {
    m_settings->beginBatch();
    m_ws->group.setUi(nullptr);
    for (qsizetype i = m_windows.size() - 1; i > 0; --i) {
        if (m_groupUi && m_windows[i] == m_groupUi->window())
            m_groupUi.reset();
        else
            delete m_windows[i].data();
    }
    m_optionsDlg = nullptr;
    m_maskedf = nullptr;
    m_buffer = nullptr;
    m_ssform = nullptr;
    m_undof = nullptr;
    m_copyf = nullptr;
    FormDestroy();
}

void TMain::FormDestroy() {
    writeMainGeometry(*m_settings, {x(), y(), width(), height(), m_lb1->width()});
    m_settings->endBatch();
    m_settings.reset();
}

QAction* TMain::action(const QString& handler) const {
    return findChild<QAction*>(handler);
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
    m_conflicts = new QLabel;
    m_conflicts->setObjectName(QStringLiteral("sb1conflicts"));
    m_conflicts->setFrameShape(QFrame::Panel);
    m_conflicts->setFrameShadow(QFrame::Sunken);
    m_conflicts->setToolTip(
        QStringLiteral("Selected names that will fail to rename; they are marked on the right"));
    m_conflicts->hide();
    statusBar()->addWidget(m_conflicts);
    m_maskPanel = new ClickPanel([this] { Convert1Click(); });
    m_maskPanel->setObjectName(QStringLiteral("sb1mask"));
    m_maskPanel->setFrameShape(QFrame::Panel);
    m_maskPanel->setFrameShadow(QFrame::Sunken);
    m_maskPanel->hide();
    statusBar()->addWidget(m_maskPanel);
    m_conflictTimer = new QTimer(this);
    m_conflictTimer->setSingleShot(true);
    m_conflictTimer->setInterval(150);
    connect(m_conflictTimer, &QTimer::timeout, this, [this] { showConflicts(); });
}

// The two panes show the same first line, and the editor keeps the list's length.
void TMain::connectPanes() {
    connect(m_lb1, &FileListView::clicked, this, [this] { Lb1Click(); });
    connect(m_lb1, &FileListView::scrolled, this, [this] { alignTwoWay(); });
    connect(m_lb1, &FileListView::keyReleased, this, [this] { alignOneWay(); });
    connect(m_lb1, &FileListView::doubleClicked, this, [this] { list().Lb1DblClick(); });
    connect(m_lb1, &FileListView::editNameRequested, this, [this] { editCaretName(); });
    m_se2->installEventFilter(this);
    m_se2->setPadTarget([this] { return list().count(); });
    connect(m_se2, &QsciScintilla::textChanged, this, [this] { Se2Change(); });
    connect(m_se2, &NameEditor::padded, this, [this] { alignTwoWay(); });
    connect(m_se2, &NameEditor::selectionModeShown, this, [this](bool column) { colourSplitter(column); });
    // Se2KeyUp: the list follows the editor; a changed line count is padded.
    connect(m_se2, &NameEditor::keyReleased, this, [this] {
        m_lb1->setTopLine(m_se2->firstVisibleLine());
        if (names().count() != list().count())
            Se2Change();
    });
    connect(m_se2, &QsciScintilla::SCN_UPDATEUI, this, [this](int updated) {
        if ((updated & QsciScintilla::SC_UPDATE_V_SCROLL) && !m_aligning &&
            m_se2->firstVisibleLine() != m_lb1->topLine()) {
            m_aligning = true;
            m_lb1->setTopLine(m_se2->firstVisibleLine());
            m_aligning = false;
        }
    });
}

void TMain::FormCreate() {
    setAcceptDrops(true);
    // Design bounds, then the stored ones.
    move(246, 187);
    resize(758, 452);
    const int half = width() / 2;
    m_lb1->setFont(m_se2->font());

    m_openDir = std::make_unique<TOpenDirDialog>(QStringLiteral("Choose folder to get file from"));
    m_destDir = std::make_unique<TOpenDirDialog>(QStringLiteral("Choose destination folder"));

    QString why;
    if (!UndoLog::createIfMissing(undoLogPath(), &why))
        m_prompts.error(QStringLiteral("Vorlane"),
                        QStringLiteral("Can't create file\r") + undoLogPath() + u'\r' + why);

    m_settings = std::make_unique<IniFile>(m_home + QStringLiteral("/vln.ini"), &m_prompts);
    const MainGeometry g = readMainGeometry(*m_settings, {x(), y(), width(), height(), half});
    move(g.left, g.top);
    resize(g.width, g.height);
    static_cast<ShareSplitter*>(m_splitter)->setListWidth(g.lbWidth);

    // The tool bar's Align drop-down repeats the editor's Align submenu.
    for (QAction* a : menu("Align1")->actions()) {
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
    setWindowTitle(projectCaption(m_projectPath, m_modified, baseCaption()));
}

void TMain::SetProjectCaption(const QString& path) {
    m_projectPath = path;
    setWindowTitle(projectCaption(m_projectPath, m_modified, baseCaption()));
}

int TMain::ShowModalDialog(QDialog* dialog) {
    return withTopmostPaused([&] { return execDialog(dialog); });
}

int TMain::withTopmostPaused(const std::function<int()>& step) {
    const bool top = m_options.Topmcb;
    if (top)
        setTopmost(false);
    const int result = step();
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
    const int w2 = m_conflicts->isVisible() ? m_conflicts->sizeHint().width() + 4 : 0;
    // The mask panel takes what it needs, up to a third of the window; a
    // longer mask is cut short there and shown whole in its hint.
    int w3 = 0;
    if (!m_maskPanel->isHidden()) {
        const QString& full = m_maskText;
        const int most = w / 3;
        const QFontMetrics fm(m_maskPanel->font());
        const int margin = 2 * m_maskPanel->frameWidth() + 6;
        m_maskPanel->setText(fm.elidedText(full, Qt::ElideRight, most - margin));
        w3 = qMin(most, fm.horizontalAdvance(m_maskPanel->text()) + margin);
        m_maskPanel->setFixedWidth(w3);
        w3 += 4;
    }
    m_panel0->setFixedWidth(w0);
    m_panel1->setFixedWidth(qMax(1, w - w0 - 4 - w2 - w3));
}

void TMain::showAddingMask() {
    m_maskText = m_maskedf ? addingMaskText(m_maskedf->maskSpec()) : QString();
    m_maskPanel->setToolTip(m_maskText +
                            QStringLiteral("\nAdded files are named by this mask; click to edit it"));
    m_maskPanel->setText(m_maskText);
    m_maskPanel->setVisible(!m_maskText.isEmpty());
    FormResize();
}

void TMain::closeEvent(QCloseEvent* e) {
    // FormClose: a changed project is offered for saving; Cancel keeps the window.
    if (!project().NewFile()) {
        e->ignore();
        return;
    }
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

// --- the panes

void TMain::refreshList() {
    m_lb1->refresh();
    scheduleConflicts();
    if (list().structureVersion() != m_separatorsVersion)
        Se2SpecialLineColors();
    // The names stood beside other lines before: undo must not bring them back.
    if (list().structureVersion() != m_historyVersion) {
        m_historyVersion = list().structureVersion();
        m_se2->forgetHistory();
    }
}

void TMain::Se2SpecialLineColors() {
    if (list().updating())
        return;
    QVector<int> separators;
    for (int i = 0; i < list().count(); ++i)
        if (list().isSeparator(i))
            separators << i;
    m_separatorsVersion = list().structureVersion();
    m_se2->setSeparatorLines(std::move(separators));
}

void TMain::Se2Change() {
    if (list().updating())
        return;
    SetModified(true);
    m_se2->padLater();
    scheduleConflicts();
}

void TMain::scheduleConflicts() {
    m_conflictTimer->start();
}

void TMain::showConflicts() {
    if (list().updating()) {
        scheduleConflicts();
        return;
    }
    QVector<int> lines;
    for (const Conflict& c : findConflicts(list(), m_options.cbResolveChains))
        lines << c.line;
    m_se2->setConflictLines(lines);
    const bool was = m_conflicts->isVisible();
    m_conflicts->setText(lines.size() == 1 ? QStringLiteral("1 conflict")
                                           : QStringLiteral("%1 conflicts").arg(lines.size()));
    m_conflicts->setVisible(!lines.isEmpty());
    if (was != m_conflicts->isVisible())
        FormResize();
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
    const StatusTexts t = list().statusTexts();
    m_panel0->setText(t.panel0);
    showSums(t);
}

void TMain::showSums(const StatusTexts& sums) {
    m_sums = sums;
    m_panel1->setText(sums.panel1);
}

void TMain::colourSplitter(bool column) {
    const QColor c = column ? QColor(128, 255, 0) : QColor(255, 128, 0);
    QSplitterHandle* handle = m_splitter->handle(1);
    QPalette pal = handle->palette();
    pal.setColor(QPalette::Window, c);
    handle->setPalette(pal);
    handle->setAutoFillBackground(true);
    handle->update();
}

void TMain::pmlbPopup() {
    enableByRules(QStringLiteral("pmlb"));
}

void TMain::pmsePopup() {
    enableByRules(QStringLiteral("pmse"));
}

void TMain::Actions1Click() {
    enableByRules(QStringLiteral("Actions1"));
}

void TMain::enableByRules(const QString& menu) {
    for (const auto& [action, enabled] : m_rules.value(menu))
        action->setEnabled(enabled(*this));
}

// --- adding files

QStringList TMain::odfFilters() const {
    return {u'(' + m_options.masked + u')', QStringLiteral("MP3 Files (*.mp3)"),
            QStringLiteral("All Files (*.*)")};
}

QStringList TMain::runAddFilesDialog() {
    FileChooser dialog(FileChooser::Files, QStringLiteral("Choose file(s) you want to add to left panel"),
                       this);
    dialog.setNameFilters(odfFilters());
    dialog.setFolder(m_odfDir);
    if (ShowModalDialog(&dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedPaths();
}

void TMain::Openfiles1Click() {
    const QStringList files = odfExecute();
    if (files.isEmpty())
        return;
    adder().addFiles(files, maskSpec());
    if (m_openDir)
        m_openDir->SetStartFolder(files.first());
}

QString TMain::chooseFolder(TOpenDirDialog& chooser) {
    chooser.setOwner(m_lb1);
    const bool chosen = withTopmostPaused([&] { return int(chooser.Execute()); });
    return chosen ? chooser.Directory() : QString();
}

void TMain::openFolder(bool withSubfolders) {
    if (!m_openDir)
        return;
    const QString folder = chooseFolder(*m_openDir);
    if (folder.isEmpty())
        return;
    m_odfDir = folder;
    m_openDir->SetStartFolder(folder);
    adder().addFolder(folder, withSubfolders, maskSpec());
}

void TMain::OpenDirectory1Click() {
    openFolder(false);
}

void TMain::FilesDropped(const QStringList& paths) {
    adder().FilesDropped(paths, maskSpec());
}

void TMain::addPaths(const QStringList& paths) {
    FilesDropped(paths);
}

void TMain::openArguments(const QStringList& paths) {
    const ProgramArguments args =
        splitArguments(paths, [this](const QString& p) { return m_ws->fs.stat(p).isDir; });
    if (!args.project.isEmpty()) {
        // Cancel in the question about a changed list changes nothing; a
        // project that cannot be read is reported, and the rest still added.
        if (!project().NewFile())
            return;
        if (project().OpenFile(args.project)) {
            m_projectFolder = folderPart(args.project);
            SelectAll1Click();
        }
    }
    if (!args.others.isEmpty())
        addPaths(args.others);
}

// --- project files

void TMain::connectProject() {
    ProjectHooks& h = project().hooks;
    h.chooseOpen = [this] { return chooseProject(false, QString()); };
    h.chooseSave = [this](const QString& current) { return chooseProject(true, current); };
    h.isModified = [this] { return m_modified; };
    h.setModified = [this](bool f) { SetModified(f); };
    h.setProjectCaption = [this](const QString& path) { SetProjectCaption(path); };
    h.setStatus = [this](const QString& text) {
        m_panel0->setText(text);
        m_panel0->repaint();
    };
    h.clearEditor = [this] { emptyEditor(m_se2); };
    h.showSaved = [this] { m_ssform->showSaved(this); };
}

QString TMain::chooseProject(bool save, const QString& current) {
    FileChooser dialog(save ? FileChooser::SaveFile : FileChooser::OpenFile,
                       save ? QStringLiteral("Save As") : QStringLiteral("Open"), this);
    dialog.setNameFilters({QStringLiteral("Project Files (*.vln)"), QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("vln"));
    dialog.setPrompts(&m_prompts);
    const QString folder = current.isEmpty() ? m_projectFolder : folderPart(current);
    dialog.setFolder(folder, fileNamePart(current));
    if (save)
        dialog.setFileName(fileNamePart(current));
    if (ShowModalDialog(&dialog) != QDialog::Accepted || dialog.selectedPaths().isEmpty())
        return QString();
    const QString chosen = dialog.selectedPaths().first();
    m_projectFolder = folderPart(chosen);
    return chosen;
}

void TMain::Open1Click() {
    if (project().Open1Click())
        SelectAll1Click();
}

// --- the list's commands

void TMain::Insertseparator1Click() {
    list().Insertseparator1Click();
    m_lb1->refresh();
}

void TMain::SelectAll1Click() {
    const int albums = list().SelectAll1Click();
    showSums(list().statusTexts().withAlbums(albums));
}

void TMain::mCopyPathAndNameClick() {
    const int c = list().caret();
    if (c < 0)
        return;
    const QString& t = list().text(c);
    QGuiApplication::clipboard()->setText(m_options.Dsfcb ? fileNamePart(t) : t);
}

void TMain::mOpeninExplorer1Click() {
    const int c = list().caret();
    if (c >= 0)
        m_shell.showInFileManager(list().text(c));
}

namespace {
// While a long rename pumps events, the user's input reaches only the boxes
// it shows: a second command started meanwhile would work on lines the run
// is still changing.
class InputBlocker : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Drop:
        case QEvent::Close:
            return !QApplication::activeModalWidget();
        default:
            return false;
        }
    }
};
} // namespace

void TMain::Rename1Click() {
    RenameRun run(list(), m_prompts, m_ws->fs, undoLogPath());
    run.setKnownFailures(int(findConflicts(list(), m_options.cbResolveChains).size()));
    run.setProgress({&m_ws->clock, &m_ws->pump, [this](const QString& text) { m_panel0->setText(text); }});
    const InputBlocker blocker;
    run.Rename1Click();
}

void TMain::Undo1Click() {
    m_undof->requestReload();
    ShowModalDialog(m_undof);
}

// --- playing times and the presence of files

void TMain::ReCountmp3filestime1Click() {
    vorlane::ReCountmp3filestime1Click(list(), group(), m_prompts);
    // The sums follow the new times; the first panel keeps the group's report.
    showSums(list().statusTexts());
}

void TMain::Checkfilesexist1Click() {
    vorlane::Checkfilesexist1Click(list(), group(), m_prompts);
    showSums(list().statusTexts());
}

// --- copy and compare

bool TMain::showCopyWindow(int tag) {
    if (!m_destDir)
        return false;
    const QString folder = chooseFolder(*m_destDir);
    if (folder.isEmpty())
        return false;
    m_destDir->SetStartFolder(folder);
    m_copyf->destination = folder;
    m_copyf->Tag = tag;
    ShowModalDialog(m_copyf);
    return true;
}

void TMain::Copy1Click() {
    showCopyWindow(0);
}

void TMain::Checkfile1Click() {
    if (!showCopyWindow(1))
        return;
    // A compare that ran to its end reports its count like a group command.
    const CopyRun::Result& r = m_copyf->lastResult();
    if (!r.aborted && !r.cancelled)
        m_panel0->setText(CopyRun::compareCountText(r));
}

// --- conversions and the editors' commands

MaskSpec TMain::maskSpec() const {
    return m_maskedf->maskSpec();
}

MaskContext TMain::maskContext() const {
    MaskContext ctx;
    ctx.list = &m_ws->list;
    ctx.editor = &m_ws->names;
    ctx.allTags = m_options.cbAllTags;
    return ctx;
}

void TMain::Convert1Click() {
    m_maskedf->span = selectionSpan(list());
    const int result = ShowModalDialog(m_maskedf);
    showAddingMask();
    if (result != QDialog::Accepted)
        return;
    if (m_maskedf->toBuffer()) {
        NameEditor* se1 = m_buffer->se1;
        emptyEditor(se1);
        m_buffer->show();
        convertSelected(list(), maskSpec(), maskContext(), se1->lines(), true, m_options.cbCounterPerFolder);
        return;
    }
    if (convertSelected(list(), maskSpec(), maskContext(), names(), false, m_options.cbCounterPerFolder) > 0)
        SetModified(true);
}

void TMain::FastConvert1Click() {
    if (convertSelected(list(), maskSpec(), maskContext(), names(), false, m_options.cbCounterPerFolder) > 0)
        SetModified(true);
}

NameEditor* TMain::GetSE() const {
    return isActiveWindow() || !m_buffer ? m_se2 : m_buffer->se1;
}

NameLines& TMain::activeLines() {
    return GetSE()->lines();
}

QString TMain::GetSelectedText() const {
    return GetSE()->selectedTextCrLf();
}

void TMain::ReplaceSelection(const QString& text) {
    GetSE()->replaceSelection(text);
}

void TMain::alignActive(QStringList (*tool)(const QStringList&)) {
    NameLines& lines = activeLines();
    lines.setLines(tool(lines.lines()));
}

void TMain::ralignmClick() {
    alignActive(rightAlign);
}

void TMain::CutmClick() {
    GetSE()->cut();
    Se2Change();
}

void TMain::Accending1Click() {
    sortSelectedLines(false);
}

void TMain::sortSelectedLines(bool descending) {
    const QString text = GetSelectedText();
    if (!text.isEmpty())
        ReplaceSelection(sortSelectedText(text, descending));
}

// Search and replace act on the active editor; a replace that changes the
// name editor's line count is padded by Se2Change like any other edit.
void TMain::Replace1Click() {
    m_search->ShowReplaceDialog(GetSE());
}

void TMain::Buffer1Click() {
    m_buffer->setVisible(!m_buffer->isVisible());
}

// --- options

void TMain::Options1Click() {
    const QStringList snapshot = SnapshotOptions(m_options);
    m_optionsDlg->showValues();
    if (ShowModalDialog(m_optionsDlg) != QDialog::Accepted) {
        RestoreOptions(m_options, snapshot);
        m_optionsDlg->showValues();
        return;
    }
    applyOptions();
}

void TMain::applyOptions() {
    setTopmost(m_options.Topmcb);
    setAcceptDrops(true);
    m_se2->applyOptions(m_options);
    m_lb1->refresh();
}

// --- help

void TMain::Help1Click() {
    const QString file = helpFile(m_appDir);
    if (file.isEmpty())
        m_prompts.error(QStringLiteral("Vorlane"), helpMissingText(m_appDir));
    else if (!m_shell.openFile(file))
        m_prompts.error(QStringLiteral("Vorlane"),
                        QStringLiteral("Can't open help file\r") + visibleName(file));
}

// --- F2 and Esc

void TMain::editCaretName() {
    const int c = list().caret();
    if (c < 0 || list().isSeparator(c) || c >= names().count())
        return;
    const QString name = names().line(c);
    // The editor holds the names' own bytes: the selection ends after the
    // bytes of the part before the extension.
    const long start = m_se2->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, long(c));
    const long stem = long(encodeName(name.left(nameStemLength(name))).size());
    m_se2->setFocus(Qt::ShortcutFocusReason);
    // A name is selected as text, not as a column.
    if (m_se2->columnMode()) {
        m_se2->SendScintilla(QsciScintilla::SCI_SETSELECTIONMODE, long(QsciScintilla::SC_SEL_STREAM));
        m_se2->SendScintilla(QsciScintilla::SCI_CANCEL);
        colourSplitter(false);
    }
    m_se2->SendScintilla(QsciScintilla::SCI_SETSEL, start, start + stem);
    m_editingByF2 = true;
}

bool TMain::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_se2 && m_editingByF2) {
        if (e->type() == QEvent::FocusOut) {
            m_editingByF2 = false;
        } else if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            // Esc first closes what the editor shows of its own.
            if (k->key() == Qt::Key_Escape && k->modifiers() == Qt::NoModifier && !m_se2->isListActive() &&
                !m_se2->isCallTipActive()) {
                m_editingByF2 = false;
                m_lb1->setFocus(Qt::ShortcutFocusReason);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace vorlane
