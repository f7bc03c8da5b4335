// The serial port as the user meets it: what an open error means, what is
// behind each COM number, a device that goes away and comes back, and the
// read-outs while no unit answers.
#include "lang/CaptionTable.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
using C = ControlId;
using K = TOpenFailure::TKind;

// The group on Debian and its kin when the device's own is not known.
constexpr const char* SERIAL_GROUP = "dialout";

std::string WithGroup(const std::string& text, const std::string& group) {
    std::string out = text;
    if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, group);
    return out;
}
} // namespace

std::string PortFailureText(const TOpenFailure& f, const TMessageTable& t) {
    std::string text = t.MsgComOpenError;
    if (f.Device.empty() && f.Reason.empty()) return text;
    text += '\n';
    if (!f.Device.empty()) text += f.Device + ": ";
    switch (f.Kind) {
    case K::Absent:
        text += t.MsgPortAbsent;
        break;
    case K::NoPermission: {
        const std::string group = f.Group.empty() ? SERIAL_GROUP : f.Group;
        if (f.GroupNeedsNewLogin) {
            text += WithGroup(t.MsgPortNewLogin, group);
            break;
        }
        text += WithGroup(t.MsgPortNoPermission, group);
        text += "\nsudo usermod -aG " + group + " " + (f.User.empty() ? "$USER" : f.User);
        break;
    }
    case K::Busy:
        text += t.MsgPortBusy;
        if (!f.Holder.empty()) text += " (" + f.Holder + ")";
        text += ".\n" + t.MsgPortBusyAdvice;
        break;
    case K::Unknown:
        text += f.Reason;
        break;
    }
    return text;
}

std::string PortDescriptionText(const PortDescription& d, const TMessageTable& t) {
    using D = PortDescription::TKind;
    switch (d.Kind) {
    case D::Simulated:
        return t.MsgSimulatedUnit;
    case D::Missing:
        return d.Device + " - " + t.MsgPortMissing;
    case D::Present: {
        if (d.Product.empty()) return d.Device;
        std::string text = d.Product;
        if (!d.SerialNumber.empty()) text += ", " + d.SerialNumber;
        return text + " (" + d.Device + ")";
    }
    case D::Unknown:
        break;
    }
    return {};
}

void TFormHlav::OpenPort() {
    if (SerialLink.Open() != TSerialLink::OpenResult::Failed) return;
    // Its own copy: the ticks inside the box use the scratch texts.
    const std::string text = PortFailureText(SerialLink.OpenFailure(), Messages);
    Host.MessageBox(text);
}

void TFormHlav::MenuComClick() {
    const std::vector<PortDescription> ports = Host.DescribePorts();
    for (int n = 1; n <= 10; ++n) {
        const auto k = static_cast<size_t>(n - 1);
        const std::string detail =
            k < ports.size() ? PortDescriptionText(ports[k], Messages) : std::string();
        Window.SetDetail(ComItem(n), detail);
        std::string hint = ComItemHint(Language, n);
        if (!detail.empty()) hint += ": " + detail;
        Window.SetHint(ComItem(n), hint);
    }
}

void TFormHlav::ReopenLostPort() {
    if (!AutoReopen || !SerialLink.DeviceLost()) {
        ReopenWait = 0;
        return;
    }
    if (ReopenWait > 0) {
        --ReopenWait;
        return;
    }
    ReopenWait = REOPEN_TICKS - 1;
    if (SerialLink.Reopen()) PortReopened();
}

void TFormHlav::PortReopened() {
    ++PortReopens;
    UnitStateUnknown();
}

void TFormHlav::ShowEmptyReadouts() {
    for (int s = 0; s < static_cast<int>(MessageSlot::Count); ++s)
        ShowReadoutPlaceholder(static_cast<MessageSlot>(s));
    Window.SetCaption(C::LabelRpm, "RPM = ---");
    Window.SetProgress(C::CGaugeRpm, 0);
    Window.SetCaption(C::LabelNapeti, "U = --- [V]");
    Window.SetCaption(C::LabelKillSwitch, "Kill switch = ---");
    // No alarm or state colour stands for a value that is not known.
    for (C id : {C::LabelMon_Advance, C::LabelNapeti, C::LabelMonStartLimiterOut,
                 C::LabelMonHardLimiter, C::LabelMonLedRazeni, C::LabelClutchMon, C::LabelMonRetard,
                 C::LabelBlocking, C::LabelKillSwitch, C::LabelMonInput1In, C::LabelMonInput2In,
                 C::LabelSnimac, C::LabelPolaritaMer})
        Window.SetColour(id, Colour::ButtonFace);
}

} // namespace kelmor
