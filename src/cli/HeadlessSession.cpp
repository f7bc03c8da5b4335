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

bool HeadlessSession::RunTransfer(void (TFormHlav::*start)(),
                                  const std::function<void()>& afterTick) {
    TFormHlav& form = *FormPtr;
    const uint32_t ends = form.LastTransfer.Count;
    (form.*start)();
    EchoStatus();
    for (unsigned ticks = 0; form.Mode != tmIdle && ticks < TRANSFER_TICK_LIMIT; ++ticks) {
        if (StopRequested()) return false;
        Tick();
        if (afterTick) afterTick();
    }
    return form.LastTransfer.Count != ends;
}

bool HeadlessSession::TickForMonitorFrame() {
    Tick();
    return FormPtr->TickTookMonitorFrame;
}

SaveResult HeadlessSession::WaitForSaving() {
    TFormHlav& form = *FormPtr;
    for (unsigned n = 0; n < SAVING_TICK_LIMIT; ++n) {
        if (StopRequested()) return SaveResult::Interrupted;
        if (TickForMonitorFrame() && form.SavingCountdown == 0) return SaveResult::Saved;
        // Programmed and verified, but the unit went quiet before it had saved.
        if (form.Model()[C::LabelSpojeni].Visible) return SaveResult::Quiet;
    }
    return SaveResult::TooLong;
}

} // namespace kelmor::cli
