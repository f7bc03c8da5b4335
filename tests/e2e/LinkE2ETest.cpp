// The real back end where the device misbehaves: reached under two names,
// and gone in the middle of a run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "link/Tick.h"
#include "serial/QtSerialPort.h"
#include "sim/PtyRunner.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

// The unit's runner makes a link to its slave; whichever name a program
// opens, a second program is refused.
TEST(LinkUnderTwoNames, TheSecondProgramIsRefusedWhateverNameItUses) {
    TempFolder config;
    const std::string link = config.Path() + "/ttyBIKE";
    PtyRunner runner(std::make_shared<SimUnit>(), PtyRunner::Options{link, TICK_MS, 100});
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;

    FakePlatform host;
    host.Config = config.Path();
    host.PortFactory = [&](int) { return std::make_unique<QtSerialPort>(link); };
    TFormHlav form(host);
    form.FormCreate({});
    ASSERT_TRUE(host.Boxes.empty());
    ASSERT_TRUE(form.SerialLink.IsOpen());

    // The slave's own name is a different lock file for Qt; the device lock still holds.
    QtSerialPort direct(runner.SlavePath());
    EXPECT_FALSE(direct.Open());
    EXPECT_FALSE(direct.LastError().empty());

    // The program on the link talks to the unit as usual.
    for (int t = 0; t < 8; ++t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(TICK_MS));
        QCoreApplication::processEvents();
        form.Timer1Timer();
    }
    EXPECT_EQ(form.MonitorCopy.Bytes[0], CMD_MONITOR_REPLY);
    EXPECT_LE(form.ConnectionAge, 6);

    form.FormClose();
    EXPECT_TRUE(direct.Open());
    direct.Close({});
    runner.Stop();
}

// The far end disappears mid-run (the pseudo-terminal's master closes, as a
// pulled adapter would): the tick keeps its pace and the program shows that
// the connection is gone, then finds the unit again on a fresh device.
TEST(VanishingDevice, TheTickKeepsItsPaceAndAReplugIsFound) {
    TempFolder config;
    auto runner = std::make_unique<PtyRunner>(std::make_shared<SimUnit>());
    std::string error;
    ASSERT_TRUE(runner->Start(error)) << error;
    std::string device = runner->SlavePath();

    FakePlatform host;
    host.Config = config.Path();
    host.PortFactory = [&](int) { return std::make_unique<QtSerialPort>(device); };
    TFormHlav form(host);
    form.FormCreate({});
    ASSERT_TRUE(form.SerialLink.IsOpen());
    auto tick = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(TICK_MS));
        QCoreApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        form.Timer1Timer();
        return std::chrono::steady_clock::now() - start;
    };
    for (int t = 0; t < 8; ++t)
        tick();
    ASSERT_EQ(form.MonitorCopy.Bytes[0], CMD_MONITOR_REPLY);

    runner.reset();
    for (int t = 0; t < 20; ++t)
        EXPECT_LT(tick(), std::chrono::milliseconds(150)) << "tick " << t;
    EXPECT_TRUE(form.Model()[ControlId::LabelSpojeni].Visible);
    EXPECT_TRUE(host.Boxes.empty());

    // Plugged in again (a new device): clicking the COM item reaches it.
    runner = std::make_unique<PtyRunner>(std::make_shared<SimUnit>());
    ASSERT_TRUE(runner->Start(error)) << error;
    device = runner->SlavePath();
    form.MenuCom1Click(ControlId::MenuCom1);
    ASSERT_TRUE(host.Boxes.empty());
    for (int t = 0; t < 8; ++t)
        tick();
    EXPECT_FALSE(form.Model()[ControlId::LabelSpojeni].Visible);
    form.FormClose();
}

} // namespace
} // namespace kelmor::test
