// Controls and the parameter set: reading, showing, committing, visibility.
#include "params/ParamFields.h"
#include "support/FormFixture.h"
#include "ui/FormBinding.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class Binding : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
    void Type(ControlId edit, const char* text) { W().UserSetText(edit, text); }
};

TEST_F(Binding, SpinnerArrowCommitsAndStaysInRange) {
    Form->UpDownClick(C::UpDownRpmAdv1, +1);
    EXPECT_EQ(P().RpmAdv[0], 11);
    EXPECT_EQ(S(C::EditRpmAdv1).Caption, "1 100");

    W().SetSpinner(C::UpDownRpmAdv15, 20100);
    Form->UpDownClick(C::UpDownRpmAdv15, +1);
    EXPECT_EQ(S(C::UpDownRpmAdv15).Position, 20000) << "stored 201, normalised to the bound 200";
    W().SetSpinner(C::UpDownRpmAdv15, 20100);
    W().StepSpinner(C::UpDownRpmAdv15, +1);
    EXPECT_EQ(S(C::UpDownRpmAdv15).Position, 20100);

    Form->UpDownClick(C::UpDownAdvance1, -1);
    EXPECT_EQ(P().Advance[0], 9);
}

TEST_F(Binding, TypedValuesAreTruncatedAndLaterPointsRaised) {
    P().RpmAdv[0] = 8;
    P().RpmAdv[1] = 10;
    Form->ShowParams();
    Type(C::EditRpmAdv3, "1250");
    Host.Focus = C::EditRpmAdv3;
    EXPECT_TRUE(Form->FormKeyPress(C::EditRpmAdv3, '\r'));
    EXPECT_EQ(P().RpmAdv[2], 12);
    EXPECT_EQ(S(C::EditRpmAdv3).Caption, "1 200");
    EXPECT_EQ(Host.Focus, C::EditAdvance3);

    Type(C::EditRpmAdv1, "9 000");
    Form->EditExit(C::EditRpmAdv1);
    EXPECT_EQ(P().RpmAdv[0], 90);
    EXPECT_EQ(P().RpmAdv[1], 91);
    EXPECT_EQ(P().RpmAdv[2], 92);
    EXPECT_EQ(S(C::EditRpmAdv2).Caption, "9 100");
}

TEST_F(Binding, TextThatIsNotAWholeNumberInRangeKeepsTheValue) {
    for (const char* text : {"abc", "70", "", "-1", "1.5", "12x", "99999999999999"}) {
        Type(C::EditAdvance1, text);
        Form->EditExit(C::EditAdvance1);
        EXPECT_EQ(P().Advance[0], 10) << text;
        EXPECT_EQ(S(C::EditAdvance1).Caption, "10") << text;
    }
}

TEST_F(Binding, EveryCommitReadsAllControls) {
    Type(C::EditClutch1, "1230");
    Form->UpDownClick(C::UpDownAdvance2, +1);
    EXPECT_EQ(P().Clutch1, 123);
    EXPECT_EQ(S(C::EditClutch1).Caption, "1 230");
}

TEST_F(Binding, FixedFieldsAndRadioGroups) {
    P().Bike = 7;
    P().GeberNr = 3;
    Form->ShowParams();
    EXPECT_EQ(P().Bike, 0);
    EXPECT_EQ(S(C::ComboBoxPocPalcu).ItemIndex, 2);
    W().UserSetItemIndex(C::ComboBoxBike, 5);
    Form->EditExit(C::ComboBoxBike);
    EXPECT_EQ(P().Bike, 0);
    EXPECT_EQ(P().GeberNr, 1);

    W().UserSetItemIndex(C::RadioGroupInput2, 3);
    Form->RadioGroupInput2Click();
    EXPECT_EQ(P().Input2, 3);
    W().UserSetItemIndex(C::RadioGroupInput1, 4);
    Form->RadioGroupInput1Click();
    EXPECT_EQ(P().Input1, 4);
    Form->EditExit(C::EditAdvance1);
    EXPECT_EQ(P().Input1, 0) << "the next commit resets input 1";
    EXPECT_EQ(P().Input2, 3) << "and keeps input 2";
}

TEST_F(Binding, OutOfRangeValuesShowAsTheBound) {
    P().RpmKorekce = 40;
    P().Omez2 = 0;
    P().Advance[0] = 200;
    P().PocetBodu = 40;
    P().Polarita = 9;
    Form->ShowParams();
    EXPECT_EQ(S(C::EditRpmKorekce).Caption, "-60");
    EXPECT_EQ(S(C::EditOmez2).Caption, "999");
    EXPECT_EQ(S(C::EditAdvance1).Caption, "60");
    EXPECT_EQ(S(C::EditPocetBodu).Caption, "15");
    EXPECT_EQ(S(C::RadioGroupPolarita).ItemIndex, 2);
    EXPECT_EQ(P().Advance[0], 200) << "stored only at the next read";
    Form->ReadControls();
    EXPECT_EQ(P().Advance[0], 60);
    EXPECT_EQ(P().Omez2, 9);
    EXPECT_EQ(P().PocetBodu, 15);
}

TEST_F(Binding, EnterWalksTheTabOrderAndWraps) {
    Host.OnFocusLeave = [this](ControlId old) { Form->Fire(old, UserAction::Exit); };
    std::vector<ControlId> path;
    Host.Focus = C::EditRpmAdv1;
    for (int i = 0; i < 37; ++i) {
        path.push_back(Host.Focus);
        Form->FormKeyPress(Host.Focus, '\r');
    }
    ASSERT_EQ(path.size(), 37u);
    EXPECT_EQ(path[28], C::EditRpmAdv15);
    EXPECT_EQ(path[29], C::EditAdvance15);
    EXPECT_EQ(path[30], C::EditPocetBodu);
    EXPECT_EQ(path[31], C::EditBaseAdv);
    EXPECT_EQ(path[32], C::RadioGroupPolarita);
    EXPECT_EQ(path[33], C::EditRpmKorekce);
    EXPECT_EQ(path[34], C::EditRpmPulsu);
    EXPECT_EQ(path[35], C::EditOmez2);
    EXPECT_EQ(path[36], C::EditRpmAdv1);

    // Hidden rows are skipped.
    Type(C::EditPocetBodu, "2");
    Form->EditExit(C::EditPocetBodu);
    Host.Focus = C::EditAdvance2;
    Form->FormKeyPress(Host.Focus, '\r');
    EXPECT_EQ(Host.Focus, C::EditPocetBodu);
    EXPECT_FALSE(Form->FormKeyPress(Host.Focus, 'x'));
}

TEST_F(Binding, Visibility) {
    struct Case {
        uint8_t pocetBodu, input1, input2;
        bool omez1, retard, clutch, kill, blocking;
    } cases[] = {
        {1, 0, 0, false, false, false, false, false}, {15, 4, 0, true, false, false, false, false},
        {3, 0, 4, true, false, false, false, false},  {3, 3, 0, false, true, false, false, false},
        {3, 0, 3, false, true, false, false, false},  {3, 2, 0, false, false, true, false, false},
        {3, 0, 2, false, false, true, false, false},  {3, 1, 1, false, false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.pocetBodu) << " " << int(c.input1) << " " << int(c.input2));
        P().PocetBodu = c.pocetBodu;
        P().Input1 = c.input1;
        P().Input2 = c.input2;
        Form->UpdateVisibility();
        for (int k = 0; k < 15; ++k) {
            EXPECT_EQ(S(RpmEdit(k)).Visible, k < c.pocetBodu);
            EXPECT_EQ(S(AdvanceUpDown(k)).Visible, k < c.pocetBodu);
        }
        EXPECT_EQ(S(C::EditOmez1).Enabled, c.omez1);
        EXPECT_EQ(S(C::UpDownOmez1).Visible, c.omez1);
        EXPECT_EQ(S(C::LabelOmez1).Enabled, c.omez1);
        EXPECT_EQ(S(C::EditRetard).Enabled, c.retard);
        EXPECT_EQ(S(C::LabelMonRetard).Enabled, c.retard);
        EXPECT_EQ(S(C::EditClutch1).Enabled, c.clutch);
        EXPECT_EQ(S(C::UpDownClutch2).Visible, c.clutch);
        EXPECT_EQ(S(C::LabelClutchMon).Enabled, c.clutch);
        EXPECT_EQ(S(C::LabelKillSwitch).Enabled, c.kill);
        EXPECT_EQ(S(C::LabelBlocking).Enabled, c.blocking);
        EXPECT_EQ(S(C::LabelMonStartLimiterOut).Enabled, c.omez1);
    }
}

TEST_F(Binding, PaperLookAndWarningColours) {
    P().PocetBodu = 3;
    P().Input1 = 4;
    Form->Printing = true;
    Form->UpdateVisibility();
    EXPECT_EQ(S(C::FormHlav).Background, Colour::White);
    EXPECT_TRUE(S(C::EditRpmAdv3).Visible);
    EXPECT_FALSE(S(C::UpDownRpmAdv3).Visible);
    EXPECT_FALSE(S(C::UpDownOmez1).Visible);
    for (ControlId id : {C::GroupBoxToolBar, C::StatusBar1, C::ImageLogo, C::CGaugeRpm,
                         C::BitBtnAdvMinus, C::BitBtnAdvPlus, C::CheckBoxIgnAll,
                         C::CheckBoxProgHned, C::CheckBoxZakazCteni, C::LabelSnimac})
        EXPECT_FALSE(S(id).Visible) << ControlName(id);
    EXPECT_TRUE(S(C::UpDownRpmPulsu).Visible);
    EXPECT_TRUE(S(C::UpDownRpmKorekce).Visible);
    Form->Printing = false;
    Form->UpdateVisibility();
    EXPECT_EQ(S(C::FormHlav).Background, Colour::ButtonFace);
    EXPECT_TRUE(S(C::UpDownRpmAdv3).Visible);
    EXPECT_TRUE(S(C::GroupBoxToolBar).Visible);

    W().UserSetChecked(C::CheckBoxProgHned, true);
    Form->CheckBoxProgHnedMouseUp(C::CheckBoxProgHned);
    EXPECT_EQ(S(C::CheckBoxProgHned).Background, Colour::Red);
    P().ZakazCteni = 1;
    Form->ShowParams();
    EXPECT_TRUE(S(C::CheckBoxZakazCteni).Checked);
    EXPECT_EQ(S(C::CheckBoxZakazCteni).Background, Colour::Red);
}

// The valid values of the field table and the window's spinners are one
// range: what a spinner can hold is stored as exactly the table's bounds.
TEST_F(Binding, FieldRangesAreTheSpinnersRanges) {
    for (const SpinnerBinding& b : SpinnerBindings()) {
        const SetField& f = FieldAt(b.Offset);
        SCOPED_TRACE(f.Name);
        EXPECT_EQ(UnscaledValue(f, S(b.UpDown).Min), f.Min);
        EXPECT_EQ(UnscaledValue(f, S(b.UpDown).Max), f.Max);
    }
}

} // namespace
} // namespace kelmor::test
