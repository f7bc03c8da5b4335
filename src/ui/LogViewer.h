#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lang/TMessageTable.h"
#include "link/RideLog.h"
#include "params/TIgnParams.h"
#include "ui/CurveChart.h"

namespace kelmor {

// The ride log viewer's logic: a monitor log, the time window shown, the
// replay clock with its position, the cursor's values, and an advance chart
// over which the replay moves the operating point. It reads no clock: the
// view tells it how much time has passed.
class LogViewer {
  public:
    // The shortest window zoom reaches.
    static constexpr uint32_t MIN_SPAN_MS = 2000;
    // The chart's trail covers this much log time, as the live chart's does.
    static constexpr uint32_t TRAIL_MS = CurveChart::TRAIL_TICKS * 55;

    struct Span {
        uint32_t From = 0, To = 0;
    };
    // Lowest and highest value among the lines falling on one pixel column.
    struct Extent {
        int32_t Min = 0, Max = 0;
        bool Any = false;
    };

    // Takes a log: the whole of it shown, the position at its start, paused.
    void Load(RideLog log, std::string path);
    // Forgets the log (the window was closed).
    void Close();
    bool Loaded() const { return !Data.Empty(); }
    const RideLog& Log() const { return Data; }
    const std::string& Path() const { return FilePath; }
    // Changes whenever anything drawn changes.
    uint32_t Revision() const { return Rev; }

    // The time window shown: [ViewFrom, ViewFrom + ViewSpan).
    uint32_t ViewFrom() const { return From; }
    uint32_t ViewSpan() const { return SpanMs; }
    void ShowAll();
    // Zooms by `factor` (below 1 in, above 1 out), keeping `anchor` in place.
    void Zoom(double factor, uint32_t anchor);
    // Moves the window by `deltaMs` of log time, within the log.
    void Pan(int64_t deltaMs);

    // Replay at 1, 4 or 16 times the speed of the ride.
    bool Playing() const { return IsPlaying; }
    void Play();
    void Pause();
    int Speed() const { return Times; }
    void SetSpeed(int speed);
    uint32_t Position() const { return Pos; }
    void Seek(uint32_t t);
    // The replay clock: `elapsedMs` of real time have passed. Moves on, feeds
    // the chart with every line passed and stops at the end. While playing,
    // the window follows the position.
    void Advance(uint32_t elapsedMs);

    // The chart of the replay; it follows `windowSet` unless a file's curve
    // was chosen.
    const CurveChart& Chart() const { return Curve; }
    void FollowCurve(const TIgnParams& windowSet);
    // Takes the curve of a .ign file (as Open loads it) instead of the
    // window's set; false, with the message in `error`, when it cannot.
    bool UseCurveFile(const std::string& path, const TMessageTable& t, std::string& error);
    void UseWindowCurve();
    bool UsesCurveFile() const { return FromFile; }
    const std::string& CurveFile() const { return CurveFilePath; }

    // Times when the rev limiter, the start limiter or the kill switch was on.
    const std::vector<Span>& Spans(LogColumn flag) const;

    // Lines inside the window, with one either side so lines can be drawn
    // to the edges: [first, last).
    void VisibleLines(size_t& first, size_t& last) const;
    // Per pixel column of the window, the extent of a column's values.
    void Envelope(LogColumn c, int pixels, std::vector<Extent>& out) const;
    // The lowest and highest value of a column over the whole log.
    void Range(LogColumn c, int32_t& low, int32_t& high) const;

    // Every column's name and value at the line of moment `t`.
    void CursorValues(uint32_t t, const TMessageTable& m,
                      std::vector<std::pair<std::string, std::string>>& rows) const;
    // "1:02.3" or "1:02:03.4" of log time.
    static std::string TimeText(uint32_t ms);

  private:
    void Feed(size_t line);
    // The chart's ticks up to log time `t`, 55 ms each.
    void TickChartTo(uint32_t t);
    void RebuildTrail();
    void Follow();
    void Changed() { ++Rev; }

    RideLog Data;
    std::string FilePath;
    uint32_t From = 0, SpanMs = 0;
    uint32_t Pos = 0;
    bool IsPlaying = false;
    int Times = 1;
    uint32_t Rev = 1;
    // The replay's chart and where feeding it has got to.
    CurveChart Curve;
    size_t FedNext = 0;     // the next line to feed
    uint32_t ChartTime = 0; // the log time of the chart's last tick
    bool FromFile = false;
    TIgnParams FileCurve{};
    std::string CurveFilePath;
    std::vector<Span> RevLimiterSpans, StartLimiterSpans, KillSwitchSpans;
    std::array<int32_t, LOG_COLUMNS> Lowest{}, Highest{};
};

} // namespace kelmor
