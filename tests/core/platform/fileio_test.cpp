#include "core/platform/fileio.h"

#include "support/diskfixture.h"
#include "support/faultysys.h"
#include "support/guards.h"
#include "support/qtprint.h"

#include <cstring>
#include <sys/stat.h>

using namespace vorlane;

TEST(OpenRegularFile, RefusesWhatIsNotAFileWithoutWaiting) {
    Disk disk;
    const QString fifo = disk.path("fifo");
    ASSERT_EQ(::mkfifo(encodeName(fifo).constData(), 0644), 0);
    const QString things[] = {fifo, disk.folder("folder"), "/dev/null"};
    for (const QString& path : things) {
        for (const int flags : {O_RDONLY, O_WRONLY, O_RDWR | O_APPEND, O_RDONLY | O_CREAT}) {
            EXPECT_EQ(inChild([&] {
                          const OpenedFile f = openRegularFile(path, flags);
                          return !f.ok() && f.error == "not a regular file";
                      }),
                      true)
                << path.toStdString() << " flags " << flags;
        }
    }
}

TEST(OpenRegularFile, FileComesBackBlocking) {
    Disk disk;
    const OpenedFile f = openRegularFile(disk.file("a.txt"), O_RDONLY);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(::fcntl(f.fd.get(), F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(f.fd.get(), F_GETFD) & FD_CLOEXEC, 0);
    EXPECT_EQ(openRegularFile(disk.path("missing"), O_RDONLY).error, std::strerror(ENOENT));
}

// Reads and writes go on after a signal and after a call that moved only part
// of the bytes, with or without an offset; only a real failure stops them.
TEST(ReadAndWriteFully, GoOnAfterShortCountsAndSignals) {
    Disk disk;
    QByteArray bytes(200000, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 13 % 251);
    struct Case {
        Sys::Call kind;
        int error; // 0: the first call comes back short
    };
    const Case cases[] = {{Sys::Write, 0},   {Sys::Write, EINTR}, {Sys::Pwrite, 0}, {Sys::Pwrite, EINTR},
                          {Sys::Read, 0},    {Sys::Read, EINTR},  {Sys::Pread, 0},  {Sys::Pread, EINTR},
                          {Sys::Write, EIO}, {Sys::Read, EIO}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Sys::callName(c.kind)) + " " + std::to_string(c.error));
        const QString path = disk.path("f.bin");
        QFile::remove(path);
        const bool writing = c.kind == Sys::Write || c.kind == Sys::Pwrite;
        const bool at = c.kind == Sys::Pwrite || c.kind == Sys::Pread;
        if (!writing)
            disk.write(path, bytes);
        OpenedFile f = openRegularFile(path, O_RDWR | O_CREAT);
        ASSERT_TRUE(f.ok());
        FaultySys system;
        if (c.error)
            system.failNth(c.kind, 1, c.error);
        else
            system.shortenNth(c.kind, 1);
        SysOverride seam(system);
        const bool fails = c.error == EIO;
        if (writing) {
            EXPECT_EQ(writeFully(f.fd.get(), bytes.constData(), size_t(bytes.size()), at ? 0 : -1), !fails);
            if (!fails) {
                EXPECT_EQ(disk.read(path), bytes);
            }
        } else {
            QByteArray got(bytes.size() + 10, '\0');
            const ssize_t n = readFully(f.fd.get(), got.data(), size_t(got.size()), at ? 0 : -1);
            EXPECT_EQ(n, fails ? -1 : bytes.size());
            if (!fails) {
                EXPECT_EQ(got.left(bytes.size()), bytes);
            }
        }
        EXPECT_TRUE(system.fired());
    }
}
