// Ctrl+C, Ctrl+Break and the console's close on Windows.
#include <windows.h>

#include "cli/StopSignal.h"

namespace kelmor::cli {

namespace {

std::atomic<bool> StopFlag{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    StopFlag.store(true);
    // The system ends the process when the handler of a close, log-off or
    // shutdown returns: give the command its next tick to clean up first.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) ::Sleep(200);
    return TRUE;
}

} // namespace

const std::atomic<bool>* InstallStopSignals() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    return &StopFlag;
}

} // namespace kelmor::cli
