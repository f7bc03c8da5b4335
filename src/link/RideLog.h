#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

// The columns of a monitor log, in the order the monitor log and
// kelmor-cli's --csv write them.
enum class LogColumn : uint8_t {
    TimeMs,
    Rpm,
    Advance,
    AdvanceMax,
    Voltage, // in millivolts here; volts with three decimals in the file
    ProgrammingCount,
    SavingCountdown,
    Pickup,
    BasicAdvance,
    StartLimiter,
    RevLimiter,
    Blocking,
    KillSwitch,
    ShiftLight,
    Retard,
    ClutchMaster,
    Input1,
    Input2,
    PolarityOk,
    PolarityMeasured, // 0 positive, 1 negative
    DataError,
    Version,
    Test1,
    Test2,
    Test3,
    Test4,
    Test5,
    Test6,
    Test7,
    Test8,
    Count
};
inline constexpr int LOG_COLUMNS = static_cast<int>(LogColumn::Count);

// The column's name in the file's header ("voltage_v").
std::string_view LogColumnName(LogColumn c);
// 0 or 1 columns: the unit's states.
bool IsFlagColumn(LogColumn c);

// A monitor log read back: one value per column and line, the times never
// going back. Columns the file lacks hold zeros and are marked absent.
class RideLog {
  public:
    size_t Size() const { return Times.size(); }
    bool Empty() const { return Times.empty(); }
    uint32_t Time(size_t i) const { return Times[i]; }
    int32_t At(LogColumn c, size_t i) const { return Values[static_cast<size_t>(c)][i]; }
    bool Has(LogColumn c) const { return Present[static_cast<size_t>(c)]; }
    const std::vector<int32_t>& Column(LogColumn c) const { return Values[static_cast<size_t>(c)]; }
    uint32_t FirstTime() const { return Empty() ? 0 : Times.front(); }
    uint32_t LastTime() const { return Empty() ? 0 : Times.back(); }
    // The last line at or before `t` (the first line for an earlier `t`).
    size_t IndexAt(uint32_t t) const;
    // The first line at or after `t` (Size() when there is none).
    size_t FirstAtOrAfter(uint32_t t) const;

  private:
    friend struct RideLogBuilder;
    std::vector<uint32_t> Times;
    std::array<std::vector<int32_t>, LOG_COLUMNS> Values;
    std::array<bool, LOG_COLUMNS> Present{};
};

// What reading a log left out or took differently, for the message the
// window shows.
struct RideLogReport {
    uint32_t Lines = 0;           // lines taken
    uint32_t BadLines = 0;        // could not be read, skipped
    uint32_t OutOfOrder = 0;      // their time goes back, skipped
    uint32_t ExtraValueLines = 0; // more values than columns: the extra ones ignored
    uint32_t CommaVoltages = 0;   // a decimal comma split the voltage in two (older versions)
    bool TruncatedLast = false;   // the last line lacks its end (logging was cut off): skipped
    bool NoHeader = false;        // no header: the usual column order was taken
    bool Binary = false;          // bytes that are no text
    bool NoTime = false;          // no time column: a line every 330 ms was taken
    std::vector<std::string> UnknownColumns; // named in the header, not known here: ignored
    std::vector<std::string> MissingColumns; // known here, not in the header

    // Anything at all to tell.
    bool Noteworthy() const;
};

// Reads a monitor log from its text. Never fails: what can be read is
// taken, the rest is told in `report`.
RideLog ReadRideLog(std::string_view text, RideLogReport& report);

} // namespace kelmor
