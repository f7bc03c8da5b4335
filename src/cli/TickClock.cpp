#include "cli/TickClock.h"

#include <thread>

namespace kelmor::cli {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

RealTickClock::RealTickClock() : Start(steady_clock::now()), Next(Start), Last(Start) {}

void RealTickClock::WaitForTick() {
    Next += milliseconds(TICK_MS);
    const auto now = steady_clock::now();
    if (Next < now) Next = now;
    std::this_thread::sleep_until(Next);
    Last = steady_clock::now();
}

uint32_t RealTickClock::ElapsedMs() const {
    return static_cast<uint32_t>(std::chrono::duration_cast<milliseconds>(Last - Start).count());
}

} // namespace kelmor::cli
