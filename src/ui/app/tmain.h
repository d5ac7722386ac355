#pragma once

#include "core/filelist/adding.h"
#include "core/filelist/filelist.h"
#include "core/filelist/groupop.h"
#include "core/masks/applymask.h"
#include "core/platform/filesystem.h"
#include "core/platform/prompts.h"
#include "core/settings/options.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QsciScintilla;

namespace vorlane {

class FileListView;
class QtGroupUi;
class TBuffer;
class TMaskedf;
class TOpenDirDialog;
class SciNameLines;
class Shell;

// What the main window works with; tests hand in fakes.
struct TMainDeps {
    Options* options = nullptr;
    Prompts* prompts = nullptr;
    FileSystem* fs = nullptr;
    Shell* shell = nullptr;
    // Folder of vln.ini and vlnundo.txt.
    QString home;
    // Folder of the executable (help file).
    QString appDir;
    // Time and event pumping of long commands; the real ones when left empty.
    Clock* clock = nullptr;
    EventPump* pump = nullptr;
};

// The main window: file list on the left, name editor on the right, menus,
// tool bar and the two-panel status bar. Handlers gather input and call the core.
class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(const TMainDeps& deps, QWidget* parent = nullptr);
    ~TMain() override;

    static QString baseCaption() { return QStringLiteral("  Vorlane"); }

    FileList& list() { return *m_list; }
    NameLines& names();
    FileListView* lb1() const { return m_lb1; }
    QsciScintilla* Se2() const { return m_se2; }
    QLabel* panel(int i) const { return i == 0 ? m_panel0 : m_panel1; }
    QSplitter* splitter() const { return m_splitter; }
    QMenu* pmlb() const { return m_pmlb; }
    QMenu* pmse() const { return m_pmse; }
    QMenu* pmsb() const { return m_pmsb; }
    QToolBar* toolBar() const { return m_toolBar; }
    QToolButton* alignButton() const { return m_alignButton; }
    Options& options() { return m_options; }
    bool isModified() const { return m_modified; }
    // Finds an action by its object name (the handler's name).
    QAction* action(const QString& handler) const;

    // Keyboard state as Actions1Click reads it; tests replace it.
    std::function<Qt::KeyboardModifiers()> keyboardModifiers;
    // The add-files dialog: the chosen files, none when cancelled. Tests replace it.
    std::function<QStringList()> odfExecute;

    GroupOperation& group() { return *m_group; }
    QtGroupUi& groupUi() { return *m_groupUi; }
    FileAdder& adder() { return *m_adder; }
    // The folder choosers for adding folders and for copying.
    TOpenDirDialog* openDirDialog() const { return m_openDir.get(); }
    TOpenDirDialog* destDirDialog() const { return m_destDir.get(); }
    QString undoLogPath() const { return m_home + QStringLiteral("/vlnundo.txt"); }
    QString odfInitialDir() const { return m_odfDir; }
    void setTopmost(bool on);

    // --- operations offered to the rest of the program
    void SetModified(bool flag);
    int ShowModalDialog(QDialog* dialog);
    void Lb1Click();
    void alignOneWay();
    void alignTwoWay();
    // Adds paths given on the command line as one group.
    void addPaths(const QStringList& paths);

    // --- commands
    void Openfiles1Click();
    void OpenDirectory1Click();
    void OpenFolderwithsubfolders1Click();
    void FilesDropped(const QStringList& paths);
    void Rename1Click();
    void Exit1Click();
    void lowcasemClick();
    void uppercasemClick();
    void firstupmClick();
    void upfirstineachwClick();
    void Kirilitsa1Click();
    void pmsePopup();
    void ralignmClick();
    void LeftAlign1Click();
    void Alignby1Click();
    void CutmClick();
    void CopymClick();
    void PastemClick();
    void delmClick();
    void Accending1Click();
    void Descending1Click();
    void Buffer1Click();
    void Convert1Click();
    void FastConvert1Click();
    void Se2Change();
    // Colours the name editor's separator lines (navy on light pink).
    void Se2SpecialLineColors();

    TBuffer* buffer() const { return m_buffer; }
    TMaskedf* maskedf() const { return m_maskedf; }
    // How modal dialogs run; tests replace it to answer them.
    std::function<int(QDialog*)> execDialog;
    // The active editor's lines.
    NameLines& activeLines();

    // The active editor, its selected text (lines joined by CR LF), and the
    // replacement of that selection through the clipboard (one undo step).
    QsciScintilla* GetSE() const;
    QString GetSelectedText() const;
    void ReplaceSelection(const QString& text);

    // The mask the mask editor shows, and what masks read besides their file.
    QString currentMask() const;
    MaskSpec maskSpec() const;
    MaskContext maskContext() const;
    void Help1Click();
    void SelectAll1Click();
    void mDeletefromdiskClick();
    void mCopyPathAndNameClick();
    void CopyTimexxxxxx1Click();
    void Copyinformation1Click();
    void mOpeninExplorer1Click();
    void pmlbPopup();
    void Actions1Click();
    void Lb1DrawItem(QPainter& painter, const QRect& rect, int index);

protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    QAction* makeAction(const QString& name, const QString& caption, const QKeySequence& key,
                        std::function<void()> handler);
    void buildEditor();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void FormCreate();
    void FormResize();
    void refreshList();
    void openFolder(bool withSubfolders);
    void convertSelection(QString (*conversion)(const QString&));
    void colourSplitter();
    void scheduleSeparatorColours();
    void alignActive(QStringList (*tool)(const QStringList&));
    QStringList runAddFilesDialog();

    Options& m_options;
    Prompts& m_prompts;
    FileSystem& m_fs;
    Shell& m_shell;
    QString m_home;
    QString m_appDir;

    QSplitter* m_splitter = nullptr;
    FileListView* m_lb1 = nullptr;
    QsciScintilla* m_se2 = nullptr;
    std::unique_ptr<SciNameLines> m_names;
    std::unique_ptr<FileList> m_list;
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<EventPump> m_ownPump;
    std::unique_ptr<GroupOperation> m_group;
    std::unique_ptr<QtGroupUi> m_groupUi;
    std::unique_ptr<FileAdder> m_adder;
    std::unique_ptr<TOpenDirDialog> m_openDir;
    std::unique_ptr<TOpenDirDialog> m_destDir;
    QString m_odfDir;
    TMaskedf* m_maskedf = nullptr;
    TBuffer* m_buffer = nullptr;
    std::unique_ptr<SciNameLines> m_bufferLines;
    QVector<int> m_separators;
    quint64 m_separatorsVersion = ~quint64(0);
    bool m_colourPending = false;
    bool m_padPending = false;
    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    QToolBar* m_toolBar = nullptr;
    QToolButton* m_alignButton = nullptr;
    QMenu* m_pmlb = nullptr;
    QMenu* m_pmse = nullptr;
    QMenu* m_pmsb = nullptr;
    QMenu* m_serviceMenu = nullptr;
    QMenu* m_alignMenu = nullptr;
    QList<QAction*> m_pmlbActions;
    QPixmap m_separatorImage;
    QFont m_buttonFont;
    bool m_modified = false;
    bool m_aligning = false;
};

} // namespace vorlane
