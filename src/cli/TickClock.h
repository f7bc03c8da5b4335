#pragma once
#include <chrono>
#include <cstdint>

#include "link/Tick.h"

namespace kelmor::cli {

// The pace of Timer1Timer. A real line needs real time between ticks; the
// in-process simulated unit answers at once, so its ticks need none.
class TickClock {
  public:
    virtual ~TickClock() = default;
    // Returns when the next tick is due.
    virtual void WaitForTick() = 0;
    // Milliseconds since the clock started, as of the last tick.
    virtual uint32_t ElapsedMs() const = 0;
};

// Ticks every 55 ms of the steady clock; a late tick is not made up for by a burst.
class RealTickClock : public TickClock {
  public:
    RealTickClock();
    void WaitForTick() override;
    uint32_t ElapsedMs() const override;

  private:
    std::chrono::steady_clock::time_point Start, Next, Last;
};

// Ticks at once; time is the number of ticks times 55 ms.
class VirtualTickClock : public TickClock {
  public:
    void WaitForTick() override { ++Ticks; }
    uint32_t ElapsedMs() const override { return Ticks * static_cast<uint32_t>(TICK_MS); }

  private:
    uint32_t Ticks = 0;
};

} // namespace kelmor::cli
