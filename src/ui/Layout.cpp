#include "ui/Layout.h"

#include <array>
#include <tuple>

namespace kelmor {

const char* ControlName(ControlId id) {
    static constexpr const char* NAMES[] = {
#define KELMOR_NAME_ENTRY(name) #name,
        KELMOR_CONTROLS(KELMOR_NAME_ENTRY)
#undef KELMOR_NAME_ENTRY
    };
    return NAMES[Index(id)];
}

namespace {

using C = ControlId;
using K = ControlKind;

struct Builder {
    std::array<ControlLayout, CONTROL_COUNT> rows{};

    ControlLayout& Add(C id, K kind, C parent, int l, int t, int w, int h) {
        ControlLayout& r = rows[Index(id)];
        r.Id = id;
        r.Kind = kind;
        r.Parent = parent;
        r.Left = l;
        r.Top = t;
        r.Width = w;
        r.Height = h;
        if (kind == K::ToolButton) r.TakesFocus = false;
        return r;
    }
    // A spinner-edit: the edit and the up-down glued to it.
    void Spinner(C edit, C updown, C parent, int el, int et, int ew, int ul, int min, int max,
                 int step, bool grouped, int design) {
        // Edits are drawn in the window (edit) colour, not on the button face.
        Add(edit, K::Edit, parent, el, et, ew, 21).Background = Colour::Window;
        ControlLayout& u = Add(updown, K::UpDown, parent, ul, et, 16, 21);
        u.Min = min;
        u.Max = max;
        u.Step = step;
        u.Grouped = grouped;
        u.Design = design;
        u.Buddy = edit;
        u.TakesFocus = false;
    }
    ControlLayout& Menu(C id, K kind, C parent, const char* text, const char* shortcut = "") {
        ControlLayout& r = Add(id, kind, parent, 0, 0, 0, 0);
        r.Text = text;
        r.Shortcut = shortcut;
        r.TakesFocus = false;
        return r;
    }
};

Builder Build() {
    Builder b;
    ControlLayout& form =
        b.Add(C::FormHlav, K::Form, C::FormHlav, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT);
    form.Text = "Programming of \"ZEV Torvanic\" unit";

    // Tool bar.
    b.Add(C::GroupBoxToolBar, K::GroupBox, C::FormHlav, 4, 0, 437, 43);
    b.Add(C::SpeedButton6, K::ToolButton, C::GroupBoxToolBar, 8, 12, 24, 23).ShowsTooltip = true;
    b.Add(C::SpeedButton5, K::ToolButton, C::GroupBoxToolBar, 40, 12, 24, 23).ShowsTooltip = true;
    b.Add(C::SpeedButton7, K::ToolButton, C::GroupBoxToolBar, 73, 12, 24, 23).ShowsTooltip = true;
    b.Add(C::SpeedButtonPrint, K::ToolButton, C::GroupBoxToolBar, 106, 12, 24, 23).ShowsTooltip =
        true;
    b.Add(C::SpeedButtonZpet, K::ToolButton, C::GroupBoxToolBar, 139, 13, 23, 22);
    b.Add(C::SpeedButtonZnovu, K::ToolButton, C::GroupBoxToolBar, 172, 13, 23, 22);
    for (auto [id, l, w] :
         {std::tuple{C::ButtonRead, 206, 57}, std::tuple{C::ButtonVerify, 273, 65},
          std::tuple{C::ButtonProgram, 348, 81}}) {
        ControlLayout& r = b.Add(id, K::Button, C::GroupBoxToolBar, l, 13, w, 23);
        r.ShowsTooltip = true;
        r.TakesFocus = false;
    }

    // Header.
    ControlLayout& spojeni = b.Add(C::LabelSpojeni, K::Label, C::FormHlav, 445, 9, 174, 29);
    spojeni.Background = Colour::Red;
    spojeni.Bold = true;
    spojeni.FontPx = 23;
    b.Add(C::ImageLogo, K::Image, C::FormHlav, 343, 53, 468, 73);

    // Advance-curve editor.
    b.Add(C::GroupBox6, K::GroupBox, C::FormHlav, 4, 48, 333, 417);
    static constexpr int ROW_TOP[15] = {49,  85,  120, 156, 191, 227, 262, 298,
                                        334, 370, 47,  83,  118, 154, 189};
    static constexpr int RPM_DESIGN[15] = {1000, 2000,  3000, 4000, 5000, 6000, 7000, 8000,
                                           9000, 10000, 3000, 4000, 5000, 6000, 7000};
    for (int k = 0; k < 15; ++k) {
        int x = k < 10 ? 0 : 159;
        b.Spinner(RpmEdit(k), RpmUpDown(k), C::GroupBox6, 20 + x, ROW_TOP[k], 40, 60 + x, 600,
                  20100, 100, true, RPM_DESIGN[k]);
        b.Spinner(AdvanceEdit(k), AdvanceUpDown(k), C::GroupBox6, 99 + x, ROW_TOP[k], 30, 129 + x,
                  0, 60, 1, false, 20);
    }
    b.Add(C::LabelRpm1, K::Label, C::GroupBox6, 28, 20, 24, 13).Text = "RPM";
    b.Add(C::LabelAdvance1, K::Label, C::GroupBox6, 98, 20, 75, 13);
    b.Add(C::LabelRpm2, K::Label, C::GroupBox6, 188, 20, 24, 13).Text = "RPM";
    b.Add(C::LabelAdvance2, K::Label, C::GroupBox6, 258, 20, 32, 13);
    for (auto [id, l, text] :
         {std::tuple{C::BitBtnAdvMinus, 181, "-"}, std::tuple{C::BitBtnAdvPlus, 229, "+"}}) {
        ControlLayout& r = b.Add(id, K::Button, C::GroupBox6, l, 240, 20, 20);
        r.Text = text;
        r.FontPx = 19;
        r.TakesFocus = false;
        r.ShowsTooltip = true;
    }
    b.Add(C::CheckBoxIgnAll, K::CheckBox, C::GroupBox6, 272, 242, 40, 17).TakesFocus = false;
    b.Add(C::LabelPocetBodu, K::Label, C::GroupBox6, 179, 292, 55, 13);
    b.Spinner(C::EditPocetBodu, C::UpDownPocetBodu, C::GroupBox6, 179, 312, 26, 205, 1, 15, 1, true,
              3);
    b.Add(C::LabelBaseAdv, K::Label, C::GroupBox6, 179, 346, 82, 13);
    b.Spinner(C::EditBaseAdv, C::UpDownBaseAdv, C::GroupBox6, 179, 369, 42, 221, 0, 40, 1, true,
              40);

    // Settings column.
    ControlLayout& pol =
        b.Add(C::RadioGroupPolarita, K::RadioGroup, C::FormHlav, 343, 130, 218, 90);
    pol.Text = "Positive\nNegative\nSelfsearch";
    b.Add(C::GroupBoxRpm, K::GroupBox, C::FormHlav, 343, 226, 218, 109);
    b.Spinner(C::EditRpmPulsu, C::UpDownRpmPulsu, C::GroupBoxRpm, 16, 28, 30, 46, 1, 6, 1, false,
              1);
    b.Add(C::LabelRpmPulsu, K::Label, C::GroupBoxRpm, 75, 31, 31, 13);
    b.Spinner(C::EditRpmKorekce, C::UpDownRpmKorekce, C::GroupBoxRpm, 16, 68, 30, 46, -60, 60, 1,
              false, 0);
    b.Add(C::LabelRpmKorekce, K::Label, C::GroupBoxRpm, 75, 71, 48, 13);
    b.Add(C::GroupBox3, K::GroupBox, C::FormHlav, 341, 341, 218, 124);
    b.Spinner(C::EditOmez2, C::UpDownOmez2, C::GroupBox3, 16, 29, 42, 58, 999, 25000, 100, true,
              15000);
    b.Add(C::LabelOmez2, K::Label, C::GroupBox3, 83, 33, 59, 13);
    ControlLayout& ph = b.Add(C::CheckBoxProgHned, K::CheckBox, C::GroupBox3, 16, 78, 193, 16);
    ph.TakesFocus = false;
    ph.ShowsTooltip = true;

    // Live monitor column.
    auto mon = [&](C id, int l, int t, int w, bool bold, const char* text, bool shown) {
        ControlLayout& r = b.Add(id, K::Label, C::FormHlav, l, t, w, 20);
        r.FontPx = 16;
        r.Bold = bold;
        r.Text = text;
        r.ShownAtStart = shown;
    };
    mon(C::LabelRpm, 580, 131, 83, true, "RPM = ---", true);
    ControlLayout& gr = b.Add(C::CGaugeRpm, K::Gauge, C::FormHlav, 580, 153, 241, 16);
    gr.Max = 100;
    gr.Background = Colour::Fuchsia;
    gr.Gauge100 = true;
    mon(C::LabelMon_Advance, 580, 175, 151, true, "", true);
    mon(C::LabelSnimac, 580, 198, 86, false, "", true);
    mon(C::LabelNapeti, 580, 220, 85, true, "U = --- [V]", true);
    mon(C::LabelMonHardLimiter, 580, 246, 69, false, "", true);
    mon(C::LabelPolaritaMer, 580, 272, 86, false, "", true);
    mon(C::LabelKillSwitch, 763, 560, 111, false, "Kill switch = ---", false);
    mon(C::LabelBlocking, 763, 582, 94, false, "", false);
    mon(C::LabelMonRetard, 763, 604, 80, false, "", false);
    mon(C::LabelMonStartLimiterOut, 763, 627, 95, false, "", false);
    mon(C::LabelMonLedRazeni, 600, 591, 91, false, "", false);
    mon(C::LabelClutchMon, 595, 617, 78, false, "", false);
    ControlLayout& gmi = b.Add(C::GroupBoxMonInput, K::GroupBox, C::FormHlav, 340, 512, 218, 79);
    gmi.FontPx = 13;
    gmi.ShownAtStart = false;
    for (auto [id, t] :
         {std::tuple{C::LabelMonInput1In, 26}, std::tuple{C::LabelMonInput2In, 50}}) {
        ControlLayout& r = b.Add(id, K::Label, C::GroupBoxMonInput, 18, t, 61, 20);
        r.FontPx = 16;
    }

    // Status area.
    ControlLayout& hl = b.Add(C::LabelHlaseni, K::Label, C::FormHlav, 9, 462, 97, 16);
    hl.Bold = true;
    hl.FontPx = 13;
    hl.ShownAtStart = false;
    ControlLayout& gp = b.Add(C::CGaugeProgram, K::Gauge, C::FormHlav, 8, 485, 273, 16);
    gp.Max = 3;
    gp.Background = Colour::Aqua;
    gp.ShownAtStart = false;
    for (auto [id, l, w] : {std::tuple{C::LabelVerze1, 13, 28}, std::tuple{C::LabelVerze2, 85, 54},
                            std::tuple{C::LabelVerze3, 158, 27}})
        b.Add(id, K::Label, C::FormHlav, l, 512, w, 13).ShowsTooltip = true;
    b.Add(C::LabelPocetProgramovani, K::Label, C::FormHlav, 13, 528, 126, 13);
    b.Add(C::LabelFile1, K::Label, C::FormHlav, 13, 548, 19, 13);
    b.Add(C::LabelFile2, K::Label, C::FormHlav, 60, 548, 30, 13);
    for (auto [id, t, w, text] :
         {std::tuple{C::LabelVersion, 596, 124, ""},
          std::tuple{C::LabelEeDataErr, 628, 217, "Programmed data error"}}) {
        ControlLayout& r = b.Add(id, K::Label, C::FormHlav, 13, t, w, 24);
        r.Background = Colour::Red;
        r.Bold = true;
        r.FontPx = 19;
        r.Text = text;
        r.ShownAtStart = false;
    }
    ControlLayout& ct = b.Add(C::LabelCasTisku, K::Label, C::FormHlav, 13, 562, 82, 16);
    ct.Bold = true;
    ct.FontPx = 13;
    ct.ShownAtStart = false;
    b.Add(C::StatusBar1, K::StatusBar, C::FormHlav, 0, 657, 920, 19);

    // Groups that nothing shows; their controls still carry values.
    b.Add(C::GroupBox2, K::GroupBox, C::FormHlav, 565, 304, 258, 250).ShownAtStart = false;
    static constexpr const char* BIKES =
        "Standard\nHonda CBF250\nHusaberg 4T SEM\nKawasaki KLR 600 older model\nKTM 4T "
        "SEM\nSuzuki Freewind\nYamaha XT 600 older model\n2T SEM";
    for (auto [id, t, text] :
         {std::tuple{C::ComboBoxBike, 20, BIKES}, std::tuple{C::ComboBoxPocPalcu, 49, "\n\n\n"}}) {
        ControlLayout& r = b.Add(id, K::ComboBox, C::GroupBox2, 16, t, 233, 21);
        r.Text = text;
        r.FixedHint = "Type of keying";
        r.TakesFocus = false;
    }
    b.Spinner(C::EditOmez1, C::UpDownOmez1, C::GroupBox2, 16, 82, 42, 58, 999, 25000, 100, true,
              15000);
    b.Add(C::LabelOmez1, K::Label, C::GroupBox2, 83, 86, 81, 13);
    b.Spinner(C::EditRetard, C::UpDownRetard, C::GroupBox2, 16, 134, 42, 58, 0, 25, 1, false, 0);
    b.Add(C::LabelRetard, K::Label, C::GroupBox2, 83, 138, 45, 13);
    b.Spinner(C::EditClutch1, C::UpDownClutch1, C::GroupBox2, 16, 167, 42, 58, 0, 2500, 10, true,
              2500);
    b.Add(C::LabelClutch1, K::Label, C::GroupBox2, 83, 171, 108, 13);
    b.Spinner(C::EditClutch2, C::UpDownClutch2, C::GroupBox2, 16, 199, 42, 58, 0, 2500, 10, true,
              2500);
    b.Add(C::LabelClutch2, K::Label, C::GroupBox2, 83, 203, 118, 13);
    b.Add(C::CheckBoxZakazCteni, K::CheckBox, C::GroupBox2, 16, 214, 193, 17).TakesFocus = false;
    b.Add(C::GroupBox1, K::GroupBox, C::FormHlav, 599, 656, 258, 65).ShownAtStart = false;
    b.Spinner(C::EditLedRazeni, C::UpDownLedRazeni, C::GroupBox1, 16, 12, 42, 58, 1000, 25000, 100,
              true, 15000);
    b.Add(C::LabelLedRazeni, K::Label, C::GroupBox1, 83, 16, 68, 13);
    b.Add(C::CheckBoxRevOutLedRazeni, K::CheckBox, C::GroupBox1, 16, 42, 217, 15);
    ControlLayout& ri1 = b.Add(C::RadioGroupInput1, K::RadioGroup, C::FormHlav, 122, 661, 218, 69);
    ri1.ShownAtStart = false;
    ri1.Text = "\n\n\n\n";
    ControlLayout& ri2 = b.Add(C::RadioGroupInput2, K::RadioGroup, C::FormHlav, 346, 656, 218, 67);
    ri2.ShownAtStart = false;
    ri2.Text = "\n\n\n\n";

    // Test read-outs, below the design client height.
    static constexpr const char* TEST_TEXTS[8] = {"Test1 = ---", "Test2 = ---", "Test3 = ---",
                                                  "Test4 = ---", "Test5 = ---", "Test6 = ---",
                                                  "Test7 = ---", "Test8 = ---"};
    static constexpr int TEST_LEFT[4] = {16, 128, 280, 416};
    for (int n = 0; n < 8; ++n) {
        ControlLayout& r = b.Add(TestLabel(n + 1), K::Label, C::FormHlav, TEST_LEFT[n / 2],
                                 n % 2 ? 736 : 709, 71, 16);
        r.Bold = true;
        r.FontPx = 13;
        r.Text = TEST_TEXTS[n];
        r.ShownAtStart = false;
    }

    // Main menu.
    b.Menu(C::MainMenu1, K::MenuBar, C::FormHlav, "");
    b.Menu(C::MenuFile, K::Menu, C::MainMenu1, "&File");
    b.Menu(C::MenuNew, K::MenuItem, C::MenuFile, "&New", "Ctrl+N");
    b.Menu(C::N3, K::MenuSeparator, C::MenuFile, "-");
    b.Menu(C::MenuOpen, K::MenuItem, C::MenuFile, "&Open", "F3");
    b.Menu(C::N1, K::MenuSeparator, C::MenuFile, "-");
    b.Menu(C::MenuSave, K::MenuItem, C::MenuFile, "&Save", "F2");
    b.Menu(C::N2, K::MenuSeparator, C::MenuFile, "-");
    b.Menu(C::MenuPrint, K::MenuItem, C::MenuFile, "&Print", "Ctrl+P");
    b.Menu(C::N4, K::MenuSeparator, C::MenuFile, "-");
    b.Menu(C::MenuExit, K::MenuItem, C::MenuFile, "E&xit");
    b.Menu(C::MenuCom, K::Menu, C::MainMenu1, "&Com");
    static constexpr const char* COM_CAPTIONS[10] = {"Com &1", "Com &2", "Com &3", "Com &4",
                                                     "Com &5", "Com &6", "Com &7", "Com &8",
                                                     "Com &9", "Com 1&0"};
    for (int n = 1; n <= 10; ++n)
        b.Menu(ComItem(n), K::MenuItem, C::MenuCom, COM_CAPTIONS[n - 1]).CheckedAtStart = n == 2;
    b.Menu(C::MenuDevice, K::Menu, C::MainMenu1, "&Ignition");
    b.Menu(C::MenuRead, K::MenuItem, C::MenuDevice, "&Read", "F7");
    b.Menu(C::MenuVerify, K::MenuItem, C::MenuDevice, "&Verify", "F8");
    b.Menu(C::MenuProgram, K::MenuItem, C::MenuDevice, "&Programing", "F9");
    b.Menu(C::MenuTools, K::Menu, C::MainMenu1, "Tools");
    b.Menu(C::MenuAdvanceMinus, K::MenuItem, C::MenuTools, "Advance -", "F4").FixedHint =
        "Curve A minus|Take off 1 degree of curve A";
    b.Menu(C::MenuAdvancePlus, K::MenuItem, C::MenuTools, "Advance +", "F5").FixedHint =
        "Curve A plus|Add 1 degree of curve A";
    b.Menu(C::MenuZpet, K::MenuItem, C::MenuTools, "Undo", "Ctrl+Z");
    b.Menu(C::MenuZnovu, K::MenuItem, C::MenuTools, "Redo", "Ctrl+Alt+Z");
    b.Menu(C::MenuLanguage, K::Menu, C::MainMenu1, "&Language");
    b.Menu(C::MenuEnglish, K::MenuItem, C::MenuLanguage, "&English").CheckedAtStart = true;
    b.Menu(C::MenuGerman, K::MenuItem, C::MenuLanguage, "&German");
    b.Menu(C::MenuFrench, K::MenuItem, C::MenuLanguage, "&French");
    b.Menu(C::MenuCzech, K::MenuItem, C::MenuLanguage, "&Czech");
    b.Menu(C::MenuHelp, K::Menu, C::MainMenu1, "&Help").FixedHint = "Not available jet";
    b.Menu(C::MenuContens, K::MenuItem, C::MenuHelp, "&Contents...", "F1");
    b.Menu(C::MenuAbout, K::MenuItem, C::MenuHelp, "&About...");

    // The advance chart fills the free space right of the settings column;
    // the monitor log's line sits in the status area between the file name
    // and the version warning.
    b.Add(C::ImageCurve, K::Image, C::FormHlav, 565, 300, 350, 255);
    b.Add(C::LabelLog, K::Label, C::FormHlav, 13, 580, 330, 14).ShownAtStart = false;
    // The File items go before the separator above Exit (the view puts them there).
    b.Menu(C::MenuRecord, K::MenuItem, C::MenuFile, "Workshop &record (PDF)...");
    b.Menu(C::MenuCompare, K::MenuItem, C::MenuFile, "Co&mpare with file...");
    b.Menu(C::MenuBackups, K::MenuItem, C::MenuFile, "Open &backup...");
    b.Menu(C::MenuLog, K::MenuItem, C::MenuTools, "Monitor &log", "Ctrl+L");
    b.Menu(C::MenuLogViewer, K::MenuItem, C::MenuTools, "Log &viewer...");
    // Whether the unit holds the set shown, right of the tool bar and of the
    // no-connection label at its widest.
    ControlLayout& unit = b.Add(C::LabelUnitState, K::Label, C::FormHlav, 752, 14, 164, 18);
    unit.FontPx = 13;
    unit.Bold = true;
    return b;
}

const std::array<ControlLayout, CONTROL_COUNT>& Rows() {
    static const Builder BUILT = Build();
    return BUILT.rows;
}

constexpr std::array<ControlId, TAB_ORDER_SIZE> MakeTabOrder() {
    std::array<ControlId, TAB_ORDER_SIZE> order{};
    int n = 0;
    for (int k = 0; k < 15; ++k) {
        order[n++] = RpmEdit(k);
        order[n++] = AdvanceEdit(k);
    }
    order[n++] = C::EditPocetBodu;
    order[n++] = C::EditBaseAdv;
    order[n++] = C::RadioGroupPolarita;
    order[n++] = C::EditRpmKorekce;
    order[n++] = C::EditRpmPulsu;
    order[n++] = C::EditOmez2;
    return order;
}
constexpr std::array<ControlId, TAB_ORDER_SIZE> TAB_ORDER_ARRAY = MakeTabOrder();

} // namespace

const ControlLayout& LayoutOf(ControlId id) {
    return Rows()[Index(id)];
}

const std::array<ControlId, TAB_ORDER_SIZE>& TabOrder() {
    return TAB_ORDER_ARRAY;
}

} // namespace kelmor
