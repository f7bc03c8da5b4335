// The edits, spinner arrows, picture buttons, lists and +/- buttons of the
// layout are named in every language, each differently (the two tachometer
// edits were both "Tachometer output"), without menu accelerators.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "lang/CaptionTable.h"
#include "ui/ControlId.h"

namespace kelmor {
namespace {

void CollectName(std::string_view control, CaptionProperty what, int /*item*/,
                 std::string_view text, void* context) {
    if (what == CaptionProperty::Name)
        static_cast<std::map<std::string, std::string>*>(context)->emplace(control, text);
}

TEST(AccessibleNames, EveryInteractiveControlIsNamedApart) {
    std::vector<std::string> named;
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const std::string name = ControlName(static_cast<ControlId>(i));
        for (const char* kind : {"Edit", "UpDown", "SpeedButton", "ComboBox", "BitBtn"})
            if (name.rfind(kind, 0) == 0) named.push_back(name);
    }
    ASSERT_FALSE(named.empty());
    for (TLanguage l = 0; l < LANGUAGE_COUNT; ++l) {
        TMessageTable messages;
        FillMessageTable(l, messages);
        std::map<std::string, std::string> names;
        ForEachCaption(l, messages, &CollectName, &names);
        std::set<std::string> seen;
        for (const std::string& control : named) {
            auto it = names.find(control);
            ASSERT_NE(it, names.end()) << control << " language " << +l;
            EXPECT_FALSE(it->second.empty()) << control;
            EXPECT_EQ(it->second.find('&'), std::string::npos) << it->second;
            EXPECT_TRUE(seen.insert(it->second).second)
                << control << " shares its name: " << it->second << " language " << +l;
        }
    }
}

} // namespace
} // namespace kelmor
