#pragma once
#include <memory>
#include <string>

#include "link/SerialPort.h"
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
// Linux: the n-th USB serial adapter, /dev/ttyUSB* then /dev/ttyACM* in
// numeric order, so a plugged-in adapter is COM1; beyond them /dev/ttyS(n-1).
// `devDir` is "/dev" except in tests.
std::string DefaultPortDevice(int comPort, const std::string& devDir = "/dev");

// The device of COM n after the settings: "sim" or a device path. The file
// "kelmor.ini" in `configDir`, section PORTS, keys COM1..COM10, overrides
// the default per number; `simOnCom1` (the program's --sim) puts COM1 on the
// simulated unit for this run whatever the file says.
std::string PortDevice(int comPort, const std::string& configDir, bool simOnCom1 = false,
                       const std::string& devDir = "/dev");

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
