// The commands' outputs and exit statuses, in-process on the simulated unit.
#include <cerrno>
#include <cstring>
#include <random>

#include "CliFixture.h"
#include "params/ParamFields.h"
#include "sim/SimSerialPort.h"
#include "storage/IgnFile.h"

namespace kelmor::test {
namespace {

class Commands : public CliFixture {
  protected:
    // A set the window would send as it stands: normalised, keying type 0.
    TIgnParams WindowSet(std::function<void(TIgnParams&)> change) {
        TIgnParams p = Unit->Params();
        change(p);
        Normalise(p);
        p.Bike = 0;
        return p;
    }
    // A unit on a device path whose frames pass `hook` on their way out; the
    // tool ticks at the real pace there.
    void HookedPort(std::function<void(SimUnit&, const uint8_t* frame)> hook) {
        struct Hooked : SimSerialPort {
            Hooked(std::shared_ptr<SimUnit> u, std::function<void(SimUnit&, const uint8_t*)> h)
                : SimSerialPort(std::move(u)), Hook(std::move(h)) {}
            void WriteBytes(const uint8_t* b, size_t n) override {
                if (n == FRAME_SIZE) Hook(Unit(), b);
                SimSerialPort::WriteBytes(b, n);
            }
            std::function<void(SimUnit&, const uint8_t*)> Hook;
        };
        MakeDevicePort = [this, hook](const std::string&) {
            return std::make_unique<Hooked>(Unit, hook);
        };
    }
};

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

// Every byte a .ign file holds: all but the reserved 7, 8 and 19.
bool SameFileBytes(const TIgnParams& a, const TIgnParams& b) {
    const auto* x = reinterpret_cast<const uint8_t*>(&a);
    const auto* y = reinterpret_cast<const uint8_t*>(&b);
    for (size_t i = 0; i < sizeof a; ++i)
        if (i != 7 && i != 8 && i != 19 && x[i] != y[i]) return false;
    return true;
}

TEST_F(Commands, ReadWritesTheSetToStandardOutputAndTheIdentificationBeside) {
    for (std::vector<std::string> args : {std::vector<std::string>{"read", "--port", "sim"},
                                          {"read", "--port", "sim", "-o", "-"}}) {
        const CliResult r = Run(args);
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Out, WriteIgnFile(Unit->Params()));
        EXPECT_EQ(r.Err,
                  "Read:\nVerify:\nVerify: OK\nVersion: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
    }
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST_F(Commands, ProgramThenReadGivesTheFileBack) {
    const TIgnParams set = WindowSet([](TIgnParams& p) {
        p.PocetBodu = 5;
        p.BaseAdv = 14;
        p.RpmKorekce = 77;
        p.Clutch1 = 33;
        p.Advance[2] = 27;
    });
    const std::string file = WriteIgnFile(set);
    const std::string in = WriteFile("in.ign", file);
    const std::string out = Dir.Path() + "/out.ign";

    CliResult r = Run({"program", "--port", "sim", in});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Version: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nPrograming\nVerify:\nPrograming: OK\nSaving:\n"
                     "Programing: OK\n");
    // The unit has it, and has saved it; the bytes no file holds are still its own.
    EXPECT_EQ(WriteIgnFile(Unit->Params()), file);
    EXPECT_EQ(Unit->Params().Reserved7, 3);
    EXPECT_EQ(Unit->Params().Reserved8, 17);
    EXPECT_EQ(Unit->Params().Reserved19, 200);
    EXPECT_EQ(Unit->SavingCountdown(), 0);
    EXPECT_EQ(Unit->ProgrammingCount(), 13);

    r = Run({"read", "--port", "sim", "-o", out});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadFile(out), file);
    EXPECT_EQ(r.Out, "Version: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");

    r = Run({"verify", "--port", "sim", out});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nVerify:\nVerify: OK\n");
}

// Read from one unit, program that file into another: the second holds the
// first's set in every byte a file holds, whatever the values (the window's
// controls could show few of these), and keeps its own reserved bytes.
TEST_F(Commands, ReadThenProgramCarriesAnySetAcross) {
    std::mt19937 random(12);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 100; ++n) {
        SCOPED_TRACE(n);
        const auto a = std::make_shared<SimUnit>();
        const auto b = std::make_shared<SimUnit>();
        for (SimUnit* u : {a.get(), b.get()}) {
            auto* bytes = reinterpret_cast<uint8_t*>(&u->Params());
            for (size_t i = 0; i < sizeof(TIgnParams); ++i)
                bytes[i] = static_cast<uint8_t>(byte(random));
        }
        // As every path into a unit leaves a set: normalised, keying type 0;
        // reading allowed, and flags a file can hold.
        TIgnParams& p = a->Params();
        Normalise(p);
        p.Bike = 0;
        p.ZakazCteni = 0;
        p.RevOutLedRazeni &= 1;
        b->Params().ZakazCteni = 0;
        const TIgnParams bBefore = b->Params();

        Unit = a;
        const std::string file = Dir.Path() + "/a.ign";
        CliResult r = Run({"read", "--port", "sim", "-o", file});
        ASSERT_EQ(r.Status, 0) << r.Err;
        Unit = b;
        r = Run({"program", "--port", "sim", file});
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_TRUE(SameFileBytes(b->Params(), a->Params())) << ReadFile(file);
        EXPECT_EQ(b->Params().Reserved7, bBefore.Reserved7);
        EXPECT_EQ(b->Params().Reserved8, bBefore.Reserved8);
        EXPECT_EQ(b->Params().Reserved19, bBefore.Reserved19);
    }
}

// A unit whose set the window would change: the window's read ends in
// "Verify error!", the tool's writes the set as the unit holds it and names
// the fields.
TEST_F(Commands, ReadKeepsWhatTheWindowWouldChange) {
    struct Case {
        const char* Name;
        std::function<void(TIgnParams&)> Change;
        std::vector<std::string> Named; // lines on standard error
    } cases[] = {
        {"values the controls cannot show",
         [](TIgnParams& p) {
             p.GeberNr = 2;
             p.Input1 = 2;
             p.RpmPulsu = 8;
         },
         {"  RpmPulsu = 8, outside 1..6"}},
        {"a keying type", [](TIgnParams& p) { p.Bike = 3; }, {"  Bike = 3, the window makes it 0"}},
        {"speeds out of order",
         [](TIgnParams& p) {
             p.RpmAdv[1] = 5;
             p.RpmAdv[3] = p.RpmAdv[2];
         },
         {"  RpmAdv[1] = 500 rpm, outside 600..20100 rpm",
          "  RpmAdv[3] = 3000 rpm, the window makes it 3100 rpm"}},
        {"a flag of 2",
         [](TIgnParams& p) { p.RevOutLedRazeni = 2; },
         {"  RevOutLedRazeni = 2, outside 0..1 (a file holds it as 1)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Unit = std::make_shared<SimUnit>();
        c.Change(Unit->Params());
        const CliResult r = Run({"read", "--port", "sim"});
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Out, WriteIgnFile(Unit->Params()));
        for (const std::string& line : c.Named)
            EXPECT_TRUE(Contains(r.Err, line + "\n")) << r.Err;
        EXPECT_EQ(LastLine(r.Err),
                  "kelmor-cli: the set read the same twice; written as the unit holds it");
    }
}

// Twice the same is the proof of a read; a set that changed in between is none.
TEST_F(Commands, ASetThatDoesNotReadTheSameTwiceIsNotWritten) {
    const std::string out = WriteFile("backup.ign", "yesterday's backup");
    Unit->Params().Bike = 3; // the window's verify cannot succeed
    int reads = 0;
    HookedPort([&reads](SimUnit& u, const uint8_t* frame) {
        if (frame[0] == 0x41 && ++reads == 2) u.Params().BaseAdv = 20;
    });
    const CliResult r = Run({"read", "--port", "/dev/hooked", "-o", out});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(LastLine(r.Err),
              "kelmor-cli: /dev/hooked: the unit's set did not read the same twice");
    EXPECT_EQ(ReadFile(out), "yesterday's backup");
}

// Program takes the file as Open loads it, and says what that changed.
TEST_F(Commands, ProgramNamesWhatOpeningChanged) {
    TIgnParams set = Unit->Params();
    set.Bike = 7; // caps the advances at the base advance, then becomes 0
    set.BaseAdv = 25;
    set.RpmAdv[3] = set.RpmAdv[2];
    set.GeberNr = 3; // kept: the controls are not read
    const CliResult r = Run({"program", "--port", "sim", "-"}, WriteIgnFile(set));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Err, "kelmor-cli: standard input: Bike 7 becomes 0\n")) << r.Err;
    EXPECT_TRUE(
        Contains(r.Err, "kelmor-cli: standard input: RpmAdv[3] 3000 rpm becomes 3100 rpm\n"));
    EXPECT_TRUE(Contains(r.Err, "kelmor-cli: standard input: Advance[5] 30 deg becomes 25 deg\n"));
    EXPECT_EQ(Unit->Params().Bike, 0);
    EXPECT_EQ(Unit->Params().GeberNr, 3);
    EXPECT_EQ(Unit->Params().RpmAdv[3], 31);
    EXPECT_EQ(Unit->Params().Advance[5], 25);
    EXPECT_EQ(LastLine(r.Err), "Programing: OK");
}

// A unit that refuses reading is programmed all the same, as from the window,
// and the tool says what that costs.
TEST_F(Commands, AReadProtectedUnitIsProgrammedWithItsReservedBytesZero) {
    Unit->Options().ReadProtected = true;
    const TIgnParams set = WindowSet([](TIgnParams& p) { p.BaseAdv = 17; });
    const CliResult r = Run({"program", "--port", "sim", WriteFile("in.ign", WriteIgnFile(set))});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(StartsWith(r.Err, "Read:\nNo reading!\nkelmor-cli: sim: the unit refuses reading: "
                                  "its reserved bytes 7, 8 and 19 could not be read and are "
                                  "written as 0\nPrograming\n"))
        << r.Err;
    EXPECT_TRUE(SameFileBytes(Unit->Params(), set));
    EXPECT_EQ(Unit->Params().Reserved7, 0);
    EXPECT_EQ(Unit->Params().Reserved8, 0);
    EXPECT_EQ(Unit->Params().Reserved19, 0);
}

// Verify answers "does the unit hold this file's set?" over the fields a file
// holds, the read protection aside.
TEST_F(Commands, VerifyComparesTheFieldsAFileHolds) {
    Unit->Params().GeberNr = 2; // a value the window's controls would put back to 1
    Unit->Params().Input1 = 4;
    const TIgnParams held = Unit->Params();
    struct Case {
        const char* Name;
        bool ReadProtected;
        std::function<void(TIgnParams&)> Change;
        int Status;
        std::vector<std::string> Err; // lines at the end of standard error
    } cases[] = {
        {"the same set", false, [](TIgnParams&) {}, 0, {"Verify:", "Verify: OK"}},
        {"another read protection",
         false,
         [](TIgnParams& p) { p.ZakazCteni = 1; },
         0,
         {"Verify: OK"}},
        {"a unit that refuses reading", true, [](TIgnParams&) {}, 0, {"Verify:", "Verify: OK"}},
        {"two fields differ",
         false,
         [](TIgnParams& p) {
             p.BaseAdv = 12;
             p.Advance[2] = 25;
         },
         1,
         {"Verify error!",
          "kelmor-cli: sim: the unit's set differs from standard input in 2 fields (the unit's "
          "value / the file's):",
          "  Point 3, Advance: 18° / 25°", "  Base advance: 10° / 12°"}},
        {"a field the window cannot show",
         true,
         [](TIgnParams& p) { p.GeberNr = 4; },
         1,
         {"kelmor-cli: sim: the unit's set differs from standard input in 1 field (the unit's "
          "value / the file's):",
          "  Pick-up (CPS): 2 ignitions per revolution / 1 ignition per 2 revolutions "
          "(camshaft)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Unit->Options().ReadProtected = c.ReadProtected;
        TIgnParams file = held;
        c.Change(file);
        const CliResult r = Run({"verify", "--port", "sim", "-"}, WriteIgnFile(file));
        EXPECT_EQ(r.Status, c.Status) << r.Err;
        std::vector<std::string> lines = Lines(r.Err);
        ASSERT_GE(lines.size(), c.Err.size()) << r.Err;
        lines.erase(lines.begin(), lines.end() - static_cast<long>(c.Err.size()));
        EXPECT_EQ(lines, c.Err) << r.Err;
        EXPECT_EQ(std::memcmp(&Unit->Params(), &held, sizeof held), 0) << "verify changed the unit";
    }
}

// The last line tells how it went, and the status agrees with it.
TEST_F(Commands, ASaveThatDoesNotFinishIsAFailure) {
    const std::string in = WriteFile("in.ign", WriteIgnFile(Unit->Params()));
    // The unit goes quiet once it has the new set and verified it.
    HookedPort([](SimUnit& u, const uint8_t* frame) {
        if (frame[0] == CMD_MONITOR && u.SavingCountdown() > 0) u.Options().Faults.Dead = true;
    });
    CliResult r = Run({"program", "--port", "/dev/hooked", in});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(LastLine(r.Err),
              "kelmor-cli: /dev/hooked: the unit stopped answering during its save");

    // One that answers but never gets on with it.
    MakeDevicePort = nullptr;
    Unit = std::make_shared<SimUnit>();
    Unit->Options().SaveStep = 0;
    r = Run({"program", "--port", "sim", in});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(LastLine(r.Err), "kelmor-cli: sim: the unit's save did not finish within 60 s");
}

// -o writes the whole file or leaves what was there.
TEST_F(Commands, AFailedReadLeavesTheOutputFileAsItWas) {
    const std::string out = WriteFile("backup.ign", "yesterday's backup");
    struct Case {
        std::function<void(SimUnit&)> Setup;
        int Status;
        const char* Message; // the window's
        const char* Reason;  // the last line
        const char* Out;     // a unit that answered page 0 is still identified
    } cases[] = {
        {[](SimUnit& u) { u.Options().Faults.Dead = true; }, 1, "Read error!",
         "kelmor-cli: sim: no valid reply from the unit (is it connected and powered?)", ""},
        {[](SimUnit& u) { u.Options().ReadProtected = true; }, 1, "No reading!",
         "kelmor-cli: sim: the unit refuses reading its parameter set", "Version: KXA07"},
        {[](SimUnit& u) { u.SetVersion(70); }, 3, "PC-67, IGN-70",
         "kelmor-cli: sim: the unit's program is version 70, this tool's 67", "Version: KXA07"},
    };
    for (const Case& c : cases) {
        Unit = std::make_shared<SimUnit>();
        c.Setup(*Unit);
        const CliResult r = Run({"read", "--port", "sim", "-o", out});
        EXPECT_EQ(r.Status, c.Status) << r.Err;
        EXPECT_TRUE(Contains(r.Err, c.Message)) << r.Err;
        EXPECT_EQ(LastLine(r.Err), c.Reason);
        EXPECT_TRUE(StartsWith(r.Out, c.Out)) << r.Out;
        EXPECT_EQ(ReadFile(out), "yesterday's backup");
    }
}

// Every error names the file or port and the reason, after the window's own text.
TEST_F(Commands, ErrorsNameTheFileAndTheReason) {
    const std::string old = WriteFile("old.ign", "KALDIMER_KEY 66\r\n\r\nBASE_ADV 20");
    const std::string missing = Dir.Path() + "/missing.ign";
    const std::string noFolder = Dir.Path() + "/no/such/folder/x.ign";
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string Err;
    } cases[] = {
        {{"program", "--port", "sim", old},
         3,
         "Unmatched version of *.ign file!\nkelmor-cli: " + old +
             ": no version key \"KALDIMER_KEY\" with 67 in it\n"},
        {{"verify", "--port", "sim", missing},
         2,
         "Open file error!\nkelmor-cli: " + missing + ": No such file or directory\n"},
        {{"show", Dir.Path()},
         2,
         "Open file error!\nkelmor-cli: " + Dir.Path() + ": Is a directory\n"},
        {{"show", "-"},
         3,
         "Unmatched version of *.ign file!\nkelmor-cli: standard input: no version key "
         "\"KALDIMER_KEY\" with 67 in it\n"},
        {{"read", "--port", "sim", "-o", noFolder},
         2,
         "Open file error!\nkelmor-cli: " + noFolder + ": No such file or directory\n"},
        {{"read", "--port", "sim", "-o", Dir.Path()},
         2,
         "Open file error!\nkelmor-cli: " + Dir.Path() + ": Is a directory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0] + " " + c.Args.back());
        const CliResult r = Run(c.Args);
        EXPECT_EQ(r.Status, c.Status);
        // The window's message and the reason end what the tool says.
        EXPECT_TRUE(r.Err.size() >= c.Err.size() &&
                    r.Err.compare(r.Err.size() - c.Err.size(), c.Err.size(), c.Err) == 0)
            << r.Err;
    }
    // A file refused never reaches the unit.
    EXPECT_EQ(Unit->Stats().PageWrites[1], 0u);
}

// "-" is standard input for every command that takes a file, so that
// "kelmor-cli read | kelmor-cli show -" works.
TEST_F(Commands, AFileFromStandardInput) {
    const CliResult read = Run({"read", "--port", "sim"});
    ASSERT_EQ(read.Status, 0);
    const std::string path = WriteFile("unit.ign", read.Out);
    for (const char* command : {"show", "verify", "program"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> args{command, "-"};
        if (std::string(command) != "show") args.insert(args.begin() + 1, {"--port", "sim"});
        const CliResult fromPipe = Run(args, read.Out);
        args.back() = path;
        const CliResult fromFile = Run(args);
        EXPECT_EQ(fromPipe.Status, 0) << fromPipe.Err;
        EXPECT_EQ(fromPipe.Out, fromFile.Out);
    }
}

// A reader that goes away ends the tool quietly with the shell's status for
// it; any other failed write is an error.
TEST_F(Commands, AClosedOutputEndsQuietly) {
    struct Failing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } failing;
    std::ostream closed(&failing);
    Out = &closed;
    for (bool pipe : {true, false}) {
        PipeClosed = pipe;
        for (std::vector<std::string> args :
             {std::vector<std::string>{"monitor", "--port", "sim", "--csv"},
              {"read", "--port", "sim"},
              {"show", "-"}}) {
            SCOPED_TRACE(args[0]);
            closed.clear();
            const CliResult r = Run(args, WriteIgnFile(Unit->Params()));
            EXPECT_EQ(r.Status, pipe ? 141 : 2);
            EXPECT_EQ(Contains(r.Err, "kelmor-cli: standard output: cannot be written"), !pipe)
                << r.Err;
        }
    }
}

TEST_F(Commands, IdentificationTextCannotSteerTheTerminal) {
    Unit->SetIdText("KX\x1b]0;title\x07\x1b[2J");
    const CliResult r = Run({"read", "--port", "sim", "-o", Dir.Path() + "/x.ign"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Lines(r.Out)[0], "Version: KX?]0;title??[2J");
}

TEST_F(Commands, MonitorWritesOneLineAFrameEndingInLf) {
    Unit->Options().Engine.FixedRpm = 2500;
    Unit->Options().Engine.FixedMillivolts = 13800;
    CliResult r = Run({"monitor", "--port", "sim", "--count", "3", "--csv"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_FALSE(Contains(r.Out, "\r"));
    std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 4u) << r.Out;
    EXPECT_TRUE(StartsWith(lines[0], "time_ms,rpm,advance_deg,")) << lines[0];
    // Requests every sixth tick, each answer taken at the next: ticks 7, 13, 19.
    EXPECT_TRUE(StartsWith(lines[1], "385,2500,")) << lines[1];
    EXPECT_TRUE(StartsWith(lines[2], "715,2500,")) << lines[2];
    EXPECT_TRUE(StartsWith(lines[3], "1045,2500,")) << lines[3];
    EXPECT_TRUE(Contains(lines[1], ",13.800,"));
    EXPECT_EQ(Unit->Stats().MonitorRequests, 3u);

    r = Run({"monitor", "--port", "sim", "--count", "2"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(StartsWith(lines[0], "time_ms=385 rpm=2500 advance_deg=")) << lines[0];
    for (const char* field : {" pickup=1 ", " version=67 ", " programming_count=12 ",
                              " saving_countdown=0 ", " polarity_measured=", " test8="})
        EXPECT_TRUE(Contains(lines[0], field)) << field;
}

TEST_F(Commands, MonitorWithACountEndsWhenNoUnitAnswers) {
    Unit->Options().Faults.Dead = true;
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "5", "--csv"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err,
              "No connection with PC\nkelmor-cli: sim: no monitor frame for about a second\n");
    EXPECT_EQ(Lines(r.Out).size(), 1u); // the header only
}

TEST_F(Commands, MonitorOfAnotherVersionWarnsOnceAndGoesOn) {
    Unit->SetVersion(66);
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "3"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "Unmatched version of PC and Ignition programs!  PC-67, IGN-66\n");
    EXPECT_EQ(Lines(r.Out).size(), 3u);
}

// One rule for every command: 128 + the signal's number.
TEST_F(Commands, AStopSignalEndsEveryCommandWithItsStatus) {
    Stop = true;
    for (int signal : {2, 15}) {
        Signal = signal;
        for (std::vector<std::string> args :
             {std::vector<std::string>{"read", "--port", "sim", "-o", Dir.Path() + "/x.ign"},
              {"monitor", "--port", "sim"},
              {"program", "--port", "sim", "-"},
              {"verify", "--port", "sim", "-"}}) {
            SCOPED_TRACE(args[0]);
            const CliResult r = Run(args, WriteIgnFile(Unit->Params()));
            EXPECT_EQ(r.Status, 128 + signal);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(Dir.Path() + "/x.ign"));
    EXPECT_EQ(Unit->Stats().PageWrites[1], 0u);
}

} // namespace
} // namespace kelmor::test
