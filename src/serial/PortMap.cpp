#include "serial/PortMap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "serial/DevicePort.h"
#include "sim/SimSerialPort.h"
#include "storage/IniFile.h"
#include "storage/OsFile.h"

#ifdef _WIN32
#include <cwchar>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace kelmor {

namespace {

namespace fs = std::filesystem;

bool IsSim(const std::string& value) {
    if (value.size() != 3) return false;
    return std::equal(value.begin(), value.end(), SIM_PORT, [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

#ifndef _WIN32
// The number of a device named "<prefix><digits>", or -1.
long DeviceNumber(const std::string& device, const std::string& prefix) {
    const size_t slash = device.rfind('/');
    const std::string name = slash == std::string::npos ? device : device.substr(slash + 1);
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return -1;
    return std::stol(digits);
}

std::string HomeDir() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return ".";
}
#endif

} // namespace

std::string ConfigDir() {
    fs::path dir;
#ifdef _WIN32
    // Read wide: a user name outside the ANSI code page would not survive getenv.
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    dir = (appData != nullptr && *appData != L'\0' ? fs::path(appData) : fs::path(".")) / "kelmor";
#else
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg == '/')
        dir = PathFromUtf8(xdg) / "kelmor";
    else
        dir = PathFromUtf8(HomeDir()) / ".config" / "kelmor";
#endif
    std::error_code ec;
    fs::create_directories(dir, ec);
    return Utf8FromPath(dir);
}

std::string DefaultPortDevice(int comPort, [[maybe_unused]] const std::vector<PortInfo>& ports) {
#ifdef _WIN32
    return "COM" + std::to_string(comPort);
#else
    std::vector<std::string> adapters;
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        std::vector<std::pair<long, std::string>> numbered;
        for (const PortInfo& p : ports)
            if (const long n = DeviceNumber(p.Device, prefix); n >= 0)
                numbered.emplace_back(n, p.Device);
        std::sort(numbered.begin(), numbered.end());
        for (const auto& [n, device] : numbered)
            adapters.push_back(device);
    }
    if (comPort >= 1 && static_cast<size_t>(comPort) <= adapters.size())
        return adapters[static_cast<size_t>(comPort) - 1];
    return "/dev/ttyS" + std::to_string(comPort - 1);
#endif
}

std::string PortDevice(int comPort, const std::string& configDir, bool simOnCom1,
                       const std::vector<PortInfo>* ports) {
    if (simOnCom1 && comPort == 1) return SIM_PORT;
    IniFile ini;
    ini.Load(Utf8FromPath(PathFromUtf8(configDir) / "kelmor.ini"));
    const std::string key = "COM" + std::to_string(comPort);
    std::string value = ini.ReadString("PORTS", key, "");
    if (IsSim(value)) return SIM_PORT;
    if (!value.empty()) return value;
    return DefaultPortDevice(comPort, ports != nullptr ? *ports : ListPorts());
}

ComPortSummary DescribeComPort(int comPort, const std::string& configDir, bool simOnCom1,
                               const std::vector<PortInfo>& ports) {
    ComPortSummary s;
    s.Device = PortDevice(comPort, configDir, simOnCom1, &ports);
    if (s.Device == SIM_PORT) {
        s.Kind = ComPortSummary::TKind::Simulated;
        return s;
    }
    // A link (by-id, or one of the user's) finds the adapter listed under its node.
    std::error_code ec;
    const fs::path real = fs::canonical(PathFromUtf8(s.Device), ec);
    for (const PortInfo& p : ports) {
        std::error_code ec2;
        if (p.Device != s.Device && (ec || fs::canonical(PathFromUtf8(p.Device), ec2) != real))
            continue;
        s.Kind = ComPortSummary::TKind::Present;
        s.Product = !p.Description.empty() ? p.Description : p.Manufacturer;
        s.SerialNumber = p.SerialNumber;
        return s;
    }
#ifdef _WIN32
    // COM names are no files; without a list, whether one is there is not known.
    s.Kind = ComPortSummary::TKind::Present;
#else
    s.Kind = ec ? ComPortSummary::TKind::Missing : ComPortSummary::TKind::Present;
#endif
    return s;
}

std::shared_ptr<SimUnit> BuiltInSimUnit() {
    static std::shared_ptr<SimUnit> unit = std::make_shared<SimUnit>();
    return unit;
}

std::shared_ptr<SimLine> BuiltInSimLine() {
    static std::shared_ptr<SimLine> line = std::make_shared<SimLine>();
    return line;
}

std::unique_ptr<SerialPort> MakeSerialPort(int comPort, const std::string& configDir,
                                           bool simOnCom1) {
    const std::string device = PortDevice(comPort, configDir, simOnCom1);
    if (device == SIM_PORT) {
        // One cable to the one unit: a second open fails, as on a real port.
        return std::make_unique<SimSerialPort>(BuiltInSimUnit(), BuiltInSimLine());
    }
    return MakeDevicePort(device);
}

} // namespace kelmor
