// The port as the user meets it: the open error that says what to do, what
// the Com menu shows behind each number, a device that goes and comes back,
// and the read-outs while no unit answers.
#include "support/FormFixture.h"
#include "support/MonitorFrame.h"

namespace kelmor::test {
namespace {

using C = ControlId;
using K = TOpenFailure::TKind;

class Port : public FormFixture {
  protected:
    void FeedMonitor(const MonitorFrame& f = MonitorFrame::Running(3000, 20)) {
        Feed(CMD_MONITOR_REPLY, f.data);
    }
    // Ticks until a frame is taken (the unit answers every request).
    int TicksToConnect(int limit) {
        for (int t = 1; t <= limit; ++t) {
            const int before = Sent(CMD_MONITOR);
            Form->Timer1Timer();
            if (Sent(CMD_MONITOR) > before) FeedMonitor();
            if (Form->TickTookMonitorFrame) return t;
        }
        return -1;
    }
};

TEST_F(Port, OpenErrorSaysWhichDeviceWhyAndWhatToDo) {
    struct Case {
        const char* Name;
        TOpenFailure Failure;
        TLanguage Language;
        const char* Box;
    } cases[] = {
        {"absent",
         {K::Absent, "/dev/ttyUSB0", "No such file or directory", "", "", "", false},
         LANG_ENGLISH,
         "Com opening error!\n/dev/ttyUSB0: no such device. Is the cable plugged in?"},
        {"not in the group",
         {K::NoPermission, "/dev/ttyUSB0", "Permission denied", "", "dialout", "jan", false},
         LANG_ENGLISH,
         "Com opening error!\n/dev/ttyUSB0: permission denied: your user is not in the group "
         "\"dialout\". Add it with this command, then log out and log in again:\n"
         "sudo usermod -aG dialout jan"},
        {"another group, no user name",
         {K::NoPermission, "/dev/ttyACM0", "Permission denied", "", "uucp", "", false},
         LANG_ENGLISH,
         "Com opening error!\n/dev/ttyACM0: permission denied: your user is not in the group "
         "\"uucp\". Add it with this command, then log out and log in again:\n"
         "sudo usermod -aG uucp $USER"},
        {"added, login older",
         {K::NoPermission, "/dev/ttyUSB0", "Permission denied", "", "dialout", "jan", true},
         LANG_GERMAN,
         "Falscher COM-Anschlußes!\n/dev/ttyUSB0: Zugriff verweigert: Ihr Benutzer ist jetzt in "
         "der Gruppe \"dialout\", das gilt aber erst nach einer neuen Anmeldung. Melden Sie sich "
         "ab und wieder an."},
        {"held by a program",
         {K::Busy, "/dev/ttyUSB0", "locked", "minicom (PID 4242)", "", "", false},
         LANG_ENGLISH,
         "Com opening error!\n/dev/ttyUSB0: in use by another program (minicom (PID 4242)).\n"
         "Close that program, then try again."},
        {"held, nobody found",
         {K::Busy, "COM3", "the port is in use", "", "", "", false},
         LANG_CZECH,
         "Chyba při otevírání portu Com!\nCOM3: používá ho jiný program.\nUkončete ten program a "
         "zkuste to znovu."},
        {"something else",
         {K::Unknown, "/dev/ttyS3", "Input/output error", "", "", "", false},
         LANG_FRENCH,
         "Erreur connections PC!\n/dev/ttyS3: Input/output error"},
        {"nothing known", {}, LANG_ENGLISH, "Com opening error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Line.OpenFails = true;
        Line.Failure = c.Failure;
        Host.Boxes.clear();
        Start({c.Language == LANG_GERMAN   ? "DEUTSCH"
               : c.Language == LANG_FRENCH ? "FRANCE"
               : c.Language == LANG_CZECH  ? "CESKY"
                                           : "ENGLISH"});
        ASSERT_EQ(Host.Boxes.size(), 1u);
        EXPECT_EQ(Host.Boxes[0], c.Box);
        // Choosing the item again says it again.
        Form->MenuCom1Click(C::MenuCom1);
        ASSERT_EQ(Host.Boxes.size(), 2u);
        EXPECT_EQ(Host.Boxes[1], c.Box);
    }
}

TEST_F(Port, TheDeviceComesBackAndTheMonitorResumes) {
    Start();
    ASSERT_TRUE(Form->SerialLink.IsOpen());
    ASSERT_GT(TicksToConnect(20), 0);
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 3000 ");
    const int configures = Line.Configures;

    // Pulled: nothing comes, the port is tried again every fourth tick, quietly.
    Line.Lost = true;
    Line.ReopenFails = true;
    for (int t = 1; t <= 40; ++t) {
        Form->Timer1Timer();
        EXPECT_EQ(Line.ReopenTries, (t + 3) / 4) << "tick " << t;
        EXPECT_EQ(S(C::LabelSpojeni).Visible, t >= 18) << "tick " << t;
    }
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(Form->PortReopens, 0u);
    // The read-outs do not go on showing the last engine speed.
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = ---");
    EXPECT_EQ(S(C::CGaugeRpm).Progress, 0);
    EXPECT_EQ(S(C::LabelNapeti).Caption, "U = --- [V]");
    EXPECT_EQ(S(C::LabelSnimac).Caption, "Pick-up (CPS): ---");
    EXPECT_EQ(S(C::LabelSnimac).Background, Colour::ButtonFace);

    // Plugged in again: open within four ticks, configured as at the start,
    // and the monitor goes on by itself.
    Line.ReopenFails = false;
    const int tries = Line.ReopenTries;
    const int ticks = TicksToConnect(18);
    ASSERT_GT(ticks, 0);
    EXPECT_LE(ticks, 4 + 6);
    EXPECT_EQ(Line.ReopenTries, tries + 1);
    EXPECT_EQ(Form->PortReopens, 1u);
    EXPECT_EQ(Line.Configures, configures + 1);
    EXPECT_EQ(Line.Applied, (TTimeouts{0, 0, 100, 0, 0}));
    Form->Timer1Timer();
    EXPECT_FALSE(S(C::LabelSpojeni).Visible);
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 3000 ");
    EXPECT_EQ(S(C::LabelSnimac).Background, Colour::Lime);
    EXPECT_TRUE(Host.Boxes.empty());
}

TEST_F(Port, OnlyALostDeviceIsTriedAgain) {
    // Switched off: the port stays as the user left it.
    Start();
    Form->AutoReopen = false;
    Line.Lost = true;
    Ticks(40);
    EXPECT_EQ(Line.ReopenTries, 0);

    // A port that failed to open waits for the user's choice, as before.
    Line = FakeSerialPort::Shared{};
    Line.OpenFails = true;
    Start();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    Line.OpenFails = false;
    Ticks(40);
    EXPECT_FALSE(Form->SerialLink.IsOpen());
    EXPECT_EQ(Line.ReopenTries, 0);
    EXPECT_EQ(Host.Boxes.size(), 1u);
}

TEST_F(Port, ReadoutsShowNoValueWhileNoUnitAnswers) {
    Start();
    MonitorFrame alarm = MonitorFrame::Running(9000, 30);
    alarm.Set16(MonitorField::Napeti, 6000).Set(MonitorField::HardLimiter, 1);
    FeedMonitor(alarm);
    Form->Timer1Timer();
    ASSERT_EQ(S(C::LabelNapeti).Background, Colour::Red);
    ASSERT_EQ(S(C::LabelMonHardLimiter).Background, Colour::Red);
    Ticks(17);
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 9000 ") << "kept until the connection is lost";
    Form->Timer1Timer();
    ASSERT_TRUE(S(C::LabelSpojeni).Visible);
    struct Case {
        C Id;
        const char* Caption;
    } cases[] = {
        {C::LabelRpm, "RPM = ---"},
        {C::LabelNapeti, "U = --- [V]"},
        {C::LabelMon_Advance, "Advance= --- [°]"},
        {C::LabelMonHardLimiter, "Limiter: ---"},
        {C::LabelPolaritaMer, "Polarity of CKPS: ---"},
        {C::LabelKillSwitch, "Kill switch = ---"},
        {C::LabelPocetProgramovani, "Number of Programing=  ---"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S(c.Id).Caption, c.Caption) << ControlName(c.Id);
        EXPECT_EQ(S(c.Id).Background, Colour::ButtonFace) << ControlName(c.Id);
    }
    EXPECT_EQ(S(C::CGaugeRpm).Progress, 0);
    // The next frame shows live values again.
    FeedMonitor(alarm);
    Form->Timer1Timer();
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 9000 ");
    EXPECT_EQ(S(C::LabelNapeti).Background, Colour::Red);
}

TEST_F(Port, ComMenuShowsWhatIsBehindEachNumberWhenItOpens) {
    using D = PortDescription::TKind;
    Host.Ports[0] = {D::Present, "/dev/ttyUSB0", "FT232R USB UART", "A1234"};
    Host.Ports[1] = {D::Present, "/dev/ttyUSB1", "CP2102 USB to UART Bridge", ""};
    Host.Ports[2] = {D::Simulated, "sim", "", ""};
    Host.Ports[3] = {D::Present, "/dev/ttyS3", "", ""};
    Host.Ports[4] = {D::Missing, "/dev/ttyS4", "", ""};
    Start();
    Form->MenuComClick();
    struct Case {
        int Com;
        const char* Detail;
    } cases[] = {
        {1, "FT232R USB UART, A1234 (/dev/ttyUSB0)"},
        {2, "CP2102 USB to UART Bridge (/dev/ttyUSB1)"},
        {3, "simulated unit"},
        {4, "/dev/ttyS3"},
        {5, "/dev/ttyS4 - nothing connected"},
        {6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Com);
        EXPECT_EQ(S(ComItem(c.Com)).Detail, c.Detail);
        EXPECT_EQ(S(ComItem(c.Com)).Hint, std::string("Set com ") + std::to_string(c.Com) +
                                              (*c.Detail != '\0' ? ": " : "") + c.Detail);
    }
    // The captions stay as they are.
    EXPECT_EQ(S(C::MenuCom1).Caption, "Com &1");
    EXPECT_EQ(S(C::MenuCom10).Caption, "Com 1&0");

    // Fresh each time: the adapter pulled, in another language.
    Host.Ports[0] = {D::Missing, "/dev/ttyUSB0", "", ""};
    Form->MenuGermanClick();
    Form->MenuComClick();
    EXPECT_EQ(S(C::MenuCom1).Detail, "/dev/ttyUSB0 - nichts angeschlossen");
    EXPECT_EQ(S(C::MenuCom1).Hint, "Com-Anschluß auswahl 1: /dev/ttyUSB0 - nichts angeschlossen");
    EXPECT_EQ(S(C::MenuCom3).Detail, "simulierte Zündung");
}

TEST_F(Port, ThePlatformFollowsTheLanguage) {
    Start({"CESKY"});
    Form->MenuFrenchClick();
    Form->MenuEnglishClick();
    EXPECT_EQ(Host.Languages, (std::vector<TLanguage>{LANG_CZECH, LANG_FRENCH, LANG_ENGLISH}));
}

} // namespace
} // namespace kelmor::test
