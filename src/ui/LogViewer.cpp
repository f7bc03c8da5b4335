#include "ui/LogViewer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "storage/IgnFile.h"

namespace kelmor {

namespace {
constexpr uint32_t TICK_MS = 55;
// The axes hold what the window lets one set, so a wild value cannot squash the curve.
constexpr int32_t MAX_CHART_RPM = 25000;
constexpr int32_t MAX_CHART_ADVANCE = 60;

void CollectSpans(const RideLog& log, LogColumn flag, std::vector<LogViewer::Span>& spans) {
    spans.clear();
    if (!log.Has(flag)) return;
    bool on = false;
    uint32_t start = 0;
    for (size_t i = 0; i < log.Size(); ++i) {
        const bool set = log.At(flag, i) != 0;
        if (set && !on) start = log.Time(i);
        if (!set && on) spans.push_back({start, log.Time(i)});
        on = set;
    }
    if (on) spans.push_back({start, log.LastTime()});
}
} // namespace

void LogViewer::Load(RideLog log, std::string path) {
    Data = std::move(log);
    FilePath = std::move(path);
    IsPlaying = false;
    // Every paint scales by these; a long ride is scanned once.
    for (int k = 0; k < LOG_COLUMNS; ++k) {
        const std::vector<int32_t>& values = Data.Column(static_cast<LogColumn>(k));
        Lowest[static_cast<size_t>(k)] = Highest[static_cast<size_t>(k)] = 0;
        if (values.empty()) continue;
        const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
        Lowest[static_cast<size_t>(k)] = *lo;
        Highest[static_cast<size_t>(k)] = *hi;
    }
    CollectSpans(Data, LogColumn::RevLimiter, RevLimiterSpans);
    CollectSpans(Data, LogColumn::StartLimiter, StartLimiterSpans);
    CollectSpans(Data, LogColumn::KillSwitch, KillSwitchSpans);
    // The chart's axes take the whole ride at once, so they do not jump while it plays.
    int32_t low = 0, rpmTop = 0, advanceTop = 0, maxTop = 0;
    Range(LogColumn::Rpm, low, rpmTop);
    Range(LogColumn::Advance, low, advanceTop);
    Range(LogColumn::AdvanceMax, low, maxTop);
    Curve.ClearLive();
    Curve.KeepRoomFor(std::clamp(rpmTop, 0, MAX_CHART_RPM),
                      std::clamp(std::max(advanceTop, maxTop), 0, MAX_CHART_ADVANCE));
    ShowAll();
    Seek(Data.FirstTime());
}

void LogViewer::Close() {
    Data = RideLog{};
    FilePath.clear();
    IsPlaying = false;
    Curve.ClearLive();
    Curve.KeepRoomFor(0, 0);
    RevLimiterSpans.clear();
    StartLimiterSpans.clear();
    KillSwitchSpans.clear();
    From = SpanMs = Pos = 0;
    Lowest.fill(0);
    Highest.fill(0);
    Changed();
}

void LogViewer::ShowAll() {
    From = Data.FirstTime();
    SpanMs = std::max(Data.LastTime() - Data.FirstTime(), MIN_SPAN_MS);
    Changed();
}

void LogViewer::Zoom(double factor, uint32_t anchor) {
    if (!Loaded() || !(factor > 0)) return;
    const uint32_t whole = std::max(Data.LastTime() - Data.FirstTime(), MIN_SPAN_MS);
    const double wanted = std::clamp(SpanMs * factor, double(MIN_SPAN_MS), double(whole));
    const auto span = static_cast<uint32_t>(wanted);
    anchor = std::clamp(anchor, From, From + SpanMs);
    // The anchor keeps its place across the window.
    const double share = SpanMs > 0 ? double(anchor - From) / SpanMs : 0.0;
    const double from = anchor - share * span;
    const double lowest = Data.FirstTime();
    const double highest = double(Data.FirstTime()) + whole - span;
    From = static_cast<uint32_t>(std::clamp(from, lowest, std::max(lowest, highest)));
    SpanMs = span;
    Changed();
}

void LogViewer::Pan(int64_t deltaMs) {
    if (!Loaded()) return;
    const uint32_t whole = std::max(Data.LastTime() - Data.FirstTime(), MIN_SPAN_MS);
    const int64_t lowest = Data.FirstTime();
    const int64_t highest = std::max<int64_t>(lowest, lowest + whole - SpanMs);
    const uint32_t from =
        static_cast<uint32_t>(std::clamp<int64_t>(From + deltaMs, lowest, highest));
    if (from == From) return;
    From = from;
    Changed();
}

void LogViewer::Play() {
    if (!Loaded()) return;
    if (Pos >= Data.LastTime()) Seek(Data.FirstTime());
    IsPlaying = true;
    Changed();
}

void LogViewer::Pause() {
    if (!IsPlaying) return;
    IsPlaying = false;
    Changed();
}

void LogViewer::SetSpeed(int speed) {
    const int s = speed >= 16 ? 16 : speed >= 4 ? 4 : 1;
    if (s == Times) return;
    Times = s;
    Changed();
}

void LogViewer::Seek(uint32_t t) {
    if (!Loaded()) return;
    Pos = std::clamp(t, Data.FirstTime(), Data.LastTime());
    RebuildTrail();
    Follow();
    Changed();
}

void LogViewer::Advance(uint32_t elapsedMs) {
    if (!IsPlaying || !Loaded()) return;
    const uint64_t target = uint64_t(Pos) + uint64_t(elapsedMs) * uint64_t(Times);
    Pos = static_cast<uint32_t>(std::min<uint64_t>(target, Data.LastTime()));
    while (FedNext < Data.Size() && Data.Time(FedNext) <= Pos)
        Feed(FedNext++);
    // The trail fades with the ride's time, also between lines.
    TickChartTo(Pos);
    if (Pos >= Data.LastTime()) IsPlaying = false;
    Follow();
    Changed();
}

void LogViewer::TickChartTo(uint32_t t) {
    if (t <= ChartTime) return;
    const uint32_t ticks = (t - ChartTime) / TICK_MS;
    // Beyond the trail's length every sample has faded anyway: a ride with
    // hours between two lines costs no more than one with seconds.
    for (uint32_t k = 0; k < std::min<uint32_t>(ticks, CurveChart::TRAIL_TICKS + 1); ++k)
        Curve.Tick();
    ChartTime += ticks * TICK_MS;
}

void LogViewer::Feed(size_t line) {
    TickChartTo(Data.Time(line));
    const int32_t rpm = Data.At(LogColumn::Rpm, line);
    if (rpm > 0)
        Curve.AddLive(rpm, Data.At(LogColumn::Advance, line), Data.At(LogColumn::AdvanceMax, line));
    Curve.SetRunning(rpm > 0);
}

void LogViewer::RebuildTrail() {
    Curve.ClearLive();
    const uint32_t start = Pos - std::min(Pos - Data.FirstTime(), TRAIL_MS);
    FedNext = Data.FirstAtOrAfter(start);
    ChartTime = FedNext < Data.Size() ? Data.Time(FedNext) : Pos;
    while (FedNext < Data.Size() && Data.Time(FedNext) <= Pos)
        Feed(FedNext++);
    TickChartTo(Pos);
}

void LogViewer::Follow() {
    if (Pos >= From && Pos - From < SpanMs) return;
    // A page on, the position a tenth into the window.
    const uint32_t whole = std::max(Data.LastTime() - Data.FirstTime(), MIN_SPAN_MS);
    const uint32_t lead = SpanMs / 10;
    const uint32_t from = Pos - std::min(Pos - Data.FirstTime(), lead);
    From = std::min(from, Data.FirstTime() + whole - std::min(whole, SpanMs));
}

void LogViewer::FollowCurve(const TIgnParams& windowSet) {
    Curve.FollowCurve(FromFile ? FileCurve : windowSet);
    Curve.FollowActive(true, 0);
}

bool LogViewer::UseCurveFile(const std::string& path, const TMessageTable& t, std::string& error) {
    TIgnParams p{};
    SetDefaults(p);
    switch (LoadIgnFile(path, p)) {
    case IgnLoadResult::OpenError:
        error = t.MsgFileOpenError + "\n" + path;
        return false;
    case IgnLoadResult::VersionMismatch:
        error = t.MsgFileVersionMismatch + "\n" + path;
        return false;
    case IgnLoadResult::Ok:
        break;
    }
    // As Open takes a file: normalised, the keying type cleared.
    Normalise(p);
    p.Bike = 0;
    FileCurve = p;
    FromFile = true;
    CurveFilePath = path;
    Changed();
    return true;
}

void LogViewer::UseWindowCurve() {
    if (!FromFile) return;
    FromFile = false;
    CurveFilePath.clear();
    Changed();
}

const std::vector<LogViewer::Span>& LogViewer::Spans(LogColumn flag) const {
    switch (flag) {
    case LogColumn::StartLimiter:
        return StartLimiterSpans;
    case LogColumn::KillSwitch:
        return KillSwitchSpans;
    default:
        return RevLimiterSpans;
    }
}

void LogViewer::VisibleLines(size_t& first, size_t& last) const {
    first = Data.FirstAtOrAfter(From);
    if (first > 0) --first;
    last = std::min(Data.FirstAtOrAfter(From + SpanMs) + 1, Data.Size());
}

void LogViewer::Envelope(LogColumn c, int pixels, std::vector<Extent>& out) const {
    out.assign(static_cast<size_t>(std::max(pixels, 0)), Extent{});
    if (pixels <= 0 || SpanMs == 0) return;
    const std::vector<int32_t>& values = Data.Column(c);
    const size_t end = Data.FirstAtOrAfter(From + SpanMs);
    for (size_t i = Data.FirstAtOrAfter(From); i < end; ++i) {
        const uint64_t p = uint64_t(Data.Time(i) - From) * uint64_t(pixels) / SpanMs;
        Extent& e = out[static_cast<size_t>(std::min<uint64_t>(p, uint64_t(pixels) - 1))];
        const int32_t v = values[i];
        if (!e.Any) {
            e = {v, v, true};
        } else {
            e.Min = std::min(e.Min, v);
            e.Max = std::max(e.Max, v);
        }
    }
}

void LogViewer::Range(LogColumn c, int32_t& low, int32_t& high) const {
    low = Lowest[static_cast<size_t>(c)];
    high = Highest[static_cast<size_t>(c)];
}

std::string LogViewer::TimeText(uint32_t ms) {
    const uint32_t tenths = ms / 100 % 10;
    const uint32_t s = ms / 1000;
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%u:%02u:%02u.%u", s / 3600, s / 60 % 60, s % 60, tenths);
    else
        std::snprintf(text, sizeof text, "%u:%02u.%u", s / 60, s % 60, tenths);
    return text;
}

void LogViewer::CursorValues(uint32_t t, const TMessageTable& m,
                             std::vector<std::pair<std::string, std::string>>& rows) const {
    rows.clear();
    if (!Loaded()) return;
    const size_t i = Data.IndexAt(t);
    for (int k = 0; k < LOG_COLUMNS; ++k) {
        const auto c = static_cast<LogColumn>(k);
        std::string value;
        char number[32];
        if (c == LogColumn::TimeMs) {
            std::snprintf(number, sizeof number, "%u", Data.Time(i));
            value = std::string(number) + " (" + TimeText(Data.Time(i)) + ")";
        } else if (!Data.Has(c)) {
            value = "---";
        } else if (c == LogColumn::Voltage) {
            const int32_t mv = Data.At(c, i);
            std::snprintf(number, sizeof number, "%s%d.%03d", mv < 0 ? "-" : "",
                          std::abs(mv) / 1000, std::abs(mv) % 1000);
            value = number;
        } else if (c == LogColumn::PolarityMeasured) {
            value = Data.At(c, i) == 0 ? m.MsgPositive : m.MsgNegative;
        } else if (IsFlagColumn(c)) {
            value = Data.At(c, i) != 0 ? m.MsgYes : m.MsgNo;
        } else {
            std::snprintf(number, sizeof number, "%d", Data.At(c, i));
            value = number;
        }
        rows.emplace_back(std::string(LogColumnName(c)), std::move(value));
    }
}

} // namespace kelmor
