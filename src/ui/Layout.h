#pragma once
#include <array>
#include <cstdint>

#include "ui/ControlId.h"

namespace kelmor {

enum class ControlKind : uint8_t {
    Form,
    GroupBox,
    Label,
    Edit,
    UpDown,
    CheckBox,
    RadioGroup,
    ComboBox,
    Button,     // push button; BitBtn too
    ToolButton, // flat picture button of the tool bar
    Gauge,
    Image,
    StatusBar,
    MenuBar,
    Menu, // submenu
    MenuItem,
    MenuSeparator,
};

// Colours by role: ButtonFace and Window follow the platform palette, the rest are pure RGB.
enum class Colour : uint8_t { ButtonFace, Window, Red, Yellow, Lime, Fuchsia, Aqua, White, Black };

// One row of the window's layout: what the control is, where it sits and
// what it holds at design time.
struct ControlLayout {
    ControlId Id = ControlId::FormHlav;
    ControlKind Kind = ControlKind::Label;
    ControlId Parent = ControlId::FormHlav;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    // Spinners (UpDown): range, step, thousands grouping, design position, the edit it drives.
    int Min = 0, Max = 0, Step = 1;
    bool Grouped = false;
    int Design = 0;
    ControlId Buddy = ControlId::FormHlav;
    // Design-time text (caption, edit text), items separated by '\n' for lists.
    const char* Text = "";
    bool ShownAtStart = true;
    int FontPx = 11;
    bool Bold = false;
    Colour Background = Colour::ButtonFace;
    bool TakesFocus = true; // false for tool buttons, Advance buttons and most check boxes
    bool ShowsTooltip = false;
    const char* FixedHint = ""; // hints that no language replaces
    const char* Shortcut = "";  // menu shortcuts in Qt's portable text form
    bool CheckedAtStart = false;
    bool Gauge100 = false; // gauge without percentage text
};

inline constexpr int CLIENT_WIDTH = 920;
inline constexpr int CLIENT_HEIGHT = 676;

// The layout row of a control; every id has exactly one.
const ControlLayout& LayoutOf(ControlId id);

// The Tab and Enter order among the edits and the polarity group.
inline constexpr int TAB_ORDER_SIZE = 36;
const std::array<ControlId, TAB_ORDER_SIZE>& TabOrder();

} // namespace kelmor
