#include "cli/StopSignal.h"

#include <csignal>

namespace kelmor::cli {

namespace {

std::atomic<bool> StopFlag{false};
std::atomic<int> StopNumber{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");
static_assert(std::atomic<int>::is_always_lock_free, "the number is set from a signal handler");

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

void OnStopSignal(int signal) {
    int none = 0;
    StopNumber.compare_exchange_strong(none, signal); // the first one counts
    StopFlag.store(true);
}

} // namespace

const std::atomic<bool>* InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int s : STOP_SIGNALS)
        sigaction(s, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return &StopFlag;
}

const std::atomic<int>* StopSignalNumber() {
    return &StopNumber;
}

int FinishProcess(int status) {
    const int signal = status - 128;
    bool ours = signal == SIGPIPE;
    for (int s : STOP_SIGNALS)
        ours = ours || signal == s;
    if (!ours) return status;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    return status; // not reached while the signal's default is to end the process
}

} // namespace kelmor::cli
