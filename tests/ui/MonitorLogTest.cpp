// The monitor log: one CSV line per accepted monitor frame, written as it
// comes, in a new file per start; a folder or disk that fails stops it with a
// message and nothing else.
#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/MonitorCsv.h"
#include "support/FormFixture.h"
#include "support/MonitorFrame.h"
#include "support/TestFiles.h"

namespace kelmor::test {
namespace {

using C = ControlId;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start != text.size()) lines.push_back(text.substr(start)); // a line cut short
    return lines;
}

// A frame whose line is known column by column.
MonitorFrame KnownFrame() {
    MonitorFrame f = MonitorFrame::Running(3000, 25);
    f.Set(MonitorField::MonAdvanceMax, 30)
        .Set16(MonitorField::Napeti, 13840)
        .Set16(MonitorField::PocetProgramovani, 12)
        .Set(MonitorField::PolaritaOk, 1)
        .Set(MonitorField::HardLimiter, 1)
        .Set16(MonitorField::Test, 7)
        .Set16(MonitorField::Test + 14, 4660);
    return f;
}

class MonitorLogging : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Start();
    }
    void Frame(const MonitorFrame& f) {
        Feed(CMD_MONITOR_REPLY, f.data);
        Form->OnTimer1();
    }
    std::string LogFolder() { return InFolder(Config.Path(), "logs"); }
    std::vector<std::string> LogLines() { return Lines(ReadFile(Form->Log.Path())); }
};

TEST_F(MonitorLogging, HeaderThenOneLinePerFrame) {
    Form->MenuLogClick();
    ASSERT_TRUE(Form->Log.Running());
    EXPECT_EQ(Form->Log.Path(), InFolder(LogFolder(), "monitor-2026-12-10_13-50-00.csv"));
    Frame(KnownFrame());
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + "\r\n", MonitorCsvHeader());
    // 55 ms: the frame came with the first tick after the start.
    EXPECT_EQ(lines[1], "55,3000,25,30,13.840,12,0,1,0,0,1,0,0,0,0,0,0,0,1,positive,0,67,7,0,0,0,0,"
                        "0,0,4660");
    EXPECT_EQ(ReadFile(Form->Log.Path()).substr(ReadFile(Form->Log.Path()).size() - 2), "\r\n");
}

TEST_F(MonitorLogging, OnlyAcceptedMonitorFramesAreLogged) {
    Form->MenuLogClick();
    Frame(MonitorFrame::Running(2000, 10));
    Frame(MonitorFrame::Running(2000, 10)); // the same values again: a frame of its own
    Form->OnTimer1();                       // nothing on the line
    TLinkFrame bad;
    BuildFrame(bad, CMD_MONITOR_REPLY, KnownFrame().data);
    bad.Bytes[51] ^= 1;
    Line.Received.insert(Line.Received.end(), bad.Bytes.begin(), bad.Bytes.end());
    Form->OnTimer1();
    uint8_t page[50] = {};
    Feed(0xC1, page); // a transfer reply nobody asked for
    Form->OnTimer1();
    Frame(MonitorFrame::Running(4000, 20));
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[1].starts_with("55,2000,"));
    EXPECT_TRUE(lines[2].starts_with("110,2000,"));
    EXPECT_TRUE(lines[3].starts_with("330,4000,"));
    EXPECT_EQ(Form->Log.Frames(), 3u);
}

TEST_F(MonitorLogging, LabelAndMenuShowTheRunningLog) {
    EXPECT_FALSE(S(C::LabelLog).Visible);
    Form->MenuLogClick();
    EXPECT_TRUE(S(C::MenuLog).Checked);
    EXPECT_TRUE(S(C::LabelLog).Visible);
    EXPECT_EQ(S(C::LabelLog).Caption, "Logging to monitor-2026-12-10_13-50-00.csv, frames: 0");
    Form->MenuGermanClick();
    Form->OnTimer1();
    EXPECT_EQ(S(C::LabelLog).Caption,
              "Protokoll in monitor-2026-12-10_13-50-00.csv, Datensätze: 0");
    Frame(KnownFrame());
    Frame(KnownFrame());
    EXPECT_EQ(S(C::LabelLog).Caption,
              "Protokoll in monitor-2026-12-10_13-50-00.csv, Datensätze: 2");
    Form->MenuLogClick();
    EXPECT_FALSE(Form->Log.Running());
    EXPECT_FALSE(S(C::MenuLog).Checked);
    EXPECT_FALSE(S(C::LabelLog).Visible);
    // Frames after the stop go nowhere; the file keeps what it has.
    Frame(KnownFrame());
    EXPECT_EQ(Lines(ReadFile(Form->Log.Path())).size(), 3u);
}

TEST_F(MonitorLogging, EveryStartMakesANewFile) {
    Form->MenuLogClick();
    Frame(KnownFrame());
    const std::string first = Form->Log.Path();
    Form->MenuLogClick();
    Form->MenuLogClick(); // the same second
    EXPECT_EQ(Form->Log.Path(), InFolder(LogFolder(), "monitor-2026-12-10_13-50-00-2.csv"));
    Host.Clock.Second = 5;
    Form->MenuLogClick();
    Form->MenuLogClick();
    EXPECT_EQ(Form->Log.Path(), InFolder(LogFolder(), "monitor-2026-12-10_13-50-05.csv"));
    EXPECT_EQ(Lines(ReadFile(first)).size(), 2u) << "an earlier log is never written over";
}

// Where the logs folder should be lies a file: no folder can be made.
TEST_F(MonitorLogging, FolderThatCannotBeMadeGivesTheMessageAndNothingElse) {
    std::ofstream(LogFolder()) << "in the way";
    Form->MenuGermanClick();
    Host.Boxes.clear();
    Form->MenuLogClick();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0], "Das Monitorprotokoll kann nicht geschrieben werden, die "
                             "Protokollierung wurde beendet:\n" +
                                 LogFolder());
    EXPECT_FALSE(Form->Log.Running());
    EXPECT_FALSE(S(C::MenuLog).Checked);
    EXPECT_FALSE(S(C::LabelLog).Visible);
    // The window goes on as before.
    Frame(KnownFrame());
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 3000 ");
    EXPECT_EQ(Host.Boxes.size(), 1u);
}

// The disk fills up in the middle of a run.
TEST_F(MonitorLogging, WriteThatFailsStopsTheLogWithAMessage) {
    KELMOR_POSIX_ONLY("/dev/full");
#ifndef _WIN32
    Form->MenuLogClick();
    Frame(KnownFrame());
    Frame(KnownFrame());
    const std::string path = Form->Log.Path();
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ASSERT_GE(::dup2(full, ::fileno(Form->Log.Stream())), 0);
    ::close(full);
    int ticksInBox = 0;
    Host.WhileBoxOpen = [&] {
        // Ticks go on inside the box; the stopped log takes no more frames.
        Frame(KnownFrame());
        ++ticksInBox;
    };
    Frame(KnownFrame());
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0], "The monitor log cannot be written, logging has stopped:\n" + path);
    EXPECT_EQ(ticksInBox, 1);
    EXPECT_FALSE(Form->Log.Running());
    EXPECT_FALSE(S(C::LabelLog).Visible);
    EXPECT_EQ(Lines(ReadFile(path)).size(), 3u) << "what was written stays";
    Host.WhileBoxOpen = nullptr;
    Frame(MonitorFrame::Running(5000, 30));
    EXPECT_EQ(S(C::LabelRpm).Caption, "RPM = 5000 ");
#endif
}

// A box inside the tick runs ticks of its own: each frame still makes one
// line, and the tick that opened the box does not log again after it.
TEST_F(MonitorLogging, TicksInsideABoxLogEachFrameOnce) {
    Form->MenuLogClick();
    Form->MenuReadClick();
    uint8_t page0[50] = {};
    page0[9] = 1;   // reading allowed
    page0[10] = 66; // another program version: the read stops with a box
    Feed(0xC0, page0);
    int inBox = 0;
    Host.WhileBoxOpen = [&] {
        for (uint16_t rpm : {uint16_t{1000}, uint16_t{2000}, uint16_t{3000}}) {
            Frame(MonitorFrame::Running(rpm, 10));
            ++inBox;
        }
    };
    Form->OnTimer1();
    ASSERT_EQ(inBox, 3);
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[3].starts_with("220,3000,"));
    EXPECT_EQ(EndText(*Form), "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
}

// The program dies without a word (SIGKILL): every line written before is
// whole in the file.
TEST(MonitorLogCrash, FileIsCompleteUpToTheLastFrame) {
    KELMOR_POSIX_ONLY("fork");
#ifndef _WIN32
    TempFolder config;
    constexpr int FRAMES = 40;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        FakeSerialPort::Shared line;
        FakePlatform host;
        host.Config = config.Path();
        host.PortFactory = [&line](int) { return std::make_unique<FakeSerialPort>(line); };
        TFormHlav form(host);
        form.FormCreate({});
        form.MenuLogClick();
        for (int i = 0; i < FRAMES; ++i) {
            TLinkFrame f;
            BuildFrame(f, CMD_MONITOR_REPLY,
                       MonitorFrame::Running(static_cast<uint16_t>(1000 + i), 10).data);
            line.Received.insert(line.Received.end(), f.Bytes.begin(), f.Bytes.end());
            form.OnTimer1();
        }
        const char done = 'x';
        (void)!::write(ready[1], &done, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char done = 0;
    ASSERT_EQ(::read(ready[0], &done, 1), 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::string text = ReadFile(config.Path() + "/logs/monitor-2026-12-10_13-50-00.csv");
    ASSERT_TRUE(text.ends_with("\r\n"));
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), static_cast<size_t>(FRAMES + 1));
    for (int i = 0; i < FRAMES; ++i)
        EXPECT_TRUE(lines[static_cast<size_t>(i + 1)].starts_with(
            std::to_string(55 * (i + 1)) + "," + std::to_string(1000 + i) + ","))
            << lines[static_cast<size_t>(i + 1)];
#endif
}

} // namespace
} // namespace kelmor::test
