// The set's state at a glance: the title names the file with a mark while
// the set differs from it, LabelUnitState says whether the unit holds the
// set, and a start says the set came from the last session.
#include <fstream>

#include "sim/SimSerialPort.h"
#include "sim/SimUnit.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

using C = ControlId;
const std::string TITLE = "Programming of \"ZEV Torvanic\" unit";

class State : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Host.PortFactory = [this](int) { return std::make_unique<SimSerialPort>(Unit); };
    }
    const std::string& Title() { return S(C::FormHlav).Caption; }
    const std::string& UnitText() { return S(C::LabelUnitState).Caption; }
    void Edit(ControlId updown, int direction) { Form->UpDownClick(updown, direction); }
    void RunToIdle() {
        for (int t = 0; t < 200 && Form->Mode != tmIdle; ++t)
            Form->OnTimer1();
        ASSERT_EQ(Form->Mode, tmIdle);
        Form->OnTimer1(); // the end is taken after the tick it happened in
    }
    void Save(const std::string& name) {
        Host.SaveAnswers = {Config.Path() + "/" + name};
        Form->MenuSaveClick();
    }
    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
};

TEST_F(State, TheTitleMarksTheFileUntilTheSetIsTheFilesAgain) {
    Start();
    EXPECT_EQ(Title(), TITLE);
    Save("race.ign");
    EXPECT_EQ(Title(), "race.ign - " + TITLE);
    Edit(C::UpDownAdvance2, +1);
    EXPECT_EQ(Title(), "race.ign* - " + TITLE);
    Edit(C::UpDownAdvance2, -1); // by hand back to what the file holds
    EXPECT_EQ(Title(), "race.ign - " + TITLE);
    Edit(C::UpDownBaseAdv, -1);
    Edit(C::UpDownPocetBodu, -1);
    EXPECT_EQ(Title(), "race.ign* - " + TITLE);
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(Title(), "race.ign* - " + TITLE);
    Form->SpeedButtonZpetClick(); // undo reaches the saved set
    EXPECT_EQ(Title(), "race.ign - " + TITLE);
    Form->SpeedButtonZnovuClick();
    EXPECT_EQ(Title(), "race.ign* - " + TITLE);

    // A radio group commits without ShowParams; the mark follows all the same.
    Form->SpeedButtonZpetClick();
    W().UserSetItemIndex(C::RadioGroupPolarita, (Form->Params().Polarita + 1) % 3);
    Form->RadioGroupPolaritaClick();
    EXPECT_EQ(Title(), "race.ign* - " + TITLE);

    Form->MenuGermanClick();
    EXPECT_EQ(Title(), "race.ign* - Programmierung der \"ZEV Torvanic\" QLX Zündbox");

    Host.OpenAnswers = {Config.Path() + "/race.ign"};
    Form->MenuOpenClick();
    EXPECT_EQ(Title(), "race.ign - Programmierung der \"ZEV Torvanic\" QLX Zündbox");
    Host.Answers = {TPlatform::Answer::Yes};
    Form->MenuNewClick();
    EXPECT_EQ(Title(), "Programmierung der \"ZEV Torvanic\" QLX Zündbox");
}

TEST_F(State, TheNextStartSaysTheSetIsTheLastSessions) {
    Start();
    Save("race.ign");
    Edit(C::UpDownAdvance2, +1);
    Form->FormClose(); // asks nothing
    EXPECT_TRUE(Host.Boxes.empty());
    Start();
    EXPECT_EQ(Title(), "race.ign (set of the last session) - " + TITLE);
    // The set is the one of the moment of closing, not the file's.
    Save("race.ign");
    EXPECT_EQ(Title(), "race.ign - " + TITLE);

    Host.Answers = {TPlatform::Answer::Yes};
    Form->MenuNewClick();
    Form->FormClose();
    Start();
    EXPECT_EQ(Title(), "set of the last session - " + TITLE);
}

TEST_F(State, TheUnitHoldsWhatTheLastTransferFound) {
    Start();
    EXPECT_EQ(UnitText(), "Unit: not known");
    EXPECT_EQ(S(C::LabelUnitState).Background, Colour::ButtonFace);

    Form->MenuReadClick();
    RunToIdle();
    ASSERT_EQ(S(C::LabelHlaseni).Caption, "Verify: OK");
    EXPECT_EQ(UnitText(), "Unit holds this set");
    EXPECT_EQ(S(C::LabelUnitState).Background, Colour::Lime);
    EXPECT_EQ(Title(), TITLE); // a read leaves no file

    Edit(C::UpDownAdvance1, +1);
    EXPECT_EQ(UnitText(), "Unit differs");
    EXPECT_EQ(S(C::LabelUnitState).Background, Colour::Yellow);
    Edit(C::UpDownAdvance1, -1); // by hand back to what the unit holds
    EXPECT_EQ(UnitText(), "Unit holds this set");

    Edit(C::UpDownAdvance1, +1);
    Form->MenuProgramClick();
    RunToIdle();
    EXPECT_EQ(S(C::LabelHlaseni).Caption, "Programing: OK");
    EXPECT_EQ(UnitText(), "Unit holds this set");
    Form->SpeedButtonZpetClick();
    EXPECT_EQ(UnitText(), "Unit differs");
    Form->SpeedButtonZnovuClick(); // redo reaches the programmed set
    EXPECT_EQ(UnitText(), "Unit holds this set");

    // The port came back by itself (a replug, the unit switched off and on):
    // the unit on it may hold anything now.
    Form->PortReopened();
    EXPECT_EQ(UnitText(), "Unit: not known");

    // Another port: what is on it is not known.
    Form->MenuReadClick();
    RunToIdle();
    ASSERT_EQ(UnitText(), "Unit holds this set");
    Form->MenuCom1Click(C::MenuCom2);
    EXPECT_EQ(UnitText(), "Unit: not known");
}

TEST_F(State, AVerifyThatDiffersAndOneWithoutAnswerAreTold) {
    Start();
    Unit->Params() = Form->Params();
    Unit->Params().Advance[0] = 44; // the unit holds another set
    Form->MenuVerifyClick();
    RunToIdle();
    ASSERT_EQ(S(C::LabelHlaseni).Caption, "Verify error!");
    EXPECT_EQ(UnitText(), "Unit differs");
    // Set by hand to what the unit holds, the window says so.
    W().UserSetText(C::EditAdvance1, "44");
    Form->EditExit(C::EditAdvance1);
    EXPECT_EQ(UnitText(), "Unit holds this set");

    Unit->Options().Faults.Dead = true;
    Form->MenuVerifyClick();
    RunToIdle();
    EXPECT_EQ(UnitText(), "Unit: not known");
}

TEST_F(State, ProgrammingAfterChangeKeepsTheUnitHoldingTheSet) {
    Start();
    W().UserSetChecked(C::CheckBoxProgHned, true);
    Form->CheckBoxProgHnedMouseUp(C::CheckBoxProgHned);
    for (int i = 0; i < 3; ++i) {
        Edit(C::UpDownAdvance3, +1);
        EXPECT_EQ(UnitText(), i == 0 ? "Unit: not known" : "Unit differs");
        RunToIdle();
        EXPECT_EQ(UnitText(), "Unit holds this set") << i;
    }
    EXPECT_EQ(Unit->Params().Advance[2], Form->Params().Advance[2]);
    // What another helper calls when the unit comes back on the line.
    Form->UnitStateUnknown();
    EXPECT_EQ(UnitText(), "Unit: not known");
}

} // namespace
} // namespace kelmor::test
