#include <gtest/gtest.h>

#include <cstring>

#include "link/TDeviceImage.h"

namespace kelmor {
namespace {

TIdentPage Page(const char* letters, uint8_t number, uint8_t day, uint8_t month, uint8_t year,
                uint8_t hour, uint8_t minute) {
    TIdentPage p{};
    std::memcpy(p.FwLetters, letters, 3);
    p.FwNumber = number;
    p.ProgDay = day;
    p.ProgMonthCode = month;
    p.ProgYear = year;
    p.ProgHour = hour;
    p.ProgMinute = minute;
    return p;
}

TEST(DeviceImage, DecodesTheExample) {
    TIdentTexts t;
    DecodeIdentification(Page("KQV", 13, 5, 25, 7, 9, 5), t);
    EXPECT_EQ(t.VersionText, "KQV13");
    EXPECT_EQ(t.DateText, " 5. 1.2007");
    EXPECT_EQ(t.TimeText, "09:05");
}

TEST(DeviceImage, MonthTable) {
    const char* names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const uint8_t codes[12] = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
    const char* texts[12] = {" 1", " 2", " 3", " 4", " 5", " 6",
                             " 7", " 8", " 9", "10", "11", "12"};
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(MonthCode(names[m]), codes[m]) << names[m];
        EXPECT_STREQ(MonthText(codes[m]), texts[m]);
    }
    for (int other : {0, 1, 26, 255})
        EXPECT_STREQ(MonthText(static_cast<uint8_t>(other)), "00");
}

TEST(DeviceImage, DayTenAndIdText) {
    TIdentTexts t;
    TIdentPage p = Page("ABC", 99, 10, 12, 26, 23, 59);
    DecodeIdentification(p, t);
    EXPECT_EQ(t.DateText, "10.12.2026");
    EXPECT_EQ(t.TimeText, "23:59");

    std::memcpy(p.IdText, "WORKSHOP 7", 10);
    DecodeIdentification(p, t);
    EXPECT_EQ(t.VersionText, "WORKSHOP 7");
    EXPECT_EQ(t.DateText, "10.12.2026");

    std::memset(p.IdText, 'X', sizeof p.IdText);
    p.Reserved46[0] = 'Y'; // the text stops at 30 characters even without a zero
    DecodeIdentification(p, t);
    EXPECT_EQ(t.VersionText, std::string(30, 'X'));
}

TEST(DeviceImage, PagesAndLayout) {
    TDeviceImage image{};
    EXPECT_EQ(image.Page(0), image.Bytes());
    EXPECT_EQ(image.Page(1), image.Bytes() + 50);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&image.Params), image.Bytes() + 50);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&image.Ident.IgnVersion), image.Bytes() + 10);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(&image.Ident.IdText), image.Bytes() + 16);
}

} // namespace
} // namespace kelmor
