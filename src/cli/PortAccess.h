#pragma once
#include <memory>
#include <string>

#include "link/SerialPort.h"

namespace kelmor::cli {

// The command-line tool's way to the real serial back end. The back end is a
// toolkit's; this header keeps the command logic free of it. A build without
// the back end answers every device with a port that cannot be opened.

// True when real serial devices can be opened by this build.
bool SerialBackEndAvailable();

// The device behind COM n (1..10) after the settings file's PORTS section, as
// the window maps it: a device path, or "sim" for the simulated unit. Empty
// when this build cannot map ports.
std::string MappedPortDevice(int comPort);

// The real serial port on `device`. When its Open() fails, the reason is
// written into *whyNot (which must outlive the port).
std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device, std::string* whyNot);

// Lets the back end take in what has arrived; called between ticks.
void PumpPortEvents();

} // namespace kelmor::cli
