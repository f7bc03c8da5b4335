// Undo and redo, programming after change, and live tuning of the curve.
#include <cstring>

#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class Undo : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
    // One committed change: the base advance takes the given value.
    void Change(int value) {
        W().UserSetText(C::EditBaseAdv, std::to_string(value).c_str());
        Form->EditExit(C::EditBaseAdv);
    }
    void CheckProgHned(bool on) {
        W().UserSetChecked(C::CheckBoxProgHned, on);
        Form->CheckBoxProgHnedMouseUp(C::CheckBoxProgHned);
    }
};

TEST_F(Undo, ButtonsFollowTheHistory) {
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);
    EXPECT_FALSE(S(C::MenuZnovu).Enabled);
    Change(20);
    EXPECT_TRUE(S(C::MenuZpet).Enabled);
    EXPECT_FALSE(S(C::SpeedButtonZnovu).Enabled);
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(P().BaseAdv, 10);
    EXPECT_EQ(S(C::EditBaseAdv).Caption, "10");
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled);
    EXPECT_TRUE(S(C::MenuZnovu).Enabled);
    Form->SpeedButtonZnovuClick();
    EXPECT_EQ(P().BaseAdv, 20);
    EXPECT_FALSE(S(C::MenuZnovu).Enabled);
}

TEST_F(Undo, TwoHundredFiftyChangesAllow199Undos) {
    // Alternate between two fields so every commit changes the set.
    for (int i = 1; i <= 250; ++i) {
        W().UserSetText(C::EditBaseAdv, std::to_string(i % 41).c_str());
        W().UserSetText(C::EditAdvance1, std::to_string(i % 61).c_str());
        W().UserSetText(C::EditAdvance2, std::to_string(i / 61).c_str());
        Form->EditExit(C::EditBaseAdv);
    }
    int undos = 0;
    while (S(C::SpeedButtonZpet).Enabled) {
        Form->SpeedButtonZpetClick();
        ++undos;
    }
    EXPECT_EQ(undos, 199);
    const TIgnParams before = P();
    Form->SpeedButtonZpetClick(); // refused
    EXPECT_EQ(std::memcmp(&before, &P(), sizeof before), 0);
    EXPECT_EQ(P().BaseAdv, 51 % 41);
    EXPECT_EQ(P().Advance[0], 51);
    EXPECT_EQ(P().Advance[1], 0);
}

TEST_F(Undo, ACommitWithoutChangeRecordsNothing) {
    Change(20);
    Form->SpeedButtonZpetClick();
    Change(10); // the same value again: redo stays possible
    EXPECT_TRUE(S(C::SpeedButtonZnovu).Enabled);
    Change(11);
    EXPECT_FALSE(S(C::SpeedButtonZnovu).Enabled);
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(P().BaseAdv, 10);
    EXPECT_FALSE(S(C::SpeedButtonZpet).Enabled) << "the undone change is gone";
}

TEST_F(Undo, ProgrammingAfterChangeIsArmedByTheFirstRecording) {
    CheckProgHned(true);
    EXPECT_EQ(Form->Mode, tmIdle) << "checking the box alone starts nothing";
    Form->EditExit(C::EditAdvance1);
    EXPECT_EQ(Form->Mode, tmProgram) << "the next commit programs even without a change";
    EXPECT_EQ(S(C::LabelHlaseni).Caption, Form->Messages.MsgProgramming);

    Form->Mode = tmIdle;
    CheckProgHned(false);
    EXPECT_EQ(Form->Mode, tmIdle);
    CheckProgHned(true);
    EXPECT_EQ(Form->Mode, tmIdle) << "re-checking resets the arming";
    Change(15);
    EXPECT_EQ(Form->Mode, tmProgram);

    Form->Mode = tmIdle;
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(Form->Mode, tmProgram) << "an undo that moves programs";
    Form->Mode = tmIdle;
    Form->SpeedButtonZnovuClick();
    EXPECT_EQ(Form->Mode, tmProgram);
    Form->Mode = tmIdle;
    Form->SpeedButtonZnovuClick();
    EXPECT_EQ(Form->Mode, tmIdle) << "a refused redo starts nothing";
}

TEST_F(Undo, TheIdentificationPageTravelsWithTheSet) {
    Form->DeviceImage.Ident.FwLetters[0] = 'Z';
    Change(30);
    Form->DeviceImage.Ident.FwLetters[0] = 'Q';
    Change(31);
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(Form->DeviceImage.Ident.FwLetters[0], 'Z');
}

class Tuning : public Undo {
  protected:
    void SetUp() override {
        Undo::SetUp();
        W().UserSetText(C::EditPocetBodu, "3");
        Form->EditExit(C::EditPocetBodu);
        ASSERT_EQ(P().PocetBodu, 3);
        ASSERT_EQ(P().RpmAdv[2], 30);
    }
    void At(uint16_t rpm) {
        Form->LiveRpm = rpm;
        Form->TrackActivePoint();
    }
};

TEST_F(Tuning, ActivePointFollowsTheEngine) {
    struct Case {
        uint16_t rpm;
        int row; // 0 = none
    } cases[] = {{0, 0},    {900, 0},  {1000, 1}, {1499, 1}, {1500, 1},
                 {1600, 2}, {2999, 3}, {5000, 3}, {20000, 3}};
    for (const Case& c : cases) {
        At(c.rpm);
        EXPECT_EQ(Form->NoActivePoint, c.row == 0) << c.rpm;
        for (int k = 0; k < 15; ++k) {
            Colour expected = (k + 1 == c.row) ? Colour::Lime : Colour::Window;
            EXPECT_EQ(S(RpmEdit(k)).Background, expected) << c.rpm << " row " << k + 1;
            EXPECT_EQ(S(AdvanceEdit(k)).Background, expected) << c.rpm << " row " << k + 1;
        }
    }
}

TEST_F(Tuning, AdvancePlusAndMinus) {
    At(1600);
    Form->BitBtnAdvPlusClick();
    EXPECT_EQ(P().Advance[1], 11);
    EXPECT_EQ(P().Advance[0], 10);
    EXPECT_TRUE(S(C::SpeedButtonZpet).Enabled);

    P().Advance[1] = 60;
    Form->ShowParams();
    Form->BitBtnAdvPlusClick();
    EXPECT_EQ(P().Advance[1], 60);
    P().Advance[1] = 0;
    Form->ShowParams();
    Form->BitBtnAdvMinusClick();
    EXPECT_EQ(P().Advance[1], 0);

    // No active point: nothing moves, but typed values are taken over.
    At(900);
    W().UserSetText(C::EditAdvance3, "33");
    Form->BitBtnAdvPlusClick();
    EXPECT_EQ(P().Advance[0], 10);
    EXPECT_EQ(P().Advance[2], 33);
}

TEST_F(Tuning, AllPointsIncludingHiddenOnes) {
    W().UserSetChecked(C::CheckBoxIgnAll, true);
    P().Advance[14] = 60;
    Form->ShowParams();
    At(0);
    Form->BitBtnAdvPlusClick();
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(P().Advance[k], 11) << k;
    EXPECT_EQ(P().Advance[14], 60);
    Form->BitBtnAdvMinusClick();
    EXPECT_EQ(P().Advance[13], 10);
    EXPECT_EQ(P().Advance[14], 59);
}

TEST_F(Tuning, EveryPressProgramsWhenAsked) {
    CheckProgHned(true);
    At(2000);
    Form->BitBtnAdvMinusClick();
    EXPECT_EQ(Form->Mode, tmProgram);
}

TEST_F(Tuning, APointCountAboveFifteenNeverReadsPastTheCurve) {
    P().PocetBodu = 200; // from a file; only the spinner bounds it
    At(65535);
    EXPECT_FALSE(Form->NoActivePoint);
    EXPECT_EQ(Form->ActivePoint, 14);
}

} // namespace
} // namespace kelmor::test
