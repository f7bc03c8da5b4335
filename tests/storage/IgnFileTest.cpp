#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "storage/IgnFile.h"
#include "support/TestFiles.h"

namespace kelmor {
namespace {

std::string Fixture(const char* name) {
    // The folder comes from the build, as __FILE__ may be relative (ccache).
    return test::ReadFile((std::filesystem::path(KELMOR_STORAGE_FIXTURES) / name).string());
}

bool Same(const TIgnParams& a, const TIgnParams& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Dump(const TIgnParams& p) {
    std::string s;
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&p);
    for (size_t i = 0; i < sizeof p; ++i)
        s += std::to_string(i) + ":" + std::to_string(b[i]) + " ";
    return s;
}

// The set of the hand-written fixture file.
TIgnParams SampleSet() {
    TIgnParams p{};
    SetDefaults(p);
    Normalise(p);
    const uint8_t rpm[CURVE_POINTS] = {6,  20,  30,  40,  50,  60,  70, 80,
                                       90, 100, 110, 120, 130, 140, 201};
    const uint8_t adv[CURVE_POINTS] = {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 12, 8};
    std::memcpy(p.RpmAdv, rpm, sizeof rpm);
    std::memcpy(p.Advance, adv, sizeof adv);
    p.RevOutLedRazeni = 1;
    p.RpmKorekce = 40;
    p.Clutch1 = 25;
    p.Input2 = 3;
    p.Reserved7 = 77; // not in the file
    return p;
}

TEST(IgnFileWrite, MatchesTheHandCheckedFile) {
    const std::string expected = Fixture("sample.ign");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(WriteIgnFile(SampleSet()), expected);
}

TEST(IgnFileWrite, ExtremeValuesKeepTheirFields) {
    TIgnParams p{};
    std::memset(&p, 255, sizeof p);
    p.RevOutLedRazeni = 2;
    p.ZakazCteni = 0;
    std::string text = WriteIgnFile(p);
    EXPECT_NE(text.find("\r\nRPM_ADV     25500 25500 "), std::string::npos);
    EXPECT_NE(text.find("\r\nPILOT_LIGHT       25500 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nCLUTCH       2550  2550 \r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nREV_OUT_PILOT_LIGHT   1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nNO_READING      0\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nRPM           255   155 \r\n"), std::string::npos);
    p.RpmKorekce = 0;
    EXPECT_NE(WriteIgnFile(p).find("\r\nRPM           255  -100 \r\n"), std::string::npos);
}

TEST(IgnFileRead, RandomSetsSurviveTheRoundTrip) {
    std::mt19937 rng(20260612);
    std::uniform_int_distribution<int> byte(0, 255), flag(0, 1);
    for (int n = 0; n < 2000; ++n) {
        TIgnParams written{}, read{};
        uint8_t* w = reinterpret_cast<uint8_t*>(&written);
        uint8_t* r = reinterpret_cast<uint8_t*>(&read);
        for (size_t i = 0; i < sizeof written; ++i) {
            w[i] = static_cast<uint8_t>(byte(rng));
            r[i] = static_cast<uint8_t>(byte(rng));
        }
        written.ZakazCteni = static_cast<uint8_t>(flag(rng));
        written.RevOutLedRazeni = static_cast<uint8_t>(flag(rng));

        TIgnParams expected = written;
        expected.Reserved7 = read.Reserved7;
        expected.Reserved8 = read.Reserved8;
        expected.Reserved19 = read.Reserved19;
        ASSERT_TRUE(ReadIgnFile(WriteIgnFile(written), read));
        ASSERT_TRUE(Same(read, expected)) << Dump(written) << "\n" << Dump(read);
    }
}

std::string Repeat(const std::string& value, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += value + " ";
    return s;
}

TEST(IgnFileRead, Cases) {
    TIgnParams start{};
    SetDefaults(start);
    start.Reserved7 = 7;
    start.Reserved8 = 8;
    start.Reserved19 = 19;

    TIgnParams sample = SampleSet();
    const std::string written = WriteIgnFile(sample);
    std::string lfOnly, oneLine;
    for (char c : written) {
        if (c != '\r') lfOnly += c;
        oneLine += (c == '\r' || c == '\n') ? ' ' : c;
    }
    // The sample's fields, with the start's reserved bytes.
    auto takeSample = [&](TIgnParams& p) {
        uint8_t r7 = p.Reserved7, r8 = p.Reserved8, r19 = p.Reserved19;
        p = sample;
        p.Reserved7 = r7;
        p.Reserved8 = r8;
        p.Reserved19 = r19;
    };
    // The sample without its version line.
    const std::string dataOnly = written.substr(written.find("\r\nBIKE"));
    const std::string longToken(10000, '7');

    struct Case {
        const char* name;
        std::string text;
        bool matched;
        std::function<void(TIgnParams&)> change; // from `start` to the expected set
    };
    const Case cases[] = {
        {"only the version key", "KALDIMER_KEY   67 ", true, nullptr},
        {"empty file", "", false, nullptr},
        {"no version key", dataOnly, false, nullptr},
        {"version 66", "KALDIMER_KEY   66 " + dataOnly, false, nullptr},
        {"66, then a second version key with 67",
         "KALDIMER_KEY   66 " + dataOnly + "\r\nKALDIMER_KEY 67\r\nBIKE 3\r\nPOLARITA 1", true,
         [](TIgnParams& p) {
             p.Bike = 3;
             p.Polarita = 1;
         }},
        {"a key as the version value is examined again", "KALDIMER_KEY KALDIMER_KEY 67 BIKE 4",
         true, [](TIgnParams& p) { p.Bike = 4; }},
        {"a word as the version value hides the 67 after it", "KALDIMER_KEY x 67 BIKE 4", false,
         nullptr},
        {"keys before the version key are not applied", "BIKE 5\r\nKALDIMER_KEY 67\r\n", true,
         nullptr},
        {"scaled fields truncate",
         "KALDIMER_KEY 67\r\nRPM_ADV " + Repeat("1550", 15) +
             "\r\nCLUTCH 255 2559\r\nPILOT_LIGHT 99",
         true,
         [](TIgnParams& p) {
             for (uint8_t& v : p.RpmAdv)
                 v = 15;
             p.Clutch1 = 25;
             p.Clutch2 = 255;
             p.LedRazeni = 0;
         }},
        {"bytes keep their low 8 bits",
         "KALDIMER_KEY 67\r\nADVANCE 300 " + Repeat("1", 14) + "\r\nBASE_ADV 256", true,
         [](TIgnParams& p) {
             p.Advance[0] = 44;
             for (int k = 1; k < CURVE_POINTS; ++k)
                 p.Advance[k] = 1;
             p.BaseAdv = 0;
         }},
        {"numbers keep their low 16 bits before scaling", "KALDIMER_KEY 67 PILOT_LIGHT 70000", true,
         [](TIgnParams& p) { p.LedRazeni = 44; }},
        {"flags take any number", "KALDIMER_KEY 67 REV_OUT_PILOT_LIGHT 2 NO_READING 7", true,
         [](TIgnParams& p) {
             p.RevOutLedRazeni = 2;
             p.ZakazCteni = 7;
         }},
        {"correction -100", "KALDIMER_KEY 67 RPM 3 -100", true,
         [](TIgnParams& p) {
             p.RpmPulsu = 3;
             p.RpmKorekce = 0;
         }},
        {"correction 155", "KALDIMER_KEY 67 RPM 1 +155", true,
         [](TIgnParams& p) {
             p.RpmPulsu = 1;
             p.RpmKorekce = 255;
         }},
        {"lower-case keys are skipped", "KALDIMER_KEY 67 bike 5 Base_Adv 20 kaldimer_key 66", true,
         nullptr},
        {"lower-case version key", "kaldimer_key 67 BIKE 5", false, nullptr},
        {"written form", written, true, takeSample},
        {"LF line breaks only", lfOnly, true, takeSample},
        {"all on one line", oneLine, true, takeSample},
        {"short RPM_ADV line", "KALDIMER_KEY 67\r\nRPM_ADV 1000 2000 3000\r\nBASE_ADV 20\r\n", true,
         [](TIgnParams& p) {
             p.RpmAdv[0] = 10;
             p.RpmAdv[1] = 20;
             for (int k = 2; k < CURVE_POINTS; ++k)
                 p.RpmAdv[k] = 30;
             p.BaseAdv = 20;
         }},
        {"CLUTCH with one number, then RPM", "KALDIMER_KEY 67\r\nCLUTCH 2500\r\nRPM 2 -10", true,
         [](TIgnParams& p) {
             p.Clutch1 = 250;
             p.Clutch2 = 250;
             p.RpmPulsu = 2;
             p.RpmKorekce = 90;
         }},
        {"values missing at the end take the last number", "KALDIMER_KEY 67 LIMITER 120", true,
         [](TIgnParams& p) { p.Omez1 = p.Omez2 = p.Retard = 120; }},
        {"the version is the first number of the read", "KALDIMER_KEY 67 BIKE INPUT 1", true,
         [](TIgnParams& p) {
             p.Bike = 67;
             p.Input1 = 1;
             p.Input2 = 1;
         }},
        {"the last occurrence wins", "KALDIMER_KEY 67 BASE_ADV 5 POLARITA 0 BASE_ADV 9", true,
         [](TIgnParams& p) {
             p.BaseAdv = 9;
             p.Polarita = 0;
         }},
        {"words that are not whole numbers do not convert",
         "KALDIMER_KEY 67 BASE_ADV 12abc POLARITA -1 GEBER_NR + INPUT 1.5 3", true,
         [](TIgnParams& p) {
             p.BaseAdv = 67;
             p.Polarita = 67;
             p.GeberNr = 67;
             p.Input1 = 67;
             p.Input2 = 67;
         }},
        {"stray words and numbers are skipped", "junk 12 KALDIMER_KEY 67 12 junk RETARD 4 BIKE 1",
         true, [](TIgnParams& p) { p.Bike = 1; }},
        {"a 10 000-character value", "KALDIMER_KEY 67\r\nBIKE " + longToken + " BASE_ADV 20", true,
         [](TIgnParams& p) {
             p.Bike = 67;
             p.BaseAdv = 20;
         }},
        {"a 10 000-character word before the version key",
         "KALDIMER_KEY" + longToken + " KALDIMER_KEY " + longToken + " KALDIMER_KEY 67 BIKE 2",
         true, [](TIgnParams& p) { p.Bike = 2; }},
        {"a key with letters after it", "KALDIMER_KEY 67 BIKEX 5 BIKE_ 6", true, nullptr},
    };

    for (const Case& c : cases) {
        TIgnParams expected = start;
        if (c.change) c.change(expected);
        TIgnParams p = start;
        EXPECT_EQ(ReadIgnFile(c.text, p), c.matched) << c.name;
        EXPECT_TRUE(Same(p, expected))
            << c.name << "\n got: " << Dump(p) << "\nwant: " << Dump(expected);
    }
}

TEST(IgnFileRead, BinaryJunkDoesNotMatter) {
    std::string junk;
    std::mt19937 rng(7);
    for (int i = 0; i < 100000; ++i)
        junk += static_cast<char>(rng() & 0xFF);
    TIgnParams p{}, before{};
    SetDefaults(p);
    before = p;
    EXPECT_FALSE(ReadIgnFile(junk, p));
    EXPECT_TRUE(Same(p, before));
    EXPECT_TRUE(ReadIgnFile(junk + " KALDIMER_KEY 67 " + junk, p));
}

// Open's way in: the set changes only for a whole file of our version, and
// a file that cannot be read says why.
TEST(IgnFileLoad, ChangesTheSetOnlyForAGoodFileAndTellsWhyNot) {
    test::TempFolder dir;
    std::filesystem::create_directory(dir.File("sub"));
    std::ofstream(dir.File("old.ign")) << "KALDIMER_KEY 66\nBASE_ADV 20";
    std::ofstream(dir.File("good.ign")) << "KALDIMER_KEY 67\nBASE_ADV 20";
    struct Case {
        std::string Path;
        IgnLoadResult Result;
        std::string Reason;
    };
    std::vector<Case> cases = {
        {dir.File("none.ign"), IgnLoadResult::OpenError, "No such file or directory"},
        {dir.File("sub"), IgnLoadResult::OpenError, "Is a directory"},
        {dir.File("old.ign"), IgnLoadResult::VersionMismatch, ""},
        {dir.File("good.ign"), IgnLoadResult::Ok, ""},
    };
#ifndef _WIN32
    std::ofstream(dir.File("locked.ign")) << "KALDIMER_KEY 67\nBASE_ADV 20";
    std::filesystem::permissions(dir.File("locked.ign"), std::filesystem::perms::none);
    const bool root = ::geteuid() == 0; // reads whatever the permissions say
    cases.push_back({"/dev/null", IgnLoadResult::OpenError, "not a regular file"});
    cases.push_back({dir.File("locked.ign"), root ? IgnLoadResult::Ok : IgnLoadResult::OpenError,
                     root ? "" : "Permission denied"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        TIgnParams p{};
        std::string reason;
        EXPECT_EQ(LoadIgnFile(c.Path, p, &reason), c.Result);
#ifdef _WIN32
        // The system words its reasons itself there.
        EXPECT_EQ(reason.empty(), c.Reason.empty());
#else
        EXPECT_EQ(reason, c.Reason);
#endif
        EXPECT_EQ(p.BaseAdv, c.Result == IgnLoadResult::Ok ? 20 : 0);
    }
}

} // namespace
} // namespace kelmor
