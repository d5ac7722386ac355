// Every system call of a run failed in turn (with EIO, with ENOSPC, and cut
// short where it moves bytes), and after each the promises that matter to the
// user checked: no file replaced or lost, every renamed file logged, our own
// files either old or new and never a mix, and a failure told.
#include "core/copy/copyrun.h"
#include "core/project/projectfile.h"
#include "core/rename/rename.h"
#include "core/rename/undolist.h"
#include "core/rename/undolog.h"
#include "core/settings/inifile.h"

#include "support/diskfixture.h"
#include "support/faultysys.h"
#include "support/listlines.h"
#include "support/qtprint.h"
#include "support/scriptedprompts.h"
#include "support/steppedtime.h"

#include <QDir>
#include <QMap>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

using namespace vorlane;

namespace {

struct Sweep {
    std::function<void()> setUp; // outside the seam: the state before the run
    std::function<void()> act;   // the run, every call of it through the seam
    // The promises after it; `failed` is the call made to fail, none in a clean run.
    std::function<void(std::optional<Sys::Call> failed)> check;
    std::function<void(FaultySys&)> system; // how the system is besides the failure, if set
};

// Runs `s` once to count its calls, then once per call and kind of failure.
// Returns how many failures were injected.
int runSweep(const char* name, const Sweep& s) {
    s.setUp();
    FaultySys counting;
    if (s.system)
        s.system(counting);
    {
        SysOverride seam(counting);
        s.act();
    }
    {
        SCOPED_TRACE(std::string(name) + ", no failure");
        s.check(std::nullopt);
    }
    const std::vector<Sys::Call> calls = counting.log();
    int points = 0;
    for (int i = 1; i <= int(calls.size()); ++i) {
        // 0: the call comes back short; -1: short, and the next such call finds the disk full.
        for (const int error : {EIO, ENOSPC, 0, -1}) {
            const Sys::Call kind = calls[size_t(i - 1)];
            if (error <= 0 && !FaultySys::movesBytes(kind))
                continue;
            s.setUp();
            FaultySys faulty;
            if (s.system)
                s.system(faulty);
            if (error > 0)
                faulty.failAt(i, error);
            else if (error == 0)
                faulty.shortenAt(i);
            else
                faulty.fillUpAt(i);
            {
                SysOverride seam(faulty);
                s.act();
            }
            if (!faulty.fired())
                continue;
            ++points;
            SCOPED_TRACE(std::string(name) + ": call " + std::to_string(i) + " (" + Sys::callName(kind) +
                         ") " +
                         (error > 0    ? std::strerror(error)
                          : error == 0 ? "short"
                                       : "short, then full"));
            s.check(kind);
            if (::testing::Test::HasFailure())
                return points;
        }
    }
    std::printf("[ sweep    ] %s: %zu calls, %d failures injected\n", name, calls.size(), points);
    return points;
}

// The files of a folder by content (each test file's content is unique).
QMap<QString, QByteArray> filesIn(const Disk& disk, const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        out.insert(folder + u'/' + name, disk.read(folder + u'/' + name));
    return out;
}

// Takes the log's entries back in memory, newest first, from the files as they
// stand: the result must be the files as they were before any rename. Only the
// newest entry may be one whose file is already back (its cut failed).
void expectLogExplains(const QByteArray& log, QMap<QString, QByteArray> now,
                       const QMap<QString, QByteArray>& before) {
    EXPECT_TRUE(log.isEmpty() || log.endsWith("\r\n")) << "torn log: " << log.right(40).toStdString();
    const QVector<UndoRow> rows = UndoList::parse(log);
    for (qsizetype i = rows.size() - 1; i >= 0; --i) {
        const UndoRow& r = rows[i];
        ASSERT_TRUE(r.refused.isEmpty()) << r.refused.toStdString();
        const QString current = r.currentPath();
        if (!now.contains(current) && now.contains(r.before) && i == rows.size() - 1)
            continue;
        ASSERT_TRUE(now.contains(current)) << "logged, but not on disk: " << current.toStdString();
        ASSERT_FALSE(now.contains(r.before)) << "would replace " << r.before.toStdString();
        now.insert(r.before, now.take(current));
    }
    EXPECT_EQ(now, before);
}

void removeTemporaryFiles(const QString& folder) {
    for (const QString& name : QDir(folder).entryList({".vorlane-save.*"}, QDir::Files | QDir::Hidden))
        QFile::remove(folder + u'/' + name);
}

bool noTemporaryFileIn(const QString& folder) {
    return QDir(folder).entryList({".vorlane-save.*"}, QDir::Files | QDir::Hidden).isEmpty();
}

class FaultSweep : public ::testing::Test {
protected:
    FaultSweep() : list(options, prompts, editor, PosixFileSystem::instance()) {}

    // Fresh files, all selected, each with its new name in the editor.
    void prepare(const QString& folder, const QList<std::pair<QString, QString>>& files) {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        list.clear();
        for (const auto& [name, newName] : files) {
            disk.write(folder + u'/' + name, "content of " + name.toUtf8());
            list.AddItem(0, 0, true, folder + u'/' + name);
            editor.setLine(list.count() - 1, newName);
        }
        list.SelectAll1Click();
        prompts.shown.clear();
        prompts.script.clear();
    }
    bool told(int expectedBoxes) const { return prompts.shown.size() > expectedBoxes; }

    Disk disk;
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FileList list;
};

} // namespace

TEST_F(FaultSweep, RenameRun) {
    const QString folder = disk.path("files");
    const QString logPath = disk.path("vlnundo.txt");
    const QByteArray olderEntries = "/old/x\r\ny\r\n";
    QMap<QString, QByteArray> before;
    for (const bool resolve : {false, true}) {
        options.cbResolveChains = resolve;
        const QList<std::pair<QString, QString>> files =
            resolve ? QList<std::pair<QString, QString>>{{"a", "b"}, {"b", "a"}, {"c", "d"}}
                    : QList<std::pair<QString, QString>>{{"a", "a2"}, {"b", "b2"}, {"c", "c2"}};
        Sweep s;
        s.setUp = [&] {
            prepare(folder, files);
            before = filesIn(disk, folder);
            disk.write(logPath, olderEntries);
            // Every failure is ignored, so the run goes on to the next file.
            prompts.script = {Prompts::Answer::Yes};
            for (int i = 0; i < 10; ++i)
                prompts.script << Prompts::Answer::Ignore;
        };
        s.act = [&] { RenameRun(list, prompts, PosixFileSystem::instance(), logPath).Rename1Click(); };
        s.check = [&](std::optional<Sys::Call> failed) {
            const QMap<QString, QByteArray> now = filesIn(disk, folder);
            EXPECT_EQ(now.size(), before.size()) << "a file was lost or replaced";
            const QByteArray log = disk.read(logPath);
            ASSERT_TRUE(log.startsWith(olderEntries));
            expectLogExplains(log.mid(olderEntries.size()), now, before);
            bool allDone = true;
            for (const auto& [name, newName] : files)
                allDone = allDone && now.value(folder + u'/' + newName) == before.value(folder + u'/' + name);
            EXPECT_TRUE(allDone || failed) << "a clean run left a file";
            EXPECT_TRUE(allDone || told(1)) << "a file stayed as it was, untold";
        };
        EXPECT_GT(runSweep(resolve ? "rename, swap resolved" : "rename", s), 30);
    }
}

TEST_F(FaultSweep, TakeBack) {
    const QString folder = disk.path("files");
    const QString logPath = disk.path("vlnundo.txt");
    const QMap<QString, QByteArray> before = {{folder + "/a", "first"}, {folder + "/d", "second"}};
    TakeBackResult result;
    Sweep s;
    s.setUp = [&] {
        // a went to b, then b to c: the older rename stands on the newer one.
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        disk.write(folder + "/c", "first");
        disk.write(folder + "/e", "second");
        disk.write(logPath,
                   (folder + "/a\r\nb\r\n" + folder + "/b\r\nc\r\n" + folder + "/d\r\ne\r\n").toUtf8());
    };
    s.act = [&] { result = takeBackLast(logPath, 3, PosixFileSystem::instance()); };
    s.check = [&](std::optional<Sys::Call> failed) {
        const QMap<QString, QByteArray> now = filesIn(disk, folder);
        expectLogExplains(disk.read(logPath), now, before);
        EXPECT_TRUE(now == before || failed) << "a clean run left a file";
        EXPECT_TRUE(now == before || !result.error.isEmpty() || !result.failures.isEmpty()) << "untold";
    };
    EXPECT_GT(runSweep("take back", s), 20);
}

TEST_F(FaultSweep, ProjectSave) {
    const QString folder = disk.path("files");
    const QString project = disk.path("songs.vln");
    const QByteArray old = "an older project";
    bool ok = false;
    QString error;
    Sweep s;
    s.setUp = [&] {
        prepare(folder, {{"one.mp3", "1.mp3"}, {"two.mp3", "2.mp3"}});
        disk.write(project, old);
        removeTemporaryFiles(disk.root());
    };
    s.setUp();
    ASSERT_TRUE(saveProject(project, list, &error)) << error.toStdString();
    const QByteArray fresh = disk.read(project);
    s.act = [&] { ok = saveProject(project, list, &error); };
    s.check = [&](std::optional<Sys::Call> failed) {
        const QByteArray now = disk.read(project);
        EXPECT_TRUE(now == old || now == fresh) << now.left(60).toStdString();
        // Only a failed removal leaves the temporary file behind.
        EXPECT_TRUE(noTemporaryFileIn(disk.root()) || failed == Sys::Unlink);
        EXPECT_TRUE(now == fresh || failed) << "a clean run kept the old file";
        EXPECT_TRUE(now == fresh || (!ok && !error.isEmpty())) << "untold";
    };
    EXPECT_GT(runSweep("project save", s), 10);
}

TEST_F(FaultSweep, SettingsSave) {
    const QString path = disk.path("vln.ini");
    const QByteArray old = "[Main]\r\nA=1\r\n";
    const QByteArray fresh = "[Main]\r\nA=2\r\nB=x\r\n";
    Sweep s;
    s.setUp = [&] {
        disk.write(path, old);
        removeTemporaryFiles(disk.root());
        prompts.shown.clear();
    };
    s.act = [&] {
        IniFile ini(path, &prompts);
        IniFile::Batch batch(ini);
        ini.writeString("Main", "A", "2");
        ini.writeString("Main", "B", "x");
    };
    s.check = [&](std::optional<Sys::Call> failed) {
        const QByteArray now = disk.read(path);
        EXPECT_TRUE(now == old || now == fresh) << now.toStdString();
        EXPECT_TRUE(noTemporaryFileIn(disk.root()) || failed == Sys::Unlink);
        EXPECT_TRUE(now == fresh || failed) << "a clean run kept the old file";
        EXPECT_TRUE(now == fresh || told(0)) << "untold";
    };
    EXPECT_GT(runSweep("settings save", s), 10);
}

TEST_F(FaultSweep, CopyWithResume) {
    const QString folder = disk.path("files");
    const QString dest = disk.path("out");
    StepClock clock;
    ProbePump pump;
    QByteArray big(300 << 10, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 % 251);
    const QByteArray small = "a small file";
    Sweep s;
    s.setUp = [&] {
        prepare(folder, {{"big.bin", "big.bin"}, {"small.txt", "small.txt"}});
        disk.write(folder + "/big.bin", big);
        disk.write(folder + "/small.txt", small);
        QDir(dest).removeRecursively();
        QDir().mkpath(dest + "/0");
        disk.write(dest + "/0/big.bin", big.left(100 << 10)); // an earlier copy cut short
        prompts.script = QList<Prompts::Answer>(10, Prompts::Answer::Ignore);
    };
    s.act = [&] { CopyRun(list, prompts, clock, pump, nullptr).CopyFiles(dest); };
    s.check = [&](std::optional<Sys::Call> failed) {
        EXPECT_EQ(disk.read(folder + "/big.bin"), big);
        EXPECT_EQ(disk.read(folder + "/small.txt"), small);
        bool allDone = true;
        for (const auto& [name, bytes] : {std::pair{"big.bin", big}, std::pair{"small.txt", small}}) {
            const QByteArray copy = disk.read(dest + "/0/" + name);
            EXPECT_TRUE(bytes.startsWith(copy)) << name << " holds other bytes";
            allDone = allDone && copy == bytes;
        }
        bool toldError = false;
        for (const auto& box : prompts.shown)
            toldError = toldError || box.title == "Error!";
        EXPECT_TRUE(allDone || failed) << "a clean run left a copy unfinished";
        EXPECT_TRUE(allDone || toldError) << "untold";
    };
    EXPECT_GT(runSweep("copy with resume", s), 10);
    // Between file systems the kernel cannot copy by itself: read and write.
    s.system = [](FaultySys& system) { system.failEvery(Sys::CopyFileRange, EXDEV); };
    EXPECT_GT(runSweep("copy with resume, by read and write", s), 10);
}
