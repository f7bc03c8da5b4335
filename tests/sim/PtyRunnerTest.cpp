#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/PtyRunner.h"

#ifdef _WIN32

namespace kelmor {
namespace {

TEST(PtyRunner, SaysWindowsHasNoPseudoTerminals) {
    PtyRunner runner(std::make_shared<SimUnit>());
    std::string error;
    EXPECT_FALSE(runner.Open(error));
    EXPECT_NE(error.find("--port sim"), std::string::npos) << error;
}

} // namespace
} // namespace kelmor

#else

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "link/Tick.h"
#include "support/TestFiles.h"

namespace kelmor {
namespace {

int OpenRaw(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fd;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Writes a request and collects up to `want` bytes, waiting at most a second.
std::vector<uint8_t> Exchange(int fd, uint8_t command, size_t want = FRAME_SIZE) {
    const std::vector<uint8_t> req = test::Request(command);
    EXPECT_EQ(::write(fd, req.data(), req.size()), static_cast<ssize_t>(req.size()));
    std::vector<uint8_t> got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (got.size() < want && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            uint8_t buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
    }
    return got;
}

TEST(PtyRunner, AnswersOnTheSlaveAndSurvivesItsReopening) {
    auto unit = std::make_shared<SimUnit>();
    PtyRunner runner(unit);
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;
    ASSERT_FALSE(runner.SlavePath().empty());

    for (int session = 0; session < 3; ++session) {
        SCOPED_TRACE(session);
        const int fd = OpenRaw(runner.DevicePath());
        ASSERT_GE(fd, 0);
        const std::vector<uint8_t> reply = Exchange(fd, 0x41);
        ASSERT_EQ(reply.size(), FRAME_SIZE);
        EXPECT_EQ(reply[0], 0xC1);
        EXPECT_TRUE(FrameChecksumOk(reply.data()));
        ::close(fd);
    }
    EXPECT_EQ(runner.WithUnit([](SimUnit& u) { return u.Stats().PageReads[1]; }), 3u);
    runner.Stop();
}

TEST(PtyRunner, HeldBackRepliesComeOutOnLaterPolls) {
    auto unit = std::make_shared<SimUnit>();
    SimFaults f;
    f.DelayPolls = 2;
    unit->Options().Faults = f;
    PtyRunner runner(unit, PtyRunner::Options{"", 20, 100});
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;
    const int fd = OpenRaw(runner.SlavePath());
    ASSERT_GE(fd, 0);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<uint8_t> reply = Exchange(fd, 0x30);
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(reply.size(), FRAME_SIZE);
    EXPECT_EQ(reply[0], 0xB0);
    EXPECT_GE(waited, std::chrono::milliseconds(15));
    ::close(fd);
}

TEST(PtyRunner, MakesAndRemovesItsLinkAndStopsOnTheCallersFlag) {
    test::TempFolder dir;
    const std::string link = dir.File("unit");
    {
        PtyRunner runner(std::make_shared<SimUnit>(), PtyRunner::Options{link, TICK_MS, 100});
        std::string error;
        ASSERT_TRUE(runner.Open(error)) << error;
        EXPECT_EQ(runner.DevicePath(), link);
        struct stat st {};
        ASSERT_EQ(lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));

        std::atomic<bool> stop{false};
        std::thread serve([&] { runner.Run(&stop); });
        const int fd = OpenRaw(link);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(Exchange(fd, 0x40).size(), FRAME_SIZE);
        ::close(fd);
        const auto asked = std::chrono::steady_clock::now();
        stop = true;
        serve.join();
        EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
    }
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);

    // A file that is not a link is never replaced.
    const int keep = ::open(link.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(keep, 0);
    ::close(keep);
    PtyRunner refused(std::make_shared<SimUnit>(), PtyRunner::Options{link, TICK_MS, 100});
    std::string error;
    EXPECT_FALSE(refused.Open(error));
    EXPECT_NE(error.find("not a symbolic link"), std::string::npos);
}

TEST(PtyRunner, AHalfFrameIsDroppedWhenTheLineGoesQuiet) {
    auto unit = std::make_shared<SimUnit>();
    PtyRunner runner(unit, PtyRunner::Options{"", 10, 30});
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;
    const int fd = OpenRaw(runner.SlavePath());
    ASSERT_GE(fd, 0);
    const uint8_t junk[7] = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_EQ(::write(fd, junk, sizeof junk), 7);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const std::vector<uint8_t> reply = Exchange(fd, 0x41);
    ASSERT_EQ(reply.size(), FRAME_SIZE);
    EXPECT_EQ(reply[0], 0xC1);
    ::close(fd);
}

} // namespace
} // namespace kelmor

#endif
