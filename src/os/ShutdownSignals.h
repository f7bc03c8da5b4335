#pragma once

namespace kelmor {

// The signals that end a desktop program from outside: SIGTERM (kill, a
// shutdown), SIGINT (Ctrl+C in the terminal that started it) and SIGHUP
// (a logout). Each becomes a byte on a pipe, which the event loop watches,
// so the window can close as when the user closes it, instead of the process
// ending at once. Where these signals do not exist, nothing is installed.
namespace ShutdownSignals {

// Installs the handlers (once); the descriptor to watch for reading, or -1.
int Install();

// Empties the pipe; the last signal taken, or 0 when none was waiting.
int Take();

} // namespace ShutdownSignals

} // namespace kelmor
