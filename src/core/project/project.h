#pragma once

#include "core/filelist/filelist.h"
#include "core/platform/prompts.h"
#include "core/settings/options.h"

#include <QString>

#include <functional>

namespace vorlane {

// What the project commands need from the window around them. Every hook may
// be left empty; the dialogs then count as cancelled.
struct ProjectHooks {
    // The open dialog: the chosen file, empty when cancelled.
    std::function<QString()> chooseOpen;
    // The save dialog, offering `current`: the chosen file, empty when cancelled.
    std::function<QString(const QString& current)> chooseSave;
    // The modified flag and its caption marker.
    std::function<bool()> isModified;
    std::function<void(bool)> setModified;
    // Puts the project file's name into the caption; an empty path takes it out.
    std::function<void(const QString& path)> setProjectCaption;
    // Panel 0 of the status bar, painted at once.
    std::function<void(const QString&)> setStatus;
    // Empties the name editor: text, marks and its undo history.
    std::function<void()> clearEditor;
    // The small window that shows a save went well.
    std::function<void()> showSaved;
};

// The caption for a project file (none when the path is empty):
// "{songs.vln*}" with the marker "*" while modified, else a blank, then `base`.
QString projectCaption(const QString& path, bool modified, const QString& base);

// The program's arguments: the first project file among them (a name ending
// in ".vln" that is not a folder), opened before the others are added.
struct ProgramArguments {
    QString project;
    QStringList others;
};
ProgramArguments splitArguments(const QStringList& paths,
                                const std::function<bool(const QString&)>& isFolder);

// The File menu's project commands over the file list and its name editor.
class Project {
public:
    Project(FileList& list, Options& options, Prompts& prompts);

    ProjectHooks hooks;

    // The current project file: the one Save writes to without asking; empty
    // for a new project.
    const QString& fileName() const { return m_fileName; }

    // Asks to save a changed list, then empties it; false when the user
    // cancelled or the save failed (nothing changed then).
    bool NewFile();
    // Asks for a project file and appends its records; without `merge` the
    // list is emptied first (NewFile). True when the file was read whole.
    bool MergeFile(bool merge);
    // Writes the project, to the current file when `useCurrentName` and it
    // exists, else where the save dialog says. False when the dialog was
    // cancelled or the file could not be written.
    bool SaveFile(bool useCurrentName);

    void New1Click() { NewFile(); }
    // True when a project was opened (the window then selects every line).
    bool Open1Click();
    // Open1Click for a file already chosen (a project given to the program):
    // the same question about a changed list, the same loading.
    bool OpenFile(const QString& path);
    void Merge1Click();
    void Save2Click() { SaveFile(true); }
    void SaveasmClick() { SaveFile(false); }

private:
    bool load(bool merge, const QString& path);
    bool opened();
    bool modified() const;
    void setModified(bool flag);
    void setCaption(const QString& path);
    void setStatus(const QString& text);

    FileList& m_list;
    Options& m_options;
    Prompts& m_prompts;
    QString m_fileName;
    QString m_chosen; // the file of the last MergeFile
};

} // namespace vorlane
