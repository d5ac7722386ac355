// Open Folder with subfolders in the real window (offscreen) on a tree of
// 1,000,000 empty files, 100 to a folder, from a warm cache: the time until
// the window has shown them, and the process's peak memory.
// Argument: the number of files (default 1,000,000).
#include "benchdata.h"
#include "ui/filelist/topendirdialog.h"
#include "window.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace vorlane;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (files <= 0) {
        std::fprintf(stderr, "usage: openfolder [FILES]\n");
        return 2;
    }
    const QString tree = benchdata::fileTree(files);
    benchdata::warmTree(tree);

    QApplication app(argc, argv);
    BenchWindow w;
    w.main->openDirDialog()->browser = [&](const TOpenDirDialog&) { return tree; };
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto t0 = std::chrono::steady_clock::now();
    w.main->openFolder(true);
    QApplication::processEvents();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    int listed = 0;
    for (int i = 0; i < w.main->list().count(); ++i)
        listed += w.main->list().isSeparator(i) ? 0 : 1;
    // Peak resident memory in MB (10^6 bytes): of the whole run, and of the
    // empty window before the folder was opened.
    const auto mb = [](const rusage& u) { return double(u.ru_maxrss) * 1024 / 1e6; };
    std::printf("%-28s %10s %10s %10s %10s\n", "operation", "files", "seconds", "peak MB", "before MB");
    std::printf("%-28s %10d %10.2f %10.1f %10.1f\n", "OpenFolderWithSubfolders", listed, seconds, mb(usage),
                mb(before));
    if (listed != files || !w.prompts.shown.isEmpty()) {
        std::fprintf(stderr, "openfolder: %d of %d files listed, %d message(s)\n", listed, files,
                     int(w.prompts.shown.size()));
        return 1;
    }
    return 0;
}
