#include "ui/WindowModel.h"

#include <algorithm>
#include <cstdio>

namespace kelmor {

namespace {
std::vector<std::string> SplitItems(const char* text) {
    std::vector<std::string> items;
    std::string_view rest(text);
    if (rest.empty()) return items;
    for (;;) {
        size_t nl = rest.find('\n');
        items.emplace_back(rest.substr(0, nl));
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
    return items;
}

std::array<ControlId, CONTROL_COUNT> MakeUpDownOf() {
    std::array<ControlId, CONTROL_COUNT> map{};
    map.fill(ControlId::FormHlav);
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlLayout& row = LayoutOf(static_cast<ControlId>(i));
        if (row.Kind == ControlKind::UpDown) map[Index(row.Buddy)] = row.Id;
    }
    return map;
}
} // namespace

WindowModel::WindowModel() {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlLayout& row = LayoutOf(static_cast<ControlId>(i));
        ControlState& s = States[i];
        s.Visible = row.ShownAtStart;
        s.Background = row.Background;
        s.Checked = row.CheckedAtStart;
        s.Hint = row.FixedHint;
        switch (row.Kind) {
        case ControlKind::UpDown:
            s.Min = row.Min;
            s.Max = row.Max;
            s.Step = row.Step;
            s.Grouped = row.Grouped;
            s.Position = row.Design;
            break;
        case ControlKind::Gauge:
            s.GaugeMax = row.Max;
            break;
        case ControlKind::RadioGroup:
        case ControlKind::ComboBox:
            s.Items = SplitItems(row.Text);
            s.ItemIndex = row.Kind == ControlKind::RadioGroup ? 0 : -1;
            break;
        default:
            s.Caption = row.Text;
            break;
        }
    }
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlLayout& row = LayoutOf(static_cast<ControlId>(i));
        if (row.Kind == ControlKind::UpDown)
            States[Index(row.Buddy)].Caption = SpinnerText(row.Id, row.Design);
    }
}

ControlId WindowModel::UpDownOf(ControlId edit) {
    static const std::array<ControlId, CONTROL_COUNT> UP_DOWN_OF = MakeUpDownOf();
    return UP_DOWN_OF[Index(edit)];
}

void WindowModel::SetCaption(ControlId id, std::string_view text) {
    std::string& c = States[Index(id)].Caption;
    if (c == text) return;
    c.assign(text.data(), text.size());
    Notify(id, Property::Caption);
}

void WindowModel::SetHint(ControlId id, std::string_view text) {
    std::string& h = States[Index(id)].Hint;
    if (h == text) return;
    h.assign(text.data(), text.size());
    Notify(id, Property::Hint);
}

void WindowModel::SetDetail(ControlId id, std::string_view text) {
    std::string& d = States[Index(id)].Detail;
    if (d == text) return;
    d.assign(text.data(), text.size());
    Notify(id, Property::Detail);
}

void WindowModel::SetName(ControlId id, std::string_view text) {
    std::string& n = States[Index(id)].Name;
    if (n == text) return;
    n.assign(text.data(), text.size());
    Notify(id, Property::Name);
}

void WindowModel::SetColour(ControlId id, Colour colour) {
    Colour& c = States[Index(id)].Background;
    if (c == colour) return;
    c = colour;
    Notify(id, Property::Colour);
}

void WindowModel::SetVisible(ControlId id, bool visible) {
    bool& v = States[Index(id)].Visible;
    if (v == visible) return;
    v = visible;
    Notify(id, Property::Visible);
}

void WindowModel::SetEnabled(ControlId id, bool enabled) {
    bool& e = States[Index(id)].Enabled;
    if (e == enabled) return;
    e = enabled;
    Notify(id, Property::Enabled);
}

void WindowModel::SetChecked(ControlId id, bool checked) {
    bool& c = States[Index(id)].Checked;
    if (c == checked) return;
    c = checked;
    Notify(id, Property::Checked);
}

void WindowModel::SetItems(ControlId id, const std::vector<std::string>& items) {
    ControlState& s = States[Index(id)];
    if (s.Items == items) return;
    s.Items = items;
    if (s.ItemIndex >= static_cast<int>(items.size()))
        s.ItemIndex = static_cast<int>(items.size()) - 1;
    Notify(id, Property::Items);
}

void WindowModel::SetItem(ControlId id, int index, std::string_view text) {
    ControlState& s = States[Index(id)];
    if (index < 0 || index >= static_cast<int>(s.Items.size()) || s.Items[index] == text) return;
    s.Items[index].assign(text.data(), text.size());
    Notify(id, Property::Items);
}

void WindowModel::SetItemIndex(ControlId id, int index) {
    ControlState& s = States[Index(id)];
    int last = static_cast<int>(s.Items.size()) - 1;
    if (index > last) index = last;
    if (s.ItemIndex == index) return;
    s.ItemIndex = index;
    Notify(id, Property::ItemIndex);
}

void WindowModel::SetProgress(ControlId id, int progress) {
    int& p = States[Index(id)].Progress;
    if (p == progress) return;
    p = progress;
    Notify(id, Property::Progress);
}

std::string WindowModel::SpinnerText(ControlId updown, int value) const {
    char digits[16];
    int n = std::snprintf(digits, sizeof digits, "%d", value < 0 ? -value : value);
    std::string text;
    if (value < 0) text += '-';
    bool grouped = States[Index(updown)].Grouped && value >= 1000;
    for (int i = 0; i < n; ++i) {
        if (grouped && i > 0 && (n - i) % 3 == 0) text += GroupSeparator;
        text += digits[i];
    }
    return text;
}

bool WindowModel::ParseNumber(std::string_view text, int& value) const {
    // Blanks around the number are tolerated, as the platform's edit conversion does.
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long v = 0;
    int digits = 0;
    while (!text.empty()) {
        char c = text.front();
        if (c >= '0' && c <= '9') {
            v = v * 10 + (c - '0');
            if (v > 1000000000LL) return false;
            ++digits;
            text.remove_prefix(1);
        } else if (digits > 0 && !GroupSeparator.empty() && text.starts_with(GroupSeparator)) {
            text.remove_prefix(GroupSeparator.size());
        } else if (digits > 0 &&
                   (c == ' ' || text.starts_with("\xC2\xA0") || text.starts_with("\xE2\x80\xAF"))) {
            // Plain, no-break and narrow no-break spaces are all used as group separators.
            text.remove_prefix(c == ' ' ? 1 : (text.starts_with("\xC2\xA0") ? 2 : 3));
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    value = static_cast<int>(negative ? -v : v);
    return true;
}

void WindowModel::SetSpinner(ControlId updown, int value) {
    ControlState& s = States[Index(updown)];
    value = std::clamp(value, s.Min, s.Max);
    if (s.Position != value) {
        s.Position = value;
        Notify(updown, Property::Position);
    }
    SetCaption(LayoutOf(updown).Buddy, SpinnerText(updown, value));
}

int WindowModel::SpinnerPosition(ControlId updown) {
    ControlState& s = States[Index(updown)];
    int typed = 0;
    if (ParseNumber(States[Index(LayoutOf(updown).Buddy)].Caption, typed) && typed >= s.Min &&
        typed <= s.Max)
        s.Position = typed;
    return s.Position;
}

void WindowModel::StepSpinner(ControlId updown, int direction) {
    const ControlState& s = States[Index(updown)];
    int pos = SpinnerPosition(updown);
    SetSpinner(updown, std::clamp(pos + direction * s.Step, s.Min, s.Max));
}

void WindowModel::UserSetText(ControlId id, std::string text) {
    States[Index(id)].Caption = std::move(text);
}
void WindowModel::UserSetChecked(ControlId id, bool checked) {
    States[Index(id)].Checked = checked;
}
void WindowModel::UserSetItemIndex(ControlId id, int index) {
    States[Index(id)].ItemIndex = index;
}

bool WindowModel::IsShowing(ControlId id) const {
    for (;;) {
        if (!States[Index(id)].Visible) return false;
        if (id == ControlId::FormHlav) return true;
        id = LayoutOf(id).Parent;
    }
}

ControlId WindowModel::NextTabStop(ControlId from) const {
    const auto& order = TabOrder();
    int start = -1;
    for (int i = 0; i < TAB_ORDER_SIZE; ++i)
        if (order[i] == from) start = i;
    for (int step = 1; step <= TAB_ORDER_SIZE; ++step) {
        ControlId c = order[(start + step + TAB_ORDER_SIZE) % TAB_ORDER_SIZE];
        if (c != from && IsShowing(c) && States[Index(c)].Enabled) return c;
    }
    return from;
}

} // namespace kelmor
