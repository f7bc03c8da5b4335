#pragma once
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "link/TMonitorData.h"
#include "params/TIgnParams.h"
#include "sim/SimRandom.h"

namespace kelmor {

// Options of the simulated engine; anything pinned here overrides the cycle.
struct EngineOptions {
    // Time the model moves on per monitor request.
    uint32_t StepMs = 330;
    // Engine speed held fixed; 0 means no pick-up signal.
    std::optional<uint16_t> FixedRpm;
    // Supply voltage held fixed, millivolts.
    std::optional<uint16_t> FixedMillivolts;
    // The two switch inputs as the rider sets them.
    bool Input1Active = false;
    bool Input2Active = false;
    // The pick-up as wired: a negative signal is measured as such.
    bool SensorNegative = false;
    // Monitor bytes forced to a value after everything else (index as in MonitorField).
    std::vector<std::pair<int, uint8_t>> PinnedBytes;
    // Seed of the small speed and voltage wobble.
    uint64_t Seed = 7;
};

// A motorcycle engine seen through the unit's pick-up: it idles, sweeps up
// past the rev limiter and back, idles, stops (no signal) and is cranked
// again. The cycle is a function of model time, which moves only when a
// monitor frame is taken, so runs repeat exactly.
class EngineModel {
  public:
    // Length of one cycle and the moments its phases begin.
    static constexpr uint32_t IDLE_END_MS = 4000, RAMP_UP_END_MS = 12000, LIMITER_END_MS = 14000,
                              RAMP_DOWN_END_MS = 20000, IDLE_AGAIN_END_MS = 23000,
                              STOP_END_MS = 27000, CYCLE_MS = 28000;
    static constexpr uint16_t IDLE_RPM = 1200, CRANK_RPM = 350;

    uint32_t TimeMs() const { return Time; }
    void SetTimeMs(uint32_t ms) { Time = ms; }

    // Fills the engine's part of a monitor frame for the present moment
    // (speed, voltage, advance, inputs, outputs, pick-up), applies the pinned
    // bytes, then moves time on by one step. Other bytes are left as they are.
    void Take(const EngineOptions& options, const TIgnParams& params, TMonitorData& out);

    // Engine speed of the cycle at a moment, without wobble or pins.
    static uint16_t CycleRpm(uint32_t ms, const TIgnParams& params);
    // The programmed advance at an engine speed: the curve points in use,
    // linear between them, flat outside.
    static int CurveAdvance(const TIgnParams& params, uint32_t rpm);
    // The largest advance of the points in use.
    static int MaxAdvance(const TIgnParams& params);

  private:
    uint32_t Time = 0;
    SimRandom Random;
    // The wobble restarts whenever the options name another seed.
    uint64_t SeededWith = 0;
    bool Seeded = false;
};

} // namespace kelmor
