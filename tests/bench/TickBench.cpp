// One 55 ms tick of the main window against the in-process simulated unit:
// time per tick and heap allocations per tick. A tick is what Timer1 fires:
// the tick itself and what follows it (the advance chart, the monitor log).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <unistd.h>

#include "support/FakePlatform.h"
#include "support/FakeSerialPort.h"
#include "support/SimScenario.h"
#include "support/TestFiles.h"
#include "ui/TFormHlav.h"

namespace {
std::atomic<long> gAllocations{0};
}

// Counting replacement of the global allocator; GCC cannot see that the
// matching delete below frees what this malloc returned.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace kelmor {
namespace {

struct Bench : test::SimScenario {
    explicit Bench(std::string config = "/nonexistent-kelmor-bench") {
        Host.Config = std::move(config);
        Host.PortFactory = [this](int) { return Port(); };
        Form = std::make_unique<TFormHlav>(Host);
        Form->FormCreate({});
        // Warm up: every caption reaches its working capacity.
        for (int i = 0; i < 200; ++i) {
            Form->TickCount = 5;
            Form->OnTimer1();
        }
    }
    // Throws away whatever waits on the line.
    void Drain() {
        uint8_t scratch[512];
        while (size_t n = Form->SerialLink.BytesWaiting())
            Form->SerialLink.ReadBytes(scratch, std::min(n, sizeof scratch));
    }
    test::FakePlatform Host;
    std::unique_ptr<TFormHlav> Form;
};

// A monitor reply waits at every tick: each tick handles one, requests the
// next, and puts the engine's operating point on the chart.
void RunMonitorTicks(benchmark::State& state, Bench& b) {
    long allocations = 0, chartChanges = 0;
    for (auto _ : state) {
        b.Form->TickCount = 5;
        const uint32_t revision = b.Form->Chart.Revision();
        long before = gAllocations.load(std::memory_order_relaxed);
        b.Form->OnTimer1();
        allocations += gAllocations.load(std::memory_order_relaxed) - before;
        chartChanges += b.Form->Chart.Revision() != revision;
    }
    if (chartChanges == 0) state.SkipWithError("the chart never followed the engine");
    state.counters["allocs/tick"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.counters["chart updates/tick"] =
        benchmark::Counter(static_cast<double>(chartChanges), benchmark::Counter::kAvgIterations);
}

void BM_TickWithMonitorReply(benchmark::State& state) {
    Bench b;
    RunMonitorTicks(state, b);
}
BENCHMARK(BM_TickWithMonitorReply);

// The same with the monitor log on: one CSV line per tick goes to the disk.
void BM_TickWithMonitorReplyLogged(benchmark::State& state) {
    const test::TempFolder folder;
    if (folder.Path().empty()) {
        state.SkipWithError("no folder for the log");
        return;
    }
    Bench b(folder.Path());
    b.Form->MenuLogClick();
    if (!b.Form->Log.Running()) state.SkipWithError("the log did not start");
    RunMonitorTicks(state, b);
    state.counters["lines"] = static_cast<double>(b.Form->Log.Frames());
    b.Form->MenuLogClick();
}
BENCHMARK(BM_TickWithMonitorReplyLogged);

// A tick that takes a read transfer's page 0 reply and sends the next page.
void BM_TickWithTransferReply(benchmark::State& state) {
    Bench b;
    long allocations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.Drain();
        b.Form->Mode = tmRead;
        b.Form->PageCommand = 0x40;
        b.Form->RetryCount = 1;
        b.Form->SendPage();
        state.ResumeTiming();
        long before = gAllocations.load(std::memory_order_relaxed);
        b.Form->OnTimer1();
        allocations += gAllocations.load(std::memory_order_relaxed) - before;
    }
    if (b.Form->PageCommand != 0x41) state.SkipWithError("the page 0 reply was not taken");
    state.counters["allocs/tick"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TickWithTransferReply);

// The form's own frame path: a canned monitor reply on a scripted line, no
// simulated unit behind it.
void BM_TickFramePathOnly(benchmark::State& state) {
    test::FakeSerialPort::Shared line;
    test::FakePlatform host;
    host.Config = "/nonexistent-kelmor-bench";
    host.PortFactory = [&line](int) { return std::make_unique<test::FakeSerialPort>(line); };
    TFormHlav form(host);
    form.FormCreate({});
    uint8_t data[50] = {};
    data[0] = 0xB8; // 3000 rpm
    data[1] = 0x0B;
    data[2] = 0x10; // 13.84 V
    data[3] = 0x36;
    data[30] = 127;
    data[31] = 30;
    data[41] = 1;
    data[49] = PC_VERSION;
    TLinkFrame reply;
    BuildFrame(reply, CMD_MONITOR_REPLY, data);
    auto feed = [&] {
        line.Received.insert(line.Received.end(), reply.Bytes.begin(), reply.Bytes.end());
    };
    for (int i = 0; i < 50; ++i) {
        feed();
        form.OnTimer1();
    }
    line.Written.reserve(1 << 20);
    long allocations = 0;
    for (auto _ : state) {
        feed();
        long before = gAllocations.load(std::memory_order_relaxed);
        form.OnTimer1();
        allocations += gAllocations.load(std::memory_order_relaxed) - before;
        if (line.Written.size() > (1u << 19)) line.Written.clear();
    }
    state.counters["allocs/tick"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TickFramePathOnly);

} // namespace
} // namespace kelmor

BENCHMARK_MAIN();
