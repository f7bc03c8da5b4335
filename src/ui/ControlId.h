#pragma once
#include <cstdint>

namespace kelmor {

// Every control of the main window, by its name. The window model, the
// layout table and the Qt view all index by this id.
// clang-format off
#define KELMOR_CURVE_ROW(X, n) \
    X(EditRpmAdv##n) X(UpDownRpmAdv##n) X(EditAdvance##n) X(UpDownAdvance##n)
#define KELMOR_CONTROLS(X) \
    X(FormHlav) X(GroupBoxToolBar) X(SpeedButton6) X(SpeedButton5) X(SpeedButton7) \
    X(SpeedButtonPrint) X(SpeedButtonZpet) X(SpeedButtonZnovu) X(ButtonRead) X(ButtonVerify) \
    X(ButtonProgram) X(LabelSpojeni) X(ImageLogo) X(GroupBox6) KELMOR_CURVE_ROW(X, 1) \
    KELMOR_CURVE_ROW(X, 2) KELMOR_CURVE_ROW(X, 3) KELMOR_CURVE_ROW(X, 4) KELMOR_CURVE_ROW(X, 5) \
    KELMOR_CURVE_ROW(X, 6) KELMOR_CURVE_ROW(X, 7) KELMOR_CURVE_ROW(X, 8) KELMOR_CURVE_ROW(X, 9) \
    KELMOR_CURVE_ROW(X, 10) KELMOR_CURVE_ROW(X, 11) KELMOR_CURVE_ROW(X, 12) \
    KELMOR_CURVE_ROW(X, 13) KELMOR_CURVE_ROW(X, 14) KELMOR_CURVE_ROW(X, 15) X(LabelRpm1) \
    X(LabelAdvance1) X(LabelRpm2) X(LabelAdvance2) X(BitBtnAdvMinus) X(BitBtnAdvPlus) \
    X(CheckBoxIgnAll) X(LabelPocetBodu) X(EditPocetBodu) X(UpDownPocetBodu) X(LabelBaseAdv) \
    X(EditBaseAdv) X(UpDownBaseAdv) X(RadioGroupPolarita) X(GroupBoxRpm) X(EditRpmPulsu) \
    X(UpDownRpmPulsu) X(LabelRpmPulsu) X(EditRpmKorekce) X(UpDownRpmKorekce) X(LabelRpmKorekce) \
    X(GroupBox3) X(EditOmez2) X(UpDownOmez2) X(LabelOmez2) X(CheckBoxProgHned) X(LabelRpm) \
    X(CGaugeRpm) X(LabelMon_Advance) X(LabelSnimac) X(LabelNapeti) X(LabelMonHardLimiter) \
    X(LabelPolaritaMer) X(LabelKillSwitch) X(LabelBlocking) X(LabelMonRetard) \
    X(LabelMonStartLimiterOut) X(LabelMonLedRazeni) X(LabelClutchMon) X(GroupBoxMonInput) \
    X(LabelMonInput1In) X(LabelMonInput2In) X(LabelHlaseni) X(CGaugeProgram) X(LabelVerze1) \
    X(LabelVerze2) X(LabelVerze3) X(LabelPocetProgramovani) X(LabelFile1) X(LabelFile2) \
    X(LabelVersion) X(LabelCasTisku) X(LabelEeDataErr) X(StatusBar1) X(GroupBox2) \
    X(ComboBoxBike) X(ComboBoxPocPalcu) X(EditOmez1) X(UpDownOmez1) X(LabelOmez1) X(EditRetard) \
    X(UpDownRetard) X(LabelRetard) X(EditClutch1) X(UpDownClutch1) X(LabelClutch1) \
    X(EditClutch2) X(UpDownClutch2) X(LabelClutch2) X(CheckBoxZakazCteni) X(GroupBox1) \
    X(EditLedRazeni) X(UpDownLedRazeni) X(LabelLedRazeni) X(CheckBoxRevOutLedRazeni) \
    X(RadioGroupInput1) X(RadioGroupInput2) X(LabelTest1) X(LabelTest2) X(LabelTest3) \
    X(LabelTest4) X(LabelTest5) X(LabelTest6) X(LabelTest7) X(LabelTest8) X(MainMenu1) \
    X(MenuFile) X(MenuNew) X(N3) X(MenuOpen) X(N1) X(MenuSave) X(N2) X(MenuPrint) X(N4) \
    X(MenuExit) X(MenuCom) X(MenuCom1) X(MenuCom2) X(MenuCom3) X(MenuCom4) X(MenuCom5) \
    X(MenuCom6) X(MenuCom7) X(MenuCom8) X(MenuCom9) X(MenuCom10) X(MenuDevice) X(MenuRead) \
    X(MenuVerify) X(MenuProgram) X(MenuTools) X(MenuAdvanceMinus) X(MenuAdvancePlus) X(MenuZpet) \
    X(MenuZnovu) X(MenuLanguage) X(MenuEnglish) X(MenuGerman) X(MenuFrench) X(MenuCzech) \
    X(MenuHelp) X(MenuContens) X(MenuAbout) X(MenuRecord) X(MenuCompare) X(MenuBackups) \
    X(MenuLog) X(LabelLog) X(ImageCurve) X(MenuLogViewer) X(LabelUnitState)
// clang-format on

enum class ControlId : uint16_t {
#define KELMOR_ENUM_ENTRY(name) name,
    KELMOR_CONTROLS(KELMOR_ENUM_ENTRY)
#undef KELMOR_ENUM_ENTRY
        Count
};

inline constexpr int CONTROL_COUNT = static_cast<int>(ControlId::Count);

inline constexpr int Index(ControlId id) {
    return static_cast<int>(id);
}

// The control's name as the code spells it, for diagnostics and tests.
const char* ControlName(ControlId id);

// Offsets within one curve row, so that row n's controls are reachable by arithmetic.
inline constexpr ControlId CurveControl(int k, int member) {
    return static_cast<ControlId>(Index(ControlId::EditRpmAdv1) + 4 * k + member);
}
inline constexpr ControlId RpmEdit(int k) {
    return CurveControl(k, 0);
}
inline constexpr ControlId RpmUpDown(int k) {
    return CurveControl(k, 1);
}
inline constexpr ControlId AdvanceEdit(int k) {
    return CurveControl(k, 2);
}
inline constexpr ControlId AdvanceUpDown(int k) {
    return CurveControl(k, 3);
}
static_assert(RpmEdit(14) == ControlId::EditRpmAdv15);
static_assert(AdvanceUpDown(14) == ControlId::UpDownAdvance15);

inline constexpr ControlId ComItem(int n) { // n = 1..10
    return static_cast<ControlId>(Index(ControlId::MenuCom1) + n - 1);
}
static_assert(ComItem(10) == ControlId::MenuCom10);

inline constexpr ControlId TestLabel(int n) { // n = 1..8
    return static_cast<ControlId>(Index(ControlId::LabelTest1) + n - 1);
}
static_assert(TestLabel(8) == ControlId::LabelTest8);

} // namespace kelmor
