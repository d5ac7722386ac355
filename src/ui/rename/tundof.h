#pragma once

#include "core/rename/undolist.h"
#include "core/settings/options.h"

#include <QDialog>
#include <QKeySequence>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QTableView;

namespace vorlane {

class UndoModel;

// The undo window: the undo log as a table of past renames with check boxes.
// Checked rows can be dropped from the log or put back into the file list
// under their current names, with their old names ready for Rename.
class TUndof : public QDialog {
    Q_OBJECT
public:
    TUndof(Prompts& prompts, FileList& list, GroupOperation& group, const Options& options, QString logPath,
           QWidget* parent = nullptr);
    ~TUndof() override;

    UndoList& undo() { return m_undo; }
    // Called before each showing: the next activation loads the log afresh.
    void requestReload();
    // The rows selected in the table, in display order.
    QVector<int> selectedRows() const;
    // Finds an action by its handler's name.
    QAction* action(const QString& handler) const;

    QMenuBar* mainMenu = nullptr;
    QTableView* lv1 = nullptr;
    QMenu* pmlv = nullptr; // the table's context menu

    void FormActivate();
    void FormResize();
    void lv1ColumnClick(int column);
    void SetSortMode(int mode);
    void Check1Click();
    void UnCheck1Click();
    void Deletefromlist1Click();
    void Undorename1Click();
    void SelectandcheckAll1Click();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Esc and the close button both ask about unsaved changes first.
    void reject() override;

private:
    QAction* addCommand(QWidget* to, const char* handler, const QString& caption, QKeySequence key,
                        void (TUndof::*run)());
    // Around a change of the rows: the selection and the current row are
    // kept by their entries' rename order.
    void rememberSelection();
    void restoreSelection();

    UndoList m_undo;
    FileList& m_list;
    GroupOperation& m_group;
    const Options& m_options;
    UndoModel* m_model = nullptr;
    QActionGroup* m_sortGroup = nullptr;
    QList<QAction*> m_sortItems;
    bool m_reload = false;
    QVector<char> m_keptSelection; // by rename order
    int m_keptCurrent = -1;
    int m_keptColumn = 0;
    int m_keptScroll = 0;
};

} // namespace vorlane
