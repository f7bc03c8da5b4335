#include "ui/WorkshopRecord.h"

#include <cstddef>

namespace kelmor {

namespace {
using C = ControlId;

std::string Caption(const WindowModel& w, C id) {
    return PlainLabel(w[id].Caption);
}

std::string Joined(const std::string& a, const std::string& b) {
    return a + ", " + b;
}

std::string ItemOr(const WindowModel& w, C id, int index, uint8_t stored) {
    const std::vector<std::string>& items = w[id].Items;
    if (index >= 0 && index < static_cast<int>(items.size()))
        return items[static_cast<size_t>(index)];
    return std::to_string(stored);
}

const char* UnitText(FieldUnit u) {
    switch (u) {
    case FieldUnit::Rpm:
        return " rpm";
    case FieldUnit::Degrees:
        return "\xC2\xB0";
    case FieldUnit::Ms:
        return " ms";
    case FieldUnit::Percent:
        return " %";
    default:
        return ""; // counts, list items and flags stand alone
    }
}
} // namespace

std::string PlainLabel(std::string_view caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i; // "&x" shows x, "&&" one "&"
        out += caption[i];
    }
    auto trimEnd = [&out] {
        while (!out.empty() && (out.back() == ' ' || out.back() == ':'))
            out.pop_back();
    };
    trimEnd();
    if (!out.empty() && out.back() == ']') {
        const size_t open = out.rfind('[');
        if (open != std::string::npos && open > 0) out.resize(open);
        trimEnd();
    }
    return out;
}

std::string FieldLabel(const ParamField& f, const WindowModel& w, const TMessageTable& t) {
    if (f.Point > 0) {
        const std::string point = t.MsgPoint + " " + std::to_string(f.Point);
        return Joined(point, f.Unit == FieldUnit::Rpm ? Caption(w, C::LabelRpm1)
                                                      : Caption(w, C::LabelAdvance1));
    }
    switch (f.Offset) {
    case offsetof(TIgnParams, PocetBodu):
        return Caption(w, C::LabelPocetBodu);
    case offsetof(TIgnParams, BaseAdv):
        return Caption(w, C::LabelBaseAdv);
    case offsetof(TIgnParams, Polarita):
        return Caption(w, C::RadioGroupPolarita);
    case offsetof(TIgnParams, RpmPulsu):
        return Joined(Caption(w, C::GroupBoxRpm), Caption(w, C::LabelRpmPulsu));
    case offsetof(TIgnParams, RpmKorekce):
        return Joined(Caption(w, C::GroupBoxRpm), Caption(w, C::LabelRpmKorekce));
    case offsetof(TIgnParams, Omez2):
        return Caption(w, C::LabelOmez2);
    case offsetof(TIgnParams, Omez1):
        return Caption(w, C::LabelOmez1);
    case offsetof(TIgnParams, Retard):
        return Caption(w, C::LabelRetard);
    case offsetof(TIgnParams, Clutch1):
        return t.MsgClutchTime;
    case offsetof(TIgnParams, Clutch2):
        return t.MsgClutchPause;
    case offsetof(TIgnParams, LedRazeni):
        return Caption(w, C::LabelLedRazeni);
    case offsetof(TIgnParams, RevOutLedRazeni):
        return Joined(Caption(w, C::LabelLedRazeni), Caption(w, C::CheckBoxRevOutLedRazeni));
    case offsetof(TIgnParams, GeberNr):
        return t.MsgPickup;
    case offsetof(TIgnParams, Input1):
        return Caption(w, C::RadioGroupInput1);
    case offsetof(TIgnParams, Input2):
        return Caption(w, C::RadioGroupInput2);
    case offsetof(TIgnParams, ZakazCteni):
        return Caption(w, C::CheckBoxZakazCteni);
    default:
        return f.Name;
    }
}

std::string FieldValue(const ParamField& f, uint8_t stored, const WindowModel& w,
                       const TMessageTable& t) {
    switch (f.Kind) {
    case FieldKind::Flag:
        if (stored == 0) return t.MsgNo;
        if (stored == 1) return t.MsgYes;
        return t.MsgYes + " (" + std::to_string(stored) + ")";
    case FieldKind::Choice:
        switch (f.Offset) {
        case offsetof(TIgnParams, Polarita):
            return ItemOr(w, C::RadioGroupPolarita, stored, stored);
        case offsetof(TIgnParams, GeberNr):
            // The list shows pick-up types 1..4 from its first item on.
            return ItemOr(w, C::ComboBoxPocPalcu, stored >= 1 && stored <= 4 ? stored - 1 : -1,
                          stored);
        case offsetof(TIgnParams, Input1):
            return ItemOr(w, C::RadioGroupInput1, stored, stored);
        case offsetof(TIgnParams, Input2):
            return ItemOr(w, C::RadioGroupInput2, stored, stored);
        default:
            return std::to_string(stored);
        }
    case FieldKind::Number:
        break;
    }
    const int value = ShownValue(f, stored);
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    const bool grouped = f.Grouped && value >= 1000;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (grouped && i > 0 && (digits.size() - i) % 3 == 0) text += w.Separator();
        text += digits[i];
    }
    return text + UnitText(f.Unit);
}

} // namespace kelmor
