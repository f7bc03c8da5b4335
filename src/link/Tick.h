#pragma once

namespace kelmor {

// The period of Timer1Timer in milliseconds. All protocol timing is counted
// in these ticks; whatever paces the tick (the window's timer, the
// command-line tool's clock, the simulated unit's poll of its line) uses
// this one value.
inline constexpr int TICK_MS = 55;

} // namespace kelmor
