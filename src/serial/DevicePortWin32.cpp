// Real ports through the Win32 communications calls.
#include "serial/DevicePort.h"
#include "serial/Win32SerialPort.h"

namespace kelmor {

std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device) {
    return std::make_unique<Win32SerialPort>(device);
}

// COM n is the port COMn: the map needs no list.
std::vector<PortInfo> ListPorts() {
    return {};
}

// Reads and writes are plain blocking calls: nothing waits for an event loop.
void PumpPortEvents() {}

} // namespace kelmor
