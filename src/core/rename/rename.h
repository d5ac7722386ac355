#pragma once

#include "core/filelist/filelist.h"
#include "core/platform/pump.h"
#include "core/rename/undolog.h"

#include <functional>

#include <memory>

namespace vorlane {

// The rename command: every selected file goes to the name on its editor
// line, and each real step is logged before it happens so it can be taken
// back. By default the files go top to bottom, each once. With "Resolve
// chains and swaps" the run orders the renames so that a target is freed
// before it is taken, and breaks cycles through a temporary name in the same
// folder; a file is never replaced either way. A file already under its new
// name counts as renamed without a step.
class RenameRun {
public:
    struct Result {
        int renamed = 0;
        int failed = 0; // each failure answered, Ignore or Abort
        bool started = false;
    };

    // Keeps the window alive through a long run: every half second the
    // status shows "N of M" and pending events are pumped. The run's end is
    // reported the same way ("N of M file(s) were renamed").
    struct Progress {
        Clock* clock = nullptr;
        EventPump* pump = nullptr;
        std::function<void(const QString&)> status;
    };

    RenameRun(FileList& list, Prompts& prompts, FileSystem& fs, QString undoLogPath);
    ~RenameRun();

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Renames already known to fail (the window's conflict lines): the
    // confirmation says how many.
    void setKnownFailures(int count) { m_knownFailures = count; }
    // A run that writes no undo log: for a run over a PlanningFileSystem,
    // which moves nothing that would need taking back.
    void setUnlogged() { m_unlogged = true; }

    Result Rename1Click();

    // The name from an editor line: trailing blanks go, other white space stays.
    static QString newName(const QString& editorLine);

private:
    enum class Outcome { Done, Failed, LogFailed };
    struct Move {
        Outcome outcome = Outcome::Failed;
        QString cause;
        int error = 0; // the system's error number of a failed rename
    };
    enum class Next { Retry, Ignore, Abort };

    // One rename of `from` to `name` in its folder, logged first; the entry
    // goes again when the rename fails.
    Move move(const QString& from, const QString& name);
    // The same, with the target path (`name` in the folder of `from`) given.
    Move move(const QString& from, const QString& name, const QString& to);
    // The failure box of one rename (or the log's box, which ends the run).
    Next failed(const QString& from, const QString& name, const Move& m);
    // The list line follows its file to `path`; with `finished` it is done.
    void follow(int line, const QString& path, bool finished);
    // After each file: the status and the event pump, now and then.
    void progressed(const Result& result);
    // A file the undo window put into the list is back: its entry leaves the log.
    void takenBack(const QString& from, const QString& to);
    void runInOrder(Result& result);
    void runResolved(Result& result);

    struct Resolver;
    FileList& m_list;
    Prompts& m_prompts;
    FileSystem& m_fs;
    QString m_logPath;
    std::unique_ptr<UndoLog> m_log;
    Progress m_progress;
    int m_knownFailures = 0;
    bool m_unlogged = false;
    int m_total = 0;
    qint64 m_lastProgress = 0;
};

} // namespace vorlane
