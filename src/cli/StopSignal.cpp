#include "cli/StopSignal.h"

#include <csignal>

namespace kelmor::cli {

namespace {

std::atomic<bool> StopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void OnStopSignal(int) {
    StopFlag.store(true);
}

} // namespace

const std::atomic<bool>* InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return &StopFlag;
}

} // namespace kelmor::cli
