// The event wiring: which handler a click, a selection, leaving an edit, a
// spinner step, a typed key or a mouse release runs, control by control.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/FormFixture.h"
#include "ui/Layout.h"
#include "ui/Wiring.h"

namespace kelmor::test {
namespace {

using C = ControlId;
using A = UserAction;

constexpr A ACTIONS[] = {A::Click, A::Change, A::Exit, A::Step, A::Key, A::MouseUp};
constexpr const char* ACTION_NAMES[] = {"click", "change", "exit", "step", "key", "mouse up"};

std::vector<C> CurveEdits() {
    std::vector<C> ids;
    for (int k = 0; k < CURVE_POINTS; ++k)
        ids.insert(ids.end(), {RpmEdit(k), AdvanceEdit(k)});
    return ids;
}
std::vector<C> CurveUpDowns() {
    std::vector<C> ids;
    for (int k = 0; k < CURVE_POINTS; ++k)
        ids.insert(ids.end(), {RpmUpDown(k), AdvanceUpDown(k)});
    return ids;
}
std::vector<C> Join(std::vector<C> a, const std::vector<C>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The window's wiring as its description gives it, handler by handler.
struct Wiring {
    const char* Handler;
    A Action;
    std::vector<C> Controls;
};
std::vector<Wiring> Described() {
    std::vector<C> coms;
    for (int n = 1; n <= 10; ++n)
        coms.push_back(ComItem(n));
    const std::vector<C> committingEdits = {C::EditPocetBodu, C::EditBaseAdv,    C::EditOmez1,
                                            C::EditRetard,    C::EditRpmKorekce, C::EditRpmPulsu,
                                            C::EditOmez2};
    const std::vector<C> committingUpDowns = {
        C::UpDownPocetBodu,  C::UpDownBaseAdv,  C::UpDownOmez1, C::UpDownRetard,
        C::UpDownRpmKorekce, C::UpDownRpmPulsu, C::UpDownOmez2};
    return {
        {"MenuNewClick", A::Click, {C::SpeedButton6, C::MenuNew}},
        {"MenuOpenClick", A::Click, {C::SpeedButton5, C::MenuOpen}},
        {"MenuSaveClick", A::Click, {C::SpeedButton7, C::MenuSave}},
        {"SpeedButtonPrintClick", A::Click, {C::SpeedButtonPrint, C::MenuPrint}},
        {"SpeedButtonZpetClick", A::Click, {C::SpeedButtonZpet, C::MenuZpet}},
        {"SpeedButtonZnovuClick", A::Click, {C::SpeedButtonZnovu, C::MenuZnovu}},
        {"MenuReadClick", A::Click, {C::ButtonRead, C::MenuRead}},
        {"MenuVerifyClick", A::Click, {C::ButtonVerify, C::MenuVerify}},
        {"MenuProgramClick", A::Click, {C::ButtonProgram, C::MenuProgram}},
        {"BitBtnAdvMinusClick", A::Click, {C::BitBtnAdvMinus, C::MenuAdvanceMinus}},
        {"BitBtnAdvPlusClick", A::Click, {C::BitBtnAdvPlus, C::MenuAdvancePlus}},
        {"MenuCom1Click", A::Click, coms},
        {"MenuEnglishClick", A::Click, {C::MenuEnglish}},
        {"MenuGermanClick", A::Click, {C::MenuGerman}},
        {"MenuFrenchClick", A::Click, {C::MenuFrench}},
        {"MenuCzechClick", A::Click, {C::MenuCzech}},
        {"MenuContensClick", A::Click, {C::MenuContens}},
        {"MenuAboutClick", A::Click, {C::MenuAbout}},
        {"MenuExitClick", A::Click, {C::MenuExit}},
        {"MenuRecordClick", A::Click, {C::MenuRecord}},
        {"MenuCompareClick", A::Click, {C::MenuCompare}},
        {"MenuBackupsClick", A::Click, {C::MenuBackups}},
        {"MenuLogClick", A::Click, {C::MenuLog}},
        {"MenuLogViewerClick", A::Click, {C::MenuLogViewer}},
        {"RadioGroupPolaritaClick", A::Click, {C::RadioGroupPolarita}},
        {"RadioGroupInput1Click", A::Click, {C::RadioGroupInput1}},
        {"RadioGroupInput2Click", A::Click, {C::RadioGroupInput2}},
        {"EditExit", A::Change, {C::ComboBoxBike, C::ComboBoxPocPalcu}},
        {"EditExit", A::Exit, Join(CurveEdits(), committingEdits)},
        {"UpDownClick", A::Step, Join(CurveUpDowns(), committingUpDowns)},
        // An arrow key in an edit steps its spinner.
        {"UpDownClick", A::Step, Join(CurveEdits(), committingEdits)},
        {"FormKeyPress", A::Key,
         Join(Join(CurveEdits(), committingEdits),
              {C::EditClutch1, C::EditClutch2, C::EditLedRazeni, C::FormHlav})},
        {"CheckBoxProgHnedMouseUp",
         A::MouseUp,
         {C::CheckBoxProgHned, C::CheckBoxZakazCteni, C::CheckBoxRevOutLedRazeni}},
    };
}

TEST(Wiring, EveryControlFiresWhatTheWindowDescribesAndNothingElse) {
    std::map<std::pair<C, A>, std::string> expected;
    for (const Wiring& w : Described())
        for (C id : w.Controls)
            expected[{id, w.Action}] = w.Handler;
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const C id = static_cast<C>(i);
        for (A action : ACTIONS) {
            const Handler* h = HandlerOf(id, action);
            const auto e = expected.find({id, action});
            const std::string want = e == expected.end() ? "(none)" : e->second;
            EXPECT_EQ(h != nullptr ? h->Name : "(none)", want)
                << ControlName(id) << ", " << ACTION_NAMES[static_cast<int>(action)];
        }
    }
}

// A control added to the layout that the user can press must be wired too.
TEST(Wiring, EveryButtonAndMenuItemOfTheLayoutRunsAHandler) {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const C id = static_cast<C>(i);
        const ControlKind kind = LayoutOf(id).Kind;
        A action = A::Click;
        if (kind == ControlKind::ComboBox)
            action = A::Change;
        else if (kind == ControlKind::Edit)
            action = A::Key;
        else if (kind != ControlKind::Button && kind != ControlKind::ToolButton &&
                 kind != ControlKind::MenuItem && kind != ControlKind::RadioGroup)
            continue;
        EXPECT_NE(HandlerOf(id, action), nullptr) << ControlName(id);
    }
}

// Firing through the table reaches the handler with the sender and the argument.
class Fire : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
};

TEST_F(Fire, ActionsReachTheirHandlers) {
    struct Case {
        const char* Name;
        std::function<void()> Before;
        C Control;
        A Action;
        int Arg;
        bool Taken;
        std::function<void()> Check;
    } cases[] = {
        {"a port item passes itself", nullptr, C::MenuCom3, A::Click, 0, true,
         [this] {
             EXPECT_EQ(Form->SerialLink.ComPort, 3);
             EXPECT_TRUE(S(C::MenuCom3).Checked);
         }},
        {"a push button", nullptr, C::ButtonProgram, A::Click, 0, true,
         [this] { EXPECT_EQ(Form->Mode, tmProgram); }},
        {"a language item", nullptr, C::MenuGerman, A::Click, 0, true,
         [this] { EXPECT_EQ(Form->Language, LANG_GERMAN); }},
        {"a spinner step commits", nullptr, C::UpDownRpmAdv1, A::Step, +1, true,
         [this] { EXPECT_EQ(P().RpmAdv[0], 11); }},
        {"an arrow key in the edit steps its spinner", nullptr, C::EditAdvance2, A::Step, -1, true,
         [this] {
             EXPECT_EQ(P().Advance[1], 9);
             EXPECT_EQ(S(C::EditAdvance2).Caption, "9");
         }},
        {"the clutch spinner steps without a commit", nullptr, C::UpDownClutch1, A::Step, -1, false,
         [this] {
             EXPECT_EQ(S(C::UpDownClutch1).Position, 190);
             EXPECT_EQ(P().Clutch1, 20);
         }},
        {"a disabled spinner does not step", [this] { W().SetEnabled(C::UpDownRpmAdv2, false); },
         C::UpDownRpmAdv2, A::Step, +1, false,
         [this] {
             EXPECT_EQ(S(C::UpDownRpmAdv2).Position, 2000);
             EXPECT_EQ(P().RpmAdv[1], 20);
         }},
        {"Enter in an edit is taken", [this] { W().UserSetText(C::EditClutch2, "500"); },
         C::EditClutch2, A::Key, '\r', true, [this] { EXPECT_EQ(P().Clutch2, 50); }},
        {"another key passes", [this] { W().UserSetText(C::EditClutch2, "500"); }, C::EditClutch2,
         A::Key, 'x', false, [this] { EXPECT_EQ(P().Clutch2, 100); }},
        {"a radio item", [this] { W().UserSetItemIndex(C::RadioGroupInput2, 3); },
         C::RadioGroupInput2, A::Click, 0, true, [this] { EXPECT_EQ(P().Input2, 3); }},
        {"a check box released", [this] { W().UserSetChecked(C::CheckBoxZakazCteni, true); },
         C::CheckBoxZakazCteni, A::MouseUp, 0, true, [this] { EXPECT_EQ(P().ZakazCteni, 1); }},
        {"a label fires nothing", nullptr, C::LabelRpm, A::Click, 0, false,
         [this] { EXPECT_FALSE(Form->UndoHistory.CanUndo()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Form = std::make_unique<TFormHlav>(Host);
        Form->FormCreate({});
        Form->Mode = tmIdle;
        if (c.Before) c.Before();
        EXPECT_EQ(Form->Fire(c.Control, c.Action, c.Arg), c.Taken);
        c.Check();
    }
}

} // namespace
} // namespace kelmor::test
