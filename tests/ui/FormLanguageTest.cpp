// The languages as the main window shows them: captions, hints, check marks
// and the monitor read-outs reset while no unit answers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lang/CaptionTable.h"
#include "support/FakePlatform.h"
#include "ui/TFormHlav.h"

namespace kelmor {
namespace {

using C = ControlId;

class FormLanguage : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    TFormHlav form{platform};
    const WindowModel& w() { return form.Model(); }

    void Apply(TLanguage language, bool unitAnswers = false) {
        form.Model().SetVisible(C::LabelSpojeni, !unitAnswers);
        form.Language = language;
        form.ApplyLanguage();
    }
};

TEST_F(FormLanguage, CaptionsAndHintsReachTheWindow) {
    struct Case {
        TLanguage Language;
        C Control;
        bool Hint;
        const char* Text;
    };
    const Case cases[] = {
        {LANG_GERMAN, C::MenuRead, false, "&Lesen"},
        {LANG_GERMAN, C::ButtonRead, false, "&Lesen"},
        {LANG_ENGLISH, C::ButtonProgram, false, "&Programing"},
        {LANG_CZECH, C::MenuAdvanceMinus, false, "Předstih -"},
        {LANG_CZECH, C::MenuCzech, false, "Če&sky"},
        {LANG_CZECH, C::MenuFrench, false, "Francouzky"},
        {LANG_CZECH, C::MenuHelp, false, "Nápověda"},
        {LANG_CZECH, C::MenuContens, false, "Obsah"},
        {LANG_CZECH, C::FormHlav, false, "Programování jednotky zapalování\"ZEV Torvanic\""},
        {LANG_FRENCH, C::FormHlav, false, "Programmation du boîtier \"ZEV Torvanic\""},
        {LANG_FRENCH, C::MenuSave, false, "&Mèmoriser"},
        {LANG_GERMAN, C::LabelFile1, false, "&Datei:"},
        {LANG_GERMAN, C::RadioGroupInput2, false, "Eingang 2"},
        {LANG_ENGLISH, C::SpeedButton7, true, "Save parametrs to file"},
        {LANG_ENGLISH, C::MenuSave, true, "Save parametrs to file"},
        {LANG_FRENCH, C::MenuCom7, true, "installer com 7"},
        {LANG_GERMAN, C::MenuFrench, true, "Installer en Francais "},
    };
    for (const Case& c : cases) {
        Apply(c.Language);
        const ControlState& s = w()[c.Control];
        EXPECT_EQ(c.Hint ? s.Hint : s.Caption, c.Text)
            << ControlName(c.Control) << " language " << +c.Language;
    }
}

TEST_F(FormLanguage, ListsAreReplaced) {
    Apply(LANG_GERMAN);
    EXPECT_EQ(w()[C::RadioGroupPolarita].Items,
              (std::vector<std::string>{"Positiv", "Negativ", "Automatisch"}));
    EXPECT_EQ(w()[C::RadioGroupInput1].Items.size(), 5u);
    EXPECT_EQ(w()[C::RadioGroupInput1].Items[1], "Not Aus");
    ASSERT_EQ(w()[C::ComboBoxPocPalcu].Items.size(), 4u);
    EXPECT_EQ(w()[C::ComboBoxPocPalcu].Items[3], "1 Zündung pro 2 Umdrehungen (Nockenwelle)");
}

// Hints that the window fixes once are not language rows.
TEST_F(FormLanguage, FixedHintsStay) {
    Apply(LANG_CZECH);
    EXPECT_EQ(w()[C::MenuHelp].Hint, "Not available jet");
    EXPECT_EQ(w()[C::MenuAdvanceMinus].Hint, "Curve A minus|Take off 1 degree of curve A");
    EXPECT_EQ(w()[C::MenuAdvancePlus].Hint, "Curve A plus|Add 1 degree of curve A");
    EXPECT_EQ(w()[C::ComboBoxPocPalcu].Hint, "Type of keying");
}

TEST_F(FormLanguage, ExactlyOneLanguageItemChecked) {
    const C items[] = {C::MenuEnglish, C::MenuGerman, C::MenuFrench, C::MenuCzech};
    void (TFormHlav::*handlers[])() = {&TFormHlav::MenuEnglishClick, &TFormHlav::MenuGermanClick,
                                       &TFormHlav::MenuFrenchClick, &TFormHlav::MenuCzechClick};
    // Every change from every language, the same one again included.
    for (int from = 0; from < LANGUAGE_COUNT; ++from)
        for (int to = 0; to < LANGUAGE_COUNT; ++to) {
            (form.*handlers[from])();
            (form.*handlers[to])();
            EXPECT_EQ(+form.Language, to);
            for (int i = 0; i < LANGUAGE_COUNT; ++i)
                EXPECT_EQ(w()[items[i]].Checked, i == to) << "from " << from << " to " << to;
        }
}

TEST_F(FormLanguage, PlaceholdersWhileNoUnitAnswers) {
    struct Case {
        TLanguage Language;
        C Control;
        const char* Text;
    };
    const Case cases[] = {
        {LANG_GERMAN, C::LabelMon_Advance, "Vorzündung= --- [°]"},
        {LANG_GERMAN, C::LabelPolaritaMer, "Polarität des CKPS: ---"},
        {LANG_ENGLISH, C::LabelPocetProgramovani, "Number of Programing=  ---"},
        {LANG_ENGLISH, C::LabelSnimac, "Pick-up (CPS): ---"},
        {LANG_FRENCH, C::LabelMonLedRazeni, "Retard à l´allumage: ---"},
        {LANG_CZECH, C::LabelMonStartLimiterOut, "Startovací omezovač: ---"},
        {LANG_CZECH, C::LabelMonHardLimiter, "Omezovač: ---"},
        {LANG_CZECH, C::LabelClutchMon, "Clutch master: ---"},
        {LANG_CZECH, C::LabelMonRetard, "Snížení předstihu: ---"},
        {LANG_CZECH, C::LabelBlocking, "Blokování: ---"},
        {LANG_GERMAN, C::LabelMonInput1In, "Eingang 1: ---"},
        {LANG_GERMAN, C::LabelMonInput2In, "Eingang 2: ---"},
    };
    for (const Case& c : cases) {
        Apply(c.Language);
        EXPECT_EQ(w()[c.Control].Caption, c.Text) << ControlName(c.Control);
    }
}

TEST_F(FormLanguage, ReadOutsKeptWhileUnitAnswers) {
    const C readOuts[] = {C::LabelMon_Advance, C::LabelPolaritaMer, C::LabelPocetProgramovani,
                          C::LabelSnimac,      C::LabelBlocking,    C::LabelMonInput1In};
    for (C id : readOuts)
        form.Model().SetCaption(id, "live");
    Apply(LANG_GERMAN, /*unitAnswers=*/true);
    for (C id : readOuts)
        EXPECT_EQ(w()[id].Caption, "live") << ControlName(id);
    EXPECT_EQ(w()[C::MenuRead].Caption, "&Lesen");
}

TEST_F(FormLanguage, SameLanguageAgainChangesNothing) {
    form.Params().Polarita = 1;
    form.ShowParams();
    form.MenuFrenchClick();
    std::vector<ControlState> before;
    for (int i = 0; i < CONTROL_COUNT; ++i)
        before.push_back(w()[static_cast<C>(i)]);
    form.MenuFrenchClick();
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlState& a = before[static_cast<size_t>(i)];
        const ControlState& b = w()[static_cast<C>(i)];
        const char* name = ControlName(static_cast<C>(i));
        EXPECT_EQ(a.Caption, b.Caption) << name;
        EXPECT_EQ(a.Hint, b.Hint) << name;
        EXPECT_EQ(a.Items, b.Items) << name;
        EXPECT_EQ(a.ItemIndex, b.ItemIndex) << name;
        EXPECT_EQ(a.Checked, b.Checked) << name;
        EXPECT_EQ(a.Visible, b.Visible) << name;
    }
}

TEST_F(FormLanguage, SelectionSurvivesTheNewItems) {
    form.Params().Polarita = 2;
    form.ShowParams();
    form.MenuCzechClick();
    EXPECT_EQ(w()[C::RadioGroupPolarita].ItemIndex, 2);
    EXPECT_EQ(w()[C::RadioGroupPolarita].Items[2], "Samohledání");
}

TEST_F(FormLanguage, StatusBarShowsTheLongHint) {
    Apply(LANG_ENGLISH);
    form.ShowStatusHint(w()[C::SpeedButton7].Hint);
    EXPECT_EQ(w()[C::StatusBar1].Caption, "Save parametrs to file");
    Apply(LANG_CZECH);
    form.ShowStatusHint(w()[C::LabelRpm1].Hint);
    EXPECT_EQ(w()[C::StatusBar1].Caption, "Rychlost - Otáčky za minutu");
}

// A stored language above Czech is normally corrected before this runs; if
// one slips through, the window still gets complete English texts.
TEST_F(FormLanguage, LanguageAboveCzechShowsEnglish) {
    Apply(9);
    EXPECT_EQ(w()[C::MenuRead].Caption, "&Read");
    EXPECT_EQ(w()[C::LabelMon_Advance].Caption, "Advance= --- [°]");
    EXPECT_EQ(w()[C::FormHlav].Caption, "Programming of \"ZEV Torvanic\" unit");
}

// The caption table names controls by their names: each must be one the
// window has, or its text would never show.
TEST(CaptionTableNames, EveryRowNamesAControlOfTheWindow) {
    std::set<std::string> names;
    for (int i = 0; i < CONTROL_COUNT; ++i)
        names.insert(ControlName(static_cast<C>(i)));
    for (TLanguage l = 0; l < LANGUAGE_COUNT; ++l) {
        TMessageTable messages;
        FillMessageTable(l, messages);
        std::vector<std::string> named;
        ForEachCaption(
            l, messages,
            [](std::string_view control, CaptionProperty, int, std::string_view, void* out) {
                static_cast<std::vector<std::string>*>(out)->emplace_back(control);
            },
            &named);
        ASSERT_FALSE(named.empty());
        for (const std::string& control : named)
            EXPECT_EQ(names.count(control), 1u) << control << " language " << +l;
    }
}

} // namespace
} // namespace kelmor
