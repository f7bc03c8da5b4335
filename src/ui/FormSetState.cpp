// The set's state at a glance: the window title with the file and its mark,
// and whether the unit holds the set shown.
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;
}

void TFormHlav::ShowSetState() {
    // Before the first language the title is the layout's own.
    if (!BaseTitle.empty()) {
        State.Title(BaseTitle, Window[C::LabelFile2].Caption, Params(), Messages, TitleScratch);
        Window.SetCaption(C::FormHlav, TitleScratch);
    }
    switch (State.UnitState(Params())) {
    case SetState::Unit::Holds:
        Window.SetCaption(C::LabelUnitState, Messages.MsgUnitHolds);
        Window.SetColour(C::LabelUnitState, Colour::Lime);
        break;
    case SetState::Unit::Differs:
        Window.SetCaption(C::LabelUnitState, Messages.MsgUnitDiffers);
        Window.SetColour(C::LabelUnitState, Colour::Yellow);
        break;
    case SetState::Unit::Unknown:
        Window.SetCaption(C::LabelUnitState, Messages.MsgUnitUnknown);
        Window.SetColour(C::LabelUnitState, Colour::ButtonFace);
        break;
    }
}

void TFormHlav::UnitStateUnknown() {
    State.UnitUnknown();
    ShowSetState();
}

void TFormHlav::TakeTransferEnd() {
    switch (LastTransfer.End) {
    case TTransferEnd::Succeeded:
        // The verify found the unit's page 1 equal to the set (but for the
        // read protection, which it does not compare).
        State.UnitHolds(Params());
        break;
    case TTransferEnd::VerifyError:
        // The unit answered with a set of its own.
        if (UnitPage1.Replies > 0)
            State.UnitHolds(UnitPage1.Set);
        else
            State.UnitUnknown();
        break;
    default:
        // No answer, a refused read, another version, or a page that did
        // not come back as sent: what the unit holds now is not known.
        State.UnitUnknown();
        break;
    }
    ShowSetState();
}

} // namespace kelmor
