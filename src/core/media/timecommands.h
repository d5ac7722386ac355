#pragma once

#include "core/filelist/filelist.h"
#include "core/filelist/groupop.h"

namespace vorlane {

// The Service menu's commands on playing times and on the presence of files,
// each a group operation over the selected lines.

// Counts the time of every selected MP3 and WAV file again. Lines whose time
// came out above 0 are deselected; other extensions stay selected. Returns
// the number of files counted.
int ReCountmp3filestime1Click(FileList& list, GroupOperation& group, Prompts& prompts);

// Deselects every selected file that exists and names each missing one in a
// box; when none was missing (and the run was not cancelled), says so.
// Returns the number of missing files.
int Checkfilesexist1Click(FileList& list, GroupOperation& group, Prompts& prompts);

} // namespace vorlane
