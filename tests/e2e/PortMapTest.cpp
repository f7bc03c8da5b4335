#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "qt/PortMap.h"
#include "qt/QtSerialPort.h"
#include "sim/SimSerialPort.h"
#include "support/TestFiles.h"

namespace kelmor {
namespace {

class PortMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Root = Folder.Path();
        Dev = Root + "/dev";
        Config = Root + "/config";
        ASSERT_EQ(::mkdir(Dev.c_str(), 0700), 0);
        ASSERT_EQ(::mkdir(Config.c_str(), 0700), 0);
    }
    void Touch(const std::string& path) { std::ofstream(path).put('\n'); }
    void WriteIni(const std::string& text) {
        std::ofstream(Config + "/kelmor.ini", std::ios::binary) << text;
    }

    test::TempFolder Folder;
    std::string Root, Dev, Config;
};

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

TEST_F(PortMapTest, FactoryMakesTheBackEndAndKeepsOneSimulatedUnit) {
    WriteIni("[PORTS]\r\nCOM2=sim\r\nCOM5=/dev/ttyKELMOR-none\r\n");
    std::unique_ptr<SerialPort> real = MakeSerialPort(5, Config);
    auto* qt = dynamic_cast<QtSerialPort*>(real.get());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->Device(), "/dev/ttyKELMOR-none");
    EXPECT_FALSE(qt->Open());
    EXPECT_FALSE(qt->LastError().empty());

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

TEST_F(PortMapTest, ConfigDirFollowsXdgAndIsCreated) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string keepXdg = oldXdg ? oldXdg : "", keepHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", (Root + "/xdg").c_str(), 1);
    EXPECT_EQ(ConfigDir(), Root + "/xdg/kelmor");
    struct stat st {};
    EXPECT_EQ(::stat((Root + "/xdg/kelmor").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    // A relative XDG_CONFIG_HOME is not valid and falls back to the home folder.
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", Root.c_str(), 1);
    EXPECT_EQ(ConfigDir(), Root + "/.config/kelmor");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigDir(), Root + "/.config/kelmor");
    EXPECT_EQ(::stat((Root + "/.config/kelmor").c_str(), &st), 0);

    if (oldXdg) ::setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", keepHome.c_str(), 1);
}

} // namespace
} // namespace kelmor
