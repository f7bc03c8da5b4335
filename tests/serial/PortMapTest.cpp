#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "serial/PortMap.h"
#include "sim/SimSerialPort.h"
#include "storage/OsFile.h"
#include "support/TestFiles.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelmor {
namespace {

namespace fs = std::filesystem;

class PortMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Root = Folder.Path();
        ASSERT_FALSE(Root.empty());
        Dev = Root + "/dev";
        Config = Root + "/config";
        ASSERT_TRUE(fs::create_directory(Dev));
        ASSERT_TRUE(fs::create_directory(Config));
    }
    void Touch(const std::string& path) { std::ofstream(path).put('\n'); }
    void WriteIni(const std::string& text) {
        std::ofstream(Config + "/kelmor.ini", std::ios::binary) << text;
    }

    test::TempFolder Folder;
    std::string Root, Dev, Config;
};

#ifdef _WIN32
TEST_F(PortMapTest, DefaultsAreTheComPortsOfTheSameNumber) {
    for (int n : {1, 2, 9, 10})
        EXPECT_EQ(DefaultPortDevice(n), "COM" + std::to_string(n));
    WriteIni("[PORTS]\r\nCOM2=COM7\r\n");
    EXPECT_EQ(PortDevice(2, Config), "COM7");
    EXPECT_EQ(PortDevice(3, Config), "COM3");
}

// %APPDATA% is read wide, so a user name outside ASCII reaches the right folder.
TEST_F(PortMapTest, ConfigDirIsUnderAppDataAndIsCreated) {
    wchar_t old[32768];
    const DWORD had = ::GetEnvironmentVariableW(L"APPDATA", old, 32768);
    const std::string appData = Root + "/Dvo\u0159\u00e1k";
    ASSERT_TRUE(::SetEnvironmentVariableW(L"APPDATA", WideFromUtf8(appData).c_str()));
    const std::string dir = ConfigDir();
    ::SetEnvironmentVariableW(L"APPDATA", had > 0 ? old : nullptr);
    EXPECT_EQ(dir, Utf8FromPath(PathFromUtf8(appData) / "kelmor"));
    EXPECT_TRUE(fs::is_directory(PathFromUtf8(appData) / "kelmor"));
}
#else
TEST_F(PortMapTest, DefaultsReachUsbAdaptersFirstInNumericOrder) {
    for (const char* name :
         {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB0", "ttyUSBx", "ttyS0", "tty"})
        Touch(Dev + "/" + name);
    struct Case {
        int Com;
        const char* Device;
    };
    for (const Case& c : {Case{1, "/ttyUSB0"}, Case{2, "/ttyUSB2"}, Case{3, "/ttyUSB10"},
                          Case{4, "/ttyACM0"}, Case{5, "/ttyS4"}, Case{10, "/ttyS9"}}) {
        SCOPED_TRACE(c.Com);
        EXPECT_EQ(DefaultPortDevice(c.Com, Dev), Dev + c.Device);
    }
    // No adapters: the onboard ports by number.
    const std::string empty = Root + "/none";
    EXPECT_EQ(DefaultPortDevice(1, empty), empty + "/ttyS0");
}

TEST_F(PortMapTest, SettingsOverridePerNumberAndTheSimOptionTakesCom1) {
    Touch(Dev + "/ttyUSB0");
    WriteIni("[FORM_HLAV]\r\nComPort=2\r\n[PORTS]\r\nCOM2=/dev/serial/by-id/bike\r\nCOM3=Sim\r\n");
    EXPECT_EQ(PortDevice(1, Config, false, Dev), Dev + "/ttyUSB0");
    EXPECT_EQ(PortDevice(1, Config, true, Dev), SIM_PORT);
    EXPECT_EQ(PortDevice(2, Config, false, Dev), "/dev/serial/by-id/bike");
    EXPECT_EQ(PortDevice(2, Config, true, Dev), "/dev/serial/by-id/bike");
    EXPECT_EQ(PortDevice(3, Config, false, Dev), SIM_PORT);
    EXPECT_EQ(PortDevice(4, Config, false, Dev), Dev + "/ttyS3");
    // No settings file at all: the defaults.
    EXPECT_EQ(PortDevice(2, Root + "/missing", false, Dev), Dev + "/ttyS1");
}

TEST_F(PortMapTest, ConfigDirFollowsXdgAndIsCreated) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string keepXdg = oldXdg ? oldXdg : "", keepHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", (Root + "/xdg").c_str(), 1);
    EXPECT_EQ(ConfigDir(), Root + "/xdg/kelmor");
    EXPECT_TRUE(fs::is_directory(Root + "/xdg/kelmor"));

    // A relative XDG_CONFIG_HOME is not valid and falls back to the home folder.
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", Root.c_str(), 1);
    EXPECT_EQ(ConfigDir(), Root + "/.config/kelmor");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigDir(), Root + "/.config/kelmor");
    EXPECT_TRUE(fs::is_directory(Root + "/.config/kelmor"));

    if (oldXdg) ::setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", keepHome.c_str(), 1);
}
#endif

TEST_F(PortMapTest, FactoryMakesTheBackEndAndKeepsOneSimulatedUnit) {
    WriteIni("[PORTS]\r\nCOM2=sim\r\nCOM5=/dev/ttyKELMOR-none\r\n");
    std::unique_ptr<SerialPort> real = MakeSerialPort(5, Config);
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(dynamic_cast<SimSerialPort*>(real.get()), nullptr);
    EXPECT_FALSE(real->Open());
    EXPECT_FALSE(real->LastError().empty());

    std::unique_ptr<SerialPort> a = MakeSerialPort(2, Config);
    std::unique_ptr<SerialPort> b = MakeSerialPort(1, Config, true);
    ASSERT_NE(dynamic_cast<SimSerialPort*>(a.get()), nullptr);
    ASSERT_NE(dynamic_cast<SimSerialPort*>(b.get()), nullptr);
    EXPECT_EQ(&dynamic_cast<SimSerialPort&>(*a).Unit(), BuiltInSimUnit().get());
    EXPECT_EQ(&dynamic_cast<SimSerialPort&>(*b).Unit(), BuiltInSimUnit().get());
    // One cable: the second open waits until the first port is closed.
    ASSERT_TRUE(a->Open());
    EXPECT_FALSE(b->Open());
    a->Close(TTimeouts{});
    EXPECT_TRUE(b->Open());
    b->Close(TTimeouts{});
}

} // namespace
} // namespace kelmor
