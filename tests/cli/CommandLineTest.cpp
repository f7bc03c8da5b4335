// What the tool says about its command line, and the ports it is pointed at.
#include "CliFixture.h"

#include "support/FakeSerialPort.h"

namespace kelmor::test {
namespace {

struct UsageCase {
    std::vector<std::string> Args;
    int Status;
    const char* Message; // in standard error (or standard output for help)
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    for (const std::string& a : c.Args)
        *os << a << ' ';
}

class CommandLine : public CliFixture, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CommandLine, EndsWithItsStatusAndAClearMessage) {
    const UsageCase& c = GetParam();
    const CliResult r = Run(c.Args);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    if (c.Status == 0)
        EXPECT_NE(r.Out.find(c.Message), std::string::npos) << r.Out;
    else
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    // A refused command line never reaches the unit.
    EXPECT_EQ(Unit->Stats().Requests, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(
        UsageCase{{}, 2, "Usage: kelmor-cli COMMAND"},
        UsageCase{{"--help"}, 0, "Usage: kelmor-cli COMMAND"},
        UsageCase{{"--version"}, 0, "kelmor-cli 1.0 (unit protocol version 67)\n"},
        UsageCase{{"read", "--help"}, 0, "Usage: kelmor-cli read --port P"},
        UsageCase{{"program", "--port", "sim", "-h"}, 0, "Usage: kelmor-cli program"},
        UsageCase{{"verify", "--bogus", "--help"}, 0, "Usage: kelmor-cli verify"},
        UsageCase{{"sim", "--help"}, 0, "--write-differ BYTE"},
        UsageCase{{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        UsageCase{{"--bogus"}, 2, "kelmor-cli: The following argument was not expected: --bogus"},
        UsageCase{
            {"read"}, 2, "kelmor-cli read: --port is required\nTry 'kelmor-cli read --help'."},
        UsageCase{{"read", "--port"}, 2, "--port: 1 required TEXT missing"},
        UsageCase{{"read", "--port", "sim", "--bogus"}, 2, "not expected: --bogus"},
        UsageCase{{"read", "--port", "sim", "-x"}, 2, "not expected: -x"},
        UsageCase{{"read", "--port", "sim", "--version"}, 2, "not expected: --version"},
        UsageCase{{"program", "--port", "sim"}, 2, "kelmor-cli program: file is required"},
        UsageCase{{"verify", "--port", "sim", "a.ign", "b.ign"}, 2, "not expected: b.ign"},
        UsageCase{{"read", "--port", "COM0"}, 2, "no port COM0"},
        UsageCase{{"read", "--port", "com11"}, 2, "no port com11"},
        UsageCase{{"monitor", "--port", "sim", "--count", "0"},
                  2,
                  "--count: '0' is not a whole number from 1 to 1000000000"},
        UsageCase{{"monitor", "--port", "sim", "--count", "3x"}, 2, "'3x' is not a whole number"},
        // The C library would read these as hex and octal.
        UsageCase{{"monitor", "--port", "sim", "--count", "0x10"}, 2, "'0x10' is not a whole"},
        UsageCase{{"monitor", "--port", "sim", "--csv", "--json"}, 2, "--csv excludes --json"},
        UsageCase{{"sim", "--number", "100"}, 2, "--number: '100' is not a whole number from 0"},
        UsageCase{{"sim", "--date", "2024-13-01"}, 2, "--date: '2024-13-01' is not a date"},
        UsageCase{{"sim", "--time", "24:00"}, 2, "--time: '24:00' is not a time"},
        UsageCase{{"sim", "--drop", "1.5"}, 2, "--drop: '1.5' is not a number from 0 to 1"},
        UsageCase{{"sim", "--voltage", "nan"}, 2, "--voltage: 'nan' is not a number"},
        UsageCase{{"sim", "--voltage", "1e1"}, 2, "--voltage: '1e1' is not a number"},
        UsageCase{{"sim", "--letters", "AB"}, 2, "--letters: 'AB' is not three printable"},
        UsageCase{{"sim", "--id-text", std::string(31, 'x')}, 2, "is not a text of up to 30"},
        UsageCase{{"sim", "--seed", "-1"}, 2, "--seed: '-1' is not a whole number"},
        UsageCase{{"sim", "--read-differ", "50"}, 2, "--read-differ: '50' is not a whole"}));

// Values a person types with leading zeros or a plus are whole numbers
// still, and never octal.
TEST_F(CommandLine, LeadingZerosAreDecimal) {
    Unit->Options().Engine.FixedRpm = 2500;
    const CliResult r = Run({"monitor", "--port", "sim", "--count", "010", "--csv"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(Lines(r.Out).size(), 11u);
}

// COM n goes through the port map; whatever it names is what gets opened.
TEST_F(CommandLine, ComNumbersGoThroughThePortMap) {
    std::vector<int> asked;
    std::vector<std::string> opened;
    std::string mapped;
    FakeSerialPort::Shared line;
    line.OpenFails = true;
    MapComPort = [&](int n) {
        asked.push_back(n);
        return mapped;
    };
    line.OpenError = "No such file or directory";
    line.Failure.Kind = TOpenFailure::TKind::Absent;
    line.Failure.Device = "/dev/ttyUSB3";
    MakeDevicePort = [&](const std::string& device) {
        opened.push_back(device);
        return std::make_unique<FakeSerialPort>(line);
    };

    mapped = "/dev/ttyUSB3";
    CliResult r = Run({"read", "--port", "COM7"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(asked, std::vector<int>{7});
    EXPECT_EQ(opened, std::vector<std::string>{"/dev/ttyUSB3"});
    // The window's box: which device, why and what to do.
    EXPECT_EQ(r.Err,
              "Com opening error!\n/dev/ttyUSB3: no such device. Is the cable plugged in?\n");

    // A device path is opened as it stands, without the map.
    r = Run({"verify", "--port", "/dev/ttyACM0", "-"}, "KALDIMER_KEY 67");
    EXPECT_EQ(r.Status, 2);
    EXPECT_EQ(opened.back(), "/dev/ttyACM0");
    EXPECT_EQ(asked.size(), 1u);

    // The settings may put a number on the simulated unit.
    mapped = "SIM";
    r = Run({"read", "--port", "com10", "-o", Dir.Path() + "/unit.ign"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(opened.size(), 2u);
    EXPECT_GT(Unit->Stats().PageReads[1], 0u);

    // A build that cannot map ports says so.
    mapped = "";
    r = Run({"read", "--port", "COM1"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("no serial port support"), std::string::npos);
}

} // namespace
} // namespace kelmor::test
