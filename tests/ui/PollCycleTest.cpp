// The 55 ms tick: receiving, the monitor schedule, the status line and the
// no-connection label.
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class PollCycle : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    void FeedMonitor() {
        uint8_t data[50] = {};
        data[49] = PC_VERSION;
        Feed(CMD_MONITOR_REPLY, data);
    }
};

TEST_F(PollCycle, MonitorRequestEverySixthIdleTick) {
    Line.Written.clear();
    Form->TickCount = 0;
    for (int tick = 1; tick <= 18; ++tick) {
        Form->Timer1Timer();
        EXPECT_EQ(Sent(CMD_MONITOR), tick / 6) << "tick " << tick;
    }
    TLinkFrame expected;
    BuildFrame(expected, CMD_MONITOR, nullptr);
    ASSERT_GE(Line.Written.size(), FRAME_SIZE);
    EXPECT_TRUE(std::equal(expected.Bytes.begin(), expected.Bytes.end(), Line.Written.begin()));
    EXPECT_EQ(Line.Written[51], 0xCF);
}

TEST_F(PollCycle, IncompleteFrameWaitsForItsLastByte) {
    TLinkFrame f;
    uint8_t data[50] = {};
    data[49] = PC_VERSION;
    BuildFrame(f, CMD_MONITOR_REPLY, data);
    Form->ConnectionAge = 10;
    Line.Received.assign(f.Bytes.begin(), f.Bytes.end() - 1);
    Form->Timer1Timer();
    EXPECT_EQ(Line.Received.size(), 51u) << "51 bytes must stay in the queue";
    EXPECT_EQ(Form->ConnectionAge, 11);
    Line.Received.push_back(f.Bytes[51]);
    Form->Timer1Timer();
    EXPECT_TRUE(Line.Received.empty());
    EXPECT_EQ(Form->ConnectionAge, 1) << "accepted, then counted once in the same tick";
}

TEST_F(PollCycle, NoConnectionLabelFromTheNineteenthTick) {
    Form->ConnectionAge = 0;
    for (int tick = 1; tick <= 18; ++tick) {
        Form->Timer1Timer();
        EXPECT_FALSE(S(C::LabelSpojeni).Visible) << "tick " << tick;
    }
    Form->Timer1Timer();
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);

    FeedMonitor();
    Form->Timer1Timer();
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
}

TEST_F(PollCycle, NoConnectionHidesTheVersionWarning) {
    W().SetVisible(C::LabelVersion, true);
    Form->ConnectionAge = 18;
    Form->Timer1Timer();
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);
    EXPECT_FALSE(S(C::LabelVersion).Visible);
}

TEST_F(PollCycle, StatusLineHoldsTwoHundredTicks) {
    Form->MessageHold = 200;
    Form->ProgramDone = true;
    Form->SavingCountdown = 0;
    for (int tick = 1; tick <= 200; ++tick) {
        Form->Timer1Timer();
        ASSERT_TRUE(S(C::LabelHlaseni).Visible) << "tick " << tick;
    }
    W().SetVisible(C::CGaugeProgram, true);
    Form->Timer1Timer();
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    EXPECT_FALSE(S(C::CGaugeProgram).Visible);
    EXPECT_FALSE(Form->ProgramDone);
}

TEST_F(PollCycle, PrintingHidesStatusAndConnectionLabels) {
    Form->Printing = true;
    Form->MessageHold = 5;
    Form->ConnectionAge = 18;
    Form->Timer1Timer();
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
    EXPECT_EQ(Form->MessageHold, 4) << "the hold still counts down while printing";
}

TEST_F(PollCycle, SavingGauge) {
    struct Case {
        uint16_t countdown;
        int progress;
    } cases[] = {{53, 0}, {52, 0}, {36, 0}, {35, 1}, {18, 1}, {17, 2}, {1, 2}, {54, 0}, {1000, 0}};
    for (const Case& c : cases) {
        Form->SavingCountdown = c.countdown;
        W().SetProgress(C::CGaugeProgram, 99);
        Form->Timer1Timer();
        EXPECT_EQ(S(C::CGaugeProgram).Progress, c.progress) << c.countdown;
        EXPECT_EQ(S(C::LabelHlaseni).Caption, Form->Messages.MsgSaving);
        EXPECT_EQ(Form->MessageHold, 199);
    }
}

TEST_F(PollCycle, ProgramSuccessCaptionWhenNotSaving) {
    Form->SavingCountdown = 0;
    Form->ProgramDone = true;
    Form->MessageHold = 10;
    W().SetColour(C::LabelHlaseni, Colour::Red);
    Form->Timer1Timer();
    EXPECT_EQ(S(C::LabelHlaseni).Caption, Form->Messages.MsgProgramming + ": OK");
    EXPECT_EQ(S(C::CGaugeProgram).Progress, 3);
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::Red) << "the colour is not changed";
}

TEST_F(PollCycle, OnlyTheFirstOfTwoWaitingFramesIsHandled) {
    uint8_t data[50] = {};
    data[0] = 0x34; // rpm 0x1234 without pick-up: LiveRpm stays 0
    data[41] = 1;   // Snimac
    data[49] = PC_VERSION;
    Feed(CMD_MONITOR_REPLY, data);
    data[0] = 0x10;
    data[1] = 0x00;
    Feed(CMD_MONITOR_REPLY, data);
    Form->Timer1Timer();
    EXPECT_EQ(Form->LiveRpm, 0x34) << "the second frame is read and discarded";
    EXPECT_TRUE(Line.Received.empty());
}

TEST_F(PollCycle, AtMostFifteenThousandBytesPerTick) {
    Line.Received.assign(15000 + 100, 0x55);
    Form->Timer1Timer();
    EXPECT_EQ(Line.Received.size(), 100u);
    Form->Timer1Timer();
    EXPECT_TRUE(Line.Received.empty());
}

TEST_F(PollCycle, GarbageIsDroppedWithoutASignOfLife) {
    Form->ConnectionAge = 5;
    Line.Received.assign(200, 0xB0);
    Form->Timer1Timer();
    EXPECT_EQ(Form->ConnectionAge, 6);
    Line.Received.assign(52, 0x00);
    Form->Timer1Timer();
    EXPECT_EQ(Form->ConnectionAge, 7);
}

TEST_F(PollCycle, AShortReadNeverTakesTheLastFrameAgain) {
    FeedMonitor();
    Form->Timer1Timer();
    ASSERT_EQ(Form->ConnectionAge, 1);
    // The queue claims a frame but the read returns nothing (a cable pulled mid-read):
    // the previous frame still in the buffer must not count as a new one.
    Line.Received.assign(52, 0);
    Line.ReadsFail = true;
    Ticks(3);
    EXPECT_EQ(Form->ConnectionAge, 4);
}

class Ports : public FormFixture {};

TEST_F(Ports, MissingDeviceShowsTheOpenErrorAndCarriesOn) {
    Line.OpenFails = true;
    Start();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0], Form->Messages.MsgComOpenError);
    EXPECT_FALSE(Form->SerialLink.IsOpen());
    EXPECT_TRUE(S(C::MenuCom1).Checked);
    Ticks(30);
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);
    EXPECT_TRUE(Line.Written.empty());
}

TEST_F(Ports, TicksRunInsideTheOpenErrorBox) {
    Line.OpenFails = true;
    int nested = 0;
    Host.WhileBoxOpen = [&] {
        for (int i = 0; i < 25; ++i)
            Form->Timer1Timer();
        nested = 25;
    };
    Start();
    EXPECT_EQ(nested, 25);
    EXPECT_FALSE(Form->SerialLink.IsOpen());
}

TEST_F(Ports, PortZeroOpensNothingAndMarksNoItem) {
    Start();
    Host.PortsMade.clear();
    Form->ClosePort();
    Form->SerialLink.ComPort = 0;
    Form->OpenPort();
    Form->MarkComItems();
    EXPECT_TRUE(Host.PortsMade.empty());
    EXPECT_TRUE(Host.Boxes.empty());
    for (int n = 1; n <= 10; ++n)
        EXPECT_FALSE(S(ComItem(n)).Checked) << n;
    Form->MenuCom1Click(C::MenuCom3);
    EXPECT_EQ(Host.PortsMade, std::vector<int>{3});
    EXPECT_TRUE(S(C::MenuCom3).Checked);
    EXPECT_TRUE(Form->SerialLink.IsOpen());
}

TEST_F(Ports, ComItemClickClosesAndReopensExactlyOneChecked) {
    Start();
    for (int n : {7, 7, 10, 1}) {
        int closes = Line.Closes;
        Form->MenuCom1Click(ComItem(n));
        EXPECT_EQ(Line.Closes, closes + 1);
        EXPECT_EQ(Form->SerialLink.ComPort, n);
        int checked = 0;
        for (int k = 1; k <= 10; ++k)
            checked += S(ComItem(k)).Checked ? 1 : 0;
        EXPECT_EQ(checked, 1);
        EXPECT_TRUE(S(ComItem(n)).Checked);
    }
    EXPECT_EQ(Line.Applied.ReadTotalConstant, 100u);
}

} // namespace
} // namespace kelmor::test
