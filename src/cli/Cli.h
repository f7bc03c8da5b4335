#pragma once
#include <atomic>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "sim/SimUnit.h"

namespace kelmor::cli {

// Exit statuses of kelmor-cli.
enum ExitStatus : int {
    ExitOk = 0,
    ExitUnitFailed = 1, // the unit failed the transfer, refused it, or did not answer
    ExitUnusable = 2,   // a port or a file could not be used, or a wrong command line
    ExitVersion = 3,    // the unit's program version or the file's version is not ours
    // Ended by a signal n after cleaning up: 128 + n, as the shell reports it
    // (130 Ctrl+C, 143 SIGTERM, 129 SIGHUP; 141 for a closed output pipe).
    ExitSignalBase = 128,
    ExitInterrupted = 130,
    ExitClosedPipe = 141,
};

// What the commands need from around them; tests replace the parts.
struct CliEnvironment {
    std::istream* In = nullptr; // for "-" as a file
    std::ostream* Out = nullptr;
    std::ostream* Err = nullptr;
    // Set by a stop signal; looked at every tick.
    const std::atomic<bool>* Stop = nullptr;
    // The number of the signal that set Stop (Ctrl+C when not known).
    const std::atomic<int>* StopSignal = nullptr;
    // Whether a failed write to Out was a closed pipe (EPIPE).
    std::function<bool()> OutputClosed;
    // COM n to "sim" or a device path; empty when ports cannot be mapped.
    std::function<std::string(int)> MapComPort;
    // The real serial port on a device path; a failed open tells why in LastError().
    std::function<std::unique_ptr<SerialPort>(const std::string& device)> MakeDevicePort;
    // Called between ticks on a real port.
    std::function<void()> Pump;
    // The unit behind "--port sim" (made on first use when not given).
    std::shared_ptr<SimUnit> InProcessUnit;
};

// The environment of the program itself: the given streams and the real serial back end.
CliEnvironment ProgramEnvironment(std::istream& in, std::ostream& out, std::ostream& err,
                                  const std::atomic<bool>* stop);

// Runs the command line (without the program name) and returns the exit status.
int RunCli(const std::vector<std::string>& args, CliEnvironment& env);

// The status for a run that a stop signal ended: 128 + its number.
int StopStatus(const CliEnvironment& env);

// "kelmor-cli 1.0 (unit protocol version 67)".
std::string VersionLine();

} // namespace kelmor::cli
