#include "sys.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace vorlane {

namespace {
Sys g_system;
Sys* g_current = &g_system;
} // namespace

const char* Sys::callName(Call call) {
    static const char* const names[kCallKinds] = {
        "open",   "read",  "pread",   "write",     "pwrite",  "ftruncate", "fsync",           "close",
        "fstat",  "stat",  "lseek",   "renameat2", "rename",  "unlink",    "copy_file_range", "mkdir",
        "fchmod", "fcntl", "opendir", "readdir",   "closedir"};
    return call >= 0 && call < kCallKinds ? names[call] : "?";
}

int Sys::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

int Sys::openTemp(char* pattern) {
    return ::mkostemp(pattern, O_CLOEXEC);
}

ssize_t Sys::read(int fd, void* buf, size_t n) {
    return ::read(fd, buf, n);
}

ssize_t Sys::pread(int fd, void* buf, size_t n, off_t at) {
    return ::pread(fd, buf, n, at);
}

ssize_t Sys::write(int fd, const void* buf, size_t n) {
    return ::write(fd, buf, n);
}

ssize_t Sys::pwrite(int fd, const void* buf, size_t n, off_t at) {
    return ::pwrite(fd, buf, n, at);
}

int Sys::ftruncate(int fd, off_t size) {
    return ::ftruncate(fd, size);
}

int Sys::fsync(int fd) {
    return ::fsync(fd);
}

int Sys::close(int fd) {
    return ::close(fd);
}

int Sys::fstat(int fd, struct ::stat* st) {
    return ::fstat(fd, st);
}

int Sys::stat(const char* path, struct ::stat* st, bool follow) {
    return follow ? ::stat(path, st) : ::lstat(path, st);
}

off_t Sys::lseek(int fd, off_t at, int whence) {
    return ::lseek(fd, at, whence);
}

int Sys::renameat2(int dir, const char* from, const char* to, unsigned flags) {
    return ::renameat2(dir, from, dir, to, flags);
}

int Sys::rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int Sys::unlink(const char* path) {
    return ::unlink(path);
}

ssize_t Sys::copyFileRange(int in, off_t* inAt, int out, off_t* outAt, size_t n) {
    return ::copy_file_range(in, inAt, out, outAt, n, 0);
}

int Sys::mkdir(const char* path, mode_t mode) {
    return ::mkdir(path, mode);
}

int Sys::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int Sys::fcntl(int fd, int cmd, int arg) {
    return ::fcntl(fd, cmd, arg);
}

DIR* Sys::opendir(const char* path) {
    return ::opendir(path);
}

dirent* Sys::readdir(DIR* dir) {
    return ::readdir(dir);
}

int Sys::closedir(DIR* dir) {
    return ::closedir(dir);
}

Sys& sys() {
    return *g_current;
}

SysOverride::SysOverride(Sys& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

SysOverride::~SysOverride() {
    g_current = m_previous;
}

} // namespace vorlane
