#include <gtest/gtest.h>

#include "sim/EngineModel.h"
#include "sim/SimUnit.h"

namespace kelmor {
namespace {

TIgnParams RoadSet() {
    return SimUnit().Params(); // 8 points, 1000..10000 rpm, rev limiter 10500
}

TMonitorData Take(EngineModel& engine, const EngineOptions& o, const TIgnParams& p) {
    TMonitorData m;
    engine.Take(o, p, m);
    return m;
}

TEST(EngineModel, LimiterAndPickupFlagsFollowTheSpeed) {
    const TIgnParams p = RoadSet();
    struct Case {
        uint16_t Rpm;
        bool Limiter, Snimac, Basic;
    };
    for (const Case& c : {Case{0, false, false, false}, Case{350, false, true, true},
                          Case{1200, false, true, false}, Case{10500, false, true, false},
                          Case{10501, true, true, false}, Case{12000, true, true, false}}) {
        SCOPED_TRACE(c.Rpm);
        EngineModel engine;
        EngineOptions o;
        o.FixedRpm = c.Rpm;
        const TMonitorData m = Take(engine, o, p);
        EXPECT_EQ(m.Rpm(), c.Rpm);
        EXPECT_EQ(m.HardLimiter(), c.Limiter);
        EXPECT_EQ(m.Snimac(), c.Snimac);
        EXPECT_EQ(m.BasicAdvance(), c.Basic);
    }
}

TEST(EngineModel, AdvanceComesFromTheProgrammedCurve) {
    const TIgnParams p = RoadSet(); // 1000:8 2000:12 ... 8000:32 10000:32
    struct Case {
        uint16_t Rpm;
        int Advance;
    };
    for (const Case& c : {Case{600, 8}, Case{1000, 8}, Case{1500, 10}, Case{2000, 12},
                          Case{3500, 21}, Case{9000, 32}, Case{14000, 32}}) {
        SCOPED_TRACE(c.Rpm);
        EngineModel engine;
        EngineOptions o;
        o.FixedRpm = c.Rpm;
        const TMonitorData m = Take(engine, o, p);
        EXPECT_EQ(m.MonAdvance(), c.Advance + 100);
        EXPECT_EQ(m.MonAdvanceMax(), 32);
    }
    // Points beyond PocetBodu do not count.
    TIgnParams few = p;
    few.PocetBodu = 2;
    EXPECT_EQ(EngineModel::CurveAdvance(few, 9000), 12);
    EXPECT_EQ(EngineModel::MaxAdvance(few), 12);
}

TEST(EngineModel, OneCycleIdlesSweepsPastTheLimiterAndStops) {
    const TIgnParams p = RoadSet();
    EngineModel engine;
    EngineOptions o;
    bool limiter = false, stopped = false, idled = false;
    for (uint32_t t = 0; t < EngineModel::CYCLE_MS; t += o.StepMs) {
        EXPECT_EQ(engine.TimeMs(), t);
        const TMonitorData m = Take(engine, o, p);
        limiter |= m.HardLimiter();
        idled |= m.Snimac() && m.Rpm() < 1300 && m.Rpm() > 1100;
        if (!m.Snimac()) {
            stopped = true;
            EXPECT_EQ(m.Rpm(), 0);
            EXPECT_FALSE(m.HardLimiter());
        }
        EXPECT_GE(m.Napeti(), 13000);
        EXPECT_LE(m.Napeti(), 14400);
    }
    EXPECT_TRUE(limiter);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(idled);
}

TEST(EngineModel, SameSeedSameRun) {
    const TIgnParams p = RoadSet();
    EngineModel a, b;
    EngineOptions o;
    for (int i = 0; i < 100; ++i) {
        const TMonitorData ma = Take(a, o, p), mb = Take(b, o, p);
        ASSERT_EQ(std::vector<uint8_t>(ma.Bytes, ma.Bytes + 51),
                  std::vector<uint8_t>(mb.Bytes, mb.Bytes + 51));
    }
}

TEST(EngineModel, InputsDriveTheirFunctions) {
    TIgnParams p = RoadSet();
    p.Input1 = 4; // start limiter at Omez1 (4000 rpm)
    p.Input2 = 3; // retard
    p.Retard = 6;
    EngineModel engine;
    EngineOptions o;
    o.FixedRpm = 6000;
    o.Input1Active = true;
    o.Input2Active = true;
    const TMonitorData m = Take(engine, o, p);
    EXPECT_TRUE(m.Input1In());
    EXPECT_TRUE(m.Input2In());
    EXPECT_EQ(m.Rpm(), 4000);
    EXPECT_TRUE(m.StartLimiterOut());
    EXPECT_TRUE(m.MonRetard());
    EXPECT_EQ(m.MonAdvance(), 24 - 6 + 100);
}

TEST(EngineModel, PinsOverrideEverything) {
    EngineModel engine;
    EngineOptions o;
    o.FixedRpm = 3000;
    o.FixedMillivolts = 7000;
    o.PinnedBytes = {{MonitorField::Snimac, 0}, {MonitorField::EeDataErr, 1}};
    const TMonitorData m = Take(engine, o, RoadSet());
    EXPECT_EQ(m.Rpm(), 3000);
    EXPECT_EQ(m.Napeti(), 7000);
    EXPECT_FALSE(m.Snimac());
    EXPECT_TRUE(m.EeDataErr());
}

} // namespace
} // namespace kelmor
