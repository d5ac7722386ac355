#pragma once

#include <functional>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

// Runs `fn` in a child process that an alarm ends after `seconds`, so a call
// that blocks fails the test instead of hanging it. Nothing when the child
// hung or crashed, else what `fn` returned.
inline std::optional<bool> inChild(const std::function<bool()>& fn, unsigned seconds = 10) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        ::_exit(fn() ? 0 : 1);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}
