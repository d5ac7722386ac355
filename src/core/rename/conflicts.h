#pragma once

#include <QString>
#include <QVector>

namespace vorlane {

class FileList;

// A selected rename that will fail, found before Rename runs.
struct Conflict {
    enum Kind {
        EmptyName,     // nothing on the editor line
        BadCharacter,  // a line break or NUL in the name
        NameTooLong,   // a part of the name over 255 bytes
        MissingFolder, // the name leads into a folder that does not exist
        SameTarget,    // another selected line gives the same new path
        TargetExists,  // a file stands at the new path and the run does not move it away
    };
    int line = -1;
    Kind kind = EmptyName;
};

// Words for a conflict, as the window's hint and the command line show them.
QString conflictText(Conflict::Kind kind);

// The selected file lines whose renames will fail, in list order. A target
// is free when no file stands there, or when the run moves that file away
// first: with `resolveChains` any selected rename does, else only one above
// it (the run goes top to bottom). A rename waiting on a file that cannot
// move fails too. A file already under its new name is no conflict. Linear in the lines, with one listing per
// target folder (through the list's file system).
QVector<Conflict> findConflicts(FileList& list, bool resolveChains);

} // namespace vorlane
