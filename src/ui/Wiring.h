#pragma once
#include <cstdint>

#include "ui/ControlId.h"

namespace kelmor {

class TFormHlav;

// What the user does to a control, as the view reports it.
enum class UserAction : uint8_t {
    Click,   // a button, a tool button, a menu item, an item of a radio group
    Change,  // another item selected in a drop-down list
    Exit,    // the focus leaves an edit
    Step,    // one step of a spinner: its arrows, or an arrow key in its edit
    Key,     // a character typed into an edit or the window (Enter is 13)
    MouseUp, // a mouse button released over a check box
};
inline constexpr int USER_ACTION_COUNT = 6;

// An event handler of TFormHlav by its name, and the call that runs it with
// the sender and the action's argument (a step's direction, a typed
// character). The call returns false only for a key the handler let pass.
struct Handler {
    const char* Name;
    bool (*Run)(TFormHlav& form, ControlId sender, int arg);
};

// The event wiring of the window: the handler an action on a control fires,
// or nullptr when it fires none. An arrow key in a spinner's edit is a step
// of the spinner.
const Handler* HandlerOf(ControlId id, UserAction action);

} // namespace kelmor
