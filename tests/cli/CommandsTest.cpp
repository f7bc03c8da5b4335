// The commands' outputs and exit statuses, in-process on the simulated unit.
#include "CliFixture.h"

#include "storage/IgnFile.h"

namespace kelmor::test {
namespace {

class Commands : public CliFixture {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

TEST_F(Commands, ReadWritesTheSetToStandardOutputAndTheIdentificationBeside) {
    const CliResult r = Run({"read", "--port", "sim"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, WriteIgnFile(Unit->Params()));
    EXPECT_EQ(r.Err, "Read:\nVerify:\nVerify: OK\nVersion: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
}

TEST_F(Commands, ProgramThenReadGivesTheFileBack) {
    TIgnParams set = Unit->Params();
    set.PocetBodu = 5;
    set.BaseAdv = 14;
    set.RpmKorekce = 77;
    set.Clutch1 = 33;
    set.Advance[2] = 27;
    const std::string file = WriteIgnFile(set);
    const std::string in = WriteFile("in.ign", file);
    const std::string out = Dir.Path + "/out.ign";

    CliResult r = Run({"program", "--port", "sim", in});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "Version: KXA07\nDate: 14. 3.2024\nTime: 10:30\n");
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

// A unit that refuses reading is programmed all the same, as from the window.
TEST_F(Commands, AReadProtectedUnitIsStillProgrammed) {
    Unit->Options().ReadProtected = true;
    TIgnParams set = Unit->Params();
    set.BaseAdv = 17;
    const CliResult r = Run({"program", "--port", "sim", WriteFile("in.ign", WriteIgnFile(set))});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err.rfind("Read:\nNo reading!\nPrograming:\n", 0), 0u) << r.Err;
    EXPECT_EQ(Unit->Params().BaseAdv, 17);
}

// A noisy line costs resends, not the result.
TEST_F(Commands, ANoisyLineStillProgramsAndReads) {
    SimFaults& f = Unit->Options().Faults;
    f.Seed = 11;
    f.DropRate = 0.25;
    f.CorruptRate = 0.1;
    f.GarbleRate = 0.1;
    TIgnParams set = Unit->Params();
    set.Retard = 9;
    const std::string in = WriteFile("in.ign", WriteIgnFile(set));
    CliResult r = Run({"program", "--port", "sim", in});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Unit->Params().Retard, 9);
    r = Run({"read", "--port", "sim"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, WriteIgnFile(set));
    EXPECT_GT(Unit->Stats().RepliesLost, 0u);
}

// -o writes the whole file or leaves what was there.
TEST_F(Commands, AFailedReadLeavesTheOutputFileAsItWas) {
    const std::string out = WriteFile("backup.ign", "yesterday's backup");
    struct Case {
        std::function<void(SimUnit&)> Setup;
        int Status;
        const char* Message;
        const char* Out; // a unit that answered page 0 is still identified
    } cases[] = {
        {[](SimUnit& u) { u.Options().Faults.Dead = true; }, 1, "Read error!", ""},
        {[](SimUnit& u) { u.Options().ReadProtected = true; }, 1, "No reading!", "Version: KXA07"},
        {[](SimUnit& u) { u.Params().RpmAdv[0] = 250; }, 1, "Verify error!", "Version: KXA07"},
        {[](SimUnit& u) { u.SetVersion(70); }, 3, "PC-67, IGN-70", "Version: KXA07"},
    };
    for (const Case& c : cases) {
        Unit = std::make_shared<SimUnit>();
        c.Setup(*Unit);
        const CliResult r = Run({"read", "--port", "sim", "-o", out});
        EXPECT_EQ(r.Status, c.Status) << r.Err;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
        EXPECT_TRUE(StartsWith(r.Out, c.Out)) << r.Out;
        EXPECT_EQ(ReadFile(out), "yesterday's backup");
    }
}

TEST_F(Commands, AnOutputThatCannotBeWrittenIsAFileError) {
    const CliResult r = Run({"read", "--port", "sim", "-o", Dir.Path + "/no/such/folder/x.ign"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Open file error!"), std::string::npos) << r.Err;
}

TEST_F(Commands, ProgramAndVerifyOpenTheFileAsTheWindowDoes) {
    const std::string wrong = WriteFile("old.ign", "KALDIMER_KEY 66\r\n\r\nBASE_ADV 20");
    for (const char* command : {"program", "verify"}) {
        CliResult r = Run({command, "--port", "sim", wrong});
        EXPECT_EQ(r.Status, 3);
        EXPECT_EQ(r.Err, "Unmatched version of *.ign file!\n");
        r = Run({command, "--port", "sim", Dir.Path + "/missing.ign"});
        EXPECT_EQ(r.Status, 2);
        EXPECT_EQ(r.Err, "Open file error!\n");
    }
    // Nothing went to the unit but monitor-free silence.
    EXPECT_EQ(Unit->Stats().Requests, 0u);
    EXPECT_EQ(Unit->ProgrammingCount(), 12);
}

// The unit's identification text is printed, but nothing in it reaches the terminal as control.
TEST_F(Commands, IdentificationTextCannotSteerTheTerminal) {
    Unit->SetIdText("KX\x1b]0;title\x07\x1b[2J");
    const CliResult r = Run({"read", "--port", "sim", "-o", Dir.Path + "/x.ign"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Lines(r.Out)[0], "Version: KX?]0;title??[2J");
}

TEST_F(Commands, MonitorCsvHasTheHeaderAndOneLinePerFrame) {
    Unit->Options().Engine.FixedRpm = 2500;
    Unit->Options().Engine.FixedMillivolts = 13800;
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "3", "--csv"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 4u) << r.Out;
    EXPECT_TRUE(StartsWith(lines[0], "time_ms,rpm,advance_deg,")) << lines[0];
    // Requests every sixth tick, each answer taken at the next: ticks 7, 13, 19.
    EXPECT_TRUE(StartsWith(lines[1], "385,2500,")) << lines[1];
    EXPECT_TRUE(StartsWith(lines[2], "715,2500,")) << lines[2];
    EXPECT_TRUE(StartsWith(lines[3], "1045,2500,")) << lines[3];
    EXPECT_NE(lines[1].find(",13.800,"), std::string::npos);
    EXPECT_EQ(Unit->Stats().MonitorRequests, 3u);
}

TEST_F(Commands, MonitorTextNamesEveryField) {
    Unit->Options().Engine.FixedRpm = 0;
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "2"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(StartsWith(lines[0], "time_ms=385 rpm=0 advance_deg=")) << lines[0];
    for (const char* field : {" pickup=0 ", " version=67 ", " programming_count=12 ",
                              " saving_countdown=0 ", " polarity_measured=", " test8="})
        EXPECT_NE(lines[0].find(field), std::string::npos) << field;
}

TEST_F(Commands, MonitorWithACountEndsWhenNoUnitAnswers) {
    Unit->Options().Faults.Dead = true;
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "5", "--csv"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "No connection with PC\n");
    EXPECT_EQ(Lines(r.Out).size(), 1u); // the header only
}

TEST_F(Commands, MonitorOfAnotherVersionWarnsOnceAndGoesOn) {
    Unit->SetVersion(66);
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "3"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "Unmatched version of PC and Ignition programs!  PC-67, IGN-66\n");
    EXPECT_EQ(Lines(r.Out).size(), 3u);
}

TEST_F(Commands, AStopRequestEndsATransferAsInterrupted) {
    Stop = true;
    const CliResult r = Run({"read", "--port", "sim", "-o", Dir.Path + "/x.ign"});
    EXPECT_EQ(r.Status, 130);
    EXPECT_NE(r.Err.find("interrupted"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dir.Path + "/x.ign"));
}

} // namespace
} // namespace kelmor::test
