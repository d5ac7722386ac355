// vorlane-cli beside the plain tools doing the same work, each a process of
// its own from a warm page cache:
//   scan     `vorlane-cli scan --recursive` of 100,000 files in 1,000 folders
//            beside `find DIR -type f -printf '%s %p\n'`
//   rename   10,000 files in one folder renamed and back by `vorlane-cli rename`
//            beside the same renames by bare_rename (one renameat2 a file);
//            then beside bare_rename --log (each rename's entry written to the
//            end of a log first), which shows the program's own cost apart
//            from the log's
//   compare  20 files of 50 MiB and their copies by `vorlane-cli compare`
//            beside `cat` of sources and copies
// The two sides of a pair run one after the other, the first side taking
// turns, so that the machine's changing load falls on both alike; the figure
// is the median of the pairs' ratios. Arguments: [--pairs N] [scan|rename|compare]...
#include "benchdata.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Args = std::vector<std::string>;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "cli bench: %s\n", what.c_str());
    std::exit(1);
}

std::string exeDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        fail("can't find the program's own folder");
    return exe.parent_path().native();
}

std::string cliPath() {
    const char* env = std::getenv("VORLANE_CLI");
    return env && *env ? env : exeDir() + "/../src/vorlane-cli";
}

std::string work();

// Runs a command, its standard output thrown away and its standard error kept
// aside; the wall time in seconds. A command that fails ends the benchmark
// with what it said: its figure would mean nothing.
double timed(const Args& args) {
    static const std::string errors = work() + "/stderr.txt";
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    const bool ran = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     ::waitpid(pid, &status, 0) == pid;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (FILE* f = std::fopen(errors.c_str(), "rb")) {
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                std::fwrite(buffer, 1, n, stderr);
            std::fclose(f);
        }
        fail("failed: " + args[0] + " " + (args.size() > 1 ? args[1] : std::string()));
    }
    return seconds;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One comparison: each side is one timed round (it may run several commands).
void compareSides(const char* name, int pairs, const std::function<double()>& program,
                  const std::function<double()>& baseline) {
    program(); // warms the page cache and the programs' own pages
    baseline();
    std::vector<double> p, b, ratios;
    for (int i = 0; i < pairs; ++i) {
        double tp, tb;
        if (i % 2 == 0) {
            tp = program();
            tb = baseline();
        } else {
            tb = baseline();
            tp = program();
        }
        p.push_back(tp);
        b.push_back(tb);
        ratios.push_back(tp / tb);
    }
    std::printf("%-14s %12.1f %12.1f %8.2f %6d\n", name, median(p) * 1000, median(b) * 1000, median(ratios),
                pairs);
    std::fflush(stdout);
}

// prefix, number, suffix: a file's name.
std::string numbered(const char* prefix, int i, const char* suffix) {
    std::string s = prefix;
    s += std::to_string(i);
    s += suffix;
    return s;
}

std::string path(const QString& p) {
    return QFile::encodeName(p).toStdString();
}

void writeLines(const std::string& file, const std::vector<std::string>& lines) {
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        fail("can't write " + file);
    for (const std::string& l : lines)
        std::fprintf(f, "%s\n", l.c_str());
    if (std::fclose(f) != 0)
        fail("can't write " + file);
}

// Scratch files of the runs (names files, the undo log), beside the fixtures.
std::string work() {
    const std::string dir = path(benchdata::root()) + "/cli-work";
    std::filesystem::create_directories(dir);
    return dir;
}

void scanRow(int pairs) {
    const std::string tree = path(benchdata::fileTree(100000));
    benchdata::warmTree(QFile::decodeName(tree.c_str()));
    const Args program{cliPath(), "scan", "--recursive", tree};
    const Args baseline{"find", tree, "-type", "f", "-printf", "%s %p\n"};
    compareSides(
        "scan", pairs, [&] { return timed(program); }, [&] { return timed(baseline); });
}

void renameRow(int pairs) {
    constexpr int kFiles = 10000;
    const std::string dir = path(benchdata::renameFolder(kFiles));
    Args aNames, bNames, aPaths, bPaths;
    for (int i = 0; i < kFiles; ++i) {
        aNames.push_back(numbered("a", i, ".mp3"));
        bNames.push_back(numbered("b", i, ".mp3"));
        aPaths.push_back(dir + "/" + aNames.back());
        bPaths.push_back(dir + "/" + bNames.back());
    }
    const std::string toB = work() + "/rename-to-b.txt";
    const std::string toA = work() + "/rename-to-a.txt";
    writeLines(toB, bNames);
    writeLines(toA, aNames);
    // The program logs its renames in its home folder; each run starts a new log.
    const std::string home = work() + "/home";
    std::filesystem::create_directories(home);
    ::setenv("VORLANE_HOME", home.c_str(), 1);
    const std::string log = home + "/vlnundo.txt";

    const auto command = [](Args head, const Args& paths) {
        head.insert(head.end(), paths.begin(), paths.end());
        return head;
    };
    const Args cliThere = command({cliPath(), "rename", "--yes", "--names", toB}, aPaths);
    const Args cliBack = command({cliPath(), "rename", "--yes", "--names", toA}, bPaths);
    const Args bareThere = command({exeDir() + "/bare_rename", toB}, aPaths);
    const Args bareBack = command({exeDir() + "/bare_rename", toA}, bPaths);
    // There and back, each run starting a new log.
    const auto roundTrip = [](const std::string& logFile, const Args& there, const Args& back) {
        ::unlink(logFile.c_str());
        const double seconds = timed(there);
        ::unlink(logFile.c_str());
        return seconds + timed(back);
    };
    const auto cliRound = [&] { return roundTrip(log, cliThere, cliBack); };
    compareSides("rename", pairs, cliRound, [&] { return timed(bareThere) + timed(bareBack); });
    const std::string bareLog = work() + "/bare-log.txt";
    const Args loggedThere = command({exeDir() + "/bare_rename", "--log", bareLog, toB}, aPaths);
    const Args loggedBack = command({exeDir() + "/bare_rename", "--log", bareLog, toA}, bPaths);
    compareSides("rename-logged", pairs, cliRound,
                 [&] { return roundTrip(bareLog, loggedThere, loggedBack); });
}

void compareRow(int pairs) {
    constexpr int kFiles = 20;
    constexpr qint64 kSize = 50 << 20;
    // Sources in src/, their copies where copying them under the same names
    // puts them: out/0/.
    const std::string dir = path(benchdata::madeOnce(
        QStringLiteral("compare-%1x%2MiB").arg(kFiles).arg(kSize >> 20), [](const QString& d) {
            std::filesystem::create_directories(path(d) + "/src");
            std::filesystem::create_directories(path(d) + "/out/0");
            std::vector<char> bytes(size_t(kSize), 0);
            quint32 x = 12345;
            for (int i = 0; i < kFiles; ++i) {
                for (char& c : bytes)
                    c = char((x = x * 1103515245u + 12345u) >> 24);
                for (const char* side : {"/src/s", "/out/0/s"}) {
                    FILE* f = std::fopen((path(d) + side + numbered("", i, ".bin")).c_str(), "wb");
                    if (!f)
                        return false;
                    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
                    if (std::fclose(f) != 0 || !whole)
                        return false;
                }
            }
            return true;
        }));
    Args names, sources, copies;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(numbered("s", i, ".bin"));
        sources.push_back(dir + "/src/" + names.back());
        copies.push_back(dir + "/out/0/" + names.back());
    }
    const std::string namesFile = work() + "/compare-names.txt";
    writeLines(namesFile, names);
    Args program{cliPath(), "compare", "--names", namesFile, "--to", dir + "/out"};
    program.insert(program.end(), sources.begin(), sources.end());
    Args baseline{"cat"};
    baseline.insert(baseline.end(), sources.begin(), sources.end());
    baseline.insert(baseline.end(), copies.begin(), copies.end());
    compareSides(
        "compare", pairs, [&] { return timed(program); }, [&] { return timed(baseline); });
}

} // namespace

int main(int argc, char** argv) {
    int pairs = 7;
    std::vector<std::string> chosen;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pairs") == 0 && i + 1 < argc)
            pairs = std::max(1, std::atoi(argv[++i]));
        else
            chosen.push_back(argv[i]);
    }
    const std::pair<const char*, void (*)(int)> all[] = {
        {"scan", scanRow}, {"rename", renameRow}, {"compare", compareRow}};
    for (const std::string& c : chosen)
        if (std::none_of(std::begin(all), std::end(all), [&](const auto& a) { return c == a.first; }))
            fail("unknown comparison " + c + " (scan, rename, compare)");
    std::printf("%-14s %12s %12s %8s %6s\n", "comparison", "program ms", "baseline ms", "ratio", "pairs");
    std::fflush(stdout);
    for (const auto& [name, run] : all)
        if (chosen.empty() || std::find(chosen.begin(), chosen.end(), name) != chosen.end())
            run(pairs);
    return 0;
}
