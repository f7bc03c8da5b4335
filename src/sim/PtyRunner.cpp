#include "sim/PtyRunner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace kelmor {

namespace {

using Clock = std::chrono::steady_clock;

std::string SystemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

int MsUntil(Clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count();
    return ms < 0 ? 0 : static_cast<int>(ms);
}

} // namespace

PtyRunner::PtyRunner(std::shared_ptr<SimUnit> unit) : PtyRunner(std::move(unit), Options{}) {}

PtyRunner::PtyRunner(std::shared_ptr<SimUnit> unit, Options options)
    : Unit(std::move(unit)), Opts(std::move(options)) {}

PtyRunner::~PtyRunner() {
    Stop();
    CloseAll();
}

bool PtyRunner::Open(std::string& error) {
    if (Master >= 0) return true;
    if (!Unit) {
        error = "no unit to run";
        return false;
    }
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0) {
        error = SystemError("posix_openpt");
        return false;
    }
    char name[128] = {};
    if (grantpt(Master) != 0 || unlockpt(Master) != 0 ||
        ptsname_r(Master, name, sizeof name) != 0) {
        error = SystemError("pseudo-terminal set-up");
        CloseAll();
        return false;
    }
    Slave = name;
    // Holding the slave keeps the master readable while the program's side
    // is closed; raw mode keeps the tty from echoing or editing frames.
    SlaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (SlaveHold < 0 || tcgetattr(SlaveHold, &tio) != 0) {
        error = SystemError("opening the slave");
        CloseAll();
        return false;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    tcsetattr(SlaveHold, TCSANOW, &tio);
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    fcntl(Master, F_SETFD, FD_CLOEXEC);

    if (pipe2(Wake, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = SystemError("pipe");
        CloseAll();
        return false;
    }

    if (!Opts.LinkPath.empty()) {
        struct stat st {};
        if (lstat(Opts.LinkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = Opts.LinkPath + " exists and is not a symbolic link";
                CloseAll();
                return false;
            }
            ::unlink(Opts.LinkPath.c_str());
        }
        if (::symlink(Slave.c_str(), Opts.LinkPath.c_str()) != 0) {
            error = SystemError(("linking " + Opts.LinkPath).c_str());
            CloseAll();
            return false;
        }
        LinkMade = true;
    }
    return true;
}

void PtyRunner::CloseAll() {
    if (LinkMade) {
        // Only our own link: another runner may have taken the name since.
        char target[256] = {};
        const ssize_t n = ::readlink(Opts.LinkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && Slave == std::string(target, static_cast<size_t>(n)))
            ::unlink(Opts.LinkPath.c_str());
        LinkMade = false;
    }
    for (int* fd : {&Master, &SlaveHold, &Wake[0], &Wake[1]})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
}

void PtyRunner::WriteOut(const uint8_t* bytes, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(Master, bytes, n);
        if (w > 0) {
            bytes += w;
            n -= static_cast<size_t>(w);
        } else if (w < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody is reading and the tty is full: the line loses the rest.
            return;
        }
    }
}

void PtyRunner::Run(const std::atomic<bool>* stop) {
    if (Master < 0) return;
    std::vector<uint8_t> out;
    uint8_t buf[4096];
    auto nextPoll = Clock::now() + std::chrono::milliseconds(Opts.PollMs);
    auto lastByte = Clock::now();

    while (!StopFlag.load() && !(stop != nullptr && stop->load())) {
        // Wake at least every 50 ms to look at the caller's stop flag.
        const int timeout = std::min(MsUntil(nextPoll), 50);
        pollfd fds[2] = {{Master, POLLIN, 0}, {Wake[0], POLLIN, 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0 && errno != EINTR) break;

        bool polled = false;
        if (r > 0 && (fds[0].revents & POLLIN) != 0) {
            const ssize_t n = ::read(Master, buf, sizeof buf);
            if (n > 0) {
                lastByte = Clock::now();
                std::lock_guard<std::mutex> lock(UnitMutex);
                Unit->Receive(buf, static_cast<size_t>(n));
                Unit->Poll(out);
                polled = true;
            }
        } else if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR)) != 0) {
            // No one on the slave side (cannot last while we hold it): do not spin.
            ::usleep(20000);
        }
        if (r > 0 && (fds[1].revents & POLLIN) != 0)
            while (::read(Wake[0], buf, sizeof buf) > 0) {
            }

        const auto now = Clock::now();
        if (now >= nextPoll) {
            std::lock_guard<std::mutex> lock(UnitMutex);
            if (!polled) Unit->Poll(out);
            if (Unit->PartialBytes() > 0 &&
                now - lastByte > std::chrono::milliseconds(Opts.ResyncMs))
                Unit->ResetFraming();
            nextPoll = now + std::chrono::milliseconds(Opts.PollMs);
        }
        if (!out.empty()) {
            WriteOut(out.data(), out.size());
            out.clear();
        }
    }
}

bool PtyRunner::Start(std::string& error) {
    if (Thread.joinable()) return true;
    if (!Open(error)) return false;
    StopFlag = false;
    Thread = std::thread([this] { Run(); });
    return true;
}

void PtyRunner::RequestStop() {
    StopFlag.store(true);
    if (Wake[1] >= 0) {
        const char c = 1;
        [[maybe_unused]] const ssize_t w = ::write(Wake[1], &c, 1);
    }
}

void PtyRunner::Stop() {
    RequestStop();
    if (Thread.joinable()) Thread.join();
}

} // namespace kelmor
