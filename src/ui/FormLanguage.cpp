// The language side of the main window: message table, captions, hints.
#include <string>
#include <unordered_map>

#include "lang/CaptionTable.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;

ControlId ControlByName(std::string_view name, bool& found) {
    static const std::unordered_map<std::string_view, ControlId> BY_NAME = [] {
        std::unordered_map<std::string_view, ControlId> m;
        for (int i = 0; i < CONTROL_COUNT; ++i)
            m.emplace(ControlName(static_cast<ControlId>(i)), static_cast<ControlId>(i));
        return m;
    }();
    auto it = BY_NAME.find(name);
    found = it != BY_NAME.end();
    return found ? it->second : C::FormHlav;
}

// Read-outs reset while no unit answers, each right after the slot it uses.
struct PlaceholderContext {
    TFormHlav* Form;
    bool NoConnection;
};

void AfterSlot(MessageSlot slot, void* context) {
    auto* ctx = static_cast<PlaceholderContext*>(context);
    if (ctx->NoConnection) ctx->Form->ShowReadoutPlaceholder(slot);
}

void ApplyCaptionRow(std::string_view control, CaptionProperty what, int item,
                     std::string_view text, void* context) {
    WindowModel& w = *static_cast<WindowModel*>(context);
    bool found = false;
    ControlId id = ControlByName(control, found);
    if (!found) return;
    switch (what) {
    case CaptionProperty::Caption:
        w.SetCaption(id, text);
        break;
    case CaptionProperty::Hint:
        w.SetHint(id, text);
        break;
    case CaptionProperty::Name:
        w.SetName(id, text);
        break;
    case CaptionProperty::Item:
        w.SetItem(id, item, text);
        break;
    case CaptionProperty::Items: {
        std::vector<std::string> items;
        size_t start = 0;
        for (;;) {
            size_t nl = text.find('\n', start);
            items.emplace_back(text.substr(start, nl == std::string_view::npos ? nl : nl - start));
            if (nl == std::string_view::npos) break;
            start = nl + 1;
        }
        const int selected = w[id].ItemIndex;
        w.SetItems(id, items);
        w.SetItemIndex(id, selected);
        break;
    }
    }
}
} // namespace

void TFormHlav::ShowReadoutPlaceholder(MessageSlot slot) {
    WindowModel& w = Window;
    const TMessageTable& t = Messages;
    switch (slot) {
    case MessageSlot::MsgAdvance:
        w.SetCaption(C::LabelMon_Advance, t.MsgAdvance + "= --- [\xC2\xB0]");
        break;
    case MessageSlot::MsgStartLimiter:
        w.SetCaption(C::LabelMonStartLimiterOut, t.MsgStartLimiter + ": ---");
        break;
    case MessageSlot::MsgLimiter:
        w.SetCaption(C::LabelMonHardLimiter, t.MsgLimiter + ": ---");
        break;
    case MessageSlot::MsgPilotLight:
        w.SetCaption(C::LabelMonLedRazeni, t.MsgPilotLight + ": ---");
        break;
    case MessageSlot::MsgClutchMaster:
        w.SetCaption(C::LabelClutchMon, t.MsgClutchMaster + ": ---");
        break;
    case MessageSlot::MsgRetard:
        w.SetCaption(C::LabelMonRetard, t.MsgRetard + ": ---");
        break;
    case MessageSlot::MsgBlocking:
        w.SetCaption(C::LabelBlocking, t.MsgBlocking + ": ---");
        break;
    case MessageSlot::MsgProgramCount:
        w.SetCaption(C::LabelPocetProgramovani, t.MsgProgramCount + " ---");
        break;
    case MessageSlot::MsgPickup:
        w.SetCaption(C::LabelSnimac, t.MsgPickup + ": ---");
        break;
    case MessageSlot::MsgPolarity:
        w.SetCaption(C::LabelPolaritaMer, t.MsgPolarity + ": ---");
        break;
    case MessageSlot::MsgInput:
        w.SetCaption(C::LabelMonInput1In, t.MsgInput + " 1: ---");
        w.SetCaption(C::LabelMonInput2In, t.MsgInput + " 2: ---");
        break;
    default:
        break;
    }
}

void TFormHlav::ApplyLanguage() {
    PlaceholderContext ctx{this, Window[C::LabelSpojeni].Visible};
    FillMessageTable(Language, Messages, &AfterSlot, &ctx);
    ApplyCaptions();
    Host.UseLanguage(Language);
}

void TFormHlav::ApplyCaptions() {
    Window.SetChecked(C::MenuEnglish, Language == LANG_ENGLISH);
    Window.SetChecked(C::MenuGerman, Language == LANG_GERMAN);
    Window.SetChecked(C::MenuFrench, Language == LANG_FRENCH);
    Window.SetChecked(C::MenuCzech, Language == LANG_CZECH);
    ForEachCaption(Language, Messages, &ApplyCaptionRow, &Window);
    // The chart's axis titles are the captions of the curve's column headers.
    Window.Repaint(C::ImageCurve);
    // The title as the language gives it, with the file and its mark.
    BaseTitle = Window[C::FormHlav].Caption;
    ShowSetState();
}

void TFormHlav::MenuEnglishClick() {
    Language = LANG_ENGLISH;
    ApplyLanguage();
    ShowParams();
}
void TFormHlav::MenuGermanClick() {
    Language = LANG_GERMAN;
    ApplyLanguage();
    ShowParams();
}
void TFormHlav::MenuFrenchClick() {
    Language = LANG_FRENCH;
    ApplyLanguage();
    ShowParams();
}
void TFormHlav::MenuCzechClick() {
    Language = LANG_CZECH;
    ApplyLanguage();
    ShowParams();
}

void TFormHlav::ShowStatusHint(std::string_view hint) {
    // The long part of "short|long", or the whole hint when it has no bar.
    size_t bar = hint.find('|');
    Window.SetCaption(C::StatusBar1, bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

} // namespace kelmor
