// The monitor log reader on any bytes, and the log viewer over what it
// read: every column as long as the times, the times never going back,
// flags 0 or 1, the report counting every line, and zoom, pan, replay and
// cursor staying inside the log.
#include <algorithm>
#include <vector>

#include "FuzzInput.h"
#include "lang/TMessageTable.h"
#include "link/RideLog.h"
#include "ui/LogViewer.h"

using namespace kelmor;
using kelmor::fuzz::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes steer the viewer; the rest is the file.
    FuzzInput in(data, size);
    uint8_t steer[8];
    for (uint8_t& b : steer)
        b = in.Byte();
    const std::string_view text = in.Rest();

    RideLogReport report;
    RideLog log = ReadRideLog(text, report);
    FUZZ_CHECK(report.Lines == log.Size());
    const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(log.Size() + report.BadLines + report.OutOfOrder <= lines);
    for (int k = 0; k < LOG_COLUMNS; ++k) {
        const auto c = static_cast<LogColumn>(k);
        FUZZ_CHECK(log.Column(c).size() == log.Size());
        if (IsFlagColumn(c) || c == LogColumn::PolarityMeasured)
            for (int32_t v : log.Column(c))
                FUZZ_CHECK(v == 0 || v == 1);
    }
    for (size_t i = 1; i < log.Size(); ++i)
        FUZZ_CHECK(log.Time(i - 1) <= log.Time(i));

    LogViewer viewer;
    viewer.Load(std::move(log), "fuzz.csv");
    const RideLog& l = viewer.Log();
    const uint32_t first = l.FirstTime(), last = l.LastTime();
    auto inside = [&] {
        FUZZ_CHECK(viewer.Position() >= first && viewer.Position() <= last);
        if (viewer.Loaded()) FUZZ_CHECK(viewer.ViewFrom() >= first);
        FUZZ_CHECK(viewer.ViewSpan() >= LogViewer::MIN_SPAN_MS || !viewer.Loaded());
    };
    inside();
    viewer.Zoom(0.01 + steer[0] / 32.0, first + (last - first) / 256 * steer[1]);
    inside();
    viewer.Pan((int64_t(steer[2]) - 128) * 997);
    inside();
    viewer.SetSpeed(steer[3] % 17);
    viewer.Play();
    for (int i = 0; i < steer[4] % 16; ++i) {
        viewer.Advance(steer[5] * 7u);
        inside();
    }
    viewer.Seek(first + (last - first) / 256 * steer[6]);
    inside();

    std::vector<LogViewer::Extent> columns;
    viewer.Envelope(LogColumn::Rpm, steer[7], columns);
    FUZZ_CHECK(columns.size() == steer[7]);
    size_t from = 0, to = 0;
    viewer.VisibleLines(from, to);
    FUZZ_CHECK(from <= to && to <= l.Size());
    for (LogColumn flag : {LogColumn::RevLimiter, LogColumn::StartLimiter, LogColumn::KillSwitch})
        for (const LogViewer::Span& s : viewer.Spans(flag))
            FUZZ_CHECK(s.From <= s.To && s.From >= first && s.To <= last);

    static TMessageTable messages = [] {
        TMessageTable t;
        FillMessageTable(LANG_ENGLISH, t);
        return t;
    }();
    std::vector<std::pair<std::string, std::string>> rows;
    viewer.CursorValues(viewer.Position(), messages, rows);
    FUZZ_CHECK(rows.size() == (l.Empty() ? 0u : size_t(LOG_COLUMNS)));
    return 0;
}
