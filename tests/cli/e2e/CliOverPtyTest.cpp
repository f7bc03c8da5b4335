// kelmor-cli end to end: "kelmor-cli sim" on a pseudo-terminal, and the
// other commands run against its link as separate programs, as a script runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

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
        Link = Dir.Path() + "/kx";
        fs::create_directories(Dir.Path() + "/config");
        // The user's own settings (PORTS) must not steer the tests.
        Env["XDG_CONFIG_HOME"] = Dir.Path() + "/config";
    }

    void TearDown() override {
        if (!SimStarted) return;
        Sim.Signal(SIGTERM);
        // Ended by the signal, as every command is, after removing its link.
        EXPECT_EQ(Sim.Wait(5000), 143) << Sim.Err;
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

    // A shell line, the tool's path in for "kelmor-cli", run by bash with pipefail.
    CliResult Shell(const std::string& line) {
        std::string command = "set -o pipefail; ";
        for (size_t i = 0; i < line.size(); ++i)
            command += line.compare(i, 10, "kelmor-cli") == 0 ? (i += 9, KELMOR_CLI_PATH)
                                                              : std::string(1, line[i]);
        return Run({"/bin/bash", "-c", command});
    }

    CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), KELMOR_CLI_PATH);
        return Run(args);
    }

    CliResult Run(const std::vector<std::string>& args) {
        ChildProcess p;
        CliResult r;
        if (!p.Start(args, Env)) return r;
        r.Status = p.Wait(15000);
        r.Out = p.Out;
        r.Err = p.Err;
        return r;
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Dir.File(name);
        WriteTextFile(path, text);
        return path;
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

    TempFolder Dir;
    std::string Link;
    std::map<std::string, std::string> Env;
    ChildProcess Sim;
    bool SimStarted = false;
};

TEST_F(CliOverPty, ProgramThenReadBackTheSameSet) {
    StartSim();
    const std::string file = WriteIgnFile(WorkshopSet());
    const std::string in = Write("workshop.ign", file);
    const std::string out = Dir.Path() + "/back.ign";

    CliResult r = Cli({"program", "--port", Link, in});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Version: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
    // The saving countdown ran out before the tool ended.
    EXPECT_NE(r.Err.find("Saving:\nPrograming: OK\n"), std::string::npos) << r.Err;

    r = Cli({"read", "--port", Link, "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadFile(out), file);

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
    ASSERT_TRUE(ReadIgnFile(ReadFile(same), p));
    p.ZakazCteni = 1;
    r = Cli({"verify", "--port", Link, Write("protected.ign", WriteIgnFile(p))});
    EXPECT_EQ(r.Status, 0) << r.Err;
    p.BaseAdv = static_cast<uint8_t>(p.BaseAdv + 1);
    r = Cli({"verify", "--port", Link, Write("other.ign", WriteIgnFile(p))});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nVerify:\nVerify error!\nkelmor-cli: " + Link +
                         ": the unit's set differs from " + Dir.Path() +
                         "/other.ign in 1 field (the unit's value / the file's):\n"
                         "  Base advance: 10\u00b0 / 11\u00b0\n");
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
    const CliResult r = Cli({"read", "--port", Dir.Path() + "/absent"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(r.Err, "Com opening error!\n" + Dir.Path() +
                         "/absent: no such device. Is the cable plugged in?\n");
    EXPECT_EQ(r.Out, "");
}

TEST_F(CliOverPty, ComNumbersFollowThePortsSection) {
    StartSim({"--letters", "ZZT", "--number", "3", "--date", "2025-11-02", "--time", "07:05"});
    fs::create_directories(Dir.Path() + "/config/kelmor");
    std::ofstream(Dir.Path() + "/config/kelmor/kelmor.ini", std::ios::binary)
        << "[PORTS]\r\nCOM4=" << Link << "\r\n";
    const CliResult r = Cli({"read", "--port", "COM4", "-o", Dir.Path() + "/unit.ign"});
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
    EXPECT_EQ(monitor.Wait(5000), 130) << monitor.Err;
    EXPECT_EQ(monitor.Err, "");
}

// The unit goes away under a running monitor and comes back under the same
// name: the monitor takes it up again by itself, unless told not to.
TEST_F(CliOverPty, MonitorTakesUpAUnitThatComesBack) {
    for (const bool reconnect : {true, false}) {
        SCOPED_TRACE(reconnect ? "reconnect" : "--no-reconnect");
        StartSim();
        ChildProcess monitor;
        std::vector<std::string> argv{KELMOR_CLI_PATH, "monitor", "--port", Link};
        if (!reconnect) argv.push_back("--no-reconnect");
        ASSERT_TRUE(monitor.Start(argv, Env));
        std::string line;
        ASSERT_TRUE(monitor.ReadLine(line, 5000)) << monitor.Err;

        Sim.Signal(SIGTERM);
        ASSERT_EQ(Sim.Wait(5000), 143) << Sim.Err;
        SimStarted = false;
        ASSERT_TRUE(monitor.WaitForErr("No connection with PC\n", 5000)) << monitor.Err;
        monitor.Out.clear();
        StartSim();

        const bool resumed = monitor.ReadLine(line, 3000);
        EXPECT_EQ(resumed, reconnect) << monitor.Err;
        if (reconnect) {
            EXPECT_EQ(line.rfind("time_ms=", 0), 0u) << line;
            EXPECT_TRUE(monitor.WaitForErr("kelmor-cli: " + Link + ": the device is back", 2000))
                << monitor.Err;
        }
        monitor.Signal(SIGINT);
        EXPECT_EQ(monitor.Wait(5000), 130) << monitor.Err;
        Sim.Signal(SIGTERM);
        EXPECT_EQ(Sim.Wait(5000), 143) << Sim.Err;
        SimStarted = false;
    }
}

// Values the window's controls cannot show go into the unit and come back
// out as they are; the keying type is cleared as the window's Open clears it.
TEST_F(CliOverPty, ReadAndProgramKeepValuesTheWindowCannotShow) {
    StartSim();
    TIgnParams p = WorkshopSet();
    p.GeberNr = 3;
    p.Input1 = 2;
    p.RpmPulsu = 9;
    p.LedRazeni = 3;
    p.Clutch1 = 255;
    const std::string file = WriteIgnFile(p);
    p.Bike = 5;
    CliResult r = Cli({"program", "--port", Link, Write("odd.ign", WriteIgnFile(p))});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Err.find("kelmor-cli: " + Dir.Path() + "/odd.ign: Bike 5 becomes 0\n"),
              std::string::npos)
        << r.Err;

    r = Cli({"read", "--port", Link});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, file);
    EXPECT_NE(r.Err.find("  RpmPulsu = 9, outside 1..6\n"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("  LedRazeni = 300 rpm, outside 1000..25000 rpm\n"), std::string::npos);
}

// A unit that refuses reading: programmed with its reserved bytes 0, as
// standard error says, and verified on the fields a file holds.
TEST_F(CliOverPty, AReadProtectedUnit) {
    StartSim({"--read-protected"});
    const std::string good = Write("good.ign", WriteIgnFile(WorkshopSet()));
    CliResult r = Cli({"program", "--port", Link, good});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Err.find("No reading!\nkelmor-cli: " + Link +
                         ": the unit refuses reading: its reserved bytes 7, 8 and 19 could not "
                         "be read and are written as 0\n"),
              std::string::npos)
        << r.Err;
    r = Cli({"verify", "--port", Link, good});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(r.Err.ends_with("\nVerify:\nVerify: OK\n")) << r.Err;
}

// The unit goes quiet in the middle of its save: the tool says so last, and
// its status agrees.
TEST_F(CliOverPty, AUnitQuietDuringItsSave) {
    StartSim();
    ChildProcess program;
    ASSERT_TRUE(program.Start({KELMOR_CLI_PATH, "program", "--port", Link,
                               Write("good.ign", WriteIgnFile(WorkshopSet()))},
                              Env));
    ASSERT_TRUE(program.WaitForErr("Saving:\n", 10000)) << program.Err;
    Sim.Signal(SIGSTOP);
    const int status = program.Wait(10000);
    Sim.Signal(SIGCONT);
    EXPECT_EQ(status, 1) << program.Err;
    EXPECT_TRUE(program.Err.ends_with("\nkelmor-cli: " + Link +
                                      ": the unit stopped answering during its save\n"))
        << program.Err;
}

// What the tool writes goes through pipes as the usual tools expect.
TEST_F(CliOverPty, OutputComposesWithTheUsualTools) {
    StartSim({"--rpm", "2000"});
    // A file from standard input, and back out to standard output.
    CliResult r = Shell("kelmor-cli read --port " + Link + " -o - | kelmor-cli show - --json");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"format\": 1,"), std::string::npos) << r.Out;
    r = Shell("kelmor-cli read --port " + Link + " | kelmor-cli verify --port " + Link + " -");
    EXPECT_EQ(r.Status, 0) << r.Err;

    // Lines end in LF; a reader that goes away ends the tool quietly, as
    // the shell expects of a program whose pipe closed (141).
    r = Shell("kelmor-cli monitor --port " + Link + " --csv | head -3");
    EXPECT_EQ(r.Status, 141) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(r.Out.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 3);
    r = Shell("kelmor-cli monitor --port " + Link + " --json --count 2");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("{\"format\":1,\"time_ms\":", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find(",\"rpm\":2000,"), std::string::npos) << r.Out;
}

// One rule for signals: 128 + the signal's number, after cleaning up.
TEST_F(CliOverPty, SignalsEndEveryCommandWithTheirStatus) {
    StartSim({"--dead"});
    for (int signal : {SIGINT, SIGTERM}) {
        for (std::vector<std::string> command :
             {std::vector<std::string>{"monitor", "--port", Link}, {"read", "--port", Link}}) {
            SCOPED_TRACE(command[0] + " " + std::to_string(signal));
            command.insert(command.begin(), KELMOR_CLI_PATH);
            ChildProcess p;
            ASSERT_TRUE(p.Start(command, Env));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            p.Signal(signal);
            EXPECT_EQ(p.Wait(5000), 128 + signal) << p.Err;
        }
    }
}

// What a machine reads back keeps its decimal point under a user's locale
// that writes a decimal comma (built here, so no system locale is needed).
TEST_F(CliOverPty, MachineOutputUnderADecimalCommaLocale) {
    const std::string locales = Dir.Path() + "/locales";
    fs::create_directories(locales);
    const CliResult made =
        Run({"/usr/bin/localedef", "-i", "de_DE", "-f", "UTF-8", locales + "/de_DE.UTF-8"});
    if (made.Status != 0) GTEST_SKIP() << "no de_DE locale source: " << made.Err;
    Env["LOCPATH"] = locales;
    Env["LC_ALL"] = "de_DE.UTF-8";
    StartSim({"--voltage", "12.5", "--rpm", "2000"});

    CliResult r = Cli({"monitor", "--port", Link, "--count", "1", "--json"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find(",\"voltage_v\":12.5,"), std::string::npos) << r.Out;
    r = Cli({"monitor", "--port", Link, "--count", "1", "--csv"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find(",2000,"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(",12.500,"), std::string::npos) << r.Out;
    r = Cli({"read", "--port", Link});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const CliResult shown = Cli({"show", Write("unit.ign", r.Out), "--json"});
    ASSERT_EQ(shown.Status, 0) << shown.Err;
    EXPECT_NE(shown.Out.find("\"format\": 1,"), std::string::npos) << shown.Out;
}

TEST_F(CliOverPty, BothProgramsTellTheirVersion) {
    CliResult r = Cli({"--version"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "kelmor-cli 1.0 (unit protocol version 67)\n");
#ifdef KELMOR_GUI_PATH
    // Without a display: it is answered before any window exists.
    Env["DISPLAY"] = "";
    Env["QT_QPA_PLATFORM"] = "xcb";
    r = Run({KELMOR_GUI_PATH, "--version"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "kelmor 1.0 (unit protocol version 67)\n");
#endif
}

} // namespace
} // namespace kelmor::test
