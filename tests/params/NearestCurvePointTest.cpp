// The curve point live tuning works on, for an engine speed.
#include <gtest/gtest.h>

#include <initializer_list>

#include "params/NearestCurvePoint.h"

namespace kelmor {
namespace {

// A curve of the given speeds (rpm / 100) with the point count given apart,
// so that counts beyond the speeds listed can be tried.
TIgnParams Curve(uint8_t count, std::initializer_list<uint8_t> speeds) {
    TIgnParams p{};
    SetDefaults(p);
    p.PocetBodu = count;
    int k = 0;
    for (uint8_t s : speeds)
        p.RpmAdv[k++] = s;
    return p;
}

TEST(NearestCurvePoint, PicksTheNearestPointInUse) {
    const TIgnParams three = Curve(3, {10, 20, 30, 40, 50});
    struct Case {
        const char* Name;
        TIgnParams Set;
        uint16_t Rpm;
        int Expected; // -1: no point active
    } cases[] = {
        {"no pick-up signal", three, 0, -1},
        {"below the first point", three, 900, -1},
        {"rounded down to the curve's step", three, 999, -1},
        {"at the first point", three, 1000, 0},
        {"nearer the first", three, 1499, 0},
        {"half-way takes the lower", three, 1500, 0},
        {"still half-way in the curve's step", three, 1599, 0},
        {"nearer the second", three, 1600, 1},
        {"half-way between the last two", three, 2500, 1},
        {"just below the last", three, 2999, 2},
        {"at the last point in use", three, 3000, 2},
        {"beyond it, whatever the points past the count say", three, 5000, 2},
        {"the highest speed a frame carries", three, 65535, 2},
        {"one point in use", Curve(1, {10, 20}), 1900, 0},
        {"no point in use", Curve(0, {10}), 5000, -1},
        {"all fifteen", Curve(15, {}), 15000, 14},
        {"a count beyond the curve stays within it", Curve(40, {}), 25000, 14},
        {"equal speeds, not yet normalised", Curve(3, {10, 10, 20}), 1000, 1},
    };
    for (const Case& c : cases) {
        const CurvePointChoice got = NearestCurvePoint(c.Set, c.Rpm);
        EXPECT_EQ(got.None, c.Expected < 0) << c.Name;
        EXPECT_EQ(got.Point, c.Expected < 0 ? 0 : c.Expected) << c.Name;
    }
}

} // namespace
} // namespace kelmor
