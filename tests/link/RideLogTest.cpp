// Reading a monitor log back: what the writer wrote comes back, and a log
// cut off, from an older version, from another tool or not a log at all
// gives what can be shown and says what was left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/MonitorCsv.h"
#include "link/RideLog.h"

namespace kelmor {
namespace {

// A frame of the engine at `rpm`, with the other fields set apart from each other.
TMonitorData Frame(uint16_t rpm, uint16_t mv, int seed) {
    TMonitorData m;
    m.Bytes[0] = 0xB0;
    m.Bytes[1] = static_cast<uint8_t>(rpm & 0xFF);
    m.Bytes[2] = static_cast<uint8_t>(rpm >> 8);
    m.Bytes[3] = static_cast<uint8_t>(mv & 0xFF);
    m.Bytes[4] = static_cast<uint8_t>(mv >> 8);
    m.Bytes[5] = static_cast<uint8_t>(seed);
    for (int n = 0; n < 8; ++n)
        m.Bytes[7 + 2 * n] = static_cast<uint8_t>(seed + n);
    m.Bytes[31] = static_cast<uint8_t>(100 + seed % 40);
    m.Bytes[32] = 35;
    m.Bytes[33] = static_cast<uint8_t>(seed % 2);
    m.Bytes[36] = static_cast<uint8_t>(seed % 3 == 0);
    m.Bytes[38] = static_cast<uint8_t>(seed % 5 == 0);
    m.Bytes[42] = 1;
    m.Bytes[47] = static_cast<uint8_t>(seed);
    m.Bytes[50] = 67;
    return m;
}

std::string Line(const TMonitorData& m, uint32_t timeMs) {
    char line[320];
    return std::string(line, FormatMonitorCsv(m, timeMs, line, sizeof line));
}

// A log as the window writes it: header and `n` lines 330 ms apart.
std::string WrittenLog(int n) {
    std::string text = MonitorCsvHeader();
    for (int i = 0; i < n; ++i)
        text +=
            Line(Frame(static_cast<uint16_t>(1000 + 100 * i), static_cast<uint16_t>(12000 + i), i),
                 static_cast<uint32_t>(330 * i));
    return text;
}

TEST(RideLog, WhatTheWriterWroteComesBack) {
    RideLogReport report;
    const RideLog log = ReadRideLog(WrittenLog(5), report);
    ASSERT_EQ(log.Size(), 5u);
    EXPECT_FALSE(report.Noteworthy());
    EXPECT_EQ(report.Lines, 5u);
    for (int i = 0; i < 5; ++i) {
        const TMonitorData m =
            Frame(static_cast<uint16_t>(1000 + 100 * i), static_cast<uint16_t>(12000 + i), i);
        const size_t k = static_cast<size_t>(i);
        EXPECT_EQ(log.Time(k), 330u * k);
        EXPECT_EQ(log.At(LogColumn::Rpm, k), m.Rpm());
        EXPECT_EQ(log.At(LogColumn::Voltage, k), m.Napeti());
        EXPECT_EQ(log.At(LogColumn::Advance, k), m.MonAdvance() - 100);
        EXPECT_EQ(log.At(LogColumn::AdvanceMax, k), 35);
        EXPECT_EQ(log.At(LogColumn::ProgrammingCount, k), i);
        EXPECT_EQ(log.At(LogColumn::SavingCountdown, k), i);
        EXPECT_EQ(log.At(LogColumn::RevLimiter, k), i % 3 == 0 ? 1 : 0);
        EXPECT_EQ(log.At(LogColumn::KillSwitch, k), i % 5 == 0 ? 1 : 0);
        EXPECT_EQ(log.At(LogColumn::PolarityMeasured, k), i % 2);
        EXPECT_EQ(log.At(LogColumn::Version, k), 67);
        EXPECT_EQ(log.At(LogColumn::Test8, k), i + 7);
    }
    for (int c = 0; c < LOG_COLUMNS; ++c)
        EXPECT_TRUE(log.Has(static_cast<LogColumn>(c))) << LogColumnName(static_cast<LogColumn>(c));
}

// One of the usual lines with the voltage as an earlier version wrote it
// under a decimal-comma locale.
std::string CommaLine(uint32_t time, const char* volts) {
    std::string line = Line(Frame(3000, 13840, 1), time);
    const size_t at = line.find("13.840");
    return line.replace(at, 6, volts);
}

TEST(RideLog, DamagedAndForeignLogsGiveWhatTheyCan) {
    const std::string header = MonitorCsvHeader();
    const std::string good = Line(Frame(3000, 13840, 1), 330);
    const std::string later = Line(Frame(3100, 13840, 1), 660);
    struct Case {
        const char* name;
        std::string text;
        size_t lines;
        void (*check)(const RideLog&, const RideLogReport&);
    } cases[] = {
        {"crash while logging: the last line is cut off", header + good + later.substr(0, 20), 1,
         [](const RideLog&, const RideLogReport& r) { EXPECT_TRUE(r.TruncatedLast); }},
        {"cut off between CR and LF: the line is whole",
         header + good + later.substr(0, later.size() - 1), 2,
         [](const RideLog&, const RideLogReport& r) { EXPECT_FALSE(r.Noteworthy()); }},
        {"an earlier version under a decimal-comma locale",
         header + CommaLine(330, "13,840") + CommaLine(660, "9,005"), 2,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_EQ(r.CommaVoltages, 2u);
             EXPECT_FALSE(r.Noteworthy());
             EXPECT_EQ(l.At(LogColumn::Voltage, 0), 13840);
             EXPECT_EQ(l.At(LogColumn::Voltage, 1), 9005);
             EXPECT_EQ(l.At(LogColumn::ProgrammingCount, 1), 1);
             EXPECT_EQ(l.At(LogColumn::Test8, 1), 8);
         }},
        {"LF line ends and a byte order mark",
         "\xEF\xBB\xBF" + header.substr(0, header.size() - 2) + "\n" +
             good.substr(0, good.size() - 2) + "\n",
         1,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_FALSE(r.Noteworthy());
             EXPECT_EQ(l.At(LogColumn::Rpm, 0), 3000);
         }},
        {"a column not known here", "gear," + header + "3," + good, 1,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_EQ(r.UnknownColumns, std::vector<std::string>{"gear"});
             EXPECT_EQ(l.At(LogColumn::Rpm, 0), 3000);
             EXPECT_EQ(l.Time(0), 330u);
         }},
        {"columns missing from the header", "time_ms,rpm,voltage_v\r\n330,3000,13.840\r\n", 1,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_EQ(r.MissingColumns.size(), static_cast<size_t>(LOG_COLUMNS - 3));
             EXPECT_EQ(r.MissingColumns.front(), "advance_deg");
             EXPECT_FALSE(l.Has(LogColumn::Advance));
             EXPECT_EQ(l.At(LogColumn::Advance, 0), 0);
             EXPECT_EQ(l.At(LogColumn::Voltage, 0), 13840);
         }},
        {"more values than columns", header + good.substr(0, good.size() - 2) + ",7,8\r\n", 1,
         [](const RideLog&, const RideLogReport& r) { EXPECT_EQ(r.ExtraValueLines, 1u); }},
        {"fewer values than columns", header + "330,3000,27\r\n" + later, 1,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_EQ(r.BadLines, 1u);
             EXPECT_EQ(l.Time(0), 660u);
         }},
        {"a value that is no number", header + good + later.substr(0, 4) + "fast" + later.substr(8),
         1, [](const RideLog&, const RideLogReport& r) { EXPECT_EQ(r.BadLines, 1u); }},
        {"time going back (two logs joined)", header + later + header + good, 1,
         [](const RideLog&, const RideLogReport& r) {
             EXPECT_EQ(r.BadLines, 1u); // the second header
             EXPECT_EQ(r.OutOfOrder, 1u);
         }},
        {"no header", good + later, 2,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_TRUE(r.NoHeader);
             EXPECT_EQ(l.At(LogColumn::Rpm, 1), 3100);
         }},
        {"no time column: 330 ms a line", "rpm,advance_deg\r\n3000,20\r\n3100,21\r\n3200,22\r\n", 3,
         [](const RideLog& l, const RideLogReport& r) {
             EXPECT_TRUE(r.NoTime);
             EXPECT_EQ(l.Time(2), 660u);
         }},
        {"another program's CSV", "a,b,c\r\n1,2,3\r\n", 0,
         [](const RideLog&, const RideLogReport& r) { EXPECT_EQ(r.BadLines, 1u); }},
        {"an empty file", "", 0,
         [](const RideLog&, const RideLogReport& r) { EXPECT_FALSE(r.Noteworthy()); }},
        {"blank lines only", "\r\n\n  \r\n", 0,
         [](const RideLog&, const RideLogReport& r) { EXPECT_FALSE(r.Noteworthy()); }},
        {"a binary file",
         std::string("\x7F"
                     "ELF\x02\x01\x01\0\0\0,\x03\0>\0\n\x01\0\0\0\x40",
                     21),
         0, [](const RideLog&, const RideLogReport& r) { EXPECT_TRUE(r.Binary); }},
        {"a time too large for the field", header + "99999999999" + good.substr(3), 0,
         [](const RideLog&, const RideLogReport& r) { EXPECT_EQ(r.BadLines, 1u); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RideLogReport report;
        const RideLog log = ReadRideLog(c.text, report);
        EXPECT_EQ(log.Size(), c.lines);
        EXPECT_EQ(report.Lines, c.lines);
        for (int k = 0; k < LOG_COLUMNS; ++k)
            EXPECT_EQ(log.Column(static_cast<LogColumn>(k)).size(), log.Size());
        c.check(log, report);
    }
}

TEST(RideLog, FindsTheLineOfAMoment) {
    RideLogReport report;
    const RideLog log = ReadRideLog(WrittenLog(4), report); // 0, 330, 660, 990 ms
    struct {
        uint32_t t;
        size_t at, after;
    } cases[] = {{0, 0, 0}, {329, 0, 1}, {330, 1, 1}, {331, 1, 2}, {990, 3, 3}, {5000, 3, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(log.IndexAt(c.t), c.at) << c.t;
        EXPECT_EQ(log.FirstAtOrAfter(c.t), c.after) << c.t;
    }
}

} // namespace
} // namespace kelmor
