// The advance chart: the curve in use, the active point, the live operating
// point with its trail, the axes, and a revision that moves only on change.
#include "support/FormFixture.h"
#include "support/MonitorFrame.h"
#include "ui/CurveChart.h"

namespace kelmor::test {
namespace {

using C = ControlId;

class Chart : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    TIgnParams& P() { return Form->Params(); }
    const CurveChart& Ch() { return Form->Chart; }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            Form->OnTimer1();
    }
    // One monitor reply taken by the next tick.
    void Frame(const MonitorFrame& f) {
        Feed(CMD_MONITOR_REPLY, f.data);
        Tick();
    }
    void ExpectChartIsTheSet() {
        const int count = P().PocetBodu;
        ASSERT_EQ(Ch().PointCount(), count);
        for (int k = 0; k < count; ++k) {
            EXPECT_EQ(Ch().PointAt(k).Rpm, P().RpmAdv[k] * 100) << "point " << k;
            EXPECT_EQ(Ch().PointAt(k).Advance, P().Advance[k]) << "point " << k;
        }
        EXPECT_EQ(Ch().LimiterRpm(), P().Omez2 * 100);
    }
};

TEST_F(Chart, PointsFollowThePointCountAndTheNormalisedCurve) {
    struct Case {
        const char* name;
        uint8_t count;
        std::array<uint8_t, 4> rpm; // the first four points; the rest stay as they are
        std::array<uint8_t, 4> advance;
    } cases[] = {
        {"one point", 1, {10, 20, 30, 40}, {5, 6, 7, 8}},
        {"three points", 3, {10, 20, 30, 40}, {5, 25, 40, 8}},
        {"speeds out of order are raised", 4, {30, 20, 20, 50}, {12, 14, 16, 18}},
        {"speeds below the first bound", 4, {0, 0, 0, 0}, {0, 60, 0, 60}},
        {"all fifteen", 15, {10, 20, 30, 40}, {10, 10, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        P().PocetBodu = c.count;
        for (int k = 0; k < 4; ++k) {
            P().RpmAdv[k] = c.rpm[static_cast<size_t>(k)];
            P().Advance[k] = c.advance[static_cast<size_t>(k)];
        }
        Form->ApplyEdit();
        Tick();
        ExpectChartIsTheSet();
    }
    // "speeds out of order": the chart shows the raised speeds, not the typed ones.
    P().PocetBodu = 4;
    P().RpmAdv[0] = 30, P().RpmAdv[1] = 20, P().RpmAdv[2] = 20, P().RpmAdv[3] = 50;
    Form->ApplyEdit();
    Tick();
    EXPECT_EQ(Ch().PointAt(1).Rpm, 3100);
    EXPECT_EQ(Ch().PointAt(2).Rpm, 3200);
}

TEST_F(Chart, AnEditInTheWindowReachesTheChart) {
    W().UserSetText(C::EditRpmAdv2, "1250");
    Form->EditExit(C::EditRpmAdv2);
    Tick();
    EXPECT_EQ(Ch().PointAt(1).Rpm, 1200);
    ExpectChartIsTheSet();
}

TEST_F(Chart, ActivePointIsTheHighlightedRow) {
    P().PocetBodu = 3;
    P().RpmAdv[0] = 10, P().RpmAdv[1] = 20, P().RpmAdv[2] = 30;
    Form->ApplyEdit();
    const std::pair<uint16_t, int> cases[] = {
        {900, -1}, {1499, 0}, {1500, 0}, {1600, 1}, {5000, 2}};
    for (auto [rpm, active] : cases) {
        Frame(MonitorFrame::Running(rpm, 20));
        EXPECT_EQ(Ch().ActivePoint(), active) << rpm << " rpm";
        EXPECT_EQ(S(C::EditRpmAdv1).Background == Colour::Lime, active == 0) << rpm << " rpm";
    }
}

TEST_F(Chart, LiveOperatingPointWithAFadingTrail) {
    EXPECT_FALSE(Ch().LiveShown());
    // Replies every sixth tick, as the poll cycle asks for them.
    const std::pair<uint16_t, int> run[] = {{1500, 12}, {2500, 18}, {3500, 24}, {4500, 28}};
    for (auto [rpm, advance] : run) {
        Frame(MonitorFrame::Running(rpm, advance));
        Tick(5);
    }
    ASSERT_TRUE(Ch().LiveShown());
    EXPECT_EQ(Ch().Live().Rpm, 4500);
    EXPECT_EQ(Ch().Live().Advance, 28);
    ASSERT_EQ(Ch().TrailCount(), 3);
    uint32_t oldest = 0, newest = 0;
    EXPECT_EQ(Ch().TrailAt(0, oldest).Rpm, 1500);
    EXPECT_EQ(Ch().TrailAt(2, newest).Rpm, 3500);
    EXPECT_GT(oldest, newest);

    // The engine stops: no marker, and the trail is gone a few seconds later.
    Frame(MonitorFrame());
    EXPECT_FALSE(Ch().LiveShown());
    Tick(static_cast<int>(CurveChart::TRAIL_TICKS) + 1);
    EXPECT_EQ(Ch().TrailCount(), 0);
}

// The unit may run a curve other than the one shown: the axes make room
// for what it reports, once, and keep it.
TEST_F(Chart, AxesMakeRoomForTheLivePoint) {
    Tick();
    ASSERT_EQ(Ch().AdvanceMax(), 15);
    ASSERT_EQ(Ch().RpmMax(), 16000);
    MonitorFrame f = MonitorFrame::Running(3000, 22);
    f.Set(MonitorField::MonAdvanceMax, 32);
    Frame(f);
    EXPECT_EQ(Ch().AdvanceMax(), 40);
    Frame(MonitorFrame::Running(18500, 5));
    EXPECT_EQ(Ch().RpmMax(), 20000);
    EXPECT_EQ(Ch().AdvanceMax(), 40) << "the axes do not shrink back while the engine runs";
    // Wild values are held to what the window can set.
    f = MonitorFrame::Running(65000, 155);
    f.Set(MonitorField::MonAdvanceMax, 255);
    Frame(f);
    EXPECT_EQ(Ch().RpmMax(), 25000);
    EXPECT_EQ(Ch().AdvanceMax(), 70);
    CurveChart copy = Ch();
    copy.ClearLive();
    EXPECT_EQ(copy.AdvanceMax(), 15);
    EXPECT_EQ(copy.RpmMax(), 16000);
}

TEST_F(Chart, FramesThatStopLeaveNoLiveMarker) {
    Frame(MonitorFrame::Running(3000, 20));
    ASSERT_TRUE(Ch().LiveShown());
    // No connection label yet, but nothing fresh: the marker goes with its sample.
    Tick(static_cast<int>(CurveChart::TRAIL_TICKS) + 1);
    EXPECT_FALSE(Ch().LiveShown());
    EXPECT_TRUE(S(C::LabelSpojeni).Visible);
}

TEST_F(Chart, BadFramesAndTransferRepliesAreNoOperatingPoint) {
    // A monitor reply with a wrong checksum: dropped by the form, so not charted.
    TLinkFrame bad;
    BuildFrame(bad, CMD_MONITOR_REPLY, MonitorFrame::Running(3000, 20).data);
    bad.Bytes[51] ^= 1;
    Line.Received.insert(Line.Received.end(), bad.Bytes.begin(), bad.Bytes.end());
    Tick();
    EXPECT_FALSE(Ch().LiveShown());
    EXPECT_EQ(Form->LiveRpm, 0);
}

TEST_F(Chart, RevisionMovesOnlyWhenSomethingChanged) {
    Tick();
    const uint32_t quiet = Ch().Revision();
    Tick(40);
    EXPECT_EQ(Ch().Revision(), quiet) << "idle ticks must not repaint";
    Frame(MonitorFrame::Running(3000, 20));
    const uint32_t live = Ch().Revision();
    EXPECT_NE(live, quiet);
    Form->BitBtnAdvPlusClick();
    Tick();
    EXPECT_NE(Ch().Revision(), live);
}

// The view repaints the chart when the logic tells it to: at once when the
// set changes (a box may open before the next tick), when the axis titles
// change language, and never on a tick that changed nothing.
TEST_F(Chart, TheViewIsToldWhenTheChartChanges) {
    struct Repaints : ModelListener {
        int Count = 0;
        void OnControlChanged(ControlId id, Property what) override {
            if (what == Property::Picture) Count += id == C::ImageCurve ? 1 : 1000;
        }
    } repaints;
    W().SetListener(&repaints);
    Tick();
    repaints.Count = 0;
    Tick(40);
    EXPECT_EQ(repaints.Count, 0) << "idle ticks";

    P().Advance[0] = 33;
    Form->ApplyEdit();
    EXPECT_EQ(Ch().PointAt(0).Advance, 33) << "without waiting for a tick";
    EXPECT_EQ(repaints.Count, 1);

    Form->MenuGermanClick();
    EXPECT_GE(repaints.Count, 2) << "new axis titles";

    repaints.Count = 0;
    Frame(MonitorFrame::Running(3000, 20));
    EXPECT_EQ(repaints.Count, 1) << "a live point";
    W().SetListener(nullptr);
}

TEST(ChartAxes, GridFitsTheCurveAndTheLimiter) {
    struct Case {
        uint8_t count;
        uint8_t lastRpm; // speed of the last point in use, rpm / 100
        uint8_t limiter; // Omez2
        uint8_t advance; // at every point
        int rpmMax, rpmStep, advanceMax, advanceStep;
    } cases[] = {
        {3, 30, 40, 10, 4000, 1000, 15, 5},      // limiter beyond the curve
        {3, 30, 9, 19, 3000, 1000, 20, 5},       // the curve beyond a low limiter
        {15, 150, 150, 20, 16000, 2000, 30, 10}, // defaults, advance 20
        {15, 200, 250, 60, 25000, 5000, 70, 10}, // everything at its top
        {1, 6, 9, 0, 1000, 1000, 5, 5},          // the least there is
    };
    for (const Case& c : cases) {
        TIgnParams p{};
        SetDefaults(p);
        p.PocetBodu = c.count;
        for (int k = 0; k < CURVE_POINTS; ++k) {
            p.RpmAdv[k] = static_cast<uint8_t>(c.lastRpm - (c.count - 1 - k));
            p.Advance[k] = c.advance;
        }
        p.Omez2 = c.limiter;
        CurveChart chart;
        chart.FollowCurve(p);
        EXPECT_EQ(chart.RpmMax(), c.rpmMax) << +c.lastRpm << "/" << +c.limiter;
        EXPECT_EQ(chart.RpmStep(), c.rpmStep) << +c.lastRpm << "/" << +c.limiter;
        EXPECT_EQ(chart.AdvanceMax(), c.advanceMax) << +c.advance;
        EXPECT_EQ(chart.AdvanceStep(), c.advanceStep) << +c.advance;
        // Values outside the axes stay on the plot's edge.
        EXPECT_DOUBLE_EQ(chart.X(99999, 10, 100), 110);
        EXPECT_DOUBLE_EQ(chart.Y(-40, 10, 100), 110);
        EXPECT_DOUBLE_EQ(chart.Y(200, 10, 100), 10);
    }
}

} // namespace
} // namespace kelmor::test
