#include "sim/EngineModel.h"

#include <algorithm>

namespace kelmor {

namespace {

void PutU16(TMonitorData& m, int field, uint32_t value) {
    m.Bytes[field] = static_cast<uint8_t>(value & 0xFF);
    m.Bytes[field + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

void PutFlag(TMonitorData& m, int field, bool on) {
    m.Bytes[field] = on ? 1 : 0;
}

uint32_t Lerp(uint32_t from, uint32_t to, uint32_t pos, uint32_t len) {
    if (to >= from) return from + (to - from) * pos / len;
    return from - (from - to) * pos / len;
}

// Top of the sweep: a little past the rev limiter, so the limiter shows.
uint32_t SweepTop(const TIgnParams& p) {
    return std::max<uint32_t>(p.Omez2 * 100u + 500u, 3000u);
}

} // namespace

uint16_t EngineModel::CycleRpm(uint32_t ms, const TIgnParams& params) {
    const uint32_t t = ms % CYCLE_MS;
    const uint32_t top = SweepTop(params);
    uint32_t rpm = 0;
    // Idle comes twice in the cycle, before the sweep and after it.
    if (t < IDLE_END_MS)
        rpm = IDLE_RPM; // NOLINT(bugprone-branch-clone)
    else if (t < RAMP_UP_END_MS)
        rpm = Lerp(IDLE_RPM, top, t - IDLE_END_MS, RAMP_UP_END_MS - IDLE_END_MS);
    else if (t < LIMITER_END_MS)
        rpm = top;
    else if (t < RAMP_DOWN_END_MS)
        rpm = Lerp(top, IDLE_RPM, t - LIMITER_END_MS, RAMP_DOWN_END_MS - LIMITER_END_MS);
    else if (t < IDLE_AGAIN_END_MS)
        rpm = IDLE_RPM;
    else if (t < STOP_END_MS)
        rpm = 0;
    else
        rpm = CRANK_RPM;
    return static_cast<uint16_t>(std::min<uint32_t>(rpm, 0xFFFF));
}

int EngineModel::CurveAdvance(const TIgnParams& p, uint32_t rpm) {
    const int n = std::clamp<int>(p.PocetBodu, 1, CURVE_POINTS);
    if (rpm <= p.RpmAdv[0] * 100u) return p.Advance[0];
    for (int k = 1; k < n; ++k) {
        const uint32_t lo = p.RpmAdv[k - 1] * 100u, hi = p.RpmAdv[k] * 100u;
        if (rpm > hi) continue;
        if (hi <= lo) return p.Advance[k];
        const int a0 = p.Advance[k - 1], a1 = p.Advance[k];
        const int span = static_cast<int>(hi - lo), pos = static_cast<int>(rpm - lo);
        // Rounded to the nearest degree, as the unit's table look-up would.
        const int num = (a1 - a0) * pos;
        return a0 + (num >= 0 ? (num + span / 2) / span : -((-num + span / 2) / span));
    }
    return p.Advance[n - 1];
}

int EngineModel::MaxAdvance(const TIgnParams& p) {
    const int n = std::clamp<int>(p.PocetBodu, 1, CURVE_POINTS);
    return *std::max_element(p.Advance, p.Advance + n);
}

void EngineModel::Take(const EngineOptions& opt, const TIgnParams& p, TMonitorData& m) {
    if (!Seeded || SeededWith != opt.Seed) {
        Random.Seed(opt.Seed);
        SeededWith = opt.Seed;
        Seeded = true;
    }
    // Both wobbles are drawn every time so that pins do not shift the stream.
    const int rpmWobble = static_cast<int>(Random.Below(81)) - 40;
    const int mvWobble = static_cast<int>(Random.Below(161)) - 80;

    const uint32_t phase = Time % CYCLE_MS;
    int rpm = opt.FixedRpm ? *opt.FixedRpm : CycleRpm(phase, p);
    const bool cycleSteady = !opt.FixedRpm && rpm > CRANK_RPM;
    if (cycleSteady) rpm = std::max(rpm + rpmWobble, 0);

    auto inputOn = [&](uint8_t function) {
        return (opt.Input1Active && p.Input1 == function) ||
               (opt.Input2Active && p.Input2 == function);
    };
    // Input function 4 holds the engine at the start limiter.
    const bool startLimiterInput = inputOn(4);
    if (startLimiterInput && rpm > p.Omez1 * 100) rpm = p.Omez1 * 100;

    const bool turning = rpm > 0;
    const bool basic = turning && rpm < 500;
    const bool retard = inputOn(3);

    int advance = p.BaseAdv;
    if (turning && !basic) advance = CurveAdvance(p, static_cast<uint32_t>(rpm));
    if (turning && retard) advance -= p.Retard;

    int mv = 13000;
    if (opt.FixedMillivolts)
        mv = *opt.FixedMillivolts;
    else
        mv = std::clamp((turning ? 13100 + std::min(rpm / 5, 1200) : 13000) + mvWobble, 13000,
                        14400);

    PutU16(m, MonitorField::Rpm, static_cast<uint32_t>(rpm));
    PutU16(m, MonitorField::Napeti, static_cast<uint32_t>(mv));
    PutFlag(m, MonitorField::Input1In, opt.Input1Active);
    PutFlag(m, MonitorField::Input2In, opt.Input2Active);
    m.Bytes[MonitorField::MonAdvance] = static_cast<uint8_t>(std::clamp(advance + 100, 0, 255));
    m.Bytes[MonitorField::MonAdvanceMax] = static_cast<uint8_t>(MaxAdvance(p));

    const bool measuredNegative = turning && opt.SensorNegative;
    bool polarityOk = true;
    if (turning && p.Polarita == 0) polarityOk = !opt.SensorNegative;
    if (turning && p.Polarita == 1) polarityOk = opt.SensorNegative;
    m.Bytes[MonitorField::PolaritaMer] = measuredNegative ? 1 : 0;
    PutFlag(m, MonitorField::PolaritaOk, polarityOk);

    PutFlag(m, MonitorField::StartLimiterOut, turning && startLimiterInput && rpm >= p.Omez1 * 100);
    PutFlag(m, MonitorField::HardLimiter, turning && rpm > p.Omez2 * 100);
    PutFlag(m, MonitorField::Blocking, opt.Input2Active && p.Input2 == 1);
    PutFlag(m, MonitorField::KillSwitch, opt.Input1Active && p.Input1 == 1);
    PutFlag(m, MonitorField::MonLedRazeni, turning && rpm >= p.LedRazeni * 100);
    PutFlag(m, MonitorField::MonRetard, turning && retard);
    PutFlag(m, MonitorField::ClutchMon, turning && inputOn(2));
    PutFlag(m, MonitorField::Snimac, turning);
    PutFlag(m, MonitorField::BasicAdvance, basic);

    for (const auto& [field, value] : opt.PinnedBytes)
        if (field >= 1 && field <= 50) m.Bytes[field] = value;

    Time += opt.StepMs;
}

} // namespace kelmor
