#pragma once

// Fixtures that take long to make (trees of many files, large files) are made
// once and kept between runs under the build folder, each keyed by its size.
#include <QString>

#include <functional>

namespace benchdata {

// build/<preset>/bench-data beside the benchmark programs, or
// $VORLANE_BENCH_DATA when set.
QString root();

// The folder `name` under root(), filled by `make` the first time it is
// asked for. A marker beside the folder, written last, says it is whole; a
// folder without it (a run stopped while making it) is made again from
// nothing. `make` returns false when it failed, and the program stops.
QString madeOnce(const QString& name, const std::function<bool(const QString& dir)>& make);

// A tree of `files` empty files "track N.mp3", 100 to a folder, in folders
// two levels deep (g<N/10000>/f<N/100>): tree-<files>.
QString fileTree(int files);

// `files` empty files a0.mp3, a1.mp3, ... in one folder, for renaming:
// rename-<files>. Each file is under its a-name again when this returns (a
// run stopped between renaming to bN.mp3 and back leaves some that are not).
QString renameFolder(int files);

// Reads every file's metadata in the tree once, so that what is timed next
// finds it in the cache; returns the number of files.
long warmTree(const QString& dir);

} // namespace benchdata
