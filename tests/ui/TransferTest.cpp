// Read, verify and program, tick by tick, against the simulated unit.
#include <cstring>

#include "support/SimFormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class Transfer : public SimFormFixture {
  protected:
    unsigned Writes(int page) { return Unit->Stats().PageWrites[page]; }
    unsigned Reads(int page) { return Unit->Stats().PageReads[page]; }
};

TEST_F(Transfer, FirstFrameGoesOutWhenTheIdleCountReachesFour) {
    struct Case {
        uint8_t tickCount;
        int ticksToFirstFrame;
    } cases[] = {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 1}, {5, 1}};
    Unit->Options().Faults.DropRate = 1; // the unit hears but never answers
    for (const Case& c : cases) {
        Form->Mode = tmIdle;
        Form->TickCount = c.tickCount;
        const unsigned before = Writes(0);
        Form->MenuProgramClick();
        EXPECT_EQ(Status(), "Programing:");
        EXPECT_TRUE(S(C::CGaugeProgram).Visible);
        int ticks = 0;
        while (Writes(0) == before && ticks < 10) {
            Form->Timer1Timer();
            ++ticks;
        }
        EXPECT_EQ(ticks, c.ticksToFirstFrame) << "TickCount " << int(c.tickCount);
    }
}

TEST_F(Transfer, ProgramWithNoUnitFailsAfterTheFifthSend) {
    Unit->Options().Faults.DropRate = 1;
    Form->TickCount = 0;
    Form->MenuProgramClick();
    Ticks(4);
    ASSERT_EQ(Writes(0), 1u);
    Ticks(19);
    EXPECT_EQ(Writes(0), 5u);
    EXPECT_EQ(Form->Mode, tmProgram);
    Ticks(1); // 20 ticks after the first send
    EXPECT_EQ(Form->Mode, tmIdle);
    EXPECT_EQ(Writes(0), 5u);
    EXPECT_EQ(Status(), "Program error!");
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::Red);
    EXPECT_TRUE(S(C::LabelHlaseni).Visible);
    Ticks(200);
    EXPECT_FALSE(S(C::LabelHlaseni).Visible);
    EXPECT_FALSE(S(C::CGaugeProgram).Visible);
}

TEST_F(Transfer, ProgramShowsItsStagesAndTheUnitHoldsTheSet) {
    Form->Params().Reserved7 = 0x77;
    W().UserSetText(C::EditAdvance5, "33");
    Form->MenuProgramClick();
    std::vector<std::string> seen{Status()};
    for (int t = 0; t < 300; ++t) {
        Form->Timer1Timer();
        if (seen.back() != Status()) seen.push_back(Status());
    }
    const std::vector<std::string> expected = {"Programing:", "Verify:", "Programing: OK",
                                               "Saving:", "Programing: OK"};
    ASSERT_GE(seen.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + 5), expected);
    EXPECT_EQ(std::memcmp(&Unit->Params(), &Form->Params(), sizeof(TIgnParams)), 0);
    EXPECT_EQ(Unit->Params().Advance[4], 33);
    EXPECT_EQ(Unit->Params().Reserved7, 0x77);
    EXPECT_EQ(Unit->ProgrammingCount(), 13);
    EXPECT_EQ(Form->Ident.VersionText.size(), 5u) << "page 0 reply decoded";
}

TEST_F(Transfer, ADifferingWriteReplyIsNeverAccepted) {
    Unit->Options().Faults.WriteReplyDiffer = 20;
    Form->MenuProgramClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Program error!");
    EXPECT_FALSE(Form->ProgramDone);
    EXPECT_EQ(Writes(1), 5u);
    EXPECT_FALSE(S(C::LabelSpojeni).Visible) << "replies kept coming";
}

TEST_F(Transfer, VerifyIgnoresOnlyTheReadProtectionByte) {
    Unit->Params() = Form->Params();
    Unit->Options().Faults.ReadReplyDiffer = 15;
    Form->MenuVerifyClick();
    EXPECT_EQ(Status(), "Verify:");
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Verify: OK");
    EXPECT_EQ(S(C::CGaugeProgram).Progress, 3);
    Ticks(3);
    EXPECT_EQ(Status(), "Verify: OK") << "a verify alone never turns into a program success";

    Unit->Options().Faults.ReadReplyDiffer = 16;
    Form->MenuVerifyClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Verify error!");
}

TEST_F(Transfer, ReadTakesTheUnitsSetAndVerifiesIt) {
    Unit->Params().Advance[3] = 44;
    Unit->Params().Reserved19 = 0x19;
    Unit->SetIdText("");
    W().SetCaption(C::LabelFile2, "/tmp/a.ign");
    Form->MenuReadClick();
    EXPECT_EQ(S(C::LabelFile2).Caption, "");
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Verify: OK");
    EXPECT_EQ(std::memcmp(&Unit->Params(), &Form->Params(), sizeof(TIgnParams)), 0);
    EXPECT_EQ(S(C::EditAdvance4).Caption, "44");
    EXPECT_EQ(S(C::LabelVerze1).Caption, Form->Ident.VersionText);
    EXPECT_FALSE(Form->Ident.VersionText.empty());
}

TEST_F(Transfer, ReadRefusedByTheUnit) {
    Unit->Options().ReadProtected = true;
    Unit->Params().Advance[0] = 55;
    Form->MenuReadClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "No reading!");
    EXPECT_EQ(S(C::LabelHlaseni).Background, Colour::Red);
    EXPECT_EQ(Reads(0), 1u);
    EXPECT_EQ(Reads(1), 0u);
    EXPECT_EQ(P().Advance[0], 10) << "no parameters taken";
    EXPECT_EQ(S(C::LabelVerze1).Caption, Form->Ident.VersionText);
    EXPECT_FALSE(S(C::LabelVerze2).Caption.empty());
}

TEST_F(Transfer, ReadOfValuesThatNormaliseDifferentlyEndsInVerifyError) {
    Unit->Params().RpmAdv[5] = 1; // below its bound; Normalise raises it
    Form->MenuReadClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Verify error!");
    EXPECT_EQ(P().RpmAdv[5], 51) << "the normalised values stay shown";
}

TEST_F(Transfer, AnotherVersionStopsWithABoxWhileTicksGoOn) {
    Unit->SetVersion(66);
    std::vector<uint8_t> modesInBox;
    Host.WhileBoxOpen = [&] {
        for (int i = 0; i < 12; ++i) {
            Form->Timer1Timer();
            modesInBox.push_back(Form->Mode);
        }
    };
    for (bool read : {true, false}) {
        Host.Boxes.clear();
        modesInBox.clear();
        if (read)
            Form->MenuReadClick();
        else
            Form->MenuProgramClick();
        EXPECT_GT(RunToIdle(), 0);
        ASSERT_EQ(Host.Boxes.size(), 1u);
        EXPECT_EQ(Host.Boxes[0], "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
        for (uint8_t m : modesInBox)
            EXPECT_EQ(m, tmIdle);
        EXPECT_EQ(Form->MessageHold, 0);
        Form->Timer1Timer();
        EXPECT_FALSE(S(C::LabelHlaseni).Visible);
        EXPECT_FALSE(S(C::CGaugeProgram).Visible);
        EXPECT_EQ(Writes(1), 0u);
    }
}

TEST_F(Transfer, ReadDuringAProgramDropsTheLateReplies) {
    Unit->Options().Faults.DelayPolls = 2;
    Form->MenuProgramClick();
    // Let the page 0 write go out, then take the link over with a read.
    while (Writes(0) == 0)
        Form->Timer1Timer();
    Form->MenuReadClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Status(), "Verify: OK");
    EXPECT_EQ(Writes(1), 0u) << "the program transfer was abandoned";
}

TEST_F(Transfer, UndoDuringAProgramSendsTheRestoredPages) {
    W().UserSetText(C::EditAdvance1, "20");
    Form->EditExit(C::EditAdvance1);
    Form->MenuProgramClick();
    while (Writes(0) == 0)
        Form->Timer1Timer();
    Form->SpeedButtonZpetClick();
    EXPECT_GT(RunToIdle(), 0);
    EXPECT_EQ(Unit->Params().Advance[0], 10);
}

} // namespace
} // namespace kelmor::test
