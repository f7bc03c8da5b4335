#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/HeadlessPlatform.h"
#include "cli/TickClock.h"
#include "ui/TFormHlav.h"

namespace kelmor::cli {

// A transfer's first frame leaves within 4 ticks of its start; it moves at
// most three pages (read: 0x40, 0x41 and the verify; program: 0x00, 0x01 and
// the verify), and each page is given up after its fifth send, 4 ticks apart.
inline constexpr unsigned TRANSFER_TICK_BOUND = 4 + 3 * 5 * 4;
// The safety net: a transfer still running after this many ticks is left.
inline constexpr unsigned TRANSFER_TICK_LIMIT = 2 * TRANSFER_TICK_BOUND;
// The unit's save after programming, reported in every monitor frame: it
// has a minute at most (a countdown of 53 falling by one a frame takes 18 s).
inline constexpr unsigned SAVE_SECONDS_LIMIT = 60;
inline constexpr unsigned SAVING_TICK_LIMIT = SAVE_SECONDS_LIMIT * 1000 / TICK_MS;

enum class SaveResult { Saved, Quiet, TooLong, Interrupted };

// The main window's logic with no window: the same TFormHlav and handlers,
// ticked by the command instead of a timer. The status line is echoed on
// standard error whenever its caption changes.
class HeadlessSession {
  public:
    HeadlessSession(std::ostream& err, HeadlessPlatform::PortMaker port, TickClock& clock,
                    std::function<void()> pump = {}, const std::atomic<bool>* stop = nullptr);

    // Starts the window's logic as the program starts it (FormCreate); false
    // when the port did not open ("Com opening error!" has been shown).
    bool Start();
    // Waits for the tick, lets the line take in what arrived, runs Timer1Timer.
    void Tick();
    unsigned Ticks() const { return TickTotal; }
    bool StopRequested() const { return Stop != nullptr && Stop->load(); }

    TFormHlav& Form() { return *FormPtr; }
    HeadlessPlatform& Platform() { return Host; }
    TickClock& Clock() { return Pace; }

    // Runs one of the transfer starts (MenuReadClick, StartProgram,
    // StartVerify, ...) and ticks until the transfer has ended, calling
    // `afterTick` after each tick. How it ended is then in
    // Form().LastTransfer; false when a stop came first or the transfer
    // outran every bound (the record then tells of an earlier one).
    bool RunTransfer(void (TFormHlav::*start)(), const std::function<void()>& afterTick = {});
    // After a program transfer: ticks until a monitor frame reports the
    // unit's saving countdown at 0.
    SaveResult WaitForSaving();
    // One tick; true when it took in a monitor frame (now in MonitorCopy).
    bool TickForMonitorFrame();

  private:
    void EchoStatus();

    std::ostream& Err;
    HeadlessPlatform Host;
    TickClock& Pace;
    std::function<void()> Pump;
    const std::atomic<bool>* Stop;
    std::unique_ptr<TFormHlav> FormPtr;
    std::string Echoed;
    unsigned TickTotal = 0;
};

} // namespace kelmor::cli
