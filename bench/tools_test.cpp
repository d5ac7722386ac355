// The benchmark tooling: fixtures made once and made again when half made,
// the bare renames never replacing a file, and the report's verdicts read from
// the programs' own output.
#include "benchdata.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

bool touch(const QString& path, const QByteArray& bytes = {}) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class BenchData : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VORLANE_BENCH_DATA", QFile::encodeName(m_root.path())); }
    void TearDown() override { qunsetenv("VORLANE_BENCH_DATA"); }
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

TEST_F(BenchData, MadeOnceThenReusedAndMadeAgainWhenHalfMade) {
    int made = 0;
    const auto make = [&](const QString& dir) {
        ++made;
        return touch(dir + QStringLiteral("/whole"));
    };
    const QString dir = benchdata::madeOnce(QStringLiteral("fixture"), make);
    EXPECT_EQ(dir, root() + QStringLiteral("/fixture"));
    benchdata::madeOnce(QStringLiteral("fixture"), make);
    EXPECT_EQ(made, 1);

    // A run stopped while making it: no marker, part of the files there.
    ASSERT_TRUE(QFile::remove(dir + QStringLiteral(".done")));
    ASSERT_TRUE(QFile::remove(dir + QStringLiteral("/whole")));
    ASSERT_TRUE(touch(dir + QStringLiteral("/part")));
    benchdata::madeOnce(QStringLiteral("fixture"), make);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("whole")});
}

TEST_F(BenchData, FailedMakingStopsTheProgramAndLeavesNoMarker) {
    EXPECT_EXIT(benchdata::madeOnce(QStringLiteral("broken"), [](const QString&) { return false; }),
                ::testing::ExitedWithCode(1), "can't make .*broken");
    EXPECT_FALSE(QFile::exists(root() + QStringLiteral("/broken.done")));
}

TEST_F(BenchData, TreeHoldsEveryFileAHundredToAFolder) {
    const QString tree = benchdata::fileTree(250);
    EXPECT_EQ(tree, root() + QStringLiteral("/tree-250"));
    EXPECT_EQ(benchdata::warmTree(tree), 250);
    const struct {
        const char* folder;
        int files;
        const char* last;
    } folders[] = {
        {"g0/f0", 100, "track 99.mp3"}, {"g0/f1", 100, "track 199.mp3"}, {"g0/f2", 50, "track 249.mp3"}};
    for (const auto& f : folders) {
        const QDir d(tree + u'/' + QLatin1String(f.folder));
        EXPECT_EQ(d.entryList(QDir::Files).size(), f.files) << f.folder;
        EXPECT_TRUE(d.exists(QLatin1String(f.last))) << f.last;
    }
    EXPECT_EQ(QDir(tree + QStringLiteral("/g0")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
}

TEST_F(BenchData, RenameFolderPutsFilesLeftRenamedBack) {
    const QString dir = benchdata::renameFolder(20);
    for (int i : {3, 7})
        ASSERT_TRUE(
            QFile::rename(dir + QStringLiteral("/a%1.mp3").arg(i), dir + QStringLiteral("/b%1.mp3").arg(i)));
    EXPECT_EQ(benchdata::renameFolder(20), dir);
    QStringList expected;
    for (int i = 0; i < 20; ++i)
        expected << QStringLiteral("a%1.mp3").arg(i);
    QStringList listed = QDir(dir).entryList(QDir::Files);
    expected.sort();
    listed.sort();
    EXPECT_EQ(listed, expected);
}

// The bare renames of the command-line comparison, as a process.
struct BareRun {
    int exitCode;
    QString errors;
};

BareRun bareRename(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(BARE_RENAME), args);
    p.waitForFinished(-1);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// Files named in `dir` with their contents.
bool files(const QString& dir, const QList<std::pair<const char*, QByteArray>>& each) {
    for (const auto& [name, bytes] : each)
        if (!touch(dir + u'/' + QLatin1String(name), bytes))
            return false;
    return true;
}

// bare_rename [OPTIONS] DIR/names.txt DIR/a0 DIR/a1.
BareRun bareRenameA0A1(const QString& dir, const QStringList& options = {}) {
    return bareRename(options + QStringList{dir + QStringLiteral("/names.txt"), dir + QStringLiteral("/a0"),
                                            dir + QStringLiteral("/a1")});
}

TEST(BareRename, RenamesEachPathToItsLineInItsFolder) {
    QTemporaryDir dir;
    const QString d = dir.path();
    // Lines may end in CR LF, as the program's own names files do.
    ASSERT_TRUE(files(d, {{"a0", "zero"}, {"a1", "one"}, {"names.txt", "b0\r\nb1\r\n"}}));
    const BareRun r = bareRenameA0A1(d);
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(contents(d + QStringLiteral("/b0")), "zero");
    EXPECT_EQ(contents(d + QStringLiteral("/b1")), "one");
    EXPECT_FALSE(QFile::exists(d + QStringLiteral("/a0")));
}

TEST(BareRename, NeverReplacesAFileAndSaysSo) {
    QTemporaryDir dir;
    const QString d = dir.path();
    ASSERT_TRUE(files(d, {{"a0", "source"}, {"b0", "taken"}, {"a1", "next"}, {"names.txt", "b0\nb1\n"}}));
    const BareRun r = bareRenameA0A1(d);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errors.contains(d + QStringLiteral("/a0"))) << r.errors.toStdString();
    EXPECT_EQ(contents(d + QStringLiteral("/a0")), "source");
    EXPECT_EQ(contents(d + QStringLiteral("/b0")), "taken");
    EXPECT_EQ(contents(d + QStringLiteral("/b1")), "next"); // the others go on
}

TEST(BareRename, LogsEachRenameBeforeItWithLogOption) {
    QTemporaryDir dir;
    const QString d = dir.path();
    ASSERT_TRUE(files(d, {{"a0", "zero"},
                          {"a1", "one"},
                          {"b1", "taken"},
                          {"log.txt", "old\r\nentry\r\n"},
                          {"names.txt", "b0\nb1\n"}}));
    const BareRun r = bareRenameA0A1(d, {QStringLiteral("--log"), d + QStringLiteral("/log.txt")});
    EXPECT_EQ(r.exitCode, 1); // a1 may not replace b1
    EXPECT_EQ(contents(d + QStringLiteral("/b0")), "zero");
    // Appended, one entry per rename tried, as the program logs them.
    EXPECT_EQ(contents(d + QStringLiteral("/log.txt")), "old\r\nentry\r\n" + QFile::encodeName(d) +
                                                            "/a0\r\nb0\r\n" + QFile::encodeName(d) +
                                                            "/a1\r\nb1\r\n");
}

// bench/report over stand-ins for the benchmark programs, each printing the
// tables the real one prints and ending with the given status.
class Report : public ::testing::Test {
protected:
    void program(const QString& name, const QByteArray& output, int status = 0) {
        QDir().mkpath(m_build.path() + QStringLiteral("/bench"));
        const QString path = m_build.path() + QStringLiteral("/bench/") + name;
        ASSERT_TRUE(touch(path + QStringLiteral(".out"), output));
        ASSERT_TRUE(touch(path, "#!/bin/sh\ncat \"$0.out\"\nexit " + QByteArray::number(status) + "\n"));
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }
    // Every program with figures that meet their targets.
    void allPassing() {
        program(QStringLiteral("cli"), "comparison   program ms  baseline ms    ratio  pairs\n"
                                       "scan              130.0        100.0     1.30      7\n"
                                       "rename            105.0        100.0     1.05      7\n"
                                       "compare           149.0        100.0     1.49      7\n");
        program(QStringLiteral("copy"),
                "operation              baseline               size    operation     baseline    ratio\n"
                "CopyRunBench           CpBench                1024    111.00 ms    100.00 ms     1.11\n"
                "CompareRunBench        ReadBothBench          1024    130.00 ms    100.00 ms     1.30\n"
                "CompareRunBench        ReadBothCrcBench       1024    102.00 ms    100.00 ms     1.02\n");
        program(QStringLiteral("openfolder"),
                "operation                         files    seconds    peak MB  before MB\n"
                "OpenFolderWithSubfolders        1000000       5.00      500.0       80.0\n");
        const QByteArray linear =
            "operation                           small        large    ratio\n"
            "\x1b[mStep                             10.00 ms     24.90 ms     2.49  (100000 vs 50000)\n";
        for (const char* p : {"filelist", "masks", "editor", "undo", "search"})
            program(QLatin1String(p), linear);
        program(QStringLiteral("project"),
                "OpenProject                     10.00 ms     21.00 ms     2.10  (1000000 vs 500000)\n");
        program(QStringLiteral("media"),
                "WalkMp3                PlainRead                 1      4.83 ms      3.64 ms     1.33\n");
        program(QStringLiteral("scan_rename"),
                "ScanAndAdd             BareWalk             100000    237.13 ms     36.57 ms     6.48\n");
        program(QStringLiteral("tags"),
                "TagsOfEveryKind        ReadFirst64KiB        10000    299.00 ms    100.00 ms     2.99\n");
    }
    // Runs the report; its output.
    QString run(int* status) {
        QProcess p;
        p.start(QStringLiteral("bash"),
                {QStringLiteral(BENCH_REPORT), QStringLiteral("--build-dir"), m_build.path()});
        p.waitForFinished(-1);
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static bool hasRow(const QString& out, const QString& name, const QString& value,
                       const QString& verdict) {
        const QRegularExpression row(QStringLiteral("^") + QRegularExpression::escape(name) +
                                         QStringLiteral(" +") + QRegularExpression::escape(value) +
                                         QStringLiteral(" +<=? [0-9.]+ +") + verdict + u'$',
                                     QRegularExpression::MultilineOption);
        return row.match(out).hasMatch();
    }

private:
    QTemporaryDir m_build;
};

TEST_F(Report, FiguresAtTheirLimitsPass) {
    allPassing();
    int status = -1;
    const QString out = run(&status);
    EXPECT_EQ(status, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\n14 passed, 0 failed\n"))) << out.toStdString();
    // Rows whose pattern a slip could miss: a digit in the operation's name.
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("media WalkMp3 / PlainRead at 1 +1.33\n"))))
        << out.toStdString();
}

TEST_F(Report, EachTargetJudgedByItsOwnFigure) {
    allPassing();
    program(QStringLiteral("cli"), "scan              131.0        100.0     1.31      7\n"
                                   "rename            106.0        100.0     1.06      7\n"
                                   "compare           151.0        100.0     1.51      7\n");
    program(QStringLiteral("copy"),
            "CopyRunBench           CpBench                1024    112.00 ms    100.00 ms     1.12\n"
            "CompareRunBench        ReadBothCrcBench       1024    102.00 ms    100.00 ms     1.02\n"
            "CompareRunBench        ReadBothBench          1024    131.00 ms    100.00 ms     1.31\n");
    program(QStringLiteral("openfolder"),
            "OpenFolderWithSubfolders        1000000       5.01      500.1       80.0\n");
    program(QStringLiteral("filelist"),
            "Step                             10.00 ms     25.00 ms     2.50  (100000 vs 50000)\n"
            "Other                            10.00 ms     20.00 ms     2.00  (100000 vs 10000)\n");
    // The floor of opening a project is not the program's work.
    program(QStringLiteral("project"),
            "OpenProject                     10.00 ms     21.00 ms     2.10  (1000000 vs 500000)\n"
            "ReadBytes                       10.00 ms     29.00 ms     2.90  (1000000 vs 500000)\n");
    program(QStringLiteral("tags"),
            "TagsOfEveryKind        ReadFirst64KiB        10000    300.00 ms    100.00 ms     3.00\n");
    // A program that failed: whatever it printed counts for nothing.
    program(QStringLiteral("undo"),
            "Step                             10.00 ms     20.00 ms     2.00  (100000 vs 50000)\n", 1);

    int status = -1;
    const QString out = run(&status);
    EXPECT_EQ(status, 1);
    const struct {
        const char* name;
        const char* value;
        const char* verdict;
    } rows[] = {
        {"scan 100,000 files in 1,000 folders: vorlane-cli scan / find", "1.31", "FAIL"},
        {"rename 10,000 files and back: vorlane-cli rename / bare renames", "1.06", "FAIL"},
        {"compare 1 GiB, page cache: CompareRunBench / ReadBothBench", "1.31", "FAIL"},
        {"compare 20 x 50 MiB: vorlane-cli compare / cat", "1.51", "FAIL"},
        {"window, open a folder of 1,000,000 files: seconds", "5.01", "FAIL"},
        {"window, open a folder of 1,000,000 files: peak memory, MB", "500.1", "FAIL"},
        {"copy 1 GiB: CopyRunBench / CpBench", "1.12", "FAIL"},
        {"tags of 10,000 files / read first 64 KiB", "3.00", "FAIL"},
        {"linearity filelist Step: 100000 vs 50000", "2.50", "FAIL"},
        {"linearity masks Step: 100000 vs 50000", "2.49", "PASS"},
        {"linearity project OpenProject: 1000000 vs 500000", "2.10", "PASS"},
        {"linearity undo: the program failed", "missing", "FAIL"},
    };
    for (const auto& r : rows)
        EXPECT_TRUE(hasRow(out, QLatin1String(r.name), QLatin1String(r.value), QLatin1String(r.verdict)))
            << r.name << "\n"
            << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("ReadBytes")));
    EXPECT_FALSE(out.contains(QStringLiteral("100000 vs 10000")));
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("\n  undo +[0-9]+ s  exit 1\n"))))
        << out.toStdString();
}

} // namespace
