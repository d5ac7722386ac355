#pragma once

#include "core/masks/applymask.h"
#include "core/masks/convert.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace vorlane {

class FileList;
class IniFile;

// The mask editor: the mask with its stored list, the letter conversion, a
// preview of the first and last selected file, and where the names go. The
// mask with its list, the letter conversion and its switches are loaded from
// the settings file when it is created and stored when it is destroyed.
class TMaskedf : public QDialog {
    Q_OBJECT
public:
    TMaskedf(const FileList& list, std::function<MaskContext()> context, IniFile* settings,
             QWidget* parent = nullptr);
    ~TMaskedf() override;

    // Set by Convert before the dialog shows.
    SelectionSpan span;

    QString mask() const;
    LetterSettings letterSettings() const;
    // The mask and its letter conversion, as one value for a command.
    MaskSpec maskSpec() const;
    bool toBuffer() const;

    void MaskcbChange();
    void FormActivate();
    void StorebClick();
    void DeletebClick();
    void bHelpAddClick();
    void mrmp3comment1Click(const QString& caption);

    QRadioButton* rightSide = nullptr;
    QRadioButton* buffer = nullptr;
    QComboBox* Maskcb = nullptr;
    QPushButton* bHelpAdd = nullptr;
    QPushButton* bStore = nullptr;
    QPushButton* bDelete = nullptr;
    QComboBox* Casecb = nullptr;
    QCheckBox* fcase = nullptr;
    QCheckBox* Translitcb = nullptr;
    QCheckBox* exextcb = nullptr;
    QLabel* fle = nullptr;
    QLabel* flr = nullptr;
    QLabel* lle = nullptr;
    QLabel* llr = nullptr;
    QPushButton* Okb = nullptr;
    QPushButton* Cancelb = nullptr;
    QMenu* pmIL = nullptr;
    // The entries of "Extended mask elements", enabled while it is on.
    QList<QAction*> extendedPatterns;

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void FormCreate();
    void FormDestroy();
    QStringList storedMasks() const;
    void setStoredMasks(const QStringList& masks, const QString& text);
    void updateExtendedPatterns();

    const FileList& m_list;
    std::function<MaskContext()> m_context;
    IniFile* m_settings;
};

} // namespace vorlane
