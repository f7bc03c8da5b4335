// "show --json" over the cases of the .ign reader: what a script gets to see.
#include <nlohmann/json.hpp>

#include "CliFixture.h"

namespace kelmor::test {
namespace {

struct ShowCase {
    const char* Name;
    const char* File;
    bool Raw;
    int Status;
    // Expected values by field; a list for the curve arrays.
    std::vector<std::pair<std::string, std::vector<int>>> Fields;
    const char* Error = "";
};

void PrintTo(const ShowCase& c, std::ostream* os) {
    *os << c.Name;
}

class ShowJson : public CliFixture, public ::testing::WithParamInterface<ShowCase> {};

using Json = nlohmann::json;

std::vector<int> Values(const Json& field) {
    const Json& v = field.at("value");
    if (v.is_number_integer()) return {v.get<int>()};
    return v.get<std::vector<int>>();
}

TEST_P(ShowJson, PrintsTheSetTheFileGives) {
    const ShowCase& c = GetParam();
    const std::string path = WriteFile("set.ign", c.File);
    std::vector<std::string> args{"show", path, "--json"};
    if (c.Raw) args.push_back("--raw");
    const CliResult r = Run(args);
    ASSERT_EQ(r.Status, c.Status) << r.Err;
    if (c.Status != 0) {
        EXPECT_EQ(Lines(r.Err)[0], c.Error);
        EXPECT_EQ(r.Out, "");
        return;
    }

    // Strict: one JSON value and nothing else.
    const Json doc = Json::parse(r.Out);
    EXPECT_EQ(doc.at("format"), 1);
    EXPECT_EQ(doc.at("normalised"), !c.Raw);
    const Json& fields = doc.at("fields");
    EXPECT_EQ(fields.size(), 22u);
    for (const auto& [name, expected] : c.Fields)
        EXPECT_EQ(Values(fields.at(name)), expected) << name;
    EXPECT_EQ(fields.at("RpmAdv").at("unit"), "rpm");
    EXPECT_EQ(fields.at("RpmKorekce").at("unit"), "%");

    // The 50 bytes are the same set, stored: spot-check them against the fields.
    const Json& bytes = doc.at("bytes");
    ASSERT_EQ(bytes.size(), 50u);
    EXPECT_EQ(bytes[3].get<int>() * 100, Values(fields.at("Omez1"))[0]);
    EXPECT_EQ(bytes[17].get<int>() - 100, Values(fields.at("RpmKorekce"))[0]);
    EXPECT_EQ(bytes[11].get<int>() * 10, Values(fields.at("Clutch1"))[0]);
}

const std::vector<int> DEFAULT_RPM{1000, 2000,  3000,  4000,  5000,  6000,  7000, 8000,
                                   9000, 10000, 11000, 12000, 13000, 14000, 15000};

INSTANTIATE_TEST_SUITE_P(
    ReaderCases, ShowJson,
    ::testing::Values(
        // Only the version: the defaults of a fresh window, start limiter held to the rev limiter.
        ShowCase{"VersionOnly",
                 "KALDIMER_KEY   67 ",
                 false,
                 0,
                 {{"Omez1", {15000}},
                  {"Omez2", {15000}},
                  {"PocetBodu", {15}},
                  {"Clutch2", {1000}},
                  {"RpmKorekce", {0}},
                  {"RpmAdv", DEFAULT_RPM}}},
        ShowCase{"WrongVersion",
                 "KALDIMER_KEY 66\r\nBASE_ADV 20",
                 false,
                 3,
                 {},
                 "Unmatched version of *.ign file!"},
        ShowCase{"Empty", "", false, 3, {}, "Unmatched version of *.ign file!"},
        // Scaled on reading, the remainder dropped: 1550 rpm is 15, 255 ms is 25, 99 rpm is 0.
        ShowCase{"ScaledFields",
                 "KALDIMER_KEY 67\nRPM_ADV 1550 1650 1750 1850 1950 2050 2150 2250 2350 2450 "
                 "2550 2650 2750 2850 2950\nCLUTCH 255 2559\nPILOT_LIGHT 99\nADVANCE 300",
                 true,
                 0,
                 {{"RpmAdv",
                   {1500, 1600, 1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700,
                    2800, 2900}},
                  {"Clutch1", {250}},
                  {"Clutch2", {2550}},
                  {"LedRazeni", {0}},
                  // A value missing at the end takes the last number read: 300 wraps to 44.
                  {"Advance", std::vector<int>(15, 44)}}},
        // Flags take any number and keep it.
        ShowCase{"FlagTwo",
                 "KALDIMER_KEY 67\nREV_OUT_PILOT_LIGHT 2\nNO_READING 2",
                 false,
                 0,
                 {{"RevOutLedRazeni", {2}}, {"ZakazCteni", {2}}}},
        ShowCase{"CorrectionLowest",
                 "KALDIMER_KEY 67\nRPM 3 -100",
                 false,
                 0,
                 {{"RpmPulsu", {3}}, {"RpmKorekce", {-100}}}},
        ShowCase{"CorrectionHighest",
                 "KALDIMER_KEY 67\nRPM 3 155",
                 false,
                 0,
                 {{"RpmPulsu", {3}}, {"RpmKorekce", {155}}}},
        // Absent keys keep the defaults; the keys present are applied, in any case of line break.
        ShowCase{"MissingKeys",
                 "KALDIMER_KEY 67\r\n\r\nBASE_ADV 20\r\nINPUT 0 3 ",
                 false,
                 0,
                 {{"BaseAdv", {20}},
                  {"Input2", {3}},
                  {"Retard", {6}},
                  {"Polarita", {2}},
                  {"RpmAdv", DEFAULT_RPM}}},
        // Speeds out of order: as read with --raw, raised into order without it.
        ShowCase{"UnorderedRaw",
                 "KALDIMER_KEY 67\nLIMITER 200 100 5\nRPM_ADV 3000 2000 2000 5000",
                 true,
                 0,
                 {{"Omez1", {20000}},
                  {"RpmAdv",
                   {3000, 2000, 2000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000,
                    5000, 5000}}}},
        ShowCase{"UnorderedNormalised",
                 "KALDIMER_KEY 67\nLIMITER 200 100 5\nRPM_ADV 3000 2000 2000 5000",
                 false,
                 0,
                 {{"Omez1", {10000}},
                  {"RpmAdv",
                   {3000, 3100, 3200, 5000, 5100, 5200, 5300, 5400, 5500, 5600, 5700, 5800, 5900,
                    6000, 6100}}}}),
    [](const ::testing::TestParamInfo<ShowCase>& p) { return std::string(p.param.Name); });

TEST_F(ShowJson, TextNamesEveryFieldWithItsUnit) {
    const CliResult r = Run({"show", "-"}, "KALDIMER_KEY 67\nRPM 3 -10\nCLUTCH 250 0");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 22u + 1 + 5);
    EXPECT_EQ(lines[0], "Bike            0");
    EXPECT_EQ(lines[11], "Clutch1         250 ms");
    EXPECT_EQ(lines[17], "RpmKorekce      -10 %");
    EXPECT_EQ(lines[20].substr(0, 27), "RpmAdv          1000 2000 3");
    EXPECT_EQ(lines[22], "Bytes");
}

} // namespace
} // namespace kelmor::test
