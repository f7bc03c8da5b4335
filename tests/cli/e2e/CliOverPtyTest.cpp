// kelmor-cli end to end: "kelmor-cli sim" on a pseudo-terminal, and the
// other commands run against its link as separate programs, as a script runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ChildProcess.h"
#include "params/TIgnParams.h"
#include "storage/IgnFile.h"
#include "support/FormFixture.h"

namespace kelmor::test {
namespace {

namespace fs = std::filesystem;

struct CliResult {
    int Status = -1;
    std::string Out, Err;
};

class CliOverPty : public ::testing::Test {
  protected:
    void SetUp() override {
        Link = Dir.Path + "/kx";
        fs::create_directories(Dir.Path + "/config");
        // The user's own settings (PORTS) must not steer the tests.
        Env["XDG_CONFIG_HOME"] = Dir.Path + "/config";
    }

    void TearDown() override {
        if (!SimStarted) return;
        Sim.Signal(SIGTERM);
        EXPECT_EQ(Sim.Wait(5000), 0) << Sim.Err;
        EXPECT_FALSE(fs::is_symlink(Link)) << "the link outlived the simulated unit";
    }

    // Starts the simulated unit on its link and waits until it is there.
    void StartSim(std::vector<std::string> options = {}) {
        std::vector<std::string> argv{KELMOR_CLI_PATH, "sim", "--link", Link};
        argv.insert(argv.end(), options.begin(), options.end());
        ASSERT_TRUE(Sim.Start(argv, Env));
        SimStarted = true;
        std::string device;
        ASSERT_TRUE(Sim.ReadLine(device, 5000)) << Sim.Err;
        EXPECT_EQ(device.rfind("/dev/", 0), 0u) << device;
        ASSERT_EQ(fs::read_symlink(Link).string(), device);
    }

    CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), KELMOR_CLI_PATH);
        ChildProcess p;
        CliResult r;
        if (!p.Start(args, Env)) return r;
        r.Status = p.Wait(15000);
        r.Out = p.Out;
        r.Err = p.Err;
        return r;
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Dir.Path + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // A set as the window would send it: in range, in order, keying 0,
    // pick-up type 1, switch input 1 off.
    static TIgnParams WorkshopSet() {
        TIgnParams p{};
        SetDefaults(p);
        p.PocetBodu = 6;
        p.BaseAdv = 12;
        p.Omez1 = 45;
        p.Omez2 = 118;
        p.Retard = 4;
        p.Polarita = 1;
        p.LedRazeni = 110;
        p.Clutch1 = 7;
        p.Clutch2 = 250;
        p.Input2 = 3;
        p.RpmPulsu = 4;
        p.RpmKorekce = 85;
        p.RevOutLedRazeni = 1;
        const uint8_t rpm[6] = {9, 18, 35, 60, 90, 112};
        const uint8_t adv[6] = {6, 11, 19, 27, 33, 35};
        for (int k = 0; k < 6; ++k) {
            p.RpmAdv[k] = rpm[k];
            p.Advance[k] = adv[k];
        }
        Normalise(p);
        return p;
    }

    TempDir Dir;
    std::string Link;
    std::map<std::string, std::string> Env;
    ChildProcess Sim;
    bool SimStarted = false;
};

TEST_F(CliOverPty, ProgramThenReadBackTheSameSet) {
    StartSim();
    const std::string file = WriteIgnFile(WorkshopSet());
    const std::string in = Write("workshop.ign", file);
    const std::string out = Dir.Path + "/back.ign";

    CliResult r = Cli({"program", "--port", Link, in});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Version: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
    // The saving countdown ran out before the tool ended.
    EXPECT_NE(r.Err.find("Saving:\nPrograming: OK\n"), std::string::npos) << r.Err;

    r = Cli({"read", "--port", Link, "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Read(out), file);

    const CliResult shownIn = Cli({"show", in, "--json"});
    const CliResult shownOut = Cli({"show", out, "--json"});
    ASSERT_EQ(shownIn.Status, 0);
    EXPECT_EQ(shownOut.Out, shownIn.Out);
}

TEST_F(CliOverPty, VerifyPassesOnTheUnitsSetAndFailsOnAnother) {
    StartSim();
    CliResult r = Cli({"read", "--port", Link});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string same = Write("same.ign", r.Out);

    r = Cli({"verify", "--port", Link, same});
    EXPECT_EQ(r.Status, 0) << r.Err;
    // The unit is read first, so the bytes no file holds are compared as its own.
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nVerify:\nVerify: OK\n");

    // The read-protection flag is not compared; any other field is.
    TIgnParams p{};
    ASSERT_TRUE(ReadIgnFile(Read(same), p));
    p.ZakazCteni = 1;
    r = Cli({"verify", "--port", Link, Write("protected.ign", WriteIgnFile(p))});
    EXPECT_EQ(r.Status, 0) << r.Err;
    p.BaseAdv = static_cast<uint8_t>(p.BaseAdv + 1);
    r = Cli({"verify", "--port", Link, Write("other.ign", WriteIgnFile(p))});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nVerify:\nVerify error!\n");
}

struct FailureCase {
    const char* Name;
    std::vector<std::string> SimOptions;
    std::vector<std::string> Command; // "{link}", "{good}" and "{old}" are filled in
    int Status;
    const char* Message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.Name;
}

class CliFailures : public CliOverPty, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliFailures, EndWithTheirStatusAndTheWindowsMessage) {
    const FailureCase& c = GetParam();
    StartSim(c.SimOptions);
    const std::string good = Write("good.ign", WriteIgnFile(WorkshopSet()));
    const std::string old = Write("old.ign", "KALDIMER_KEY   66 \r\n\r\nBASE_ADV       20 ");
    std::vector<std::string> args;
    for (const std::string& a : c.Command)
        args.push_back(a == "{link}" ? Link : a == "{good}" ? good : a == "{old}" ? old : a);
    const auto start = std::chrono::steady_clock::now();
    const CliResult r = Cli(args);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    EXPECT_NE(r.Err.find(std::string(c.Message) + "\n"), std::string::npos) << r.Err;
    // Each transfer gives up within 64 ticks (3.5 s); the margin is for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliFailures,
    ::testing::Values(
        FailureCase{"NoAnswer", {"--dead"}, {"read", "--port", "{link}"}, 1, "Read error!"},
        // Programming starts with a read of the unit.
        FailureCase{"NoAnswerProgram",
                    {"--dead"},
                    {"program", "--port", "{link}", "{good}"},
                    1,
                    "Read error!"},
        FailureCase{"NoAnswerMonitor",
                    {"--dead"},
                    {"monitor", "--port", "{link}", "--count", "3"},
                    1,
                    "No connection with PC"},
        FailureCase{"OtherVersionRead",
                    {"--version", "66"},
                    {"read", "--port", "{link}"},
                    3,
                    "Unmatched version of PC and Ignition programs!  PC-67, IGN-66"},
        FailureCase{"OtherVersionProgram",
                    {"--version", "68"},
                    {"program", "--port", "{link}", "{good}"},
                    3,
                    "Unmatched version of PC and Ignition programs!  PC-67, IGN-68"},
        FailureCase{
            "ReadRefused", {"--read-protected"}, {"read", "--port", "{link}"}, 1, "No reading!"},
        FailureCase{"StoredOtherwise",
                    {"--write-differ", "9"},
                    {"program", "--port", "{link}", "{good}"},
                    1,
                    "Program error!"},
        FailureCase{"FileOfAnotherVersion",
                    {},
                    {"program", "--port", "{link}", "{old}"},
                    3,
                    "Unmatched version of *.ign file!"},
        FailureCase{"MissingFile",
                    {},
                    {"verify", "--port", "{link}", "missing.ign"},
                    2,
                    "Open file error!"}),
    [](const ::testing::TestParamInfo<FailureCase>& p) { return std::string(p.param.Name); });

TEST_F(CliOverPty, AMissingPortIsAPortError) {
    const CliResult r = Cli({"read", "--port", Dir.Path + "/absent"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err.rfind("Com opening error!\nkelmor-cli: " + Dir.Path + "/absent: ", 0), 0u)
        << r.Err;
    EXPECT_EQ(r.Out, "");
}

TEST_F(CliOverPty, ComNumbersFollowThePortsSection) {
    StartSim({"--letters", "ZZT", "--number", "3", "--date", "2025-11-02", "--time", "07:05"});
    fs::create_directories(Dir.Path + "/config/kelmor");
    std::ofstream(Dir.Path + "/config/kelmor/kelmor.ini", std::ios::binary)
        << "[PORTS]\r\nCOM4=" << Link << "\r\n";
    const CliResult r = Cli({"read", "--port", "COM4", "-o", Dir.Path + "/unit.ign"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Version: ZZT03\nDate:  2.11.2025\nTime: 07:05\n");
}

TEST_F(CliOverPty, MonitorPrintsTheUnitsLiveValues) {
    StartSim({"--rpm", "3000", "--voltage", "12.5"});
    const CliResult r = Cli({"monitor", "--port", Link, "--count", "3", "--csv"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::string line;
    std::vector<std::string> rows;
    while (std::getline(lines, line))
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 4u) << r.Out;
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_NE(rows[i].find(",3000,"), std::string::npos) << rows[i];
        EXPECT_NE(rows[i].find(",12.500,"), std::string::npos) << rows[i];
    }
}

// One program at a time on a port; a monitor ends cleanly on Ctrl+C.
TEST_F(CliOverPty, ABusyPortIsRefusedAndMonitorStopsOnInterrupt) {
    StartSim();
    ChildProcess monitor;
    ASSERT_TRUE(monitor.Start({KELMOR_CLI_PATH, "monitor", "--port", Link}, Env));
    std::string first;
    ASSERT_TRUE(monitor.ReadLine(first, 5000)) << monitor.Err;
    EXPECT_EQ(first.rfind("time_ms=", 0), 0u) << first;

    const CliResult r = Cli({"read", "--port", Link});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Com opening error!\n"), std::string::npos) << r.Err;

    monitor.Signal(SIGINT);
    EXPECT_EQ(monitor.Wait(5000), 0) << monitor.Err;
}

} // namespace
} // namespace kelmor::test
