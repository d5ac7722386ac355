#pragma once

#include "core/app/workspace.h"
#include "core/masks/applymask.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;

namespace vorlane {

class FileListView;
class IniFile;
class NameEditor;
class QtGroupUi;
class SESearch;
class TBuffer;
class TCopyf;
class TMaskedf;
class TOpenDirDialog;
class TOptions;
class TSSForm;
class TUndof;
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
// tool bar and the two-panel status bar. It wires commands to the core and to
// its panes; handlers gather input and call the core.
class TMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TMain(const TMainDeps& deps, QWidget* parent = nullptr);
    ~TMain() override;

    static QString baseCaption() { return QStringLiteral("  Vorlane"); }

    Workspace& workspace() { return *m_ws; }
    FileList& list() { return m_ws->list; }
    NameLines& names() { return m_ws->names; }
    GroupOperation& group() { return m_ws->group; }
    FileAdder& adder() { return m_ws->adder; }
    Project& project() { return m_ws->project; }
    Options& options() { return m_options; }
    FileListView* lb1() const { return m_lb1; }
    NameEditor* Se2() const { return m_se2; }
    QLabel* panel(int i) const { return i == 0 ? m_panel0 : m_panel1; }
    // The status bar's count of selected names that will fail to rename.
    QLabel* conflictsPanel() const { return m_conflicts; }
    // The status bar's reminder of the mask that names added files; hidden
    // while files keep their own names. A click opens the mask editor.
    QLabel* maskPanel() const { return m_maskPanel; }
    QSplitter* splitter() const { return m_splitter; }
    QMenu* pmlb() const { return menu("pmlb"); }
    QMenu* pmse() const { return menu("pmse"); }
    QMenu* pmsb() const { return menu("pmsb"); }
    QToolBar* toolBar() const { return m_toolBar; }
    QToolButton* alignButton() const { return m_alignButton; }
    bool isModified() const { return m_modified; }
    // Finds an action by its object name (the handler's name), a menu by its name.
    QAction* action(const QString& handler) const;
    QMenu* menu(const char* name) const;
    QtGroupUi& groupUi() { return *m_groupUi; }
    TBuffer* buffer() const { return m_buffer; }
    TMaskedf* maskedf() const { return m_maskedf; }
    TOptions* optionsDialog() const { return m_optionsDlg; }
    // The settings file, open from this window's creation to the end of its destruction.
    IniFile* settings() const { return m_settings.get(); }
    // The program's windows in the order they were created (this one first);
    // they are destroyed in the reverse order.
    QList<QWidget*> windows() const;
    TSSForm* ssForm() const { return m_ssform; }
    TUndof* undof() const { return m_undof; }
    TCopyf* copyf() const { return m_copyf; }
    SESearch* search() const { return m_search.get(); }
    // The folder choosers for adding folders and for copying.
    TOpenDirDialog* openDirDialog() const { return m_openDir.get(); }
    TOpenDirDialog* destDirDialog() const { return m_destDir.get(); }
    QString undoLogPath() const { return m_home + QStringLiteral("/vlnundo.txt"); }
    QString odfInitialDir() const { return m_odfDir; }
    // The add-files dialog's filters: the file mask's entry in front of its own.
    QStringList odfFilters() const;

    // Keyboard state as Actions1Click reads it; tests replace it.
    std::function<Qt::KeyboardModifiers()> keyboardModifiers;
    // The add-files dialog: the chosen files, none when cancelled. Tests replace it.
    std::function<QStringList()> odfExecute;
    // How modal dialogs run; tests replace it to answer them.
    std::function<int(QDialog*)> execDialog;

    // --- operations offered to the rest of the program
    void SetModified(bool flag);
    // Shows the project file's name in the caption; an empty path removes it.
    void SetProjectCaption(const QString& path);
    int ShowModalDialog(QDialog* dialog);
    void setTopmost(bool on);
    void Lb1Click();
    void alignOneWay();
    void alignTwoWay();
    // Adds paths given on the command line as one group.
    void addPaths(const QStringList& paths);
    // The program's arguments: the first project file among them is opened
    // as File > Open would (asking first about a changed list), then the
    // others are added. Cancel in that question leaves everything as it was.
    void openArguments(const QStringList& paths);
    // F2 in the file list: the caret line's new name is selected for editing
    // up to its extension, in the name editor; Esc goes back to the list.
    void editCaretName();
    // Shows or hides the mask panel for the mask editor's current settings.
    void showAddingMask();
    // The active editor: the name editor while the main window is active,
    // else the buffer's; its lines, its selected text (lines joined by CR LF)
    // and the replacement of that selection (one undo step).
    NameEditor* GetSE() const;
    NameLines& activeLines();
    QString GetSelectedText() const;
    void ReplaceSelection(const QString& text);
    // What the mask editor hands each naming command (mask and letter
    // conversion), and what masks read besides their file.
    MaskSpec maskSpec() const;
    MaskContext maskContext() const;

    // --- commands with wiring of their own; the command table (commands.cpp)
    // runs the others itself
    void Open1Click();
    void Openfiles1Click();
    void OpenDirectory1Click();
    // Adds the files of a chosen folder, with its subfolders or without.
    void openFolder(bool withSubfolders);
    void FilesDropped(const QStringList& paths);
    void mCopyPathAndNameClick();
    void SelectAll1Click();
    void Insertseparator1Click();
    void mOpeninExplorer1Click();
    void Convert1Click();
    void FastConvert1Click();
    void Rename1Click();
    void Undo1Click();
    void ReCountmp3filestime1Click();
    void Checkfilesexist1Click();
    void Copy1Click();
    void Checkfile1Click();
    void ralignmClick();
    // Replaces the active editor's lines by the tool's alignment of them.
    void alignActive(QStringList (*tool)(const QStringList&));
    void CutmClick();
    void Accending1Click();
    // Sorts the active editor's selected lines.
    void sortSelectedLines(bool descending);
    void Replace1Click();
    void Buffer1Click();
    void Options1Click();
    void Help1Click();
    // The sums panel 1 shows; the status bar copies its playing time.
    const StatusTexts& shownSums() const { return m_sums; }

    // --- what the window does when its menus open and its editor changes
    // A menu's entries with an enabling rule in the command table follow it
    // while the menu is open, and are all enabled again when it closes.
    using EnablingRule = bool (*)(TMain&);
    void pmlbPopup();
    void pmsePopup();
    void Actions1Click();
    void Se2Change();
    // Colours the name editor's lines beside separators.
    void Se2SpecialLineColors();
    // Marks the selected names that will fail to rename and counts them in
    // the status bar (soon after a change, not at every keystroke).
    void scheduleConflicts();
    void showConflicts();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildCommands();
    void buildStatusBar();
    void connectPanes();
    void FormCreate();
    void createWindows();
    void FormDestroy();
    // What the switches set in this window: topmost, the editor's right edge
    // and scroll bars, the list's look.
    void applyOptions();
    // Gives an editor the keys and the pop-up menu of the editor menu.
    void attachEditor(NameEditor* se);
    void FormResize();
    void refreshList();
    // Runs a modal step (a dialog, a folder chooser) with the window's
    // stay-on-top state dropped, so that the step is not hidden behind it;
    // the state comes back after. The step's result.
    int withTopmostPaused(const std::function<int()>& step);
    // Runs a folder chooser over the file list; the chosen folder, or empty.
    QString chooseFolder(TOpenDirDialog& chooser);
    // False when no folder was chosen and nothing ran.
    bool showCopyWindow(int tag);
    // Panel 1 shows these sums.
    void showSums(const StatusTexts& sums);
    // Sets the entries of a menu (by its top-level menu's name) by their rules.
    void enableByRules(const QString& menu);
    void colourSplitter(bool column);
    QStringList runAddFilesDialog();
    void connectProject();
    // The project file dialogs: the chosen file, empty when cancelled.
    QString chooseProject(bool save, const QString& current);

    Options& m_options;
    Prompts& m_prompts;
    std::unique_ptr<IniFile> m_settings;
    Shell& m_shell;
    QString m_home;
    QString m_appDir;

    NameEditor* m_se2 = nullptr;
    std::unique_ptr<EventPump> m_ownPump;
    std::unique_ptr<Workspace> m_ws;
    FileListView* m_lb1 = nullptr;
    QSplitter* m_splitter = nullptr;
    std::unique_ptr<QtGroupUi> m_groupUi;
    std::unique_ptr<TOpenDirDialog> m_openDir;
    std::unique_ptr<TOpenDirDialog> m_destDir;
    QString m_odfDir;
    TOptions* m_optionsDlg = nullptr;
    TMaskedf* m_maskedf = nullptr;
    TBuffer* m_buffer = nullptr;
    QList<QPointer<QWidget>> m_windows;
    QList<QAction*> m_pmseKeys;
    TSSForm* m_ssform = nullptr;
    QString m_projectPath;   // the file the caption names
    QString m_projectFolder; // where the project dialogs open
    TUndof* m_undof = nullptr;
    TCopyf* m_copyf = nullptr;
    std::unique_ptr<SESearch> m_search;
    quint64 m_separatorsVersion = ~quint64(0);
    quint64 m_historyVersion = ~quint64(0);
    QLabel* m_panel0 = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_conflicts = nullptr;
    QLabel* m_maskPanel = nullptr;
    QString m_maskText; // the mask panel's whole text
    QTimer* m_conflictTimer = nullptr;
    QToolBar* m_toolBar = nullptr;
    QToolButton* m_alignButton = nullptr;
    // The entries with enabling rules, by their top-level menu.
    QHash<QString, QList<std::pair<QAction*, EnablingRule>>> m_rules;
    StatusTexts m_sums;
    bool m_modified = false;
    bool m_aligning = false;
    // The name editor was entered by F2: Esc takes the focus back to the list.
    bool m_editingByF2 = false;
};

} // namespace vorlane
