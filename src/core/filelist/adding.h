#pragma once

#include "core/filelist/filelist.h"
#include "core/filelist/groupop.h"
#include "core/masks/applymask.h"
#include "core/platform/dirwalk.h"

#include <functional>
#include <optional>

namespace vorlane {

// Files and folders entering the file list as group operations.
class FileAdder {
public:
    FileAdder(FileList& list, GroupOperation& group, Prompts& prompts, Options& options)
        : m_list(list), m_group(group), m_prompts(prompts), m_options(options) {}

    // Lists a folder for the scan; empty: the disk (readFolder).
    std::function<bool(const QString& folder, std::vector<DirEntry>& out)> folderReader;

    // Each command names the files it adds by `names` (the mask editor's mask
    // and letter conversion, compiled once per command); without it their
    // names stay empty. A total counter ("[CC") in the mask makes each folder
    // be counted first, so the counter knows its group size.

    // Files chosen in the add-files dialog, added in natural name order.
    void addFiles(const QStringList& chosen, const std::optional<MaskSpec>& names = {});
    // A chosen folder, with or without its subfolders.
    void addFolder(const QString& folder, bool withSubfolders, const std::optional<MaskSpec>& names = {});
    // Files and folders dropped on the main window.
    void FilesDropped(const QStringList& paths, const std::optional<MaskSpec>& names = {});
    void ScanFolder(const QString& folder, bool withSubfolders);

private:
    class Naming;

    FileList& m_list;
    GroupOperation& m_group;
    Prompts& m_prompts;
    Options& m_options;
    bool m_countGroups = false;
};

} // namespace vorlane
