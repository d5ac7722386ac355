#pragma once

#include "core/filelist/filemask.h"

#include <QDialog>
#include <QStringList>

#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vorlane {

class Prompts;

// Chooses files, one file, one folder, or a file to save to, over our own
// folder walk. The toolkit's file dialog cannot show names that are not valid
// UTF-8; this one lists every name (shown through visibleName) and returns
// paths in the file-name codec's form, so they keep their bytes.
class FileChooser : public QDialog {
    Q_OBJECT
public:
    // Files: any number of existing files. OpenFile: one existing file.
    // Folder: one folder. SaveFile: a file name typed or picked in a folder
    // that exists; replacing a file is asked first.
    enum Mode { Files, Folder, OpenFile, SaveFile };
    // What a line of the list stands for (its Qt::UserRole + 1).
    enum EntryKind { Up, SubFolder, File };

    FileChooser(Mode mode, const QString& title, QWidget* parent = nullptr);

    // Filters such as "MP3 Files (*.mp3)": a description and, in parentheses,
    // a file mask as the "File Mask" option has it. The first is in force.
    // Not in Folder mode.
    void setNameFilters(const QStringList& filters);
    // SaveFile mode: the extension added to a name typed without one ("vln"),
    // the name offered, and where the question before replacing a file goes.
    void setDefaultSuffix(const QString& suffix) { m_suffix = suffix; }
    void setFileName(const QString& name);
    void setPrompts(Prompts* prompts) { m_prompts = prompts; }
    // Shows `folder` with the entry `select` selected; an unreadable or empty
    // folder gives the current folder, and failing that the root.
    void setFolder(const QString& folder, const QString& select = QString());
    QString folder() const { return m_folder; }
    // After OK: the chosen files, or the chosen folder, as full paths.
    QStringList selectedPaths() const { return m_chosen; }

    QLineEdit* pathEdit() const { return m_path; }
    // SaveFile mode: the file name field.
    QLineEdit* nameEdit() const { return m_name; }
    QListWidget* entryList() const { return m_list; }
    QComboBox* filterBox() const { return m_filterBox; }
    QPushButton* okButton() const { return m_ok; }

    // OK (or Enter): goes to a path typed into the path field, enters a
    // selected folder, or takes the selection.
    void accept() override;

private:
    bool open(const QString& folder, const QString& select = QString());
    void refill(const QString& select);
    void activate(QListWidgetItem* item);
    void goUp();
    bool matchesFilter(const QString& name) const;
    QString typedPath() const;
    QString child(const QString& name) const;
    // Selected files as full paths, in list order.
    QStringList selectedFiles() const;
    void choose(const QStringList& paths);
    // SaveFile mode: the file that the name field names, after the question
    // before replacing it; nothing when the name leads nowhere.
    void acceptSave();
    QString typedName() const;

    Mode m_mode;
    QString m_folder;
    QLineEdit* m_path = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_filterBox = nullptr;
    QPushButton* m_ok = nullptr;
    QLineEdit* m_name = nullptr;
    QString m_nameSource; // the real name of the file last picked for the name field
    QString m_suffix;
    Prompts* m_prompts = nullptr;
    std::optional<FileMask> m_filter; // none: every file
    QStringList m_chosen;
};

} // namespace vorlane
