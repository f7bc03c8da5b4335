#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "link/MonitorCsv.h"

namespace kelmor {
namespace {

TEST(MonitorCsv, HeaderAndAKnownFrame) {
    TMonitorData m;
    m.Bytes[0] = 0xB0;
    m.Bytes[1] = 0xB8; // 3000 rpm
    m.Bytes[2] = 0x0B;
    m.Bytes[3] = 0x10; // 13840 mV
    m.Bytes[4] = 0x36;
    m.Bytes[5] = 7;
    m.Bytes[7] = 1;
    m.Bytes[21] = 0x34;
    m.Bytes[22] = 0x12;
    m.Bytes[31] = 127;
    m.Bytes[32] = 30;
    m.Bytes[34] = 1;
    m.Bytes[36] = 1;
    m.Bytes[42] = 1;
    m.Bytes[47] = 40;
    m.Bytes[50] = 67;
    char line[512];
    size_t n = FormatMonitorCsv(m, 330, line, sizeof line);
    EXPECT_EQ(
        std::string(line, n),
        "330,3000,27,30,13.840,7,40,1,0,0,1,0,0,0,0,0,0,0,1,positive,0,67,1,0,0,0,0,0,0,4660\r\n");
    std::string header = MonitorCsvHeader();
    auto columns = [](const std::string& s) { return std::count(s.begin(), s.end(), ',') + 1; };
    EXPECT_EQ(columns(header), columns(std::string(line, n)));
}

TEST(MonitorCsv, NoPickupMeansNoSpeedAndShortBuffersStayTerminated) {
    TMonitorData m;
    m.Bytes[1] = 0xB8;
    m.Bytes[2] = 0x0B;
    char line[16];
    size_t n = FormatMonitorCsv(m, 0, line, sizeof line);
    EXPECT_EQ(n, 15u);
    EXPECT_EQ(std::string(line).substr(0, 4), "0,0,");
}

} // namespace
} // namespace kelmor
