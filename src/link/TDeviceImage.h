#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "params/TIgnParams.h"

namespace kelmor {

inline constexpr size_t PAGE_SIZE = 50;
inline constexpr size_t IMAGE_SIZE = 100;

// Page 0 as the unit reports it: the identification of its program.
struct TIdentPage {
    uint8_t FwLetters[3];  // 0..2
    uint8_t FwNumber;      // 3
    uint8_t ProgDay;       // 4
    uint8_t ProgMonthCode; // 5
    uint8_t ProgYear;      // 6  year - 2000
    uint8_t ProgHour;      // 7
    uint8_t ProgMinute;    // 8
    uint8_t ReadAllowed;   // 9  1: reading allowed
    uint8_t IgnVersion;    // 10
    uint8_t Reserved11[5]; // 11..15
    uint8_t IdText[30];    // 16..45
    uint8_t Reserved46[4]; // 46..49
};
static_assert(sizeof(TIdentPage) == PAGE_SIZE);

// The program's copy of the unit's memory: page 0 then page 1.
struct TDeviceImage {
    TIdentPage Ident;
    TIgnParams Params;

    uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(this); }
    uint8_t* Page(unsigned p) { return Bytes() + PAGE_SIZE * (p & 1u); }
    const uint8_t* Page(unsigned p) const { return Bytes() + PAGE_SIZE * (p & 1u); }
};
static_assert(sizeof(TDeviceImage) == IMAGE_SIZE);
static_assert(offsetof(TDeviceImage, Params) == PAGE_SIZE);

// The low byte of the sum of the three letters of an English month name.
uint8_t MonthCode(const char* abbreviation);

// Two-character month text for a code: " 1".." 9", "10".."12", "00" otherwise.
const char* MonthText(uint8_t code);

struct TIdentTexts {
    std::string VersionText;
    std::string DateText;
    std::string TimeText;
};

// Turns page 0 into the version, date and time texts.
void DecodeIdentification(const TIdentPage& page, TIdentTexts& out);

} // namespace kelmor
