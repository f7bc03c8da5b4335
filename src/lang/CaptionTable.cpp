#include "lang/CaptionTable.h"

namespace kelmor {

void ForEachCaption(TLanguage, const TMessageTable&, CaptionSink, void*) {}

} // namespace kelmor
