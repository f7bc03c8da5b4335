#pragma once
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kelmor::test {

// A program started with its standard output and error on pipes, and with
// some environment variables replaced. Ended by its id only.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (Pid > 0) {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, nullptr, 0);
        }
        for (int fd : {OutFd, ErrFd})
            if (fd >= 0) ::close(fd);
    }

    bool Start(const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& env) {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return false;
        if (::pipe2(err, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

        std::vector<std::string> envStrings;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            if (env.count(entry.substr(0, entry.find('='))) == 0) envStrings.push_back(entry);
        }
        for (const auto& [key, value] : env)
            envStrings.push_back(key + "=" + value);
        std::vector<char*> envp, args;
        for (std::string& s : envStrings)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        std::vector<std::string> argCopy = argv;
        for (std::string& s : argCopy)
            args.push_back(s.data());
        args.push_back(nullptr);

        const int rc = posix_spawn(&Pid, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        OutFd = out[0];
        ErrFd = err[0];
        if (rc != 0) Pid = -1;
        return rc == 0;
    }

    // Reads standard output up to the first line break, or gives up after `ms`.
    bool ReadLine(std::string& line, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const size_t nl = Out.find('\n');
            if (nl != std::string::npos) {
                line = Out.substr(0, nl);
                Out.erase(0, nl + 1);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || !Drain(static_cast<int>(left), true)) return false;
        }
    }

    // Reads both outputs until standard error holds `text`, or gives up after `ms`.
    bool WaitForErr(const std::string& text, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (Err.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 || !Drain(static_cast<int>(left), false)) return false;
        }
        return true;
    }

    // Waits for the end (killing the program after `ms`); its status as the
    // shell reports it (128 + n for a program that signal n ended), or -1
    // when it had to be killed.
    int Wait(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (OutFd >= 0 || ErrFd >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  end - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            Drain(static_cast<int>(left), false);
        }
        int status = 0;
        const bool killed = OutFd >= 0 || ErrFd >= 0;
        if (killed) ::kill(Pid, SIGKILL);
        ::waitpid(Pid, &status, 0);
        Pid = -1;
        if (killed) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    void Signal(int sig) {
        if (Pid > 0) ::kill(Pid, sig);
    }

    std::string Out, Err;

  private:
    // One round of reading whatever is there; false when both pipes are closed.
    bool Drain(int ms, bool stdoutOnly) {
        pollfd fds[2] = {{OutFd, POLLIN, 0}, {stdoutOnly ? -1 : ErrFd, POLLIN, 0}};
        if (fds[0].fd < 0 && fds[1].fd < 0) return false;
        const int r = ::poll(fds, 2, ms);
        if (r < 0 && errno != EINTR) return false;
        if (r <= 0) return true;
        char buf[4096];
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                (i == 0 ? Out : Err).append(buf, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                (i == 0 ? OutFd : ErrFd) = -1;
            }
        }
        return true;
    }

    pid_t Pid = -1;
    int OutFd = -1, ErrFd = -1;
};

} // namespace kelmor::test
