#pragma once

#include "core/editor/searchsession.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace vorlane {

// The controls the search dialog and the replace dialog share: the search
// text with its history, the options, direction, origin and scope, and the
// menu of regular-expression pieces behind ">".
class SearchTextDialog : public QDialog {
    Q_OBJECT
public:
    QComboBox* cbSearchText = nullptr;
    QCheckBox* cbSearchCaseSensitive = nullptr;
    QCheckBox* cbSearchWholeWords = nullptr;
    QCheckBox* UseRegExCB = nullptr;
    QGroupBox* rgSearchDirection = nullptr;
    QRadioButton* rbForward = nullptr;
    QRadioButton* rbBackward = nullptr;
    QGroupBox* originrg = nullptr;
    QRadioButton* rbFromCursor = nullptr;
    QRadioButton* rbEntire = nullptr;
    QGroupBox* scoperg = nullptr;
    QRadioButton* rbGlobal = nullptr;
    QRadioButton* rbSelected = nullptr;
    QPushButton* RegExFindB = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QMenu* pmRegExFind = nullptr;

    QString searchText() const;
    QStringList searchHistory() const;
    void setSearchHistory(const QStringList& history);
    virtual SearchSettings settings() const;

    // "Selected text" takes the whole selection: the origin goes back to "Entire".
    void scopergClick();
    virtual void UseRegExCBClick();
    void RegExFindBClick();
    // A piece of the ">" menu (its caption up to the tab) goes to the end of the search text.
    void BnotWordEdge1Click(const QString& caption);
    virtual void FormActivate();

protected:
    SearchTextDialog(const QString& caption, const QString& scopeCaption, const QString& originCaption,
                     QWidget* parent);
    // Rows for the replace dialog's own controls.
    void addRow(QWidget* label, QWidget* field, QWidget* button);
    void addOption(QCheckBox* box);
    // On OK the texts go to the top of their histories.
    virtual void FormCloseQuery();
    void done(int result) override;
    void showEvent(QShowEvent* e) override;

private:
    QGridLayout* m_fields = nullptr;
    QVBoxLayout* m_options = nullptr;
};

// The search dialog, "Search Text".
class Tfd1 : public SearchTextDialog {
    Q_OBJECT
public:
    explicit Tfd1(QWidget* parent = nullptr);
};

// The replace dialog, "Replace Text": the search dialog's controls, the
// replacement with its history and its menu of back references, and the
// prompt before each replacement.
class Trd1 : public SearchTextDialog {
    Q_OBJECT
public:
    explicit Trd1(QWidget* parent = nullptr);

    QComboBox* cbReplaceText = nullptr;
    QCheckBox* cbPrompt = nullptr;
    QPushButton* RegExReplB = nullptr;
    QMenu* pmRegExRepl = nullptr;

    QString replaceText() const;
    SearchSettings settings() const override;
    void UseRegExCBClick() override;
    void RegExReplBClick();
    // A back reference of the ">" menu goes to the end of the replacement.
    void ttTab1Click(const QString& caption);
    void FormActivate() override;

protected:
    void FormCloseQuery() override;
};

// Asked before each replacement: Yes, No, Cancel or Yes to all, placed near
// the occurrence unless "Auto Change position" is off.
class TConfirmReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // The modal results of the four buttons; closing the window is Cancel.
    enum Result { Cancel = QDialog::Rejected, Yes = QDialog::Accepted, No = 2, YesToAll = 3 };

    explicit TConfirmReplaceDialog(QWidget* parent = nullptr);

    QLabel* lblConfirmation = nullptr;
    QPushButton* YesButton = nullptr;
    QPushButton* NoButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* YesToAllButton = nullptr;
    QCheckBox* autoCPcb = nullptr;

    // Fills the question and places the dialog for an occurrence at x whose
    // line runs from y1 to y2, within the editor's rectangle (all on the screen).
    void PlaceConfirmDialog(const QRect& editor, int x, int y1, int y2, const QString& searchText);

private:
    void FormCreate();
};

// The pieces of the search text's ">" menu, "piece\tdescription"; the
// modifiers are a submenu of their own.
QStringList regExPieces();
QStringList regExModifiers();

} // namespace vorlane
