// The exclusive open under two names of one device: the unit's runner makes
// a link to its slave, and whichever name a program opens, a second program
// is refused.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "qt/QtSerialPort.h"
#include "sim/PtyRunner.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

TEST(LinkUnderTwoNames, TheSecondProgramIsRefusedWhateverNameItUses) {
    TempDir config;
    const std::string link = config.Path + "/ttyBIKE";
    PtyRunner runner(std::make_shared<SimUnit>(), PtyRunner::Options{link, 55, 100});
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;

    FakePlatform host;
    host.Config = config.Path;
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
        std::this_thread::sleep_for(std::chrono::milliseconds(55));
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

} // namespace
} // namespace kelmor::test
