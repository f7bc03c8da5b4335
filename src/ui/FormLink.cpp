// The device link side of the main window: serial port, poll cycle,
// live monitor and the read, verify and program transfers.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "ui/TFormHlav.h"

namespace kelmor {

namespace {
constexpr const char* DEGREE = "\xC2\xB0";
constexpr uint8_t GAUGE_MAX = 3;

// "%4.1f" as printf writes it in the C locale, whatever locale the program
// runs in: the voltage reads "13.4" also where the decimal mark is a comma.
void FormatFixed41(char* out, size_t size, double value) {
    char digits[32];
    const std::to_chars_result r =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    const int length = r.ec == std::errc() ? static_cast<int>(r.ptr - digits) : 0;
    std::snprintf(out, size, "%4.*s", length, digits);
}
} // namespace

void TFormHlav::ClosePort() {
    SerialLink.Close();
}

void TFormHlav::MarkComItems() {
    for (int n = 1; n <= 10; ++n)
        Window.SetChecked(ComItem(n), n == SerialLink.ComPort);
}

void TFormHlav::MenuCom1Click(ControlId sender) {
    SerialLink.ComPort = static_cast<uint8_t>(Index(sender) - Index(ControlId::MenuCom1) + 1);
    MarkComItems();
    ClosePort();
    OpenPort();
    UnitStateUnknown();
}

void TFormHlav::SetStatus(std::string_view caption, Colour colour) {
    Window.SetColour(ControlId::LabelHlaseni, colour);
    Window.SetCaption(ControlId::LabelHlaseni, caption);
    MessageHold = MESSAGE_HOLD_TICKS;
}

void TFormHlav::RequestMonitor() {
    BuildFrame(TxFrame, CMD_MONITOR, nullptr);
    SerialLink.WriteBytes(TxFrame.Bytes.data(), FRAME_SIZE);
    SerialLink.WaitTransmitted();
}

void TFormHlav::PollReceive() {
    size_t n = SerialLink.BytesWaiting();
    if (n < FRAME_SIZE) return;
    if (n > RX_BUFFER_SIZE) n = RX_BUFFER_SIZE;
    // A short read (a line that went away between the count and the read)
    // must not let the previous frame, still in the buffer, be taken again.
    if (SerialLink.ReadBytes(RxBuffer.data(), n) < FRAME_SIZE) return;
    if (RxBuffer[0] == CMD_MONITOR_REPLY)
        HandleMonitorFrame();
    else
        HandleTransferReply();
}

void TFormHlav::EndTransfer(TTransferEnd end) {
    LastTransfer.End = end;
    LastTransfer.Command = TransferCommand;
    LastTransfer.Mode = Mode;
    LastTransfer.UnitVersion = DeviceImage.Ident.IgnVersion;
    ++LastTransfer.Count;
    Mode = tmIdle;
}

void TFormHlav::TransferFailed(uint8_t mode) {
    // A read takes every valid reply, so its time-out always means none came.
    const bool answered = PageAnswered && mode != tmRead;
    EndTransfer(!answered           ? TTransferEnd::NoReply
                : mode == tmProgram ? TTransferEnd::ProgramError
                                    : TTransferEnd::VerifyError);
    TransferEndText(LastTransfer, Messages, Scratch);
    SetStatus(Scratch, Colour::Red);
}

void TFormHlav::Timer1Timer() {
    TickTookMonitorFrame = false;
    ReopenLostPort();
    PollReceive();

    switch (Mode) {
    case tmRead:
    case tmVerify:
    case tmProgram: {
        const uint8_t mode = Mode;
        if (++TickCount >= 4) {
            TickCount = 0;
            if (++RetryCount > 5) {
                TransferFailed(mode);
                if (mode == tmVerify) ProgramDone = false;
            } else {
                SendPage();
            }
        }
        if (mode == tmRead) ProgramDone = false;
        break;
    }
    default:
        if (++TickCount >= 6) {
            TickCount = 0;
            RequestMonitor();
        }
        if (SavingCountdown > 0) {
            Window.SetColour(ControlId::LabelHlaseni, Colour::ButtonFace);
            Window.SetCaption(ControlId::LabelHlaseni, Messages.MsgSaving);
            MessageHold = MESSAGE_HOLD_TICKS;
            int progress = GAUGE_MAX * (53 - static_cast<int>(SavingCountdown)) / 53;
            Window.SetProgress(ControlId::CGaugeProgram, progress < 0 ? 0 : progress);
        } else if (ProgramDone) {
            Scratch.assign(Messages.MsgProgramming);
            Scratch += ": OK";
            Window.SetCaption(ControlId::LabelHlaseni, Scratch);
            Window.SetProgress(ControlId::CGaugeProgram, GAUGE_MAX);
        }
        break;
    }

    if (MessageHold > 0) {
        --MessageHold;
        Window.SetVisible(ControlId::LabelHlaseni, !Printing);
    } else {
        Window.SetVisible(ControlId::LabelHlaseni, false);
        Window.SetVisible(ControlId::CGaugeProgram, false);
        ProgramDone = false;
    }

    if (ConnectionAge >= CONNECTION_TIMEOUT_TICKS) {
        Window.SetVisible(ControlId::LabelSpojeni, !Printing);
        if (!ReadoutsEmpty) ShowEmptyReadouts();
        ReadoutsEmpty = true;
    } else {
        ++ConnectionAge;
        Window.SetVisible(ControlId::LabelSpojeni, false);
        ReadoutsEmpty = false;
    }

    if (Window[ControlId::LabelSpojeni].Visible) Window.SetVisible(ControlId::LabelVersion, false);

    TrackActivePoint();
}

void TFormHlav::HandleMonitorFrame() {
    const uint8_t* frame = RxBuffer.data();
    if ((frame[0] & 0xF0) != CMD_MONITOR_REPLY || !FrameChecksumOk(frame)) return;
    ConnectionAge = 0;
    TickTookMonitorFrame = true;
    std::memcpy(MonitorCopy.Bytes, frame, sizeof MonitorCopy.Bytes);
    const TMonitorData& m = MonitorCopy;
    const TMessageTable& t = Messages;
    char buf[96];
    auto yesNo = [&](bool flag) -> const std::string& { return flag ? t.MsgYes : t.MsgNo; };
    auto flagLabel = [&](ControlId id, const std::string& name, const char* joint, bool flag,
                         Colour on) {
        Scratch.assign(name);
        Scratch += joint;
        Scratch += yesNo(flag);
        Window.SetCaption(id, Scratch);
        Window.SetColour(id, flag ? on : Colour::ButtonFace);
    };

    // a, b: engine speed and its bar against the rev limiter.
    LiveRpm = m.Snimac() ? m.Rpm() : 0;
    std::snprintf(buf, sizeof buf, "RPM = %d ", LiveRpm);
    Window.SetCaption(ControlId::LabelRpm, buf);
    const int d = Params().Omez2 != 0 ? Params().Omez2 : 100;
    Window.SetProgress(ControlId::CGaugeRpm, LiveRpm / d);

    // c: advance.
    const int a = m.MonAdvance() - 100;
    const int maxAdv = m.MonAdvanceMax();
    Scratch.assign(t.MsgAdvance);
    if (m.Snimac() && !m.BasicAdvance()) {
        std::snprintf(buf, sizeof buf, " = %d%s /max %d%s", a, DEGREE, maxAdv, DEGREE);
        Scratch += buf;
    } else {
        Scratch += " = ";
        Scratch += t.MsgBasic;
    }
    Window.SetColour(ControlId::LabelMon_Advance, a < maxAdv ? Colour::ButtonFace : Colour::Yellow);
    Window.SetCaption(ControlId::LabelMon_Advance, Scratch);

    // d: supply voltage, colour first.
    const uint16_t mv = m.Napeti();
    switch (VoltageBandOf(mv)) {
    case VoltageBand::Alarm:
        Window.SetColour(ControlId::LabelNapeti, Colour::Red);
        break;
    case VoltageBand::Warning:
        Window.SetColour(ControlId::LabelNapeti, Colour::Yellow);
        break;
    case VoltageBand::Normal:
        Window.SetColour(ControlId::LabelNapeti, Colour::ButtonFace);
        break;
    }
    const float volts = static_cast<float>(mv) * 0.001f;
    char volt[16];
    FormatFixed41(volt, sizeof volt, static_cast<double>(volts));
    std::snprintf(buf, sizeof buf, "U = %s [V]", volt);
    Window.SetCaption(ControlId::LabelNapeti, buf);

    // e..m: limiters, outputs and inputs.
    flagLabel(ControlId::LabelMonStartLimiterOut, t.MsgStartLimiter, ": ", m.StartLimiterOut(),
              Colour::Fuchsia);
    flagLabel(ControlId::LabelMonHardLimiter, t.MsgLimiter, " - ", m.HardLimiter(), Colour::Red);
    flagLabel(ControlId::LabelMonLedRazeni, t.MsgPilotLight, " - ", m.MonLedRazeni(),
              Colour::Yellow);
    flagLabel(ControlId::LabelClutchMon, t.MsgClutchMaster, " - ", m.ClutchMon(), Colour::Red);
    flagLabel(ControlId::LabelMonRetard, t.MsgRetard, " - ", m.MonRetard(), Colour::Aqua);
    flagLabel(ControlId::LabelBlocking, t.MsgBlocking, " - ", m.Blocking(), Colour::Red);
    Window.SetColour(ControlId::LabelKillSwitch, m.KillSwitch() ? Colour::Red : Colour::ButtonFace);
    Scratch.assign("Kill switch - ");
    Scratch += yesNo(m.KillSwitch());
    Window.SetCaption(ControlId::LabelKillSwitch, Scratch);
    flagLabel(ControlId::LabelMonInput1In, t.MsgInput, " 1: ", m.Input1In(), Colour::Fuchsia);
    flagLabel(ControlId::LabelMonInput2In, t.MsgInput, " 2: ", m.Input2In(), Colour::Aqua);

    // n: pick-up signal.
    Scratch.assign(t.MsgPickup);
    Scratch += " - ";
    Scratch += m.Snimac() ? t.MsgRunning : t.MsgNoSignal;
    Window.SetCaption(ControlId::LabelSnimac, Scratch);
    Window.SetColour(ControlId::LabelSnimac, m.Snimac() ? Colour::Lime : Colour::ButtonFace);

    // o: measured polarity.
    Scratch.assign(t.MsgPolarity);
    if (LiveRpm == 0) {
        Scratch += ": ---";
    } else {
        Scratch += ": ";
        Scratch += m.PolaritaMer() == 0 ? t.MsgPositive : t.MsgNegative;
    }
    Window.SetCaption(ControlId::LabelPolaritaMer, Scratch);
    Window.SetColour(ControlId::LabelPolaritaMer,
                     !m.PolaritaOk() && LiveRpm != 0 ? Colour::Red : Colour::ButtonFace);

    // p: program version of the unit.
    if (m.IgnVersion() == PC_VERSION) {
        Window.SetVisible(ControlId::LabelVersion, false);
    } else {
        Window.SetVisible(ControlId::LabelVersion, true);
        Scratch.assign(t.MsgVersionMismatch);
        std::snprintf(buf, sizeof buf, "  PC-%d, IGN-%d", PC_VERSION, m.IgnVersion());
        Scratch += buf;
        Window.SetCaption(ControlId::LabelVersion, Scratch);
    }

    // q..t: saving countdown, data error, programming count, test values.
    SavingCountdown = m.SavingCountdown();
    Window.SetVisible(ControlId::LabelEeDataErr, m.EeDataErr());
    Scratch.assign(t.MsgProgramCount);
    std::snprintf(buf, sizeof buf, "%d", m.PocetProgramovani());
    Scratch += buf;
    Window.SetCaption(ControlId::LabelPocetProgramovani, Scratch);
    for (int n = 0; n < 8; ++n) {
        std::snprintf(buf, sizeof buf, "Test%d = %d ", n + 1, m.Test(n));
        Window.SetCaption(TestLabel(n + 1), buf);
    }
}

void TFormHlav::SendPage() {
    TickCount = 0;
    const uint8_t* data = Mode == tmRead ? nullptr : DeviceImage.Page(PageCommand & PAGE_MASK);
    BuildFrame(TxFrame, PageCommand, data);
    SerialLink.WriteBytes(TxFrame.Bytes.data(), FRAME_SIZE);
}

void TFormHlav::NextPage() {
    Window.SetProgress(ControlId::CGaugeProgram, Window[ControlId::CGaugeProgram].Progress + 1);
    ++PageCommand;
    RetryCount = 1;
    PageAnswered = false;
    SendPage();
}

void TFormHlav::BeginVerify() {
    Mode = tmVerify;
    PageCommand = 0x41;
    RetryCount = 1;
    PageAnswered = false;
    SendPage();
    Scratch.assign(Messages.MsgVerify);
    Scratch += ":";
    SetStatus(Scratch, Colour::ButtonFace);
    Window.SetVisible(ControlId::LabelHlaseni, true);
    Window.SetProgress(ControlId::CGaugeProgram, 0);
}

void TFormHlav::VersionStop() {
    Mode = tmIdle;
    std::string text;
    TransferEndText(LastTransfer, Messages, text);
    // Ticks run inside the box; with the mode idle they only poll the monitor.
    Host.MessageBox(text);
    Mode = tmIdle;
    MessageHold = 0;
}

void TFormHlav::HandleTransferReply() {
    const uint8_t* frame = RxBuffer.data();
    if (!FrameChecksumOk(frame)) return;
    if (frame[0] != (PageCommand ^ CMD_REPLY_FLAG) || Mode == tmIdle) return;
    ConnectionAge = 0;
    PageAnswered = true;

    const unsigned page = PageCommand & PAGE_MASK;
    const uint8_t* data = frame + 1;
    uint8_t* imagePage = DeviceImage.Page(page);
    auto copy = [&] { std::memcpy(imagePage, data, PAGE_SIZE); };
    auto decode = [&] { DecodeIdentification(DeviceImage.Ident, Ident); };

    switch (Mode) {
    case tmRead:
        if (page == 0) {
            copy();
            decode();
            if (DeviceImage.Ident.IgnVersion != PC_VERSION) {
                EndTransfer(TTransferEnd::VersionMismatch);
                Normalise();
                ShowParams();
                VersionStop();
            } else if (DeviceImage.Ident.ReadAllowed != 1) {
                SetStatus(Messages.MsgNoReading, Colour::Red);
                EndTransfer(TTransferEnd::NoReading);
                Normalise();
                ShowParams();
            } else {
                NextPage();
            }
        } else {
            TakeUnitReply(data);
            copy();
            Normalise();
            ShowParams();
            BeginVerify();
        }
        break;
    case tmVerify:
        if (page == 1) {
            TakeUnitReply(data);
            for (size_t k = 0; k < PAGE_SIZE; ++k)
                if (k != ZAKAZ_CTENI_OFFSET && data[k] != imagePage[k]) return;
            Window.SetProgress(ControlId::CGaugeProgram, GAUGE_MAX);
            Scratch.assign(Messages.MsgVerify);
            Scratch += ": OK";
            SetStatus(Scratch, Colour::ButtonFace);
            EndTransfer(TTransferEnd::Succeeded);
        } else if (std::memcmp(data, imagePage, PAGE_SIZE) == 0) {
            NextPage();
        }
        break;
    case tmProgram:
        if (page == 0) {
            copy();
            decode();
            Normalise();
            ShowParams();
            if (DeviceImage.Ident.IgnVersion != PC_VERSION) {
                EndTransfer(TTransferEnd::VersionMismatch);
                VersionStop();
            } else {
                NextPage();
            }
        } else {
            if (std::memcmp(data, imagePage, PAGE_SIZE) != 0) return;
            ProgramDone = true;
            BeginVerify();
        }
        break;
    default:
        break;
    }
}

void TFormHlav::TakeUnitReply(const uint8_t* data) {
    if (UnitPage1.Replies == 0)
        std::memcpy(&UnitPage1.Set, data, PAGE_SIZE);
    else if (std::memcmp(&UnitPage1.Set, data, PAGE_SIZE) == 0)
        UnitPage1.Twice = true;
    if (UnitPage1.Replies < 255) ++UnitPage1.Replies;
}

void TFormHlav::StartTransfer(uint8_t mode, uint8_t page, std::string_view caption, bool colon) {
    Mode = mode;
    PageCommand = page;
    RetryCount = 0;
    TransferCommand = mode;
    PageAnswered = false;
    UnitPage1 = TUnitReply{};
    Scratch.assign(caption);
    if (colon) Scratch += ":";
    SetStatus(Scratch, Colour::ButtonFace);
    Window.SetVisible(ControlId::LabelHlaseni, true);
    Window.SetProgress(ControlId::CGaugeProgram, 0);
    Window.SetVisible(ControlId::CGaugeProgram, true);
}

void TFormHlav::MenuProgramClick() {
    ReadControls();
    Normalise();
    ShowParams();
    StartTransfer(tmProgram, 0x00, Messages.MsgProgramming, true);
    ProgramDone = false;
}

void TFormHlav::StartProgram() {
    StartTransfer(tmProgram, 0x00, Messages.MsgProgramming, false);
    ProgramDone = false;
}

void TFormHlav::MenuVerifyClick() {
    ReadControls();
    Normalise();
    ShowParams();
    StartVerify();
}

void TFormHlav::StartVerify() {
    StartTransfer(tmVerify, 0x41, Messages.MsgVerify, true);
    ProgramDone = false;
}

// A read leaves ProgramDone alone; the tick clears it while the read runs.
void TFormHlav::MenuReadClick() {
    StartTransfer(tmRead, 0x40, Messages.MsgRead, true);
    Window.SetCaption(ControlId::LabelFile2, "");
    State.NoFile();
    ShowSetState();
}

void TransferEndText(const TTransferRecord& r, const TMessageTable& t, std::string& out) {
    switch (r.End) {
    case TTransferEnd::None:
        out.assign(t.MsgNoTransfer);
        return;
    case TTransferEnd::Succeeded:
        out.assign(r.Command == tmProgram ? t.MsgProgramming : t.MsgVerify);
        out += ": OK";
        return;
    case TTransferEnd::NoReading:
        out.assign(t.MsgNoReading);
        return;
    case TTransferEnd::VersionMismatch: {
        char versions[48];
        std::snprintf(versions, sizeof versions, "  PC-%d, IGN-%d", r.PcVersion, r.UnitVersion);
        out.assign(t.MsgVersionMismatch);
        out += versions;
        return;
    }
    case TTransferEnd::ProgramError:
    case TTransferEnd::VerifyError:
    case TTransferEnd::NoReply:
        break;
    }
    // The error of the mode the transfer gave up in.
    out.assign(r.Mode == tmRead     ? t.MsgReadError
               : r.Mode == tmVerify ? t.MsgVerifyError
                                    : t.MsgProgramError);
}

} // namespace kelmor
