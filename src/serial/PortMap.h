#pragma once
#include <memory>
#include <string>

#include <vector>

#include "link/SerialPort.h"
#include "serial/DevicePort.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUnit.h"

namespace kelmor {

// The word that puts a COM number on the built-in simulated unit.
inline constexpr const char* SIM_PORT = "sim";

// The folder of the settings file and the start-up image: on Linux
// $XDG_CONFIG_HOME/kelmor, else ~/.config/kelmor; on Windows %APPDATA%\kelmor.
// Created when missing.
std::string ConfigDir();

// The device COM n (1..10) reaches without any setting. Windows: "COMn".
// Linux: the n-th USB serial adapter among `ports` (the system's list),
// /dev/ttyUSB* then /dev/ttyACM* in numeric order, so a plugged-in adapter
// is COM1; beyond them /dev/ttyS(n-1).
std::string DefaultPortDevice(int comPort, const std::vector<PortInfo>& ports);

// The device of COM n after the settings: "sim" or a device path. The file
// "kelmor.ini" in `configDir`, section PORTS, keys COM1..COM10, overrides
// the default per number; `simOnCom1` (the program's --sim) puts COM1 on the
// simulated unit for this run whatever the file says. The default comes
// from `ports`, or from ListPorts() when none is given.
std::string PortDevice(int comPort, const std::string& configDir, bool simOnCom1 = false,
                       const std::vector<PortInfo>* ports = nullptr);

// What is behind a COM number now, for the Com menu.
struct ComPortSummary {
    enum class TKind : uint8_t {
        Simulated, // the built-in simulated unit
        Present,   // a device that is there (Product and SerialNumber where the list has them)
        Missing,   // a device path with nothing behind it now
    };
    TKind Kind = TKind::Missing;
    std::string Device;
    std::string Product; // the adapter's description, else its maker
    std::string SerialNumber;
};
ComPortSummary DescribeComPort(int comPort, const std::string& configDir, bool simOnCom1,
                               const std::vector<PortInfo>& ports);

// The port behind COM n: the real serial port on the mapped device
// (MakeDevicePort), or the built-in simulated unit.
std::unique_ptr<SerialPort> MakeSerialPort(int comPort, const std::string& configDir,
                                           bool simOnCom1 = false);

// The simulated unit of this run, shared by every port mapped to "sim", so it
// keeps what was programmed into it when the port is reopened.
std::shared_ptr<SimUnit> BuiltInSimUnit();
// Its cable: one port open on it at a time, and a plug to pull in a demo.
std::shared_ptr<SimLine> BuiltInSimLine();

} // namespace kelmor
