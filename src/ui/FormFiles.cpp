// Parameter files, settings, print, manual and test mode of the main window.
#include "ui/TFormHlav.h"

namespace kelmor {

void TFormHlav::LoadSettings() {}
void TFormHlav::SaveSettings() {}
void TFormHlav::ReadTestFile() {
    TestMode = false;
}
void TFormHlav::MenuNewClick() {}
void TFormHlav::MenuOpenClick() {}
void TFormHlav::MenuSaveClick() {}
void TFormHlav::SpeedButtonPrintClick() {}
void TFormHlav::MenuContensClick() {}

} // namespace kelmor
