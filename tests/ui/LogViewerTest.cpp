// The log viewer's logic: the replay clock and the chart it moves, the time
// window under zoom and pan, the alarm spans, what a pixel column shows and
// the cursor's values.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "lang/TMessageTable.h"
#include "storage/IgnFile.h"
#include "support/FormFixture.h"
#include "ui/LogViewer.h"

namespace kelmor::test {
namespace {

const char* HEADER =
    "time_ms,rpm,advance_deg,advance_max_deg,voltage_v,programming_count,saving_countdown,"
    "pickup,basic_advance,start_limiter,rev_limiter,blocking,kill_switch,shift_light,retard,"
    "clutch_master,input1,input2,polarity_ok,polarity_measured,data_error,version,test1,test2,"
    "test3,test4,test5,test6,test7,test8\r\n";

struct Row {
    uint32_t Time;
    int Rpm, Advance;
    const char* Volts = "13.500";
    int StartLimiter = 0, RevLimiter = 0, KillSwitch = 0;
};

std::string Text(const std::vector<Row>& rows) {
    std::string text = HEADER;
    char line[256];
    for (const Row& r : rows) {
        std::snprintf(
            line, sizeof line,
            "%u,%d,%d,30,%s,7,0,%d,0,%d,%d,0,%d,0,0,0,0,0,1,negative,0,67,0,0,0,0,0,0,0,0\r\n",
            r.Time, r.Rpm, r.Advance, r.Volts, r.Rpm > 0 ? 1 : 0, r.StartLimiter, r.RevLimiter,
            r.KillSwitch);
        text += line;
    }
    return text;
}

// A ride of `n` lines 330 ms apart, the engine at 1000 rpm plus 100 a line.
std::vector<Row> Ride(int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({static_cast<uint32_t>(330 * i), 1000 + 100 * i, 10 + i % 20});
    return rows;
}

class Viewer : public ::testing::Test {
  protected:
    void Load(const std::vector<Row>& rows) {
        RideLogReport report;
        V.Load(ReadRideLog(Text(rows), report), "ride.csv");
        ASSERT_EQ(V.Log().Size(), rows.size());
    }
    LogViewer V;
};

TEST_F(Viewer, ReplayRunsAtItsSpeedAndStopsAtTheEnd) {
    Load(Ride(100)); // 0 .. 32 670 ms
    EXPECT_EQ(V.Position(), 0u);
    EXPECT_FALSE(V.Playing());
    V.Advance(1000); // paused: nothing moves
    EXPECT_EQ(V.Position(), 0u);
    struct {
        int speed;
        uint32_t elapsed, position;
    } steps[] = {{1, 100, 100}, {4, 100, 500}, {16, 100, 2100}, {16, 1000, 18100}, {1, 40, 18140}};
    V.Play();
    for (const auto& s : steps) {
        V.SetSpeed(s.speed);
        V.Advance(s.elapsed);
        EXPECT_EQ(V.Position(), s.position) << s.speed << "x";
    }
    V.SetSpeed(16);
    V.Advance(60000);
    EXPECT_EQ(V.Position(), 32670u);
    EXPECT_FALSE(V.Playing());
    // Play at the end starts again from the start.
    V.Play();
    EXPECT_TRUE(V.Playing());
    EXPECT_EQ(V.Position(), 0u);
    V.SetSpeed(3); // not offered: the next lower speed
    EXPECT_EQ(V.Speed(), 1);
}

TEST_F(Viewer, TheChartFollowsTheReplayWithATrailOfThreeSeconds) {
    std::vector<Row> rows = Ride(30);
    rows[29].Rpm = 0; // the engine stops at the end
    Load(rows);
    V.Play();
    V.Advance(330 * 5 + 10); // lines 0..5 passed
    ASSERT_TRUE(V.Chart().LiveShown());
    EXPECT_EQ(V.Chart().Live().Rpm, 1500);
    EXPECT_EQ(V.Chart().Live().Advance, 15);
    EXPECT_EQ(V.Chart().TrailCount(), 5);

    // A seek keeps only what the last three seconds of the ride leave.
    V.Seek(330 * 20);
    EXPECT_EQ(V.Chart().Live().Rpm, 3000);
    uint32_t age = 0;
    for (int i = 0; i < V.Chart().TrailCount(); ++i) {
        V.Chart().TrailAt(i, age);
        EXPECT_LE(age, CurveChart::TRAIL_TICKS) << i;
    }
    EXPECT_GE(V.Chart().TrailCount(), 8);

    // The axes took the whole ride at the load: they do not move while it plays.
    const int rpmMax = V.Chart().RpmMax();
    EXPECT_GE(rpmMax, 3800);
    V.Seek(0);
    EXPECT_EQ(V.Chart().RpmMax(), rpmMax);

    V.Seek(330 * 29);
    EXPECT_FALSE(V.Chart().LiveShown());
}

TEST_F(Viewer, ZoomKeepsItsAnchorAndPanStaysInsideTheRide) {
    Load(Ride(101)); // 0 .. 33 000 ms
    EXPECT_EQ(V.ViewFrom(), 0u);
    EXPECT_EQ(V.ViewSpan(), 33000u);
    V.Zoom(0.5, 11000); // a third into the window stays a third into it
    EXPECT_EQ(V.ViewSpan(), 16500u);
    EXPECT_EQ(V.ViewFrom(), 5500u);
    V.Zoom(0.001, 11000); // no closer than the shortest window
    EXPECT_EQ(V.ViewSpan(), LogViewer::MIN_SPAN_MS);
    V.Pan(-100000);
    EXPECT_EQ(V.ViewFrom(), 0u);
    V.Pan(100000);
    EXPECT_EQ(V.ViewFrom(), 33000u - LogViewer::MIN_SPAN_MS);
    V.Zoom(1000, 0); // no further out than the whole ride
    EXPECT_EQ(V.ViewFrom(), 0u);
    EXPECT_EQ(V.ViewSpan(), 33000u);
}

TEST_F(Viewer, PlayingMovesTheWindowAlongWithThePosition) {
    Load(Ride(101));
    V.Zoom(0.1, 0); // 0 .. 3 300 ms
    V.Play();
    V.Advance(3000);
    EXPECT_EQ(V.ViewFrom(), 0u);
    V.Advance(400); // 3 400: past the window's end
    EXPECT_LE(V.ViewFrom(), V.Position());
    EXPECT_GT(V.ViewFrom() + V.ViewSpan(), V.Position());
    EXPECT_GT(V.ViewFrom(), 0u);
}

TEST_F(Viewer, AlarmSpansRunFromTheFirstLineOnToTheFirstLineOff) {
    std::vector<Row> rows = Ride(8);
    for (int i : {1, 2, 6, 7})
        rows[static_cast<size_t>(i)].RevLimiter = 1;
    rows[4].KillSwitch = 1;
    Load(rows);
    const auto& rev = V.Spans(LogColumn::RevLimiter);
    ASSERT_EQ(rev.size(), 2u);
    EXPECT_EQ(rev[0].From, 330u);
    EXPECT_EQ(rev[0].To, 990u);
    EXPECT_EQ(rev[1].From, 1980u); // still on at the end of the ride
    EXPECT_EQ(rev[1].To, 2310u);
    ASSERT_EQ(V.Spans(LogColumn::KillSwitch).size(), 1u);
    EXPECT_EQ(V.Spans(LogColumn::KillSwitch)[0].From, 1320u);
    EXPECT_TRUE(V.Spans(LogColumn::StartLimiter).empty());
}

TEST_F(Viewer, APixelColumnShowsTheExtentOfItsLines) {
    Load(Ride(101)); // rpm 1000 .. 11 000
    V.Zoom(0.5, 0);  // 0 .. 16 500 ms: lines 0..49
    std::vector<LogViewer::Extent> columns;
    V.Envelope(LogColumn::Rpm, 10, columns);
    ASSERT_EQ(columns.size(), 10u);
    // 1650 ms a column, five lines each.
    EXPECT_TRUE(columns[0].Any);
    EXPECT_EQ(columns[0].Min, 1000);
    EXPECT_EQ(columns[0].Max, 1400);
    EXPECT_EQ(columns[9].Max, 5900); // line 49; line 50 lies beyond the window
    V.Envelope(LogColumn::Rpm, 1000, columns);
    int empty = 0;
    for (const auto& c : columns)
        empty += c.Any ? 0 : 1;
    EXPECT_EQ(empty, 950); // more columns than lines
    size_t first = 0, last = 0;
    V.VisibleLines(first, last);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 51u); // one beyond the window, to draw up to its edge
}

TEST_F(Viewer, TheCursorShowsEveryColumnAtItsLine) {
    RideLogReport report;
    V.Load(ReadRideLog("time_ms,rpm,voltage_v,kill_switch,polarity_measured\r\n"
                       "0,0,7.000,0,positive\r\n330,3210,13.284,1,negative\r\n",
                       report),
           "short.csv");
    TMessageTable m;
    FillMessageTable(LANG_GERMAN, m);
    std::vector<std::pair<std::string, std::string>> rows;
    V.CursorValues(500, m, rows);
    ASSERT_EQ(rows.size(), static_cast<size_t>(LOG_COLUMNS));
    auto value = [&](const char* name) {
        for (const auto& [n, v] : rows)
            if (n == name) return v;
        return std::string("(none)");
    };
    EXPECT_EQ(value("time_ms"), "330 (0:00.3)");
    EXPECT_EQ(value("rpm"), "3210");
    EXPECT_EQ(value("voltage_v"), "13.284");
    EXPECT_EQ(value("kill_switch"), "Ja");
    EXPECT_EQ(value("polarity_measured"), "Negativ");
    EXPECT_EQ(value("advance_deg"), "---"); // not in the file
    V.CursorValues(100, m, rows);
    EXPECT_EQ(value("voltage_v"), "7.000");
    EXPECT_EQ(LogViewer::TimeText(3723456), "1:02:03.4");
}

class ViewerCurve : public FormFixture {};

TEST_F(ViewerCurve, TheChartShowsTheWindowsSetOrAFilesCurve) {
    Start();
    RideLogReport report;
    LogViewer& v = Form->Viewer;
    v.Load(ReadRideLog(Text(Ride(3)), report), "ride.csv");
    v.FollowCurve(Form->Params());
    EXPECT_EQ(v.Chart().PointCount(), Form->Params().PocetBodu);

    std::string error;
    TMessageTable& t = Form->Messages;
    EXPECT_FALSE(v.UseCurveFile(Config.Path() + "/none.ign", t, error));
    EXPECT_EQ(error, "Open file error!\n" + Config.Path() + "/none.ign");
    EXPECT_FALSE(v.UsesCurveFile());

    TIgnParams file{};
    SetDefaults(file);
    file.PocetBodu = 4;
    file.RpmAdv[3] = 90;
    file.Advance[3] = 33;
    const std::string path = Config.Path() + "/race.ign";
    std::ofstream(path, std::ios::binary) << WriteIgnFile(file);
    ASSERT_TRUE(v.UseCurveFile(path, t, error)) << error;
    v.FollowCurve(Form->Params());
    ASSERT_EQ(v.Chart().PointCount(), 4);
    EXPECT_EQ(v.Chart().PointAt(3).Rpm, 9000);
    EXPECT_EQ(v.Chart().PointAt(3).Advance, 33);
    v.UseWindowCurve();
    v.FollowCurve(Form->Params());
    EXPECT_EQ(v.Chart().PointCount(), Form->Params().PocetBodu);
}

} // namespace
} // namespace kelmor::test
