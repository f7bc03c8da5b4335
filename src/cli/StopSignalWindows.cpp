// Ctrl+C, Ctrl+Break and the console's close on Windows.
#include <windows.h>

#include "cli/StopSignal.h"

namespace kelmor::cli {

namespace {

std::atomic<bool> StopFlag{false};
std::atomic<int> StopNumber{0};

// Ctrl+C and Ctrl+Break count as SIGINT, a close, log-off or shutdown as
// SIGTERM, so that the exit statuses are those of the other systems.
constexpr int SignalInterrupt = 2;
constexpr int SignalTerminate = 15;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    int none = 0; // the first one counts
    StopNumber.compare_exchange_strong(none, interrupt ? SignalInterrupt : SignalTerminate);
    StopFlag.store(true);
    // The system ends the process when the handler of a close, log-off or
    // shutdown returns: give the command its next tick to clean up first.
    if (!interrupt) ::Sleep(200);
    return TRUE;
}

} // namespace

const std::atomic<bool>* InstallStopSignals() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    return &StopFlag;
}

const std::atomic<int>* StopSignalNumber() {
    return &StopNumber;
}

// Windows has no ending by a signal: the status says it.
int FinishProcess(int status) {
    return status;
}

} // namespace kelmor::cli
