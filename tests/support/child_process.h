// Child processes for the tests of several writers: run side by side, killed, or run alone.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Runs `body` in a new process that ends with exit status 0 when `body` returns true, 1 when
// it returns false or throws. Returns the child's id, or -1 when it could not be started.
inline pid_t Spawn(const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
        }
        _exit(ok ? 0 : 1);
    }
    return pid;
}

// True when the child ended by itself with exit status 0.
inline bool ExitedCleanly(pid_t pid) {
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Kills the child with SIGKILL and reaps it; true when the signal, not the child, ended it.
inline bool KillAndReap(pid_t pid) {
    kill(pid, SIGKILL);
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFSIGNALED(status);
}

// Runs `writer(0)` … `writer(count - 1)` in as many processes at once; true when all succeed.
inline bool SideBySide(int count, const std::function<bool(int)>& writer) {
    std::vector<pid_t> children;
    children.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) children.push_back(Spawn([&, i] { return writer(i); }));
    bool all = true;
    for (pid_t pid : children) all = ExitedCleanly(pid) && all;
    return all;
}

// Runs `body` in a child process set up by `prepare` there, and hands back the text it
// returned ("prepare failed" when `prepare` returned false).
inline std::string InChild(const std::function<bool()>& prepare,
                           const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = Spawn([&] {
        close(fds[0]);
        const std::string result = prepare() ? body() : "prepare failed";
        return write(fds[1], result.data(), result.size()) == static_cast<ssize_t>(result.size());
    });
    close(fds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    ExitedCleanly(pid);
    return result;
}

}  // namespace testing_support
