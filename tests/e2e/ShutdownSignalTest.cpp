// The desktop program ended from outside (kill, Ctrl+C in its terminal, a
// logout) while it talks to a unit on a pseudo-terminal: it must close as
// when the user closes it, saving the settings and the start-up image and
// releasing the port's lock.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "link/Tick.h"
#include "sim/PtyRunner.h"
#include "sim/SimUnit.h"
#include "storage/IniFile.h"
#include "support/FormFixture.h"

extern char** environ;

namespace kelmor::test {
namespace {

using namespace std::chrono_literals;

// The serial port's lock file that names `pid` as its owner, if any.
std::string LockOf(pid_t pid) {
    for (const char* folder : {"/var/lock", "/run/lock", "/var/spool/locks", "/tmp"}) {
        DIR* dir = ::opendir(folder);
        if (dir == nullptr) continue;
        std::string found;
        while (const dirent* e = ::readdir(dir)) {
            if (std::strncmp(e->d_name, "LCK..", 5) != 0) continue;
            const std::string path = std::string(folder) + "/" + e->d_name;
            std::istringstream text(ReadFile(path));
            long owner = 0;
            if (text >> owner && owner == pid) found = path;
        }
        ::closedir(dir);
        if (!found.empty()) return found;
    }
    return {};
}

// Waits for the child's end; false when it has not ended in time.
bool Ended(pid_t pid, int& status, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

struct Case {
    const char* Name;
    int Signal;
    // The port is not there: the start-up's "Com opening error!" box waits.
    bool NoPort;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.Name;
}

class ShutdownSignal : public ::testing::TestWithParam<Case> {};

TEST_P(ShutdownSignal, ClosesAsTheUserCloses) {
    const Case c = GetParam();
    TempFolder home;
    const std::string config = home.Path() + "/kelmor";
    std::filesystem::create_directories(config);
    auto unit = std::make_shared<SimUnit>();
    PtyRunner runner(unit, {home.Path() + "/kx", TICK_MS, 100});
    std::string error;
    ASSERT_TRUE(runner.Start(error)) << error;
    const std::string device = c.NoPort ? home.Path() + "/missing" : runner.DevicePath();
    std::ofstream(config + "/kelmor.ini", std::ios::binary)
        << "[PORTS]\r\nCOM1=" << device << "\r\n";

    // German on the command line, so that the settings must be written anew.
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + home.Path()};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = KELMOR_PROGRAM, word = "DEUTSCH";
    char* argv[] = {program.data(), word.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    // Running: it polls the unit and holds the port's lock, or its box is up.
    bool polling = false;
    std::string lock;
    if (c.NoPort) {
        std::this_thread::sleep_for(2s);
    } else {
        for (int i = 0; i < 250 && !polling; ++i) {
            std::this_thread::sleep_for(20ms);
            polling = runner.WithUnit([](SimUnit& u) { return u.Stats().MonitorRequests >= 3; });
        }
        lock = LockOf(pid);
    }
    ::kill(pid, c.Signal);
    int status = 0;
    const bool ended = Ended(pid, status, 10s);
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    runner.Stop();
    if (!c.NoPort) {
        ASSERT_TRUE(polling) << "the program never polled the unit";
        ASSERT_FALSE(lock.empty()) << "no lock file of the port found";
    }
    ASSERT_TRUE(ended) << "still running 10 s after the signal";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "ended by signal " + std::to_string(WTERMSIG(status))
                                : "exit status " + std::to_string(WEXITSTATUS(status)));
    if (!lock.empty()) {
        EXPECT_FALSE(std::filesystem::exists(lock)) << lock;
    }
    IniFile ini;
    ASSERT_TRUE(ini.Load(config + "/kelmor.ini"));
    EXPECT_EQ(ini.ReadInteger("FORM_HLAV", "Language", 0), 1);
    EXPECT_EQ(ini.ReadString("PORTS", "COM1", ""), device);
    const std::string image = ReadFile(config + "/_kelmor.ini");
    EXPECT_EQ(std::count(image.begin(), image.end(), '\n'), 10) << image;
}

INSTANTIATE_TEST_SUITE_P(Signals, ShutdownSignal,
                         ::testing::Values(Case{"SIGTERM", SIGTERM, false},
                                           Case{"SIGINT", SIGINT, false},
                                           Case{"SIGHUP", SIGHUP, false},
                                           Case{"SIGTERM_in_the_start_up_box", SIGTERM, true}),
                         [](const ::testing::TestParamInfo<Case>& p) {
                             return std::string(p.param.Name);
                         });

} // namespace
} // namespace kelmor::test
