// The real serial back end when the line goes wrong under a running program:
// the far end closes in the middle of a transfer or while the monitor runs,
// another program holds the device, the device node disappears. The window
// must say so as specified, keep every tick short, and find the unit again
// when the COM item is chosen once the device is back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
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
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A tick may wait for the line at most the 100 ms read timeout; the rest is
// headroom for a loaded machine.
constexpr milliseconds TICK_LIMIT{150};

class Unplug : public ::testing::Test {
  protected:
    void SetUp() override {
        Host.Config = Config.Path();
        Host.PortFactory = [this](int) { return std::make_unique<QtSerialPort>(Device); };
    }
    void TearDown() override {
        std::printf("slowest tick: %.1f ms\n",
                    std::chrono::duration<double, std::milli>(Slowest).count());
        if (Form) Form->FormClose();
        Runner.reset();
    }

    // Puts the unit on a fresh pseudo-terminal (a new device), under `link`
    // when given.
    void PlugIn(const std::string& link = "") {
        Runner = std::make_unique<PtyRunner>(Unit, PtyRunner::Options{link, TICK_MS, 100});
        std::string error;
        ASSERT_TRUE(Runner->Start(error)) << error;
        Device = Runner->DevicePath();
    }
    // The far end closes: the pseudo-terminal is gone for good.
    void PullOut() { Runner.reset(); }

    void Start() {
        Form = std::make_unique<TFormHlav>(Host);
        Form->FormCreate({});
    }

    // One tick at the program's pace; keeps the slowest and when the
    // connection was last confirmed and first reported lost.
    void Tick() {
        std::this_thread::sleep_for(milliseconds(TICK_MS));
        QCoreApplication::processEvents();
        const uint8_t age = Form->ConnectionAge;
        const auto start = Clock::now();
        Form->Timer1Timer();
        Slowest = std::max(Slowest, Clock::now() - start);
        ++TickNo;
        // A frame taken sets the age to 0, and the tick counts it to 1.
        if (Form->ConnectionAge == 1 && age != 0) LastAccepted = TickNo;
        const bool lost = S(C::LabelSpojeni).Visible;
        if (lost && LostFrom < 0) LostFrom = TickNo;
        if (!lost) LostFrom = -1;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Tick();
    }
    // Ticks until a frame from the unit is taken.
    void Connect() {
        const int from = TickNo;
        for (int t = 0; t < 20 && LastAccepted <= from; ++t)
            Tick();
        ASSERT_GT(LastAccepted, from) << "no frame from the unit";
        ASSERT_EQ(Form->MonitorCopy.Bytes[0], CMD_MONITOR_REPLY);
        ASSERT_FALSE(S(C::LabelSpojeni).Visible);
    }

    const ControlState& S(C id) { return Form->Model()[id]; }
    const std::string& Status() { return S(C::LabelHlaseni).Caption; }

    // A program transfer goes through and the unit holds the window's set.
    void ProgramGoesThrough() {
        Form->Params().Advance[1] = static_cast<uint8_t>(Form->Params().Advance[1] + 1);
        Form->ShowParams();
        Form->MenuProgramClick();
        for (int t = 0; t < 64 && Form->Mode != tmIdle; ++t)
            Tick();
        ASSERT_EQ(Form->Mode, tmIdle);
        EXPECT_TRUE(Form->ProgramDone);
        // The unit may still be saving a write from before the line went.
        EXPECT_TRUE(Status() == Form->Messages.MsgProgramming + ": OK" ||
                    Status() == Form->Messages.MsgSaving)
            << Status();
        Runner->WithUnit([&](SimUnit& u) {
            EXPECT_EQ(std::memcmp(&u.Params(), &Form->Params(), sizeof(TIgnParams)), 0);
            return 0;
        });
    }

    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::unique_ptr<PtyRunner> Runner;
    std::string Device;
    TempFolder Config;
    FakePlatform Host;
    std::unique_ptr<TFormHlav> Form;
    Clock::duration Slowest{};
    int TickNo = 0, LastAccepted = -1, LostFrom = -1;
};

TEST_F(Unplug, FarEndClosesDuringATransferOrTheMonitor) {
    struct Case {
        const char* Name;
        void (TFormHlav::*Start)();
        uint8_t PullAt; // the page command under way when the far end closes
        std::string TMessageTable::*Error;
    } cases[] = {
        {"monitor", nullptr, 0, nullptr},
        {"program", &TFormHlav::MenuProgramClick, 0x01, &TMessageTable::MsgProgramError},
        {"read", &TFormHlav::MenuReadClick, 0x41, &TMessageTable::MsgReadError},
        {"verify", &TFormHlav::MenuVerifyClick, 0x41, &TMessageTable::MsgVerifyError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        PlugIn();
        if (!Form)
            Start();
        else
            Form->MenuCom1Click(C::MenuCom1);
        ASSERT_TRUE(Host.Boxes.empty());
        ASSERT_NO_FATAL_FAILURE(Connect());

        // Replies wait for two polls of the unit's line (at least one 55 ms
        // period), so the far end closes between a request and its answer.
        Runner->WithUnit([](SimUnit& u) { return u.Options().Faults.DelayPolls = 2; });
        int pulledAt = TickNo;
        if (c.Start != nullptr) {
            (Form.get()->*c.Start)();
            for (int t = 0; t < 30 && !(Form->PageCommand == c.PullAt && Form->RetryCount == 1 &&
                                        Form->TickCount <= 1);
                 ++t)
                Tick();
            ASSERT_EQ(Form->PageCommand, c.PullAt);
            pulledAt = TickNo;
        }
        PullOut();

        // The transfer gives up after the fifth send of its page, 19 or 20
        // ticks on (3 or 4 ticks per send), in red.
        for (int t = 0; t < 40; ++t) {
            Tick();
            if (c.Start != nullptr && Form->Mode == tmIdle) break;
        }
        if (c.Start != nullptr) {
            EXPECT_EQ(Form->Mode, tmIdle);
            EXPECT_GE(TickNo - pulledAt, 19);
            EXPECT_LE(TickNo - pulledAt, 20);
            EXPECT_EQ(Status(), Form->Messages.*c.Error);
            EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::Red);
            EXPECT_TRUE(S(C::LabelHlaseni).Visible);
            Ticks(2);
        }
        // No connection, 18 ticks after the last frame taken.
        EXPECT_TRUE(S(C::LabelSpojeni).Visible);
        EXPECT_EQ(LostFrom - LastAccepted, 18);
        EXPECT_TRUE(Host.Boxes.empty());
        EXPECT_LT(Slowest, TICK_LIMIT);
    }

    // Back on a new device: choosing the COM item finds the unit again.
    PlugIn();
    Form->MenuCom1Click(C::MenuCom1);
    EXPECT_TRUE(Host.Boxes.empty());
    ASSERT_NO_FATAL_FAILURE(Connect());
    ProgramGoesThrough();
    EXPECT_LT(Slowest, TICK_LIMIT);
}

TEST_F(Unplug, PortHeldByAnotherProgram) {
    PlugIn();
    // Another program: a process of its own that opens the device and locks it.
    int held[2];
    ASSERT_EQ(::pipe(held), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        const int fd = ::open(Device.c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t n = ::write(held[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(held[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);

    Start();
    // The box names the device and the program holding it.
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(
        Host.Boxes[0].rfind("Com opening error!\n" + Device + ": in use by another program (", 0),
        0u)
        << Host.Boxes[0];
    EXPECT_NE(Host.Boxes[0].find("PID " + std::to_string(other) + ")"), std::string::npos)
        << Host.Boxes[0];
    EXPECT_FALSE(Form->SerialLink.IsOpen());
    Ticks(18);
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
    Tick();
    EXPECT_TRUE(S(C::LabelSpojeni).Visible) << "from the 19th tick on";
    Form->MenuProgramClick();
    for (int t = 0; t < 30 && Form->Mode != tmIdle; ++t)
        Tick();
    EXPECT_EQ(Status(), Form->Messages.MsgProgramError);
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::Red);

    // Still held: choosing the item again says so again.
    Form->MenuCom1Click(C::MenuCom1);
    EXPECT_EQ(Host.Boxes.size(), 2u);
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    ::close(held[0]);
    ::close(held[1]);

    Form->MenuCom1Click(C::MenuCom1);
    EXPECT_EQ(Host.Boxes.size(), 2u);
    ASSERT_TRUE(Form->SerialLink.IsOpen());
    ASSERT_NO_FATAL_FAILURE(Connect());
    ProgramGoesThrough();
    EXPECT_LT(Slowest, TICK_LIMIT);
}

TEST_F(Unplug, DeviceNodeDisappears) {
    const std::string link = Config.Path() + "/ttyBIKE";
    PlugIn(link);
    Start();
    ASSERT_TRUE(Host.Boxes.empty());
    ASSERT_NO_FATAL_FAILURE(Connect());

    // The node goes first (an open device lives on without its name), then
    // the device itself.
    ASSERT_EQ(::unlink(link.c_str()), 0);
    Ticks(8);
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
    PullOut();
    Ticks(20);
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);

    // Choosing the item while the node is missing: the open error, and the
    // ticks go on.
    Form->MenuCom1Click(C::MenuCom1);
    EXPECT_EQ(Host.Boxes, std::vector<std::string>{"Com opening error!\n" + link +
                                                   ": no such device. Is the cable plugged in?"});
    EXPECT_FALSE(Form->SerialLink.IsOpen());
    Ticks(3);
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);

    // The node is back: the item reaches the unit again.
    PlugIn(link);
    Form->MenuCom1Click(C::MenuCom1);
    EXPECT_EQ(Host.Boxes.size(), 1u);
    ASSERT_NO_FATAL_FAILURE(Connect());
    ProgramGoesThrough();
    EXPECT_LT(Slowest, TICK_LIMIT);
}

// Pulled and plugged in again under the same name while the port is open:
// the window finds the unit by itself, the read-outs meanwhile show no value.
TEST_F(Unplug, TheDeviceComesBackByItself) {
    const std::string link = Config.Path() + "/ttyBIKE";
    PlugIn(link);
    Start();
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_NE(S(C::LabelRpm).Caption, "RPM = ---");

    PullOut();
    Ticks(20);
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = ---");
    EXPECT_EQ(S(C::CGaugeRpm).Progress, 0);
    EXPECT_EQ(Form->PortReopens, 0u);

    // Back: open again and a frame taken within about a second (18 ticks).
    PlugIn(link);
    const int back = TickNo;
    for (int t = 0; t < 18 && LastAccepted <= back; ++t)
        Tick();
    EXPECT_GT(LastAccepted, back) << "no frame within 18 ticks";
    std::printf("first frame %d ticks after the device came back\n", LastAccepted - back);
    EXPECT_EQ(Form->PortReopens, 1u);
    EXPECT_TRUE(Host.Boxes.empty());
    Tick();
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
    EXPECT_NE(S(C::LabelRpm).Caption, "RPM = ---");
    ProgramGoesThrough();
    EXPECT_LT(Slowest, TICK_LIMIT);
}

} // namespace
} // namespace kelmor::test
