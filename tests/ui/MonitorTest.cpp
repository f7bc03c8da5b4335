// Monitor replies turned into captions and colours.
#include "link/TMonitorData.h"
#include "support/FormFixture.h"
#include "support/MonitorFrame.h"

namespace kelmor::test {
namespace {

using C = ControlId;

using Frame = MonitorFrame;

class Monitor : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    void Handle(const Frame& f) {
        Feed(CMD_MONITOR_REPLY, f.data);
        Form->PollReceive();
    }
};

TEST_F(Monitor, Captions) {
    struct Case {
        const char* name;
        Frame frame;
        ControlId control;
        const char* caption;
        Colour colour;
    };
    const Case cases[] = {
        {"7000 mV", Frame().Set16(MonitorField::Napeti, 7000), C::LabelNapeti, "U =  7.0 [V]",
         Colour::Red},
        {"7001 mV", Frame().Set16(MonitorField::Napeti, 7001), C::LabelNapeti, "U =  7.0 [V]",
         Colour::Yellow},
        {"11000 mV", Frame().Set16(MonitorField::Napeti, 11000), C::LabelNapeti, "U = 11.0 [V]",
         Colour::Yellow},
        {"11001 mV", Frame().Set16(MonitorField::Napeti, 11001), C::LabelNapeti, "U = 11.0 [V]",
         Colour::ButtonFace},
        {"14998 mV", Frame().Set16(MonitorField::Napeti, 14998), C::LabelNapeti, "U = 15.0 [V]",
         Colour::ButtonFace},
        {"14999 mV", Frame().Set16(MonitorField::Napeti, 14999), C::LabelNapeti, "U = 15.0 [V]",
         Colour::Yellow},
        {"17999 mV", Frame().Set16(MonitorField::Napeti, 17999), C::LabelNapeti, "U = 18.0 [V]",
         Colour::Red},
        {"advance at max",
         Frame()
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::MonAdvance, 125)
             .Set(MonitorField::MonAdvanceMax, 25),
         C::LabelMon_Advance, "Advance = 25\xC2\xB0 /max 25\xC2\xB0", Colour::Yellow},
        {"advance below max",
         Frame()
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::MonAdvance, 124)
             .Set(MonitorField::MonAdvanceMax, 25),
         C::LabelMon_Advance, "Advance = 24\xC2\xB0 /max 25\xC2\xB0", Colour::ButtonFace},
        {"advance -100",
         Frame()
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::MonAdvance, 0)
             .Set(MonitorField::MonAdvanceMax, 0),
         C::LabelMon_Advance, "Advance = -100\xC2\xB0 /max 0\xC2\xB0", Colour::ButtonFace},
        {"basic advance",
         Frame()
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::BasicAdvance, 1)
             .Set(MonitorField::MonAdvance, 110)
             .Set(MonitorField::MonAdvanceMax, 20),
         C::LabelMon_Advance, "Advance = Basic", Colour::ButtonFace},
        {"no signal",
         Frame()
             .Set16(MonitorField::Rpm, 3000)
             .Set(MonitorField::MonAdvance, 120)
             .Set(MonitorField::MonAdvanceMax, 20),
         C::LabelMon_Advance, "Advance = Basic", Colour::Yellow},
        {"rpm without pick-up", Frame().Set16(MonitorField::Rpm, 3000), C::LabelRpm, "RPM = 0 ",
         Colour::ButtonFace},
        {"rpm", Frame().Set16(MonitorField::Rpm, 3000).Set(MonitorField::Snimac, 1), C::LabelRpm,
         "RPM = 3000 ", Colour::ButtonFace},
        {"polarity no rpm", Frame().Set16(MonitorField::Rpm, 3000), C::LabelPolaritaMer,
         "Polarity of CKPS: ---", Colour::ButtonFace},
        {"polarity positive",
         Frame()
             .Set16(MonitorField::Rpm, 900)
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::PolaritaOk, 1),
         C::LabelPolaritaMer, "Polarity of CKPS: Positive", Colour::ButtonFace},
        {"polarity alarm",
         Frame()
             .Set16(MonitorField::Rpm, 900)
             .Set(MonitorField::Snimac, 1)
             .Set(MonitorField::PolaritaMer, 3),
         C::LabelPolaritaMer, "Polarity of CKPS: Negative", Colour::Red},
        {"pick-up running", Frame().Set(MonitorField::Snimac, 1), C::LabelSnimac,
         "Pick-up (CPS) -  is running", Colour::Lime},
        {"pick-up none", Frame(), C::LabelSnimac, "Pick-up (CPS) -  no signal", Colour::ButtonFace},
        {"start limiter", Frame().Set(MonitorField::StartLimiterOut, 9), C::LabelMonStartLimiterOut,
         "Start limiter: Yes", Colour::Fuchsia},
        {"limiter", Frame().Set(MonitorField::HardLimiter, 1), C::LabelMonHardLimiter,
         "Limiter - Yes", Colour::Red},
        {"limiter off", Frame(), C::LabelMonHardLimiter, "Limiter - No", Colour::ButtonFace},
        {"shift light", Frame().Set(MonitorField::MonLedRazeni, 1), C::LabelMonLedRazeni,
         "Gear shift light - Yes", Colour::Yellow},
        {"clutch", Frame().Set(MonitorField::ClutchMon, 1), C::LabelClutchMon,
         "Clutch master - Yes", Colour::Red},
        {"retard", Frame().Set(MonitorField::MonRetard, 1), C::LabelMonRetard, "Retard - Yes",
         Colour::Aqua},
        {"blocking", Frame().Set(MonitorField::Blocking, 1), C::LabelBlocking, "Motor off - Yes",
         Colour::Red},
        {"kill switch", Frame().Set(MonitorField::KillSwitch, 1), C::LabelKillSwitch,
         "Kill switch - Yes", Colour::Red},
        {"input 1", Frame().Set(MonitorField::Input1In, 1), C::LabelMonInput1In, "Input 1: Yes",
         Colour::Fuchsia},
        {"input 2", Frame().Set(MonitorField::Input2In, 1), C::LabelMonInput2In, "Input 2: Yes",
         Colour::Aqua},
        {"count", Frame().Set16(MonitorField::PocetProgramovani, 65535), C::LabelPocetProgramovani,
         "Number of Programing= 65535", Colour::ButtonFace},
        {"test 8", Frame().Set16(MonitorField::Test + 14, 4660), C::LabelTest8, "Test8 = 4660 ",
         Colour::ButtonFace},
        {"version", Frame().Set(MonitorField::IgnVersion, 66), C::LabelVersion,
         "Unmatched version of PC and Ignition programs!  PC-67, IGN-66", Colour::Red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Handle(c.frame);
        EXPECT_EQ(S(c.control).Caption, c.caption);
        EXPECT_EQ(S(c.control).Background, c.colour);
    }
}

TEST_F(Monitor, RpmBarAgainstTheRevLimiter) {
    struct Case {
        uint8_t omez2;
        uint16_t rpm;
        bool snimac;
        int progress;
    } cases[] = {{150, 7500, true, 50}, {150, 15000, true, 100}, {150, 3000, false, 0},
                 {0, 10000, true, 100}, {0, 999, true, 9},       {9, 20000, true, 2222}};
    for (const Case& c : cases) {
        Form->Params().Omez2 = c.omez2;
        Handle(Frame().Set16(MonitorField::Rpm, c.rpm).Set(MonitorField::Snimac, c.snimac ? 1 : 0));
        EXPECT_EQ(S(C::CGaugeRpm).Progress, c.progress) << int(c.omez2) << " " << c.rpm;
        EXPECT_EQ(Form->LiveRpm, c.snimac ? c.rpm : 0);
    }
}

TEST_F(Monitor, VersionWarningAndDataErrorVisibility) {
    Handle(Frame().Set(MonitorField::IgnVersion, 66).Set(MonitorField::EeDataErr, 1));
    EXPECT_TRUE(S(C::LabelVersion).Visible);
    EXPECT_TRUE(S(C::LabelEeDataErr).Visible);
    Handle(Frame());
    EXPECT_FALSE(S(C::LabelVersion).Visible);
    EXPECT_FALSE(S(C::LabelEeDataErr).Visible);
}

TEST_F(Monitor, KeepsFrameCountdownAndAge) {
    Form->ConnectionAge = 12;
    Handle(Frame().Set16(MonitorField::SavingCountdown, 0x0135));
    EXPECT_EQ(Form->ConnectionAge, 0);
    EXPECT_EQ(Form->SavingCountdown, 0x0135);
    EXPECT_EQ(Form->MonitorCopy.Bytes[0], 0xB0);
    EXPECT_EQ(Form->MonitorCopy.Bytes[50], PC_VERSION);
}

TEST_F(Monitor, RejectedFramesChangeNothing) {
    Handle(Frame().Set16(MonitorField::Rpm, 1000).Set(MonitorField::Snimac, 1));
    ASSERT_EQ(Form->LiveRpm, 1000);
    Form->ConnectionAge = 7;
    // A wrong checksum bit.
    TLinkFrame f;
    Frame other;
    other.Set16(MonitorField::Rpm, 2000).Set(MonitorField::Snimac, 1);
    BuildFrame(f, CMD_MONITOR_REPLY, other.data);
    f.Bytes[51] ^= 1;
    Line.Received.assign(f.Bytes.begin(), f.Bytes.end());
    Form->PollReceive();
    EXPECT_EQ(Form->LiveRpm, 1000);
    EXPECT_EQ(Form->ConnectionAge, 7);
    // 0xB5 goes the transfer way and is dropped there while idle.
    Feed(0xB5, other.data);
    Form->PollReceive();
    EXPECT_EQ(Form->LiveRpm, 1000);
    EXPECT_EQ(Form->ConnectionAge, 7);
}

TEST_F(Monitor, AcceptedDuringATransfer) {
    Form->MenuReadClick();
    Handle(Frame().Set16(MonitorField::Rpm, 4321).Set(MonitorField::Snimac, 1));
    EXPECT_EQ(Form->LiveRpm, 4321);
    EXPECT_EQ(Form->Mode, tmRead);
}

} // namespace
} // namespace kelmor::test
