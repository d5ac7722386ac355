#pragma once

#include <QDialog>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vorlane {

// Chooses files, or one folder, over our own folder walk. The toolkit's file
// dialog cannot show names that are not valid UTF-8; this one lists every
// name (shown through visibleName) and returns paths in the file-name codec's
// form, so they keep their bytes.
class FileChooser : public QDialog {
    Q_OBJECT
public:
    enum Mode { Files, Folder };
    // What a line of the list stands for (its Qt::UserRole + 1).
    enum EntryKind { Up, SubFolder, File };

    FileChooser(Mode mode, const QString& title, QWidget* parent = nullptr);

    // Filters such as "MP3 Files (*.mp3)", matched without regard to case;
    // the first is in force. Files mode only.
    void setNameFilters(const QStringList& filters);
    // Shows `folder` with the entry `select` selected; an unreadable or empty
    // folder gives the current folder, and failing that the root.
    void setFolder(const QString& folder, const QString& select = QString());
    QString folder() const { return m_folder; }
    // After OK: the chosen files, or the chosen folder, as full paths.
    QStringList selectedPaths() const { return m_chosen; }

    QLineEdit* pathEdit() const { return m_path; }
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

    Mode m_mode;
    QString m_folder;
    QLineEdit* m_path = nullptr;
    QListWidget* m_list = nullptr;
    QComboBox* m_filterBox = nullptr;
    QPushButton* m_ok = nullptr;
    QVector<QRegularExpression> m_patterns;
    QStringList m_chosen;
};

} // namespace vorlane
