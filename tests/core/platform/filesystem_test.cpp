#include "core/platform/filesystem.h"
#include "core/platform/paths.h"

#include "support/diskfixture.h"
#include "support/faultysys.h"
#include "support/qtprint.h"

#include <QDir>

#include <cerrno>
#include <unistd.h>

using namespace vorlane;

namespace {
int openDescriptors() {
    return int(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size());
}
} // namespace

// A batch keeps a folder open between renames in it; every rename must
// still land where its paths say, whatever came before it in the batch.
TEST(RenameBatch, EachRenameLandsWhereItsPathsSay) {
    Disk disk;
    disk.folder("p/e");
    disk.file("p/d/a", 1);
    disk.file("p/d/taken", 2);
    disk.file("p/f/a", 3);
    disk.file("p/g/a");
    disk.rawFile("p/d/\xC0\xFF");
    struct Step {
        QString from, to; // under the disk's root
        int error;
    };
    const Step steps[] = {
        {"p/d/a", "p/d/b", 0},
        {"p/d/b", "p/d/c", 0},
        {"p/d/c", "p/d/taken", EEXIST}, // never replaced
        {"p/d/" + decodeName("\xC0\xFF"), "p/d/" + decodeName("\xE9t\xE9"), 0},
        // Another folder whose path is as long.
        {"p/f/a", "p/f/b", 0},
        {"p/f/b", "p/f/c", 0},
        // A folder with one rename in it is not opened.
        {"p/g/a", "p/g/b", 0},
        {"p/d/c", "p/d/a", 0},
        {"p/d/a", "p/d/c", 0},
        // The folder moves (paths in two folders); its old path is empty now.
        {"p/d", "p/e/d", 0},
        {"p/d/c", "p/d/x", ENOENT},
        {"p/d/c", "p/d/x", ENOENT},
        {"p/e/d/c", "p/e/d/x", 0},
        {"p/e/d/x", "p/e/d/y", 0},
        // A path ending in '/' names the folder.
        {"p/e/d/y", "p/e/d/", EEXIST},
    };
    const int before = openDescriptors();
    FaultySys system;
    {
        SysOverride seam(system);
        const RenameBatch batch;
        for (const Step& s : steps)
            EXPECT_EQ(PosixFileSystem::instance().renameNoReplace(disk.path(s.from), disk.path(s.to)).error,
                      s.error)
                << (s.from + " -> " + s.to).toStdString();
    }
    EXPECT_EQ(openDescriptors(), before);
    // A folder is opened at the second rename in a row in it: p/d, p/f, p/d,
    // the missing p/d, p/e/d.
    EXPECT_EQ(system.calls(Sys::Open), 5);
    const QByteArray root = encodeName(disk.root());
    EXPECT_EQ(::access((root + "/p/e/d/\xE9t\xE9").constData(), F_OK), 0);
    EXPECT_TRUE(disk.exists("p/e/d/y"));
    EXPECT_EQ(disk.read(disk.path("p/e/d/taken")).size(), 2);
    EXPECT_TRUE(disk.exists("p/f/c"));
    EXPECT_TRUE(disk.exists("p/g/b"));
    EXPECT_FALSE(disk.exists("p/d"));
}

// A folder that can't be held open leaves its renames to go by their paths,
// without a try at every file.
TEST(RenameBatch, FolderThatCannotBeOpenedStillRenames) {
    Disk disk;
    disk.file("d/a");
    FaultySys system;
    system.failEvery(Sys::Open, EMFILE);
    SysOverride seam(system);
    const RenameBatch batch;
    for (const char* step : {"a b", "b c", "c e"}) {
        const QStringList names = QString(step).split(' ');
        EXPECT_TRUE(PosixFileSystem::instance()
                        .renameNoReplace(disk.path("d/" + names[0]), disk.path("d/" + names[1]))
                        .ok());
    }
    EXPECT_TRUE(disk.exists("d/e"));
    EXPECT_EQ(system.calls(Sys::Open), 1);
    EXPECT_EQ(system.calls(Sys::Renameat2), 3);
}
