#pragma once
#include <atomic>

namespace kelmor::cli {

// Makes Ctrl+C (SIGINT) and SIGTERM set the returned flag instead of ending
// the process, so that every command ends at its next tick and cleans up
// (the simulated unit removes its link). A closed output pipe is reported as
// a write error rather than ending the process.
const std::atomic<bool>* InstallStopSignals();

} // namespace kelmor::cli
