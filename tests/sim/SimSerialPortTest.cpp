#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "SimTestSupport.h"
#include "sim/SimSerialPort.h"
#include "support/FakePlatform.h"
#include "support/NewTempDir.h"
#include "ui/TFormHlav.h"

namespace kelmor {
namespace {

TEST(SimSerialPort, AnswersOnTheNextBytesWaiting) {
    auto unit = std::make_shared<SimUnit>();
    SimSerialPort port(unit);
    ASSERT_TRUE(port.Open());
    TTimeouts saved{9, 9, 9, 9, 9};
    port.Configure(TTimeouts{0, 0, 100, 0, 0}, saved);
    EXPECT_EQ(saved, TTimeouts{});
    EXPECT_EQ(port.Timeouts().ReadTotalConstant, 100u);

    const std::vector<uint8_t> req = test::Request(0x30);
    port.WriteBytes(req.data(), req.size());
    port.WaitTransmitted();
    ASSERT_EQ(port.BytesWaiting(), FRAME_SIZE);
    uint8_t buf[64];
    EXPECT_EQ(port.ReadBytes(buf, sizeof buf), FRAME_SIZE);
    EXPECT_EQ(buf[0], 0xB0);
    EXPECT_EQ(port.BytesWaiting(), 0u);

    port.WriteBytes(req.data(), req.size());
    port.PurgeReceive();
    EXPECT_EQ(port.BytesWaiting(), FRAME_SIZE); // purge drops only what had arrived
    port.Close(saved);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.BytesWaiting(), 0u);
}

TEST(SimSerialPort, OpenFailsWhenRefusedOrInUse) {
    auto unit = std::make_shared<SimUnit>();
    auto line = std::make_shared<SimLine>();
    SimSerialPort a(unit, line), b(unit, line);
    line->OpenFails = true;
    EXPECT_FALSE(a.Open());
    line->OpenFails = false;
    EXPECT_TRUE(a.Open());
    EXPECT_FALSE(b.Open());
    a.Close(TTimeouts{});
    EXPECT_TRUE(b.Open());
}

TEST(SimSerialPort, UnpluggedLinesGoQuiet) {
    auto unit = std::make_shared<SimUnit>();
    auto line = std::make_shared<SimLine>();
    SimSerialPort port(unit, line);
    ASSERT_TRUE(port.Open());
    const std::vector<uint8_t> req = test::Request(0x30);
    uint8_t buf[64];

    line->State = SimLine::Plug::Silent;
    port.WriteBytes(req.data(), req.size());
    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_EQ(unit->Stats().Requests, 0u);

    line->State = SimLine::Plug::In;
    port.WriteBytes(req.data(), req.size());
    ASSERT_EQ(port.BytesWaiting(), FRAME_SIZE);
    line->State = SimLine::Plug::Vanished;
    EXPECT_EQ(port.ReadBytes(buf, sizeof buf), 0u);
}

// The program's own logic against the simulated unit, ticked by hand.
class FormOnSim : public ::testing::Test {
  protected:
    void SetUp() override {
        ConfigDir = test::NewTempDir("kelmor-simtest-");
        ASSERT_FALSE(ConfigDir.empty());
        Host.Config = ConfigDir;
        Host.PortFactory = [this](int) { return std::make_unique<SimSerialPort>(Unit, Line); };
    }
    void TearDown() override {
        Form.reset();
        std::error_code ec;
        std::filesystem::remove_all(ConfigDir, ec);
        EXPECT_FALSE(ec);
    }
    TFormHlav& Start() {
        Form = std::make_unique<TFormHlav>(Host);
        Form->FormCreate({});
        return *Form;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Form->Timer1Timer();
    }
    const std::string& Status() { return Form->Model()[ControlId::LabelHlaseni].Caption; }

    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::shared_ptr<SimLine> Line = std::make_shared<SimLine>();
    test::FakePlatform Host;
    std::string ConfigDir;
    std::unique_ptr<TFormHlav> Form;
};

TEST_F(FormOnSim, MonitorRepliesKeepTheConnectionAlive) {
    TFormHlav& f = Start();
    EXPECT_TRUE(Host.Boxes.empty());
    Ticks(60);
    EXPECT_FALSE(f.Model()[ControlId::LabelSpojeni].Visible);
    EXPECT_EQ(Unit->Stats().MonitorRequests, 10u);
    EXPECT_EQ(f.MonitorCopy.IgnVersion(), PC_VERSION);
    EXPECT_FALSE(f.Model()[ControlId::LabelVersion].Visible);
}

TEST_F(FormOnSim, ProgramTransferStoresTheSetAndShowsSaving) {
    TFormHlav& f = Start();
    Ticks(6);
    const uint16_t countBefore = Unit->ProgrammingCount();
    f.MenuProgramClick();
    bool verified = false, saving = false;
    for (int i = 0; i < 120; ++i) {
        f.Timer1Timer();
        verified |= f.Mode == tmIdle && f.ProgramDone;
        saving |= Status() == f.Messages.MsgSaving;
    }
    EXPECT_TRUE(verified);
    EXPECT_TRUE(saving);
    EXPECT_EQ(Status(), f.Messages.MsgProgramming + ": OK");
    EXPECT_EQ(Unit->ProgrammingCount(), countBefore + 1);
    EXPECT_EQ(std::memcmp(&Unit->Params(), &f.Params(), PAGE_SIZE), 0);
    EXPECT_EQ(Unit->SavingCountdown(), 0);
}

TEST_F(FormOnSim, ReadTakesTheUnitsSetWithItsReservedBytes) {
    TFormHlav& f = Start();
    f.MenuReadClick();
    Ticks(30);
    EXPECT_EQ(Status(), f.Messages.MsgVerify + ": OK");
    EXPECT_EQ(std::memcmp(&Unit->Params(), &f.Params(), PAGE_SIZE), 0);
    EXPECT_EQ(f.Ident.VersionText, "KXA07");
    EXPECT_EQ(f.Ident.DateText, "14. 3.2024");
}

TEST_F(FormOnSim, UnitFaultsEndTransfersTheWayTheProgramExpects) {
    struct Case {
        const char* Name;
        SimFaults Faults;
        bool Protected;
        void (TFormHlav::*Start)();
        std::string TMessageTable::*Expected;
    };
    SimFaults dead, writeDiff, protectedByte;
    dead.Dead = true;
    writeDiff.WriteReplyDiffer = 3;
    protectedByte.ReadReplyDiffer = 15;
    const Case cases[] = {
        {"dead unit", dead, false, &TFormHlav::MenuProgramClick, &TMessageTable::MsgProgramError},
        {"write reply differs", writeDiff, false, &TFormHlav::MenuProgramClick,
         &TMessageTable::MsgProgramError},
        {"read protected", SimFaults{}, true, &TFormHlav::MenuReadClick,
         &TMessageTable::MsgNoReading},
        {"byte 15 differs", protectedByte, false, &TFormHlav::MenuVerifyClick,
         &TMessageTable::MsgVerify},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Unit = std::make_shared<SimUnit>();
        Unit->Options().Faults = c.Faults;
        Unit->Options().ReadProtected = c.Protected;
        TFormHlav& f = Start();
        (f.*c.Start)();
        // Looked at when the transfer ends: later monitor frames may show saving.
        for (int i = 0; i < 40 && f.Mode != tmIdle; ++i)
            f.Timer1Timer();
        EXPECT_EQ(f.Mode, tmIdle);
        EXPECT_EQ(Status().rfind(f.Messages.*c.Expected, 0), 0u) << Status();
    }
}

TEST_F(FormOnSim, OtherProgramVersionStopsTheProgramTransfer) {
    Unit->SetVersion(66);
    TFormHlav& f = Start();
    f.MenuProgramClick();
    Ticks(10);
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_NE(Host.Boxes[0].find("PC-67, IGN-66"), std::string::npos);
    EXPECT_EQ(Unit->Stats().PageWrites[0], 1u);
    EXPECT_EQ(Unit->Stats().PageWrites[1], 0u); // page 1 never went out
}

TEST_F(FormOnSim, ReopeningFindsTheSameUnit) {
    TFormHlav& f = Start();
    f.MenuProgramClick();
    Ticks(30);
    const uint16_t count = Unit->ProgrammingCount();
    f.MenuCom1Click(ControlId::MenuCom1);
    EXPECT_TRUE(f.SerialLink.IsOpen());
    Ticks(12);
    EXPECT_EQ(f.MonitorCopy.PocetProgramovani(), count);

    // A second program on the same line is refused.
    test::FakePlatform other;
    other.PortFactory = Host.PortFactory;
    other.Config = ConfigDir;
    TFormHlav second(other);
    second.FormCreate({});
    ASSERT_EQ(other.Boxes.size(), 1u);
    EXPECT_EQ(other.Boxes[0], second.Messages.MsgComOpenError);
}

} // namespace
} // namespace kelmor
