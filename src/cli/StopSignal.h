#pragma once
#include <atomic>

namespace kelmor::cli {

// Makes Ctrl+C (SIGINT), SIGTERM and SIGHUP set the returned flag instead of
// ending the process, so that every command ends at its next tick and cleans
// up (the port is closed, the simulated unit removes its link). A closed
// output pipe shows as a failed write (EPIPE) instead of ending the process.
const std::atomic<bool>* InstallStopSignals();

// The number of the signal that set the flag; 0 before one came.
const std::atomic<int>* StopSignalNumber();

// The end of the process once the tool has cleaned up. A status of 128 + n
// for a stop signal n, or for a closed pipe, ends the process by that signal,
// as the shell expects of a program it stopped (so $? is 128 + n and a
// calling script stops as well); any other status is returned.
int FinishProcess(int status);

} // namespace kelmor::cli
