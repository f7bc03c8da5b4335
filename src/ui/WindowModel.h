#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ControlId.h"
#include "ui/Layout.h"

namespace kelmor {

// What the logic may set or read on a control.
struct ControlState {
    std::string Caption; // caption, edit text or window title
    std::string Hint;    // "short|long", or one text for both
    std::string Detail;  // a menu item's second text, shown beside its caption
    std::string Name;    // the accessible name, where the caption does not say it
    Colour Background = Colour::ButtonFace;
    bool Visible = true;
    bool Enabled = true;
    bool Checked = false;
    // Spinner (up-down) position and range.
    int Position = 0, Min = 0, Max = 0, Step = 1;
    bool Grouped = false;
    // Radio groups and drop-down lists.
    std::vector<std::string> Items;
    int ItemIndex = -1;
    // Gauges.
    int Progress = 0, GaugeMax = 0;
};

enum class Property : uint8_t {
    Caption,
    Hint,
    Detail,
    Name,
    Colour,
    Visible,
    Enabled,
    Checked,
    Position,
    Items,
    ItemIndex,
    Progress,
    Picture, // what a picture shows has changed: draw it again
};

// Told of every change the logic makes, so that a view can follow at once
// (modal boxes open in the middle of handlers and must see the window as it is).
class ModelListener {
  public:
    virtual ~ModelListener() = default;
    virtual void OnControlChanged(ControlId id, Property what) = 0;
};

// The window as the logic sees it: a fixed table of named controls.
class WindowModel {
  public:
    WindowModel();

    const ControlState& operator[](ControlId id) const { return States[Index(id)]; }
    void SetListener(ModelListener* listener) { Listener = listener; }

    void SetCaption(ControlId id, std::string_view text);
    void SetHint(ControlId id, std::string_view text);
    void SetDetail(ControlId id, std::string_view text);
    void SetName(ControlId id, std::string_view text);
    void SetColour(ControlId id, Colour colour);
    void SetVisible(ControlId id, bool visible);
    void SetEnabled(ControlId id, bool enabled);
    void SetChecked(ControlId id, bool checked);
    void SetItems(ControlId id, const std::vector<std::string>& items);
    void SetItem(ControlId id, int index, std::string_view text);
    // A radio group or list: an index beyond the last item selects the last one.
    void SetItemIndex(ControlId id, int index);
    void SetProgress(ControlId id, int progress);
    // Tells the view that a picture (the advance chart) has something new to show.
    void Repaint(ControlId id) { Notify(id, Property::Picture); }

    // The grouping separator of the user's locale (UTF-8), used by grouped spinners.
    void SetGroupSeparator(std::string separator) { GroupSeparator = std::move(separator); }
    const std::string& Separator() const { return GroupSeparator; }

    // Puts a value into a spinner and its edit: clamped to the range, grouped
    // when the spinner groups and the value is 1000 or more.
    void SetSpinner(ControlId updown, int value);
    // The spinner's position after taking over its edit's text when that is a
    // whole number within range; otherwise the position stays put.
    int SpinnerPosition(ControlId updown);
    // One arrow step (direction +1 or -1), within the range; writes the edit.
    void StepSpinner(ControlId updown, int direction);
    // Text of a value as the spinner shows it.
    std::string SpinnerText(ControlId updown, int value) const;
    // Parses typed text: digits with an optional sign, grouping separators
    // and blanks between digits allowed. False when it is not a whole number.
    bool ParseNumber(std::string_view text, int& value) const;

    // Input from the user through the view: stored without telling the listener.
    void UserSetText(ControlId id, std::string text);
    void UserSetChecked(ControlId id, bool checked);
    void UserSetItemIndex(ControlId id, int index);

    // Visible with all its parents.
    bool IsShowing(ControlId id) const;
    // The next control after `from` in the tab order that is showing and enabled,
    // wrapping from the last to the first. `from` itself when no other can take it.
    ControlId NextTabStop(ControlId from) const;

    // The up-down of a spinner-edit, or FormHlav when the edit has none.
    static ControlId UpDownOf(ControlId edit);

  private:
    void Notify(ControlId id, Property what) {
        if (Listener != nullptr) Listener->OnControlChanged(id, what);
    }

    std::array<ControlState, CONTROL_COUNT> States;
    ModelListener* Listener = nullptr;
    std::string GroupSeparator = " ";
};

} // namespace kelmor
