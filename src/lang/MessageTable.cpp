// Provisional English-only table; the four-language tables replace it.
#include "lang/TMessageTable.h"

namespace kelmor {

std::string MessageText(MessageSlot slot, TLanguage) {
    switch (slot) {
#define KELMOR_SLOT_CASE(name)                                                                     \
    case MessageSlot::name:                                                                        \
        return #name;
        KELMOR_MESSAGE_SLOTS(KELMOR_SLOT_CASE)
#undef KELMOR_SLOT_CASE
    default:
        return {};
    }
}

void FillMessageTable(TLanguage language, TMessageTable& t, void (*afterSlot)(MessageSlot, void*),
                      void* context) {
#define KELMOR_SLOT_FILL(name)                                                                     \
    t.name = MessageText(MessageSlot::name, language);                                             \
    if (afterSlot) afterSlot(MessageSlot::name, context);
    KELMOR_MESSAGE_SLOTS(KELMOR_SLOT_FILL)
#undef KELMOR_SLOT_FILL
}

} // namespace kelmor
