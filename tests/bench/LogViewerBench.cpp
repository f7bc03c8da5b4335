// The ride log viewer on long logs: reading 11 000 lines (an hour at a frame
// every 330 ms) and 100 000 lines (about nine hours) from the file into the
// viewer, and drawing one screen of the plot, the whole ride in view and
// five minutes of it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "lang/TMessageTable.h"
#include "link/MonitorCsv.h"
#include "qt/Fonts.h"
#include "qt/LogPlotWidget.h"
#include "ui/LogViewer.h"

namespace kelmor {
namespace {

// The logs by their number of lines.
std::string g_hour, g_long;

const std::string& PathFor(int64_t lines) {
    return lines > 50000 ? g_long : g_hour;
}

// A ride with the engine and the voltage moving and the limiter now and then.
std::string MakeLog(int lines) {
    std::string text = MonitorCsvHeader();
    text.reserve(static_cast<size_t>(lines) * 100);
    TMonitorData m;
    m.Bytes[0] = 0xB0;
    m.Bytes[42] = 1;
    m.Bytes[50] = 67;
    char line[320];
    for (int i = 0; i < lines; ++i) {
        const int rpm = 1500 + (i * 37) % 9000;
        const int mv = 12500 + (i * 13) % 2000;
        m.Bytes[1] = static_cast<uint8_t>(rpm & 0xFF);
        m.Bytes[2] = static_cast<uint8_t>(rpm >> 8);
        m.Bytes[3] = static_cast<uint8_t>(mv & 0xFF);
        m.Bytes[4] = static_cast<uint8_t>(mv >> 8);
        m.Bytes[31] = static_cast<uint8_t>(110 + rpm / 400);
        m.Bytes[36] = rpm > 10000 ? 1 : 0;
        text.append(line, FormatMonitorCsv(m, static_cast<uint32_t>(330 * i), line, sizeof line));
    }
    return text;
}

void Load(LogViewer& viewer, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    RideLogReport report;
    viewer.Load(ReadRideLog(text.str(), report), path);
}

void BM_Load(benchmark::State& state) {
    for (auto _ : state) {
        LogViewer viewer;
        Load(viewer, PathFor(state.range(0)));
        benchmark::DoNotOptimize(viewer.Log().Size());
    }
}
BENCHMARK(BM_Load)->Arg(11000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One screen of the plot, 1200 x 700 pixels, with the ride zoomed to `span`
// milliseconds (0: all of it).
void Draw(benchmark::State& state, uint32_t span) {
    LogViewer viewer;
    Load(viewer, PathFor(state.range(0)));
    if (span > 0) viewer.Zoom(double(span) / viewer.ViewSpan(), viewer.Log().LastTime() / 2);
    TMessageTable messages;
    FillMessageTable(LANG_ENGLISH, messages);
    LogPlotWidget plot(viewer, messages, nullptr);
    plot.setFont(ControlFont(12));
    plot.resize(1200, 700);
    QImage screen(plot.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        plot.render(&screen);
}
void BM_DrawScreenWholeRide(benchmark::State& state) {
    Draw(state, 0);
}
void BM_DrawScreenFiveMinutes(benchmark::State& state) {
    Draw(state, 300000);
}
BENCHMARK(BM_DrawScreenWholeRide)->Arg(11000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawScreenFiveMinutes)->Arg(11000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kelmor

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    char hour[] = "/tmp/kelmor-bench-log-XXXXXX";
    char longer[] = "/tmp/kelmor-bench-log-XXXXXX";
    for (char* path : {hour, longer}) {
        const int fd = mkstemp(path);
        if (fd < 0) return 1;
        close(fd);
    }
    kelmor::g_hour = hour;
    kelmor::g_long = longer;
    std::ofstream(kelmor::g_hour, std::ios::binary) << kelmor::MakeLog(11000);
    std::ofstream(kelmor::g_long, std::ios::binary) << kelmor::MakeLog(100000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(hour);
    std::remove(longer);
    return 0;
}
