// The parameter side of the main window: form binding, visibility, undo
// and redo, and live tuning of the curve.
#include "params/NearestCurvePoint.h"
#include "params/ParamFields.h"
#include "params/TIgnParams.h"
#include "ui/FormBinding.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;
constexpr uint8_t MAX_ADVANCE = 60;
} // namespace

void TFormHlav::Normalise() {
    kelmor::Normalise(Params(), Language, SerialLink.ComPort);
}

void TFormHlav::ReadControls() {
    TIgnParams& p = Params();
    p.Bike = 0;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&p);
    for (const SpinnerBinding& b : SpinnerBindings()) {
        bytes[b.Offset] = UnscaledValue(FieldAt(b.Offset), Window.SpinnerPosition(b.UpDown));
    }
    p.Polarita = static_cast<uint8_t>(Window[C::RadioGroupPolarita].ItemIndex);
    p.GeberNr = 1;
    p.Input1 = 0;
    p.Input2 = static_cast<uint8_t>(Window[C::RadioGroupInput2].ItemIndex);
    p.ZakazCteni = Window[C::CheckBoxZakazCteni].Checked ? 1 : 0;
    p.RevOutLedRazeni = Window[C::CheckBoxRevOutLedRazeni].Checked ? 1 : 0;
}

void TFormHlav::ShowParams() {
    TIgnParams& p = Params();
    p.Bike = 0;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&p);
    for (const SpinnerBinding& b : SpinnerBindings())
        Window.SetSpinner(b.UpDown, ScaledValue(FieldAt(b.Offset), bytes[b.Offset]));
    Window.SetItemIndex(C::RadioGroupPolarita, p.Polarita);
    Window.SetItemIndex(C::ComboBoxPocPalcu, (p.GeberNr + 3) % 4);
    Window.SetItemIndex(C::RadioGroupInput1, p.Input1);
    Window.SetItemIndex(C::RadioGroupInput2, p.Input2);
    Window.SetChecked(C::CheckBoxZakazCteni, p.ZakazCteni != 0);
    Window.SetChecked(C::CheckBoxRevOutLedRazeni, p.RevOutLedRazeni != 0);
    UpdateVisibility();
    // The chart shows the set at once, also to a box that opens before the next tick.
    FollowChart();
}

void TFormHlav::ApplyEdit() {
    Normalise();
    ShowParams();
    UndoRecord();
}

void TFormHlav::UpdateVisibility() {
    const TIgnParams& p = Params();
    const bool paper = Printing;
    Window.SetColour(C::FormHlav, paper ? Colour::White : Colour::ButtonFace);

    for (int k = 0; k < CURVE_POINTS; ++k) {
        const bool used = k < p.PocetBodu;
        Window.SetVisible(RpmEdits[k], used);
        Window.SetVisible(AdvanceEdits[k], used);
        Window.SetVisible(RpmUpDowns[k], used && !paper);
        Window.SetVisible(AdvanceUpDowns[k], used && !paper);
    }

    auto warn = [&](C id, bool on) { Window.SetColour(id, on ? Colour::Red : Colour::ButtonFace); };
    warn(C::CheckBoxProgHned, Window[C::CheckBoxProgHned].Checked);
    warn(C::CheckBoxZakazCteni, Window[C::CheckBoxZakazCteni].Checked);

    for (C id : {C::CGaugeRpm, C::CheckBoxProgHned, C::CheckBoxZakazCteni, C::StatusBar1,
                 C::ImageLogo, C::GroupBoxToolBar, C::UpDownBaseAdv, C::UpDownOmez2,
                 C::UpDownLedRazeni, C::BitBtnAdvMinus, C::BitBtnAdvPlus, C::CheckBoxIgnAll,
                 C::UpDownPocetBodu, C::LabelSnimac})
        Window.SetVisible(id, !paper);

    const bool killSwitch = p.Input1 == 1;
    const bool blocking = p.Input2 == 1;
    const bool clutch = p.Input1 == 2 || p.Input2 == 2;
    const bool retard = p.Input1 == 3 || p.Input2 == 3;
    const bool startLimiter = p.Input1 == 4 || p.Input2 == 4;
    Window.SetEnabled(C::LabelKillSwitch, killSwitch);
    Window.SetEnabled(C::LabelMonRetard, retard);
    Window.SetEnabled(C::LabelBlocking, blocking);
    Window.SetEnabled(C::LabelMonStartLimiterOut, startLimiter);
    Window.SetEnabled(C::LabelClutchMon, clutch);

    Window.SetEnabled(C::ComboBoxPocPalcu, p.Bike == 0);

    auto dependent = [&](bool on, C edit, C updown, C label) {
        Window.SetEnabled(edit, on);
        Window.SetVisible(updown, on && !paper);
        Window.SetEnabled(label, on);
    };
    dependent(startLimiter, C::EditOmez1, C::UpDownOmez1, C::LabelOmez1);
    dependent(retard, C::EditRetard, C::UpDownRetard, C::LabelRetard);
    dependent(clutch, C::EditClutch1, C::UpDownClutch1, C::LabelClutch1);
    dependent(clutch, C::EditClutch2, C::UpDownClutch2, C::LabelClutch2);

    Window.SetEnabled(C::RadioGroupPolarita, p.Bike == 0);
    Window.SetEnabled(C::LabelPolaritaMer, p.Bike == 0);

    warn(C::CheckBoxZakazCteni, p.ZakazCteni != 0);

    Window.SetCaption(C::LabelVerze1, Ident.VersionText);
    Window.SetCaption(C::LabelVerze2, Ident.DateText);
    Window.SetCaption(C::LabelVerze3, Ident.TimeText);
    ShowSetState();
}

void TFormHlav::UpDownClick(ControlId updown, int direction) {
    Window.StepSpinner(updown, direction);
    ReadControls();
    ApplyEdit();
}

void TFormHlav::EditExit(ControlId /*sender*/) {
    ReadControls();
    ApplyEdit();
}

bool TFormHlav::FormKeyPress(ControlId /*sender*/, char key) {
    if (key != '\r') return false;
    // Moving the focus fires the exit of the edit that had it, which commits first.
    Host.SetFocus(Window.NextTabStop(Host.FocusedControl()));
    ReadControls();
    ApplyEdit();
    return true;
}

void TFormHlav::CheckBoxProgHnedMouseUp(ControlId /*sender*/) {
    ReadControls();
    UpdateVisibility();
    ApplyEdit();
}

void TFormHlav::RadioGroupPolaritaClick() {
    Params().Polarita = static_cast<uint8_t>(Window[C::RadioGroupPolarita].ItemIndex);
    UndoRecord();
    UpdateVisibility();
}

void TFormHlav::RadioGroupInput1Click() {
    Params().Input1 = static_cast<uint8_t>(Window[C::RadioGroupInput1].ItemIndex);
    UndoRecord();
    UpdateVisibility();
}

void TFormHlav::RadioGroupInput2Click() {
    Params().Input2 = static_cast<uint8_t>(Window[C::RadioGroupInput2].ItemIndex);
    UndoRecord();
    UpdateVisibility();
}

void TFormHlav::UpdateUndoButtons() {
    const bool undo = UndoHistory.CanUndo();
    const bool redo = UndoHistory.CanRedo();
    Window.SetEnabled(C::SpeedButtonZpet, undo);
    Window.SetEnabled(C::MenuZpet, undo);
    Window.SetEnabled(C::SpeedButtonZnovu, redo);
    Window.SetEnabled(C::MenuZnovu, redo);
}

void TFormHlav::UndoReset() {
    UndoHistory.Reset(DeviceImage.Bytes());
    UpdateUndoButtons();
}

void TFormHlav::UndoRecord() {
    const bool changed = UndoHistory.Record(DeviceImage.Bytes());
    if (changed) UpdateUndoButtons();
    if (Window[C::CheckBoxProgHned].Checked) {
        if (changed || UndoHistory.ProgramArmed) StartProgram();
        UndoHistory.ProgramArmed = true;
    } else {
        UndoHistory.ProgramArmed = false;
    }
}

void TFormHlav::UndoRestore() {
    UndoHistory.Restore(DeviceImage.Bytes());
    ShowParams();
}

void TFormHlav::SpeedButtonZpetClick() {
    if (!UndoHistory.CanUndo()) return;
    UndoHistory.Current = TUndoHistory::Prev(UndoHistory.Current);
    UndoRestore();
    UpdateUndoButtons();
    if (Window[C::CheckBoxProgHned].Checked) StartProgram();
}

void TFormHlav::SpeedButtonZnovuClick() {
    if (!UndoHistory.CanRedo()) return;
    UndoHistory.Current = TUndoHistory::Next(UndoHistory.Current);
    UndoRestore();
    UpdateUndoButtons();
    if (Window[C::CheckBoxProgHned].Checked) StartProgram();
}

void TFormHlav::TrackActivePoint() {
    const CurvePointChoice nearest = NearestCurvePoint(Params(), LiveRpm);
    ActivePoint = nearest.Point;
    NoActivePoint = nearest.None;
    for (int k = 0; k < CURVE_POINTS; ++k) {
        const Colour c = (k == ActivePoint && !NoActivePoint) ? Colour::Lime : Colour::Window;
        Window.SetColour(RpmEdits[k], c);
        Window.SetColour(AdvanceEdits[k], c);
    }
}

void TFormHlav::AdjustAdvance(int delta) {
    ReadControls();
    Normalise();
    TIgnParams& p = Params();
    auto step = [&](uint8_t& a) {
        if (delta < 0 && a > 0) --a;
        if (delta > 0 && a < MAX_ADVANCE) ++a;
    };
    if (Window[C::CheckBoxIgnAll].Checked) {
        for (int k = 0; k < CURVE_POINTS; ++k) {
            step(p.Advance[k]);
            Normalise();
        }
    } else if (!NoActivePoint) {
        step(p.Advance[ActivePoint]);
        Normalise();
    }
    ApplyEdit();
}

void TFormHlav::BitBtnAdvMinusClick() {
    AdjustAdvance(-1);
}
void TFormHlav::BitBtnAdvPlusClick() {
    AdjustAdvance(+1);
}

} // namespace kelmor
