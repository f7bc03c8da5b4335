// The main window's link on the real serial back end, talking over a
// pseudo-terminal to the simulated unit, ticked at the real 55 ms pace.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "link/Tick.h"
#include "serial/QtSerialPort.h"
#include "sim/PtyRunner.h"
#include "sim/SimUnit.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class LinkOverPty : public ::testing::Test {
  protected:
    void SetUp() override {
        Runner = std::make_unique<PtyRunner>(Unit);
        std::string error;
        ASSERT_TRUE(Runner->Start(error)) << error;
        Host.Config = Config.Path();
        Host.PortFactory = [this](int) {
            return std::make_unique<QtSerialPort>(Runner->DevicePath());
        };
    }
    void TearDown() override { Runner->Stop(); }

    // Time passes and Qt runs, as between two ticks of the program's timer.
    static void Pause() {
        std::this_thread::sleep_for(std::chrono::milliseconds(TICK_MS));
        QCoreApplication::processEvents();
    }
    static void Tick(TFormHlav& form) {
        Pause();
        form.Timer1Timer();
    }
    uint64_t MonitorRequests() {
        return Runner->WithUnit([](SimUnit& u) { return u.Stats().MonitorRequests; });
    }

    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::unique_ptr<PtyRunner> Runner;
    TempFolder Config;
    FakePlatform Host;
};

TEST_F(LinkOverPty, MonitorEverySixthTickKeepsTheConnection) {
    TFormHlav form(Host);
    form.FormCreate({});
    ASSERT_TRUE(form.SerialLink.IsOpen());
    ASSERT_TRUE(Host.Boxes.empty());

    for (int t = 1; t <= 38; ++t) {
        Pause();
        // Requests leave at ticks 6, 12, ...; by the next tick the unit has each.
        EXPECT_EQ(MonitorRequests(), static_cast<uint64_t>((t - 1) / 6)) << "tick " << t;
        form.Timer1Timer();
        if (t >= 7) {
            // The reply to each request is taken one tick later and resets the age.
            EXPECT_EQ(form.ConnectionAge, (t - 7) % 6 + 1) << "tick " << t;
            EXPECT_FALSE(form.Model()[C::LabelSpojeni].Visible) << "tick " << t;
        }
    }
    EXPECT_EQ(form.MonitorCopy.Bytes[0], CMD_MONITOR_REPLY);
    EXPECT_EQ(form.MonitorCopy.IgnVersion(), PC_VERSION);
}

TEST_F(LinkOverPty, ProgramTransferGoesThroughAndTheUnitSaves) {
    TFormHlav form(Host);
    form.FormCreate({});
    ASSERT_TRUE(form.SerialLink.IsOpen());
    const uint16_t countBefore = Runner->WithUnit([](SimUnit& u) { return u.ProgrammingCount(); });

    form.Params().Advance[2] = 27;
    form.Params().Reserved8 = 0x42;
    form.StartProgram();
    int ticks = 0;
    while (form.Mode != tmIdle && ticks < 40) {
        Tick(form);
        ++ticks;
    }
    ASSERT_EQ(form.Mode, tmIdle);
    EXPECT_TRUE(form.ProgramDone);
    EXPECT_EQ(form.Model()[C::LabelHlaseni].Caption, form.Messages.MsgProgramming + ": OK");
    Runner->WithUnit([&](SimUnit& u) {
        EXPECT_EQ(std::memcmp(&u.Params(), &form.Params(), sizeof(TIgnParams)), 0);
        EXPECT_EQ(u.ProgrammingCount(), countBefore + 1);
        return 0;
    });

    // The unit's monitor frames then report its saving.
    for (int t = 0; t < 10 && form.SavingCountdown == 0; ++t)
        Tick(form);
    EXPECT_GT(form.SavingCountdown, 0);
    EXPECT_EQ(form.Model()[C::LabelHlaseni].Caption, form.Messages.MsgSaving);

    // Reading it back gives the same 50 bytes, the reserved ones included.
    const TIgnParams programmed = form.Params();
    SetDefaults(form.Params());
    form.Params().Reserved7 = form.Params().Reserved8 = form.Params().Reserved19 = 0;
    form.ShowParams();
    form.MenuReadClick();
    ticks = 0;
    while (form.Mode != tmIdle && ticks < 60) {
        Tick(form);
        ++ticks;
    }
    // The unit may still be saving, which the idle part of the same tick shows.
    ASSERT_EQ(form.Mode, tmIdle);
    const std::string& status = form.Model()[C::LabelHlaseni].Caption;
    EXPECT_TRUE(status == form.Messages.MsgVerify + ": OK" || status == form.Messages.MsgSaving)
        << status;
    EXPECT_EQ(std::memcmp(&programmed, &form.Params(), sizeof(TIgnParams)), 0);
    EXPECT_EQ(form.Params().Reserved8, 0x42);
}

TEST_F(LinkOverPty, SecondOpenOfTheSamePortFails) {
    TFormHlav first(Host);
    first.FormCreate({});
    ASSERT_TRUE(first.SerialLink.IsOpen());

    FakePlatform otherHost;
    otherHost.Config = Config.Path();
    otherHost.PortFactory = Host.PortFactory;
    TFormHlav second(otherHost);
    second.FormCreate({});
    EXPECT_FALSE(second.SerialLink.IsOpen());
    ASSERT_EQ(otherHost.Boxes.size(), 1u);
    // The box says the port is held (the holder is this very process, not named).
    EXPECT_EQ(otherHost.Boxes[0].rfind(second.Messages.MsgComOpenError + "\n", 0), 0u);
    EXPECT_NE(otherHost.Boxes[0].find(": in use by another program"), std::string::npos)
        << otherHost.Boxes[0];

    // Once the first lets go, the second gets the line and the unit answers it.
    first.ClosePort();
    second.MenuCom1Click(C::MenuCom1);
    ASSERT_TRUE(second.SerialLink.IsOpen());
    EXPECT_EQ(otherHost.Boxes.size(), 1u);
    for (int t = 0; t < 8; ++t)
        Tick(second);
    EXPECT_LE(second.ConnectionAge, 6);
    EXPECT_EQ(second.MonitorCopy.Bytes[0], CMD_MONITOR_REPLY);
}

// A program that takes the device with flock() alone (not Qt's lock file)
// still keeps the port from us.
TEST_F(LinkOverPty, DeviceLockedByAnotherProgram) {
    const int fd = ::open(Runner->SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    QtSerialPort port(Runner->DevicePath());
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
    ::close(fd);
    EXPECT_TRUE(port.Open());
    port.Close({});
    EXPECT_FALSE(port.IsOpen());
}

TEST(QtSerialPortAlone, MissingDeviceDoesNotOpenAndIgnoresCalls) {
    QtSerialPort port("/dev/kelmor-no-such-device");
    EXPECT_FALSE(port.Open());
    uint8_t buf[8] = {};
    port.WriteBytes(buf, sizeof buf);
    port.WaitTransmitted();
    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_EQ(port.ReadBytes(buf, sizeof buf), 0u);
}

} // namespace
} // namespace kelmor::test
