// Start-up and shutdown order of the main window.
#include <algorithm>

#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;
}

void TFormHlav::FormCreate(const std::vector<std::string>& args) {
    for (int k = 0; k < CURVE_POINTS; ++k) {
        RpmEdits[k] = RpmEdit(k);
        AdvanceEdits[k] = AdvanceEdit(k);
        RpmUpDowns[k] = RpmUpDown(k);
        AdvanceUpDowns[k] = AdvanceUpDown(k);
    }
    // The hint handler is the view's; it calls ShowStatusHint.
    SerialLink.ComPort = 1;
    Params().Bike = 0;
    SetDefaults(Params());

    int screenW = 0, screenH = 0;
    Host.ScreenSize(screenW, screenH);
    TPlatform::Geometry g = Host.WindowGeometry();
    // Centred; on a screen smaller than the window, as large as the screen
    // from its top left, so that the menu bar is always within reach.
    g.Width = std::min(g.Width, screenW);
    g.Height = std::min(g.Height, screenH);
    g.Left = std::max(0, (screenW - g.Width) / 2);
    g.Top = std::max(0, (screenH - g.Height) / 2);
    Host.SetWindowGeometry(g);

    LoadSettings();

    if (!args.empty()) {
        static constexpr const char* WORDS[4] = {"ENGLISH", "DEUTSCH", "FRANCE", "CESKY"};
        for (uint8_t l = 0; l < 4; ++l)
            if (args[0] == WORDS[l]) {
                Language = l;
                break;
            }
    }

    Normalise();
    ApplyLanguage();
    ShowParams();
    UndoReset();
    OpenPort();
    MarkComItems();
    ShowParams();
    for (C id : {C::LabelHlaseni, C::CGaugeProgram, C::LabelEeDataErr, C::LabelVersion})
        Window.SetVisible(id, false);
    ReadTestFile();
    for (int n = 1; n <= 8; ++n)
        Window.SetVisible(TestLabel(n), TestMode);
    // The set is the last session's, not a file's, until one is opened or saved.
    if (ImageRead) State.StartedFromImage();
    UpdateVisibility();
}

void TFormHlav::FormClose() {
    ClosePort();
    ReadControls();
    Normalise();
    SaveSettings();
}

void TFormHlav::MenuExitClick() {
    Host.CloseWindow();
}

void TFormHlav::MenuAboutClick() {
    Host.ShowAbout();
}

} // namespace kelmor
