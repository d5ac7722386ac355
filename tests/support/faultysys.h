#pragma once

#include "core/platform/sys.h"

#include <cerrno>
#include <vector>

namespace vorlane {

// The system as it is, except for the one call a test picks: the Nth call of
// a kind (or the Nth call of any kind) fails with a chosen error number, or
// moves only part of its bytes. Every call is counted and its kind kept, so a
// sweep can first count the calls of a run and then fail each in turn.
class FaultySys : public Sys {
public:
    // Its counts follow one thread's order of calls.
    bool concurrent() const override { return false; }

    enum class Effect { Error, Short, ShortThenFull };

    // The `nth` call (from 1) of `kind` fails with `error`.
    void failNth(Call kind, int nth, int error) { m_plan = {kind, nth, Effect::Error, error}; }
    // The `nth` call of `kind` moves only half its bytes (at least one fewer).
    void shortenNth(Call kind, int nth) { m_plan = {kind, nth, Effect::Short, 0}; }
    // The `index`-th call (from 1) of any kind fails, or comes back short.
    void failAt(int index, int error) { m_plan = {kAnyCall, index, Effect::Error, error}; }
    void shortenAt(int index) { m_plan = {kAnyCall, index, Effect::Short, 0}; }
    // The `index`-th call moves half its bytes and the next call of its kind
    // fails with ENOSPC: a disk that fills up in the middle of a write.
    void fillUpAt(int index) { m_plan = {kAnyCall, index, Effect::ShortThenFull, 0}; }
    // Every call of `kind` fails with `error`, besides any other plan: the
    // system as some file systems are (no RENAME_NOREPLACE, no copy_file_range).
    void failEvery(Call kind, int error) { m_always[kind] = error; }

    int calls() const { return int(m_log.size()); }
    int calls(Call kind) const { return m_counts[kind]; }
    const std::vector<Call>& log() const { return m_log; }
    // Whether the planned failure happened.
    bool fired() const { return m_fired; }
    // Whether a call of this kind moves bytes and so can come back short.
    static bool movesBytes(Call kind) {
        return kind == Read || kind == Pread || kind == Write || kind == Pwrite || kind == CopyFileRange;
    }

    int open(const char* path, int flags, mode_t mode) override {
        return fails(Open) ? -1 : Sys::open(path, flags, mode);
    }
    int openTemp(char* pattern) override { return fails(Open) ? -1 : Sys::openTemp(pattern); }
    ssize_t read(int fd, void* buf, size_t n) override {
        return fails(Read, &n) ? -1 : Sys::read(fd, buf, n);
    }
    ssize_t pread(int fd, void* buf, size_t n, off_t at) override {
        return fails(Pread, &n) ? -1 : Sys::pread(fd, buf, n, at);
    }
    ssize_t write(int fd, const void* buf, size_t n) override {
        return fails(Write, &n) ? -1 : Sys::write(fd, buf, n);
    }
    ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) override {
        return fails(Pwrite, &n) ? -1 : Sys::pwrite(fd, buf, n, at);
    }
    int ftruncate(int fd, off_t size) override { return fails(Ftruncate) ? -1 : Sys::ftruncate(fd, size); }
    int fsync(int fd) override { return fails(Fsync) ? -1 : Sys::fsync(fd); }
    // The descriptor is gone even when close reports an error, as on Linux.
    int close(int fd) override {
        const bool fail = fails(Close);
        const int error = errno;
        Sys::close(fd);
        errno = error;
        return fail ? -1 : 0;
    }
    int fstat(int fd, struct ::stat* st) override { return fails(Fstat) ? -1 : Sys::fstat(fd, st); }
    int stat(const char* path, struct ::stat* st, bool follow) override {
        return fails(Stat) ? -1 : Sys::stat(path, st, follow);
    }
    off_t lseek(int fd, off_t at, int whence) override {
        return fails(Lseek) ? -1 : Sys::lseek(fd, at, whence);
    }
    int renameat2(int dir, const char* from, const char* to, unsigned flags) override {
        return fails(Renameat2) ? -1 : Sys::renameat2(dir, from, to, flags);
    }
    int rename(const char* from, const char* to) override {
        return fails(Rename) ? -1 : Sys::rename(from, to);
    }
    int unlink(const char* path) override { return fails(Unlink) ? -1 : Sys::unlink(path); }
    ssize_t copyFileRange(int in, off_t* inAt, int out, off_t* outAt, size_t n) override {
        return fails(CopyFileRange, &n) ? -1 : Sys::copyFileRange(in, inAt, out, outAt, n);
    }
    int mkdir(const char* path, mode_t mode) override { return fails(Mkdir) ? -1 : Sys::mkdir(path, mode); }
    int fchmod(int fd, mode_t mode) override { return fails(Fchmod) ? -1 : Sys::fchmod(fd, mode); }
    int fcntl(int fd, int cmd, int arg) override { return fails(Fcntl) ? -1 : Sys::fcntl(fd, cmd, arg); }
    DIR* opendir(const char* path) override { return fails(OpenDir) ? nullptr : Sys::opendir(path); }
    dirent* readdir(DIR* dir) override { return fails(ReadDir) ? nullptr : Sys::readdir(dir); }
    int closedir(DIR* dir) override {
        const bool fail = fails(CloseDir);
        const int error = errno;
        Sys::closedir(dir);
        errno = error;
        return fail ? -1 : 0;
    }

private:
    static constexpr Call kAnyCall = kCallKinds;
    struct Plan {
        Call kind = kAnyCall;
        int nth = -1; // 0: every call of the kind
        Effect effect = Effect::Error;
        int error = 0;
    };

    // Counts the call; true (errno set) when it is to fail. A call to be cut
    // short gets a smaller byte count in `n` and goes on.
    bool fails(Call kind, size_t* n = nullptr) {
        m_log.push_back(kind);
        const int ofKind = ++m_counts[kind];
        if (m_always[kind]) {
            errno = m_always[kind];
            return true;
        }
        if (m_fullFor == kind) {
            m_fullFor = kAnyCall;
            errno = ENOSPC;
            return true;
        }
        const bool hit = m_plan.kind == kAnyCall
                             ? m_plan.nth == calls()
                             : m_plan.kind == kind && (m_plan.nth == 0 || m_plan.nth == ofKind);
        if (!hit)
            return false;
        if (m_plan.effect != Effect::Error) {
            if (!n || *n < 2)
                return false;
            *n /= 2;
            m_fired = true;
            if (m_plan.effect == Effect::ShortThenFull)
                m_fullFor = kind;
            return false;
        }
        m_fired = true;
        errno = m_plan.error;
        return true;
    }

    Plan m_plan;
    int m_counts[kCallKinds + 1] = {};
    int m_always[kCallKinds + 1] = {};
    std::vector<Call> m_log;
    bool m_fired = false;
    Call m_fullFor = kAnyCall;
};

} // namespace vorlane
