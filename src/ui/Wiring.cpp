#include "ui/Wiring.h"

#include <array>

#include "params/TIgnParams.h"
#include "ui/Layout.h"
#include "ui/TFormHlav.h"
#include "ui/WindowModel.h"

namespace kelmor {

namespace {
using C = ControlId;
using A = UserAction;

template <void (TFormHlav::*Method)()>
bool Plain(TFormHlav& form, ControlId /*sender*/, int /*arg*/) {
    (form.*Method)();
    return true;
}
template <void (TFormHlav::*Method)(ControlId)>
bool WithSender(TFormHlav& form, ControlId sender, int /*arg*/) {
    (form.*Method)(sender);
    return true;
}
bool UpDownClick(TFormHlav& form, ControlId sender, int direction) {
    form.UpDownClick(sender, direction);
    return true;
}
bool FormKeyPress(TFormHlav& form, ControlId sender, int key) {
    return form.FormKeyPress(sender, static_cast<char>(key));
}

// A handler's name and its call are spelled by one token, so they cannot drift apart.
// clang-format off
#define KELMOR_PLAIN(name) Handler{#name, Plain<&TFormHlav::name>}
#define KELMOR_SENDER(name) Handler{#name, WithSender<&TFormHlav::name>}
#define KELMOR_OWN(name) Handler{#name, name}
// clang-format on

constexpr Handler MENU_NEW_CLICK = KELMOR_PLAIN(MenuNewClick);
constexpr Handler MENU_OPEN_CLICK = KELMOR_PLAIN(MenuOpenClick);
constexpr Handler MENU_SAVE_CLICK = KELMOR_PLAIN(MenuSaveClick);
constexpr Handler SPEED_BUTTON_PRINT_CLICK = KELMOR_PLAIN(SpeedButtonPrintClick);
constexpr Handler SPEED_BUTTON_ZPET_CLICK = KELMOR_PLAIN(SpeedButtonZpetClick);
constexpr Handler SPEED_BUTTON_ZNOVU_CLICK = KELMOR_PLAIN(SpeedButtonZnovuClick);
constexpr Handler MENU_READ_CLICK = KELMOR_PLAIN(MenuReadClick);
constexpr Handler MENU_VERIFY_CLICK = KELMOR_PLAIN(MenuVerifyClick);
constexpr Handler MENU_PROGRAM_CLICK = KELMOR_PLAIN(MenuProgramClick);
constexpr Handler BIT_BTN_ADV_MINUS_CLICK = KELMOR_PLAIN(BitBtnAdvMinusClick);
constexpr Handler BIT_BTN_ADV_PLUS_CLICK = KELMOR_PLAIN(BitBtnAdvPlusClick);
constexpr Handler MENU_EXIT_CLICK = KELMOR_PLAIN(MenuExitClick);
constexpr Handler MENU_COM1_CLICK = KELMOR_SENDER(MenuCom1Click);
constexpr Handler MENU_ENGLISH_CLICK = KELMOR_PLAIN(MenuEnglishClick);
constexpr Handler MENU_GERMAN_CLICK = KELMOR_PLAIN(MenuGermanClick);
constexpr Handler MENU_FRENCH_CLICK = KELMOR_PLAIN(MenuFrenchClick);
constexpr Handler MENU_CZECH_CLICK = KELMOR_PLAIN(MenuCzechClick);
constexpr Handler MENU_CONTENS_CLICK = KELMOR_PLAIN(MenuContensClick);
constexpr Handler MENU_ABOUT_CLICK = KELMOR_PLAIN(MenuAboutClick);
constexpr Handler MENU_RECORD_CLICK = KELMOR_PLAIN(MenuRecordClick);
constexpr Handler MENU_COMPARE_CLICK = KELMOR_PLAIN(MenuCompareClick);
constexpr Handler MENU_BACKUPS_CLICK = KELMOR_PLAIN(MenuBackupsClick);
constexpr Handler MENU_LOG_CLICK = KELMOR_PLAIN(MenuLogClick);
constexpr Handler MENU_LOG_VIEWER_CLICK = KELMOR_PLAIN(MenuLogViewerClick);
constexpr Handler RADIO_GROUP_POLARITA_CLICK = KELMOR_PLAIN(RadioGroupPolaritaClick);
constexpr Handler RADIO_GROUP_INPUT1_CLICK = KELMOR_PLAIN(RadioGroupInput1Click);
constexpr Handler RADIO_GROUP_INPUT2_CLICK = KELMOR_PLAIN(RadioGroupInput2Click);
constexpr Handler EDIT_EXIT = KELMOR_SENDER(EditExit);
constexpr Handler CHECK_BOX_PROG_HNED_MOUSE_UP = KELMOR_SENDER(CheckBoxProgHnedMouseUp);
constexpr Handler UP_DOWN_CLICK = KELMOR_OWN(UpDownClick);
constexpr Handler FORM_KEY_PRESS = KELMOR_OWN(FormKeyPress);

#undef KELMOR_PLAIN
#undef KELMOR_SENDER
#undef KELMOR_OWN

struct Wire {
    C Id;
    A Action;
    const Handler* Fires;
};

// One handler often serves several controls; a menu item and its tool
// button share one. The curve rows and the port items follow below.
// clang-format off
constexpr Wire WIRES[] = {
    {C::SpeedButton6,            A::Click,   &MENU_NEW_CLICK},
    {C::MenuNew,                 A::Click,   &MENU_NEW_CLICK},
    {C::SpeedButton5,            A::Click,   &MENU_OPEN_CLICK},
    {C::MenuOpen,                A::Click,   &MENU_OPEN_CLICK},
    {C::SpeedButton7,            A::Click,   &MENU_SAVE_CLICK},
    {C::MenuSave,                A::Click,   &MENU_SAVE_CLICK},
    {C::SpeedButtonPrint,        A::Click,   &SPEED_BUTTON_PRINT_CLICK},
    {C::MenuPrint,               A::Click,   &SPEED_BUTTON_PRINT_CLICK},
    {C::SpeedButtonZpet,         A::Click,   &SPEED_BUTTON_ZPET_CLICK},
    {C::MenuZpet,                A::Click,   &SPEED_BUTTON_ZPET_CLICK},
    {C::SpeedButtonZnovu,        A::Click,   &SPEED_BUTTON_ZNOVU_CLICK},
    {C::MenuZnovu,               A::Click,   &SPEED_BUTTON_ZNOVU_CLICK},
    {C::ButtonRead,              A::Click,   &MENU_READ_CLICK},
    {C::MenuRead,                A::Click,   &MENU_READ_CLICK},
    {C::ButtonVerify,            A::Click,   &MENU_VERIFY_CLICK},
    {C::MenuVerify,              A::Click,   &MENU_VERIFY_CLICK},
    {C::ButtonProgram,           A::Click,   &MENU_PROGRAM_CLICK},
    {C::MenuProgram,             A::Click,   &MENU_PROGRAM_CLICK},
    {C::BitBtnAdvMinus,          A::Click,   &BIT_BTN_ADV_MINUS_CLICK},
    {C::MenuAdvanceMinus,        A::Click,   &BIT_BTN_ADV_MINUS_CLICK},
    {C::BitBtnAdvPlus,           A::Click,   &BIT_BTN_ADV_PLUS_CLICK},
    {C::MenuAdvancePlus,         A::Click,   &BIT_BTN_ADV_PLUS_CLICK},
    {C::MenuExit,                A::Click,   &MENU_EXIT_CLICK},
    {C::MenuEnglish,             A::Click,   &MENU_ENGLISH_CLICK},
    {C::MenuGerman,              A::Click,   &MENU_GERMAN_CLICK},
    {C::MenuFrench,              A::Click,   &MENU_FRENCH_CLICK},
    {C::MenuCzech,               A::Click,   &MENU_CZECH_CLICK},
    {C::MenuContens,             A::Click,   &MENU_CONTENS_CLICK},
    {C::MenuAbout,               A::Click,   &MENU_ABOUT_CLICK},
    {C::MenuRecord,              A::Click,   &MENU_RECORD_CLICK},
    {C::MenuCompare,             A::Click,   &MENU_COMPARE_CLICK},
    {C::MenuBackups,             A::Click,   &MENU_BACKUPS_CLICK},
    {C::MenuLog,                 A::Click,   &MENU_LOG_CLICK},
    {C::MenuLogViewer,           A::Click,   &MENU_LOG_VIEWER_CLICK},
    {C::RadioGroupPolarita,      A::Click,   &RADIO_GROUP_POLARITA_CLICK},
    {C::RadioGroupInput1,        A::Click,   &RADIO_GROUP_INPUT1_CLICK},
    {C::RadioGroupInput2,        A::Click,   &RADIO_GROUP_INPUT2_CLICK},
    {C::ComboBoxBike,            A::Change,  &EDIT_EXIT},
    {C::ComboBoxPocPalcu,        A::Change,  &EDIT_EXIT},
    {C::CheckBoxProgHned,        A::MouseUp, &CHECK_BOX_PROG_HNED_MOUSE_UP},
    {C::CheckBoxZakazCteni,      A::MouseUp, &CHECK_BOX_PROG_HNED_MOUSE_UP},
    {C::CheckBoxRevOutLedRazeni, A::MouseUp, &CHECK_BOX_PROG_HNED_MOUSE_UP},
    {C::FormHlav,                A::Key,     &FORM_KEY_PRESS},
};

// Spinner-edits beside the curve: the edit commits on exit and Enter, the
// spinner on each step. The clutch times and the shift light commit only on
// Enter; their spinners just step.
struct SpinnerWire {
    C Edit, UpDown;
    bool Commits;
};
constexpr SpinnerWire SPINNER_WIRES[] = {
    {C::EditPocetBodu,  C::UpDownPocetBodu,  true},
    {C::EditBaseAdv,    C::UpDownBaseAdv,    true},
    {C::EditOmez1,      C::UpDownOmez1,      true},
    {C::EditOmez2,      C::UpDownOmez2,      true},
    {C::EditRetard,     C::UpDownRetard,     true},
    {C::EditRpmPulsu,   C::UpDownRpmPulsu,   true},
    {C::EditRpmKorekce, C::UpDownRpmKorekce, true},
    {C::EditClutch1,    C::UpDownClutch1,    false},
    {C::EditClutch2,    C::UpDownClutch2,    false},
    {C::EditLedRazeni,  C::UpDownLedRazeni,  false},
};
// clang-format on

using Table = std::array<std::array<const Handler*, USER_ACTION_COUNT>, CONTROL_COUNT>;

constexpr Table MakeTable() {
    Table t{};
    auto wire = [&t](C id, A action, const Handler* h) {
        t[static_cast<size_t>(Index(id))][static_cast<size_t>(action)] = h;
    };
    for (const Wire& w : WIRES)
        wire(w.Id, w.Action, w.Fires);
    for (const SpinnerWire& s : SPINNER_WIRES) {
        wire(s.Edit, A::Key, &FORM_KEY_PRESS);
        if (!s.Commits) continue;
        wire(s.Edit, A::Exit, &EDIT_EXIT);
        wire(s.UpDown, A::Step, &UP_DOWN_CLICK);
    }
    for (int k = 0; k < CURVE_POINTS; ++k) {
        for (C edit : {RpmEdit(k), AdvanceEdit(k)}) {
            wire(edit, A::Exit, &EDIT_EXIT);
            wire(edit, A::Key, &FORM_KEY_PRESS);
        }
        wire(RpmUpDown(k), A::Step, &UP_DOWN_CLICK);
        wire(AdvanceUpDown(k), A::Step, &UP_DOWN_CLICK);
    }
    for (int n = 1; n <= 10; ++n)
        wire(ComItem(n), A::Click, &MENU_COM1_CLICK);
    return t;
}
constexpr Table TABLE = MakeTable();

// What a step acts on: a spinner, or the spinner of an edit; FormHlav for others.
C Stepped(C id) {
    switch (LayoutOf(id).Kind) {
    case ControlKind::UpDown:
        return id;
    case ControlKind::Edit:
        return WindowModel::UpDownOf(id);
    default:
        return C::FormHlav;
    }
}

} // namespace

const Handler* HandlerOf(ControlId id, UserAction action) {
    if (action == A::Step) id = Stepped(id);
    return TABLE[static_cast<size_t>(Index(id))][static_cast<size_t>(action)];
}

bool TFormHlav::Fire(ControlId sender, UserAction action, int arg) {
    if (action == A::Step) {
        sender = Stepped(sender);
        if (sender == C::FormHlav || !Window[sender].Enabled) return false;
    }
    if (const Handler* h = HandlerOf(sender, action)) return h->Run(*this, sender, arg);
    // A spinner without a handler still steps, as the toolkit's spinner does.
    if (action == A::Step) Window.StepSpinner(sender, arg);
    return false;
}

} // namespace kelmor
