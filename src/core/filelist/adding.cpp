#include "adding.h"

#include "core/filelist/filemask.h"
#include "core/platform/naturalorder.h"
#include "core/platform/paths.h"

namespace vorlane {

namespace {
const QString kAdding = QStringLiteral("Adding Items");
const QString kWereAdded = QStringLiteral("were added");
} // namespace

// The names of one command's files: the list names them by the compiled
// mask while the command runs.
class FileAdder::Naming {
public:
    Naming(FileAdder& adder, const std::optional<MaskSpec>& names) : m_adder(adder) {
        std::optional<Mask> mask;
        if (names)
            mask.emplace(*names);
        m_adder.m_countGroups = mask && mask->countsGroup();
        m_adder.m_list.setNameMask(std::move(mask));
    }
    ~Naming() {
        m_adder.m_list.setNameMask(std::nullopt);
        m_adder.m_countGroups = false;
    }
    Naming(const Naming&) = delete;
    Naming& operator=(const Naming&) = delete;

private:
    FileAdder& m_adder;
};

void FileAdder::addFiles(const QStringList& chosen, const std::optional<MaskSpec>& names) {
    if (chosen.isEmpty())
        return;
    const Naming naming(*this, names);
    // In the order the folder shows them, whatever order the dialog kept.
    QStringList files = chosen;
    NaturalOrder().sort(files);
    const int n = int(files.size());
    m_list.setPendingSeparator(folderPart(files.first()));
    m_group.PrepareGroup(kAdding, n);
    m_list.beginUpdate();
    for (int i = 0; i < n; ++i) {
        m_list.AddItem(i, n, false, files[i]);
        if (!m_group.PrintGroup())
            break;
    }
    m_list.endUpdate();
    m_group.EndGroup(kWereAdded);
}

void FileAdder::addFolder(const QString& folder, bool withSubfolders, const std::optional<MaskSpec>& names) {
    const Naming naming(*this, names);
    m_group.PrepareGroup(kAdding, -1);
    m_list.beginUpdate();
    // A walk names every file once, so into an empty list nothing it adds
    // can be a duplicate.
    struct Distinct {
        FileList* list;
        ~Distinct() {
            if (list)
                list->endDistinctAdding();
        }
    } distinct{m_list.count() == 0 ? &m_list : nullptr};
    if (distinct.list)
        m_list.beginDistinctAdding();
    ScanFolder(folder, withSubfolders);
    m_list.endUpdate();
    m_group.EndGroup(kWereAdded);
}

void FileAdder::FilesDropped(const QStringList& paths, const std::optional<MaskSpec>& names) {
    const int n = int(paths.size());
    if (n == 0)
        return;
    const Naming naming(*this, names);
    m_list.setPendingSeparator(folderPart(paths.first()));
    m_group.PrepareGroup(kAdding, n);
    m_list.beginUpdate();
    for (int i = 0; i < n; ++i) {
        const QString& path = paths[i];
        const FileSystem::Stat st = m_list.fileSystem().stat(path);
        if (st.exists && !st.isDir) {
            m_list.AddItem(i, n, false, path, &st);
            if (!m_group.PrintGroup())
                break;
        } else {
            m_group.setTotal(-1);
            ScanFolder(path, true);
        }
    }
    m_list.endUpdate();
    m_group.EndGroup(kWereAdded);
}

void FileAdder::ScanFolder(const QString& folder, bool withSubfolders) {
    if (m_group.cancelled())
        return;
    std::vector<DirEntry> entries;
    const bool opened = folderReader ? folderReader(folder, entries) : readFolder(folder, entries);
    if (!opened) {
        m_prompts.error(QStringLiteral("Error"), QStringLiteral("Can't open directory\r") + folder);
        return;
    }
    NaturalOrder().sort(entries);
    // The folder without its trailing delimiter names the separator; the root
    // is its delimiter alone and takes no second one before a name.
    QString base = folder;
    while (base.size() > 1 && isPathDelimiter(base.back()))
        base.chop(1);
    m_list.setPendingSeparator(base);
    const QString prefix = !base.isEmpty() && isPathDelimiter(base.back()) ? base : base + u'/';

    const FileMask mask(m_options.masked);
    int groupSize = 0;
    if (m_countGroups) {
        for (const DirEntry& e : entries)
            if (e.kind == DirEntry::File && mask.matches(e.name))
                ++groupSize;
    }
    QStringList subfolders;
    int position = 0;
    for (const DirEntry& e : entries) {
        if (e.kind == DirEntry::File && mask.matches(e.name)) {
            FileSystem::Stat st;
            st.exists = true;
            st.size = e.size;
            m_list.AddItem(position, groupSize, false, prefix + e.name, e.size >= 0 ? &st : nullptr);
            if (!m_group.PrintGroup())
                break;
            ++position;
        } else if (e.kind == DirEntry::Folder && withSubfolders) {
            subfolders << e.name;
        }
    }
    for (const QString& name : subfolders)
        ScanFolder(prefix + name, withSubfolders);
}

} // namespace vorlane
