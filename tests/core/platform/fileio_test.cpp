#include "core/platform/fileio.h"

#include "support/diskfixture.h"
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
                          return f.fd < 0 && f.error == "not a regular file";
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
    EXPECT_EQ(::fcntl(f.fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(f.fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(f.fd);
    EXPECT_EQ(openRegularFile(disk.path("missing"), O_RDONLY).error, std::strerror(ENOENT));
}
