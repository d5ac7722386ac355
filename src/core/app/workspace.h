#pragma once

#include "core/editor/namelines.h"
#include "core/filelist/adding.h"
#include "core/filelist/filelist.h"
#include "core/filelist/groupop.h"
#include "core/platform/filesystem.h"
#include "core/platform/prompts.h"
#include "core/platform/pump.h"
#include "core/project/project.h"
#include "core/settings/options.h"

#include <memory>

namespace vorlane {

// The core objects one front end works with, built in one place for the
// window, the command line, benchmarks and tests: the file list beside its
// name lines, the group operation (with the group counter that the list's
// AddItem counts into), the adder that feeds the list and the project file
// commands.
class Workspace {
public:
    struct Deps {
        Options* options = nullptr;
        Prompts* prompts = nullptr;
        NameLines* names = nullptr;
        // The real disk, a monotonic clock and no event pumping when left empty.
        FileSystem* fs = nullptr;
        Clock* clock = nullptr;
        EventPump* pump = nullptr;
    };

    explicit Workspace(const Deps& deps);
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Options& options;
    Prompts& prompts;
    NameLines& names;
    FileSystem& fs;

private:
    std::unique_ptr<Clock> m_ownClock;
    std::unique_ptr<EventPump> m_ownPump;

public:
    // Time and event pumping of long commands.
    Clock& clock;
    EventPump& pump;
    FileList list;
    GroupOperation group;
    FileAdder adder;
    Project project;
};

} // namespace vorlane
