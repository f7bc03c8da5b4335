#pragma once
#include <string>
#include <string_view>

#include "lang/TLanguage.h"
#include "lang/TMessageTable.h"

namespace kelmor {

// Which property of a control a caption row sets.
enum class CaptionProperty {
    Caption, // caption of a control or menu item; the window title for "FormHlav"
    Hint,    // "short|long" hint
    Items,   // the whole item list of a radio group, items separated by '\n'
    Item,    // one item of a list, replaced in place (index in `item`)
    Name,    // the accessible name: what a screen reader calls the control
};

// Calls `apply` once per row of the caption table with the text for `language`;
// composed rows are built from `messages`, which must already be filled.
// Controls are named as in the window ("MenuFile", "FormHlav" for the title).
using CaptionSink = void (*)(std::string_view control, CaptionProperty what, int item,
                             std::string_view text, void* context);
void ForEachCaption(TLanguage language, const TMessageTable& messages, CaptionSink apply,
                    void* context);

// The hint of the Com menu's item n (1..10): "Set com 3".
std::string ComItemHint(TLanguage language, int n);

} // namespace kelmor
