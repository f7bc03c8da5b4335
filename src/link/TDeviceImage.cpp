#include "link/TDeviceImage.h"

namespace kelmor {

namespace {
constexpr const char* MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* MONTH_TEXTS[12] = {" 1", " 2", " 3", " 4", " 5", " 6",
                                         " 7", " 8", " 9", "10", "11", "12"};

char Tens(uint8_t v) {
    return static_cast<char>('0' + v / 10);
}
char Units(uint8_t v) {
    return static_cast<char>('0' + v % 10);
}
} // namespace

uint8_t MonthCode(const char* abbreviation) {
    unsigned sum = 0;
    for (int i = 0; i < 3 && abbreviation[i] != 0; ++i)
        sum += static_cast<unsigned char>(abbreviation[i]);
    return static_cast<uint8_t>(sum & 0xFF);
}

const char* MonthText(uint8_t code) {
    for (int m = 0; m < 12; ++m)
        if (MonthCode(MONTHS[m]) == code) return MONTH_TEXTS[m];
    return "00";
}

void DecodeIdentification(const TIdentPage& page, TIdentTexts& out) {
    char version[5] = {static_cast<char>(page.FwLetters[0]), static_cast<char>(page.FwLetters[1]),
                       static_cast<char>(page.FwLetters[2]), Tens(page.FwNumber),
                       Units(page.FwNumber)};
    out.VersionText.assign(version, 5);

    const char* month = MonthText(page.ProgMonthCode);
    char date[10] = {page.ProgDay < 10 ? ' ' : Tens(page.ProgDay),
                     Units(page.ProgDay),
                     '.',
                     month[0],
                     month[1],
                     '.',
                     '2',
                     '0',
                     Tens(page.ProgYear),
                     Units(page.ProgYear)};
    out.DateText.assign(date, 10);

    char time[5] = {Tens(page.ProgHour), Units(page.ProgHour), ':', Tens(page.ProgMinute),
                    Units(page.ProgMinute)};
    out.TimeText.assign(time, 5);

    if (page.IdText[0] != 0) {
        size_t n = 0;
        while (n < sizeof(page.IdText) && page.IdText[n] != 0)
            ++n;
        out.VersionText.assign(reinterpret_cast<const char*>(page.IdText), n);
    }
}

} // namespace kelmor
