#include "serial/PortMap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
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
// Numbers of the devices "<prefix><digits>" in devDir, ascending.
std::vector<unsigned long> DeviceNumbers(const std::string& devDir, const std::string& prefix) {
    std::vector<unsigned long> numbers;
    std::error_code ec;
    for (fs::directory_iterator it(devDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) != 0;
            }))
            continue;
        numbers.push_back(std::stoul(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
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

std::string DefaultPortDevice(int comPort, [[maybe_unused]] const std::string& devDir) {
#ifdef _WIN32
    return "COM" + std::to_string(comPort);
#else
    std::vector<std::string> adapters;
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (unsigned long n : DeviceNumbers(devDir, prefix))
            adapters.push_back(devDir + "/" + prefix + std::to_string(n));
    if (comPort >= 1 && static_cast<size_t>(comPort) <= adapters.size())
        return adapters[static_cast<size_t>(comPort) - 1];
    return devDir + "/ttyS" + std::to_string(comPort - 1);
#endif
}

std::string PortDevice(int comPort, const std::string& configDir, bool simOnCom1,
                       const std::string& devDir) {
    if (simOnCom1 && comPort == 1) return SIM_PORT;
    IniFile ini;
    ini.Load(Utf8FromPath(PathFromUtf8(configDir) / "kelmor.ini"));
    const std::string key = "COM" + std::to_string(comPort);
    std::string value = ini.ReadString("PORTS", key, "");
    if (IsSim(value)) return SIM_PORT;
    if (!value.empty()) return value;
    return DefaultPortDevice(comPort, devDir);
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
