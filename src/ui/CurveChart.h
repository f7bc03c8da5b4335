#pragma once
#include <array>
#include <cstdint>

#include "params/TIgnParams.h"

namespace kelmor {

// The advance curve as a chart: advance in degrees against engine speed for
// the points in use, the active point of live tuning, and the engine's live
// operating point with a short trail. The window feeds it after every tick;
// it holds fixed arrays only, so following the engine allocates nothing, and
// its revision tells a view when there is something new to draw.
class CurveChart {
  public:
    struct Point {
        int Rpm = 0;
        int Advance = 0;
    };
    // Monitor frames come every 6 ticks, so the trail holds about 3 s.
    static constexpr int TRAIL_SIZE = 12;
    static constexpr uint32_t TRAIL_TICKS = 55;

    // Takes the points in use and the rev limiter of the set.
    void FollowCurve(const TIgnParams& p);
    // The highlighted point of live tuning; `none` when no point is active.
    void FollowActive(bool none, int point);
    // One tick passes: samples older than TRAIL_TICKS fade out of the trail.
    void Tick();
    // The operating point of an accepted monitor frame while the engine turns,
    // with the highest advance the unit reports; the axes make room for both.
    void AddLive(int rpm, int advance, int maxAdvance);
    // The live marker shows only while the engine runs.
    void SetRunning(bool running);
    // Forgets the live point, its trail and the room the axes made for them.
    void ClearLive();
    // Room the axes keep whatever else they hold, also after ClearLive (a
    // replayed ride's highest speed and advance).
    void KeepRoomFor(int rpm, int advance);
    // The point picked for editing on the chart; -1 for none.
    void Select(int point);
    int Selected() const { return Picked; }

    // Changes whenever anything drawn changes.
    uint32_t Revision() const { return Rev; }

    int PointCount() const { return Count; }
    Point PointAt(int k) const { return Points[static_cast<size_t>(k)]; }
    int LimiterRpm() const { return Limiter; }
    // -1 when no point is active.
    int ActivePoint() const { return Active; }

    // The live marker: shown while the engine runs and a sample is fresh.
    bool LiveShown() const { return IsRunning && Length > 0; }
    Point Live() const;
    // The samples before the live one, oldest first, with their age in ticks.
    int TrailCount() const { return Length > 0 ? Length - 1 : 0; }
    Point TrailAt(int i, uint32_t& ageTicks) const;

    // Axes: engine speed 0..RpmMax, advance 0..AdvanceMax, and their grid steps.
    int RpmMax() const { return AxisRpmMax; }
    int RpmStep() const { return AxisRpmStep; }
    int AdvanceMax() const { return AxisAdvanceMax; }
    int AdvanceStep() const { return AxisAdvanceStep; }
    // Where a value lies in a plot area, held inside it; y grows downwards.
    double X(int rpm, double left, double width) const;
    double Y(int advance, double top, double height) const;
    // The other way: the engine speed and advance at a place in the plot area.
    double RpmAt(double x, double left, double width) const;
    double AdvanceAt(double y, double top, double height) const;

  private:
    struct Sample {
        Point At;
        uint32_t Tick = 0;
    };
    const Sample& SampleAt(int i) const; // 0 is the oldest
    void UpdateAxes();

    std::array<Point, CURVE_POINTS> Points{};
    int Count = 0;
    int Limiter = 0;
    int Active = -1;
    std::array<Sample, TRAIL_SIZE> Samples{};
    int Head = 0; // where the next sample goes
    int Length = 0;
    bool IsRunning = false;
    int LiveRpmTop = 0, LiveAdvanceTop = 0;
    int RoomRpm = 0, RoomAdvance = 0;
    int Picked = -1;
    uint32_t Now = 0;
    uint32_t Rev = 1;
    int AxisRpmMax = 1000, AxisRpmStep = 1000, AxisAdvanceMax = 10, AxisAdvanceStep = 5;
};

} // namespace kelmor
