// The Win32 serial port's own pieces; its work on a line is tested end to
// end, kelmor-cli.exe under Wine against the simulated unit on a tty.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "serial/Win32SerialPort.h"
#include "support/NewTempDir.h"

namespace kelmor {
namespace {

TEST(Win32SerialPort, ComNamesGoThroughTheDeviceNamespace) {
    struct Case {
        const char* Device;
        const char* System;
    };
    // COM10 and above open only as \\.\COMn; other names are taken as given.
    for (const Case& c :
         {Case{"COM1", "\\\\.\\COM1"}, Case{"com10", "\\\\.\\com10"},
          Case{"COM256", "\\\\.\\COM256"}, Case{"\\\\.\\COM3", "\\\\.\\COM3"}, Case{"COM", "COM"},
          Case{"COMx", "COMx"}, Case{"COM1234", "COM1234"}, Case{"C:\\port", "C:\\port"}}) {
        SCOPED_TRACE(c.Device);
        EXPECT_EQ(Win32SerialPort::SystemName(c.Device), c.System);
    }
}

TEST(Win32SerialPort, WhatIsNoPortDoesNotOpenAndSaysWhy) {
    const std::string dir = test::NewTempDir("kelmor-win32port-");
    ASSERT_FALSE(dir.empty());
    const std::string file = dir + "\\plain.txt";
    std::ofstream(file) << "not a port";
    struct Case {
        std::string Device;
        const char* Reason;
    };
    for (const Case& c : {Case{"COM99", "no such port"}, Case{file, "not a serial port"}}) {
        SCOPED_TRACE(c.Device);
        Win32SerialPort port(c.Device);
        EXPECT_FALSE(port.Open());
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.LastError(), c.Reason);
        // A port that is not open does nothing and reports nothing waiting.
        uint8_t b[4] = {1, 2, 3, 4};
        port.WriteBytes(b, sizeof b);
        port.WaitTransmitted();
        EXPECT_EQ(port.BytesWaiting(), 0u);
        EXPECT_EQ(port.ReadBytes(b, sizeof b), 0u);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

} // namespace
} // namespace kelmor
#endif
