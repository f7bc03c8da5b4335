#pragma once
#include <memory>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace kelmor {

// The real serial port on a device ("COM3", "/dev/ttyUSB0") through the back
// end this build has: Qt's serial port where Qt is found, else the Win32 one
// on Windows. A build with neither gives a port whose Open() fails and says
// why.
std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device);

// A serial port the system lists, as the back end tells it.
struct PortInfo {
    std::string Device;       // "/dev/ttyUSB0", "COM3"
    std::string Description;  // "FT232R USB UART"; empty when not known
    std::string Manufacturer; // "FTDI"
    std::string SerialNumber; // "A1234"
};

// The serial ports the system lists now: Qt's list where the Qt back end is
// built, none otherwise.
std::vector<PortInfo> ListPorts();

// Lets the back end take in what has arrived. A program without an event
// loop of its own (the command-line tool) calls it between ticks.
void PumpPortEvents();

} // namespace kelmor
