#include "filechooser.h"

#include "core/platform/dirwalk.h"
#include "core/platform/naturalorder.h"
#include "core/platform/paths.h"
#include "core/platform/prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace vorlane {

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

// The file mask of a filter such as "MP3 Files (*.mp3)": what its parentheses
// hold, or the whole text when it has none. The file mask's own filter is the
// mask in parentheses, so the mask may hold parentheses of its own.
FileMask filterMask(const QString& filter) {
    const qsizetype open = filter.indexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    return FileMask(open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter);
}

bool isRoot(const QString& folder) {
    return !folder.isEmpty() && lastDelimiter(folder) == folder.size() - 1;
}

bool exists(const QString& path) {
    struct ::stat st {};
    return ::lstat(encodeName(path).constData(), &st) == 0;
}

} // namespace

FileChooser::FileChooser(Mode mode, const QString& title, QWidget* parent) : QDialog(parent), m_mode(mode) {
    setWindowTitle(title);
    resize(560, 420);
    m_path = new QLineEdit(this);
    m_list = new QListWidget(this);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(mode == Files ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::SingleSelection);
    m_filterBox = new QComboBox(this);
    m_filterBox->setVisible(mode != Folder);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_path);
    layout->addWidget(m_list, 1);
    if (mode == SaveFile) {
        m_name = new QLineEdit(this);
        layout->addWidget(m_name);
        // A file picked in the list offers its name.
        connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
            if (item && item->data(kKindRole).toInt() == File)
                setFileName(item->data(kNameRole).toString());
        });
    }
    layout->addWidget(m_filterBox);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &FileChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FileChooser::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &FileChooser::activate);
    connect(m_filterBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_filter.reset();
        if (index >= 0)
            m_filter.emplace(filterMask(m_filterBox->itemText(index)));
        const QListWidgetItem* current = m_list->currentItem();
        refill(current ? current->data(kNameRole).toString() : QString());
    });
}

void FileChooser::setNameFilters(const QStringList& filters) {
    m_filterBox->clear(); // the first filter comes into force through the index change
    m_filterBox->addItems(filters);
}

void FileChooser::setFolder(const QString& folder, const QString& select) {
    if (!folder.isEmpty() && open(folder, select))
        return;
    if (!open(currentFolder()))
        open(QStringLiteral("/"));
}

void FileChooser::setFileName(const QString& name) {
    if (!m_name)
        return;
    m_nameSource = name;
    m_name->setText(visibleName(name));
}

bool FileChooser::matchesFilter(const QString& name) const {
    return !m_filter || m_filter->matches(name);
}

QString FileChooser::child(const QString& name) const {
    return isRoot(m_folder) ? m_folder + name : m_folder + u'/' + name;
}

bool FileChooser::open(const QString& folder, const QString& select) {
    const QString cleaned = QDir::cleanPath(folder);
    std::vector<DirEntry> entries;
    if (cleaned.isEmpty() || !readFolder(cleaned, entries, false))
        return false;
    m_folder = cleaned;
    for (DirEntry& e : entries)
        if (e.kind == DirEntry::Other && pathKind(child(e.name)) == DirEntry::Folder)
            e.kind = DirEntry::Folder; // a link to a folder can be entered
    NaturalOrder().sort(entries);

    m_list->clear();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    const auto add = [this](const QIcon& icon, const QString& text, const QString& name, EntryKind kind) {
        auto* item = new QListWidgetItem(icon, text, m_list);
        item->setData(kNameRole, name);
        item->setData(kKindRole, int(kind));
    };
    if (!isRoot(m_folder))
        add(style()->standardIcon(QStyle::SP_FileDialogToParent), QStringLiteral(".."), QString(), Up);
    QListWidgetItem* selected = nullptr;
    for (const DirEntry& e : entries) {
        if (e.kind == DirEntry::Folder)
            add(folderIcon, visibleName(e.name), e.name, SubFolder);
        else if (e.kind == DirEntry::File && m_mode != Folder && matchesFilter(e.name))
            add(fileIcon, visibleName(e.name), e.name, File);
        else
            continue;
        if (!select.isEmpty() && e.name == select)
            selected = m_list->item(m_list->count() - 1);
    }
    if (selected) {
        m_list->setCurrentItem(selected);
        m_list->scrollToItem(selected);
    }
    m_path->setText(visibleName(m_folder));
    return true;
}

void FileChooser::refill(const QString& select) {
    if (!m_folder.isEmpty() && !open(m_folder, select))
        m_list->clear();
}

void FileChooser::goUp() {
    if (isRoot(m_folder))
        return;
    const QString from = fileNamePart(m_folder);
    open(folderPart(m_folder), from);
}

QString FileChooser::typedPath() const {
    const QString text = m_path->text();
    if (text.isEmpty())
        return m_folder;
    if (!isPathDelimiter(text[0]))
        return child(text);
    // The field shows the folder with some characters replaced one for one;
    // the part the user left alone stands for the folder's own characters.
    const QString shown = visibleName(m_folder);
    qsizetype same = 0;
    while (same < text.size() && same < shown.size() && text[same] == shown[same])
        ++same;
    return m_folder.left(same) + text.mid(same);
}

QStringList FileChooser::selectedFiles() const {
    QStringList files;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem* item = m_list->item(i);
        if (item->isSelected() && item->data(kKindRole).toInt() == File)
            files << child(item->data(kNameRole).toString());
    }
    return files;
}

void FileChooser::choose(const QStringList& paths) {
    m_chosen = paths;
    QDialog::accept();
}

void FileChooser::accept() {
    const QString typed = QDir::cleanPath(typedPath());
    if (typed != m_folder) {
        const DirEntry::Kind kind = pathKind(typed);
        if (kind == DirEntry::Folder) {
            open(typed);
        } else if (kind == DirEntry::File && m_mode == SaveFile) {
            open(folderPart(typed), fileNamePart(typed));
            setFileName(fileNamePart(typed));
        } else if (kind == DirEntry::File && m_mode != Folder) {
            choose({typed});
        }
        return; // nothing there: the field keeps what was typed
    }
    if (m_mode == SaveFile) {
        acceptSave();
        return;
    }
    const QStringList files = selectedFiles();
    QListWidgetItem* folderItem = nullptr;
    for (int i = 0; i < m_list->count() && !folderItem; ++i) {
        QListWidgetItem* item = m_list->item(i);
        if (item->isSelected() && item->data(kKindRole).toInt() != File)
            folderItem = item;
    }
    if (!files.isEmpty())
        choose(files);
    else if (m_mode == Folder && (!folderItem || folderItem->data(kKindRole).toInt() == SubFolder))
        choose({folderItem ? child(folderItem->data(kNameRole).toString()) : m_folder});
    else if (folderItem)
        activate(folderItem);
}

QString FileChooser::typedName() const {
    const QString text = m_name->text();
    // The field shows a picked name with some characters replaced; left as
    // shown, it stands for the name's own characters.
    if (!m_nameSource.isEmpty() && text == visibleName(m_nameSource))
        return m_nameSource;
    return text;
}

void FileChooser::acceptSave() {
    const QString name = typedName();
    if (name.isEmpty()) {
        // Without a name, OK enters the selected folder.
        QListWidgetItem* item = m_list->currentItem();
        if (item && item->isSelected() && item->data(kKindRole).toInt() != File)
            activate(item);
        return;
    }
    QString target = QDir::cleanPath(isPathDelimiter(name[0]) ? name : child(name));
    if (pathKind(target) == DirEntry::Folder) {
        open(target);
        setFileName(QString());
        return;
    }
    if (pathKind(folderPart(target)) != DirEntry::Folder)
        return; // the folder must exist: the field keeps what was typed
    if (!m_suffix.isEmpty() && !fileNamePart(target).contains(u'.'))
        target += u'.' + m_suffix;
    if (exists(target) && m_prompts &&
        m_prompts->ask(QStringLiteral("Confirm Save As"),
                       visibleName(fileNamePart(target)) +
                           QStringLiteral(" already exists.\rDo you want to replace it?"),
                       Prompts::Icon::Warning, Prompts::Buttons::YesNoCancel) != Prompts::Answer::Yes)
        return;
    choose({target});
}

void FileChooser::activate(QListWidgetItem* item) {
    if (!item)
        return;
    switch (item->data(kKindRole).toInt()) {
    case Up:
        goUp();
        break;
    case SubFolder:
        open(child(item->data(kNameRole).toString()));
        break;
    default:
        item->setSelected(true);
        if (m_mode == SaveFile)
            acceptSave();
        else
            choose(selectedFiles());
        break;
    }
}

} // namespace vorlane
