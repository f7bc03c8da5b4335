#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "serial/PortMap.h"
#include "sim/SimSerialPort.h"
#include "storage/OsFile.h"
#include "support/TestFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
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
        EXPECT_EQ(DefaultPortDevice(n, {}), "COM" + std::to_string(n));
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
    std::vector<PortInfo> listed;
    for (const char* name :
         {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB0", "ttyUSBx", "ttyS0", "ttyAMA0", "rfcomm1"})
        listed.push_back({std::string("/dev/") + name, "", "", ""});
    struct Case {
        int Com;
        const char* Device;
    };
    for (const Case& c :
         {Case{1, "/dev/ttyUSB0"}, Case{2, "/dev/ttyUSB2"}, Case{3, "/dev/ttyUSB10"},
          Case{4, "/dev/ttyACM0"}, Case{5, "/dev/ttyS4"}, Case{10, "/dev/ttyS9"}}) {
        SCOPED_TRACE(c.Com);
        EXPECT_EQ(DefaultPortDevice(c.Com, listed), c.Device);
    }
    // No adapters: the onboard ports by number.
    EXPECT_EQ(DefaultPortDevice(1, {}), "/dev/ttyS0");
}

TEST_F(PortMapTest, SettingsOverridePerNumberAndTheSimOptionTakesCom1) {
    const std::vector<PortInfo> listed = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1234"}};
    WriteIni("[FORM_HLAV]\r\nComPort=2\r\n[PORTS]\r\nCOM2=/dev/serial/by-id/bike\r\nCOM3=Sim\r\n");
    EXPECT_EQ(PortDevice(1, Config, false, &listed), "/dev/ttyUSB0");
    EXPECT_EQ(PortDevice(1, Config, true, &listed), SIM_PORT);
    EXPECT_EQ(PortDevice(2, Config, false, &listed), "/dev/serial/by-id/bike");
    EXPECT_EQ(PortDevice(2, Config, true, &listed), "/dev/serial/by-id/bike");
    EXPECT_EQ(PortDevice(3, Config, false, &listed), SIM_PORT);
    EXPECT_EQ(PortDevice(4, Config, false, &listed), "/dev/ttyS3");
    // No settings file at all: the defaults.
    EXPECT_EQ(PortDevice(2, Root + "/missing", false, &listed), "/dev/ttyS1");
}

// What the Com menu shows: the adapter's own words where the system lists
// the device (also under a link to it), else whether anything is there.
TEST_F(PortMapTest, DescriptionsSayWhatIsBehindEachNumber) {
    Touch(Dev + "/ttyUSB0");
    Touch(Dev + "/ttyBIKE");
    ASSERT_EQ(::symlink((Dev + "/ttyUSB0").c_str(), (Dev + "/by-id-adapter").c_str()), 0);
    const std::vector<PortInfo> listed = {{Dev + "/ttyUSB0", "FT232R USB UART", "FTDI", "A1234"},
                                          {Dev + "/ttyUSB1", "", "Prolific", ""}};
    WriteIni("[PORTS]\r\nCOM1=" + Dev + "/by-id-adapter\r\nCOM2=" + Dev +
             "/ttyUSB1\r\nCOM3=sim\r\nCOM4=" + Dev + "/ttyBIKE\r\nCOM5=" + Dev + "/gone\r\n");
    using K = ComPortSummary::TKind;
    struct Case {
        int Com;
        K Kind;
        const char* Product;
        const char* Serial;
    } cases[] = {
        {1, K::Present, "FT232R USB UART", "A1234"}, // the link finds the listed node
        {2, K::Present, "Prolific", ""},             // listed though not a file here: the maker
        {3, K::Simulated, "", ""},
        {4, K::Present, "", ""}, // a device the list does not name
        {5, K::Missing, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Com);
        const ComPortSummary s = DescribeComPort(c.Com, Config, false, listed);
        EXPECT_EQ(s.Kind, c.Kind);
        EXPECT_EQ(s.Product, c.Product);
        EXPECT_EQ(s.SerialNumber, c.Serial);
    }
    EXPECT_EQ(DescribeComPort(1, Config, true, listed).Kind, K::Simulated);
    EXPECT_EQ(DescribeComPort(5, Config, false, listed).Device, Dev + "/gone");
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
