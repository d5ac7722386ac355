// A rename run of the command line killed with SIGKILL at random moments:
// every file renamed on disk must have its undo entry.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFiles = 20000;
constexpr int kTrials = 4;
constexpr int kSwapFiles = 4000;

std::string numbered(char prefix, int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%05d", prefix, i);
    return buf;
}

bool exists(const std::string& path) {
    struct ::stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

off_t sizeOf(const std::string& path) {
    struct ::stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Starts vorlane-cli renaming f00000.. to the names in `names` inside `dir`.
pid_t startRename(const std::string& dir, const std::string& home, const std::string& names,
                  bool resolve = false, int files = kFiles) {
    std::vector<std::string> args = {VORLANE_CLI, "rename", "--yes", "--names", names};
    if (resolve)
        args.push_back("--resolve-chains");
    args.push_back("--");
    for (int i = 0; i < files; ++i)
        args.push_back(numbered('f', i));
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (::chdir(dir.c_str()) != 0 || ::setenv("VORLANE_HOME", home.c_str(), 1) != 0)
            ::_exit(127);
        ::execv(VORLANE_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

// A fresh folder under /tmp holding the names file and the undo log's home,
// removed however the test ends.
class CliKill : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vorlane-kill-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        char* real = ::realpath(tmpl, nullptr);
        root = real;
        std::free(real);
        names = root + "/names.txt";
        home = root + "/home";
        log = home + "/vlnundo.txt";
        ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);
    }
    void TearDown() override {
        const std::string command = "rm -rf '" + root + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", root.c_str());
    }
    // The names file: line i is numbered(prefix, map(i)).
    template <typename Map> void writeNames(char prefix, int count, Map map) {
        std::ofstream out(names, std::ios::binary);
        for (int i = 0; i < count; ++i)
            out << numbered(prefix, map(i)) << '\n';
    }

    // Waits for the run to begin renaming, then kills it somewhere inside.
    void killDuringRun(pid_t pid) {
        ASSERT_GT(pid, 0);
        int status = 0;
        bool ended = false;
        while (!ended && sizeOf(log) == 0) {
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            ::usleep(200);
        }
        if (!ended) {
            ::usleep(std::uniform_int_distribution<useconds_t>(0, 100000)(random));
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
    }

    std::string root, names, home, log;
    std::mt19937 random{std::random_device{}()};
};

} // namespace

TEST_F(CliKill, EveryRenamedFileHasItsUndoEntry) {
    writeNames('g', kFiles, [](int i) { return i; });
    const std::string dir = root + "/files";
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    for (int i = 0; i < kFiles; ++i) {
        const int fd = ::open((dir + '/' + numbered('f', i)).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    for (int trial = 0; trial < kTrials; ++trial) {
        ::unlink(log.c_str());
        ASSERT_NO_FATAL_FAILURE(killDuringRun(startRename(dir, home, names)));

        // The log as pairs; a torn or unpaired tail belongs to a file not yet renamed.
        const std::string text = readAll(log);
        std::vector<std::string> lines;
        for (std::size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
            lines.push_back(text.substr(pos, end - pos));
        std::map<std::string, std::string> logged;
        std::string lastOld;
        for (std::size_t l = 0; l + 1 < lines.size(); l += 2) {
            logged[lines[l]] = lines[l + 1];
            lastOld = lines[l];
        }
        int renamed = 0, loggedOnly = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string oldPath = dir + '/' + numbered('f', i);
            const std::string newName = numbered('g', i);
            const bool isOld = exists(oldPath), isNew = exists(dir + '/' + newName);
            ASSERT_NE(isOld, isNew) << oldPath;
            const auto entry = logged.find(oldPath);
            if (isNew) {
                ++renamed;
                ASSERT_NE(entry, logged.end())
                    << "renamed but not logged: " << oldPath << " (trial " << trial << ")";
                EXPECT_EQ(entry->second, newName);
            } else if (entry != logged.end()) {
                // Killed between the entry and its rename: only ever the last entry.
                ++loggedOnly;
                EXPECT_EQ(oldPath, lastOld);
            }
        }
        EXPECT_LE(loggedOnly, 1);
        std::printf("trial %d: %d of %d renamed when killed\n", trial, renamed, kFiles);
        // Back to the start for the next trial.
        for (int i = 0; i < kFiles; ++i) {
            const std::string renamedPath = dir + '/' + numbered('g', i);
            if (exists(renamedPath)) {
                ASSERT_EQ(::rename(renamedPath.c_str(), (dir + '/' + numbered('f', i)).c_str()), 0);
            }
        }
    }
}

// Pairs of files swapping names, killed at random moments: replaying the log
// over the names the run began with gives exactly the names on disk, each
// file under the name its steps lead to (temporary names included).
TEST_F(CliKill, LogExplainsEveryNameAfterAKilledSwap) {
    writeNames('f', kSwapFiles, [](int i) { return i ^ 1; });
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::string dir = root + "/files" + std::to_string(trial);
        ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
        for (int i = 0; i < kSwapFiles; ++i) {
            std::ofstream(dir + '/' + numbered('f', i)) << numbered('f', i);
        }
        ::unlink(log.c_str());
        ASSERT_NO_FATAL_FAILURE(killDuringRun(startRename(dir, home, names, true, kSwapFiles)));
        // Replay: name -> the file (its first content) standing there.
        std::map<std::string, std::string> expected;
        for (int i = 0; i < kSwapFiles; ++i)
            expected[numbered('f', i)] = numbered('f', i);
        const std::string text = readAll(log);
        std::vector<std::string> lines;
        for (std::size_t pos = 0, end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2)
            lines.push_back(text.substr(pos, end - pos));
        int skipped = 0;
        const std::size_t entries = lines.size() / 2;
        for (std::size_t e = 0; e < entries; ++e) {
            const std::string& fromPath = lines[2 * e];
            const std::string from = fromPath.substr(fromPath.rfind('/') + 1);
            const std::string& to = lines[2 * e + 1];
            const auto it = expected.find(from);
            // Logged, then killed before the rename: only ever the last entry.
            if (e + 1 == entries && exists(dir + '/' + from) && !exists(dir + '/' + to)) {
                ++skipped;
                continue;
            }
            ASSERT_NE(it, expected.end()) << "entry " << e << " moves a name that is not there: " << from;
            ASSERT_EQ(expected.count(to), 0u) << "entry " << e << " takes a name in use: " << to;
            expected[to] = it->second;
            expected.erase(it);
        }
        EXPECT_LE(skipped, 1);
        std::map<std::string, std::string> onDisk;
        DIR* d = ::opendir(dir.c_str());
        ASSERT_NE(d, nullptr);
        while (const dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..")
                onDisk[n] = readAll(dir + '/' + n);
        }
        ::closedir(d);
        EXPECT_EQ(onDisk, expected) << "trial " << trial;
        std::printf("trial %d: %zu log entries when killed\n", trial, lines.size() / 2);
    }
}
