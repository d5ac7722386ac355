#pragma once

#include "core/filelist/filelist.h"

namespace vorlane {

// The rename command: every selected file goes to the name on its editor
// line, top to bottom, and each success is logged so it can be taken back.
class RenameRun {
public:
    struct Result {
        int renamed = 0;
        int failed = 0; // each failure answered, Ignore or Abort
        bool started = false;
    };

    RenameRun(FileList& list, Prompts& prompts, FileSystem& fs, QString undoLogPath)
        : m_list(list), m_prompts(prompts), m_fs(fs), m_logPath(std::move(undoLogPath)) {}

    Result Rename1Click();

    // The name from an editor line: trailing blanks go, other white space stays.
    static QString newName(const QString& editorLine);

private:
    FileList& m_list;
    Prompts& m_prompts;
    FileSystem& m_fs;
    QString m_logPath;
};

} // namespace vorlane
