#include "cli/HeadlessSession.h"

namespace kelmor::cli {

namespace {
using C = ControlId;
} // namespace

HeadlessSession::HeadlessSession(std::ostream& err, HeadlessPlatform::PortMaker port,
                                 TickClock& clock, std::function<void()> pump,
                                 const std::atomic<bool>* stop)
    : Err(err), Host(err, std::move(port)), Pace(clock), Pump(std::move(pump)), Stop(stop),
      FormPtr(std::make_unique<TFormHlav>(Host)) {}

bool HeadlessSession::Start() {
    FormPtr->FormCreate({});
    return FormPtr->SerialLink.IsOpen();
}

void HeadlessSession::Tick() {
    Pace.WaitForTick();
    if (Pump) Pump();
    FormPtr->Timer1Timer();
    ++TickTotal;
    EchoStatus();
}

void HeadlessSession::EchoStatus() {
    const ControlState& status = FormPtr->Model()[C::LabelHlaseni];
    if (!status.Visible) {
        Echoed.clear();
        return;
    }
    if (status.Caption == Echoed) return;
    Echoed = status.Caption;
    Err << Echoed << '\n' << std::flush;
}

const std::string& HeadlessSession::ModeError(uint8_t mode) const {
    const TMessageTable& t = FormPtr->Messages;
    return mode == tmRead     ? t.MsgReadError
           : mode == tmVerify ? t.MsgVerifyError
                              : t.MsgProgramError;
}

HeadlessSession::FileResult HeadlessSession::OpenFile(const std::string& path) {
    const size_t boxes = Host.Boxes().size();
    Host.AnswerNextOpen(path);
    FormPtr->MenuOpenClick();
    if (FormPtr->LastFileName == path && Host.Boxes().size() == boxes) return FileResult::Ok;
    for (size_t i = boxes; i < Host.Boxes().size(); ++i)
        if (Host.Boxes()[i] == FormPtr->Messages.MsgFileVersionMismatch)
            return FileResult::VersionMismatch;
    return FileResult::OpenError;
}

bool HeadlessSession::SaveFile(const std::string& path) {
    const size_t boxes = Host.Boxes().size();
    Host.AnswerNextSave(path);
    FormPtr->MenuSaveClick();
    return FormPtr->LastFileName == path && Host.Boxes().size() == boxes;
}

TransferResult HeadlessSession::RunTransfer(void (TFormHlav::*start)()) {
    TFormHlav& form = *FormPtr;
    const size_t boxes = Host.Boxes().size();
    (form.*start)();
    const uint8_t mode = form.Mode;
    EchoStatus();

    unsigned ticks = 0;
    while (form.Mode != tmIdle) {
        if (StopRequested()) return TransferResult::Interrupted;
        if (ticks++ >= TRANSFER_TICK_LIMIT) {
            Err << ModeError(mode) << '\n' << std::flush;
            return TransferResult::Failed;
        }
        Tick();
    }

    // The version stop opens its box from inside the tick and leaves the mode idle.
    const std::string& mismatch = form.Messages.MsgVersionMismatch;
    for (size_t i = boxes; i < Host.Boxes().size(); ++i)
        if (Host.Boxes()[i].compare(0, mismatch.size(), mismatch) == 0)
            return TransferResult::VersionMismatch;
    // Errors and "No reading!" are red; a verified end fills the gauge.
    const WindowModel& w = form.Model();
    if (w[C::LabelHlaseni].Background == Colour::Red) return TransferResult::Failed;
    const ControlState& gauge = w[C::CGaugeProgram];
    if (gauge.GaugeMax > 0 && gauge.Progress >= gauge.GaugeMax) return TransferResult::Ok;
    Err << ModeError(mode) << '\n' << std::flush;
    return TransferResult::Failed;
}

bool HeadlessSession::TickForMonitorFrame() {
    // Only an accepted monitor frame writes MonitorCopy, command byte first.
    FormPtr->MonitorCopy.Bytes[0] = 0;
    Tick();
    return FormPtr->MonitorCopy.Bytes[0] == CMD_MONITOR_REPLY;
}

TransferResult HeadlessSession::WaitForSaving() {
    TFormHlav& form = *FormPtr;
    for (unsigned n = 0; n < SAVING_TICK_LIMIT; ++n) {
        if (StopRequested()) return TransferResult::Interrupted;
        if (TickForMonitorFrame() && form.SavingCountdown == 0) return TransferResult::Ok;
        // Programmed and verified, but the unit went quiet before it had saved.
        if (form.Model()[C::LabelSpojeni].Visible) {
            Err << form.Model()[C::LabelSpojeni].Caption << '\n' << std::flush;
            return TransferResult::Failed;
        }
    }
    Err << form.Messages.MsgProgramError << '\n' << std::flush;
    return TransferResult::Failed;
}

} // namespace kelmor::cli
