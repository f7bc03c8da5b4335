// The window's own logic against the simulated unit in the same process,
// ticked by hand.
#include <cstring>

#include "support/SimFormFixture.h"

namespace kelmor::test {
namespace {

using FormOnSim = SimFormFixture;

TEST_F(FormOnSim, MonitorRepliesKeepTheConnectionAlive) {
    TFormHlav& f = *Form;
    EXPECT_TRUE(Host.Boxes.empty());
    Ticks(60);
    EXPECT_FALSE(f.Model()[ControlId::LabelSpojeni].Visible);
    EXPECT_EQ(Unit->Stats().MonitorRequests, 10u);
    EXPECT_EQ(f.MonitorCopy.IgnVersion(), PC_VERSION);
    EXPECT_FALSE(f.Model()[ControlId::LabelVersion].Visible);
}

TEST_F(FormOnSim, ProgramTransferStoresTheSetAndShowsSaving) {
    TFormHlav& f = *Form;
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
    TFormHlav& f = *Form;
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
    TFormHlav& f = *Form;
    f.MenuProgramClick();
    Ticks(30);
    const uint16_t count = Unit->ProgrammingCount();
    f.MenuCom1Click(ControlId::MenuCom1);
    EXPECT_TRUE(f.SerialLink.IsOpen());
    Ticks(12);
    EXPECT_EQ(f.MonitorCopy.PocetProgramovani(), count);

    // A second program on the same line is refused.
    FakePlatform other;
    other.PortFactory = Host.PortFactory;
    other.Config = Config.Path();
    TFormHlav second(other);
    second.FormCreate({});
    ASSERT_EQ(other.Boxes.size(), 1u);
    EXPECT_EQ(other.Boxes[0], second.Messages.MsgComOpenError);
}

} // namespace
} // namespace kelmor::test
