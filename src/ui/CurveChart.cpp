#include "ui/CurveChart.h"

#include <algorithm>

namespace kelmor {

namespace {
constexpr int MAX_LIVE_RPM = 25000;
constexpr int MAX_LIVE_ADVANCE = 60;
} // namespace

void CurveChart::FollowCurve(const TIgnParams& p) {
    const int count = std::min<int>(p.PocetBodu, CURVE_POINTS);
    const int limiter = p.Omez2 * 100;
    bool changed = count != Count || limiter != Limiter;
    for (int k = 0; k < count; ++k) {
        const Point q{p.RpmAdv[k] * 100, p.Advance[k]};
        Point& old = Points[static_cast<size_t>(k)];
        if (old.Rpm != q.Rpm || old.Advance != q.Advance) {
            old = q;
            changed = true;
        }
    }
    if (!changed) return;
    Count = count;
    Limiter = limiter;
    if (Picked >= Count) Picked = -1;
    UpdateAxes();
    ++Rev;
}

void CurveChart::UpdateAxes() {
    int rpmTop = std::max({Limiter, LiveRpmTop, RoomRpm, 1000});
    int advanceTop = std::max(LiveAdvanceTop, RoomAdvance);
    for (int k = 0; k < Count; ++k) {
        rpmTop = std::max(rpmTop, Points[static_cast<size_t>(k)].Rpm);
        advanceTop = std::max(advanceTop, Points[static_cast<size_t>(k)].Advance);
    }
    // Five to ten grid lines across, and room above the highest point.
    AxisRpmStep = rpmTop <= 8000 ? 1000 : rpmTop <= 16000 ? 2000 : 5000;
    AxisRpmMax = (rpmTop + AxisRpmStep - 1) / AxisRpmStep * AxisRpmStep;
    AxisAdvanceStep = advanceTop < 20 ? 5 : 10;
    AxisAdvanceMax = (advanceTop / AxisAdvanceStep + 1) * AxisAdvanceStep;
}

void CurveChart::FollowActive(bool none, int point) {
    const int active = none || point < 0 || point >= Count ? -1 : point;
    if (active == Active) return;
    Active = active;
    ++Rev;
}

const CurveChart::Sample& CurveChart::SampleAt(int i) const {
    const int index = (Head - Length + i + TRAIL_SIZE) % TRAIL_SIZE;
    return Samples[static_cast<size_t>(index)];
}

void CurveChart::Tick() {
    ++Now;
    bool dropped = false;
    while (Length > 0 && Now - SampleAt(0).Tick > TRAIL_TICKS) {
        --Length;
        dropped = true;
    }
    if (dropped) ++Rev;
}

void CurveChart::AddLive(int rpm, int advance, int maxAdvance) {
    Samples[static_cast<size_t>(Head)] = {{rpm, advance}, Now};
    Head = (Head + 1) % TRAIL_SIZE;
    Length = std::min(Length + 1, TRAIL_SIZE);
    // The axes grow once to what the engine reaches, and stay: no jumping.
    // Held to what the window lets one set, so a wild value cannot squash the curve.
    const int rpmTop = std::clamp(rpm, 0, MAX_LIVE_RPM);
    const int advanceTop = std::clamp(std::max(advance, maxAdvance), 0, MAX_LIVE_ADVANCE);
    if (rpmTop > LiveRpmTop || advanceTop > LiveAdvanceTop) {
        LiveRpmTop = std::max(LiveRpmTop, rpmTop);
        LiveAdvanceTop = std::max(LiveAdvanceTop, advanceTop);
        UpdateAxes();
    }
    ++Rev;
}

void CurveChart::SetRunning(bool running) {
    if (running == IsRunning) return;
    IsRunning = running;
    ++Rev;
}

void CurveChart::ClearLive() {
    if (Length == 0 && !IsRunning && LiveRpmTop == 0 && LiveAdvanceTop == 0) return;
    Length = 0;
    IsRunning = false;
    LiveRpmTop = LiveAdvanceTop = 0;
    UpdateAxes();
    ++Rev;
}

void CurveChart::KeepRoomFor(int rpm, int advance) {
    if (rpm == RoomRpm && advance == RoomAdvance) return;
    RoomRpm = rpm;
    RoomAdvance = advance;
    UpdateAxes();
    ++Rev;
}

void CurveChart::Select(int point) {
    const int picked = point < 0 || point >= Count ? -1 : point;
    if (picked == Picked) return;
    Picked = picked;
    ++Rev;
}

CurveChart::Point CurveChart::Live() const {
    return Length > 0 ? SampleAt(Length - 1).At : Point{};
}

CurveChart::Point CurveChart::TrailAt(int i, uint32_t& ageTicks) const {
    const Sample& s = SampleAt(i);
    ageTicks = Now - s.Tick;
    return s.At;
}

double CurveChart::X(int rpm, double left, double width) const {
    const int r = std::clamp(rpm, 0, AxisRpmMax);
    return left + width * r / AxisRpmMax;
}

double CurveChart::Y(int advance, double top, double height) const {
    const int a = std::clamp(advance, 0, AxisAdvanceMax);
    return top + height * (AxisAdvanceMax - a) / AxisAdvanceMax;
}

double CurveChart::RpmAt(double x, double left, double width) const {
    return width > 0 ? (x - left) / width * AxisRpmMax : 0.0;
}

double CurveChart::AdvanceAt(double y, double top, double height) const {
    return height > 0 ? AxisAdvanceMax - (y - top) / height * AxisAdvanceMax : 0.0;
}

} // namespace kelmor
