#pragma once
#include <memory>
#include <string>

#include "link/SerialPort.h"

namespace kelmor {

// The real serial port on a device ("COM3", "/dev/ttyUSB0") through the back
// end this build has: Qt's serial port where Qt is found, else the Win32 one
// on Windows. A build with neither gives a port whose Open() fails and says
// why.
std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device);

// Lets the back end take in what has arrived. A program without an event
// loop of its own (the command-line tool) calls it between ticks.
void PumpPortEvents();

} // namespace kelmor
