#include "os/ShutdownSignals.h"

#if defined(__unix__) || defined(__APPLE__)

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace kelmor::ShutdownSignals {

namespace {

int Pipe[2] = {-1, -1};

void OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe already holds a request to close.
    [[maybe_unused]] const ssize_t n = ::write(Pipe[1], &byte, 1);
    errno = saved;
}

bool MakePipe() {
    if (::pipe(Pipe) != 0) return false;
    for (int fd : Pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}

} // namespace

int Install() {
    if (Pipe[0] >= 0) return Pipe[0];
    if (!MakePipe()) return -1;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
    return Pipe[0];
}

int Take() {
    int last = 0;
    unsigned char bytes[16];
    ssize_t n = 0;
    while (Pipe[0] >= 0 && (n = ::read(Pipe[0], bytes, sizeof bytes)) > 0)
        last = bytes[n - 1];
    return last;
}

} // namespace kelmor::ShutdownSignals

#else

namespace kelmor::ShutdownSignals {

int Install() {
    return -1;
}

int Take() {
    return 0;
}

} // namespace kelmor::ShutdownSignals

#endif
