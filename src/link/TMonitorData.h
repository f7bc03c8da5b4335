#pragma once
#include <cstdint>

namespace kelmor {

// The last accepted monitor reply: index 0 is the command byte, index k data byte k.
struct TMonitorData {
    uint8_t Bytes[51]{};

    uint16_t U16(int k) const { return static_cast<uint16_t>(Bytes[k] | (Bytes[k + 1] << 8)); }
    uint16_t Rpm() const { return U16(1); }
    uint16_t Napeti() const { return U16(3); }
    uint16_t PocetProgramovani() const { return U16(5); }
    uint16_t Test(int n) const { return U16(7 + 2 * n); } // n = 0..7
    bool Input1In() const { return Bytes[29] != 0; }
    bool Input2In() const { return Bytes[30] != 0; }
    uint8_t MonAdvance() const { return Bytes[31]; }
    uint8_t MonAdvanceMax() const { return Bytes[32]; }
    uint8_t PolaritaMer() const { return Bytes[33]; }
    bool PolaritaOk() const { return Bytes[34] != 0; }
    bool StartLimiterOut() const { return Bytes[35] != 0; }
    bool HardLimiter() const { return Bytes[36] != 0; }
    bool Blocking() const { return Bytes[37] != 0; }
    bool KillSwitch() const { return Bytes[38] != 0; }
    bool MonLedRazeni() const { return Bytes[39] != 0; }
    bool MonRetard() const { return Bytes[40] != 0; }
    bool ClutchMon() const { return Bytes[41] != 0; }
    bool Snimac() const { return Bytes[42] != 0; }
    bool BasicAdvance() const { return Bytes[43] != 0; }
    uint16_t SavingCountdown() const { return U16(47); }
    bool EeDataErr() const { return Bytes[49] != 0; }
    uint8_t IgnVersion() const { return Bytes[50]; }
};

// Data-byte offsets of the monitor reply, for whoever builds one (the simulated unit).
// They are named after the monitor fields they hold, as the accessors above.
namespace MonitorField {
enum : int {
    Rpm = 1,
    Napeti = 3,
    PocetProgramovani = 5,
    Test = 7,
    Input1In = 29,
    Input2In = 30,
    MonAdvance = 31,
    MonAdvanceMax = 32,
    PolaritaMer = 33,
    PolaritaOk = 34,
    StartLimiterOut = 35,
    HardLimiter = 36,
    Blocking = 37,
    KillSwitch = 38,
    MonLedRazeni = 39,
    MonRetard = 40,
    ClutchMon = 41,
    Snimac = 42,
    BasicAdvance = 43,
    SavingCountdown = 47,
    EeDataErr = 49,
    IgnVersion = 50,
};
} // namespace MonitorField

enum class VoltageBand { Alarm, Warning, Normal };

// Edges of the bands in millivolts: an alarm at or below the low one and at
// or above the high one, a warning up to and from the warning edges.
inline constexpr int VOLTAGE_ALARM_LOW = 7000, VOLTAGE_WARNING_LOW = 11000,
                     VOLTAGE_WARNING_HIGH = 14999, VOLTAGE_ALARM_HIGH = 17999;

// Colour band of the supply voltage in millivolts.
inline VoltageBand VoltageBandOf(uint16_t mv) {
    if (mv <= VOLTAGE_ALARM_LOW || mv >= VOLTAGE_ALARM_HIGH) return VoltageBand::Alarm;
    if (mv <= VOLTAGE_WARNING_LOW || mv >= VOLTAGE_WARNING_HIGH) return VoltageBand::Warning;
    return VoltageBand::Normal;
}

} // namespace kelmor
