#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace vorlane {

// The system calls the core makes on files and folders, behind one seam so
// that tests can make any of them fail (the Nth call of a kind, with a chosen
// error number) or come back short, the way a full disk, a failing device or
// a signal would. Each mirrors its POSIX call: -1 (or null) with errno set.
// Paths are the file-name codec's bytes.
class Sys {
public:
    enum Call {
        Open,
        Read,
        Pread,
        Write,
        Pwrite,
        Ftruncate,
        Fsync,
        Close,
        Fstat,
        Stat,
        Lseek,
        Renameat2,
        Rename,
        Unlink,
        CopyFileRange,
        Mkdir,
        Fchmod,
        Fcntl,
        OpenDir,
        ReadDir,
        CloseDir,
        kCallKinds
    };
    static const char* callName(Call call);

    virtual ~Sys() = default;

    // Whether calls may come from two threads at once. The system's own may;
    // a test double that counts and fails calls in order may not.
    virtual bool concurrent() const { return true; }

    // open(2); O_CLOEXEC is the caller's to add.
    virtual int open(const char* path, int flags, mode_t mode);
    // mkostemp(3) with O_CLOEXEC: creates a new file from a name ending in XXXXXX.
    virtual int openTemp(char* pattern);
    virtual ssize_t read(int fd, void* buf, size_t n);
    virtual ssize_t pread(int fd, void* buf, size_t n, off_t at);
    virtual ssize_t write(int fd, const void* buf, size_t n);
    virtual ssize_t pwrite(int fd, const void* buf, size_t n, off_t at);
    virtual int ftruncate(int fd, off_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int fstat(int fd, struct ::stat* st);
    // stat(2), or lstat(2) when `follow` is false.
    virtual int stat(const char* path, struct ::stat* st, bool follow = true);
    virtual off_t lseek(int fd, off_t at, int whence);
    // renameat2(2) with both paths relative to the folder descriptor `dir`
    // (AT_FDCWD: the working folder).
    virtual int renameat2(int dir, const char* from, const char* to, unsigned flags);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual ssize_t copyFileRange(int in, off_t* inAt, int out, off_t* outAt, size_t n);
    virtual int mkdir(const char* path, mode_t mode);
    virtual int fchmod(int fd, mode_t mode);
    // fcntl(2) with an int argument (F_GETFL, F_SETFL).
    virtual int fcntl(int fd, int cmd, int arg);
    virtual DIR* opendir(const char* path);
    // Null at the end of the folder with errno untouched, or null with errno
    // set when the listing failed.
    virtual dirent* readdir(DIR* dir);
    virtual int closedir(DIR* dir);
};

// The seam in use: the system itself unless a test put another in its place.
Sys& sys();

// Puts `replacement` in place of the seam for the lifetime of this object.
class SysOverride {
public:
    explicit SysOverride(Sys& replacement);
    ~SysOverride();
    SysOverride(const SysOverride&) = delete;
    SysOverride& operator=(const SysOverride&) = delete;

private:
    Sys* m_previous;
};

} // namespace vorlane
