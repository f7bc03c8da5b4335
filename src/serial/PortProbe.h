#pragma once
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace kelmor {

// Where the system keeps what the probes below read. Tests point them at
// folders of their own.
struct ProbePaths {
    // udev's links named after each USB adapter's maker, product and serial number.
    std::string ById = "/dev/serial/by-id";
    // The folders where serial programs leave their lock files ("LCK..ttyUSB0").
    std::vector<std::string> LockDirs = {"/var/lock",       "/run/lock",  "/var/spool/locks",
                                         "/var/spool/uucp", "/etc/locks", "/tmp"};
    std::string Proc = "/proc";
};

// The name under which `device` is found again after a replug: a link is
// kept as it is; a USB adapter's node ("/dev/ttyUSB0", whose number may
// change) becomes its /dev/serial/by-id link; a pseudo-terminal has none
// (a new one is another line), which gives the empty text; anything else
// keeps its own name.
std::string FollowName(const std::string& device, const ProbePaths& paths = {});

// Why `device` could not be opened, found out after the fact: absent,
// refused to this user (with the group that may use it), or held by another
// program (with that program, from its lock file or its lock on the device).
// `reason` is the back end's own text, `seen` what the back end took the
// failure for: Absent (no such device), NoPermission or Busy (it was turned
// away, which a lock held by another program looks like too), or Unknown.
TOpenFailure DiagnoseOpenFailure(const std::string& device, const std::string& reason,
                                 TOpenFailure::TKind seen, const ProbePaths& paths = {});

// The program holding `device` by a lock file or a lock on the device itself,
// as "name (PID n)"; empty when none is found.
std::string DeviceHolder(const std::string& device, const ProbePaths& paths = {});

} // namespace kelmor
