#include "link/MonitorCsv.h"

#include <cstdio>

namespace kelmor {

const char* MonitorCsvHeader() {
    return "time_ms,rpm,advance_deg,advance_max_deg,voltage_v,programming_count,saving_countdown,"
           "pickup,basic_advance,start_limiter,rev_limiter,blocking,kill_switch,shift_light,"
           "retard,clutch_master,input1,input2,polarity_ok,polarity_measured,data_error,"
           "version,test1,test2,test3,test4,test5,test6,test7,test8\r\n";
}

size_t FormatMonitorCsv(const TMonitorData& m, uint32_t timeMs, char* out, size_t size) {
    const int rpm = m.Snimac() ? m.Rpm() : 0;
    // The voltage from whole millivolts: %f would take the decimal comma of
    // the user's locale and split the field in two.
    const unsigned mv = m.Napeti();
    const int n = std::snprintf(
        out, size,
        "%u,%d,%d,%d,%u.%03u,%u,%u,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%s,%d,%u,%u,%u,%u,%u,%u,%u,"
        "%u,%u\r\n",
        timeMs, rpm, m.MonAdvance() - 100, m.MonAdvanceMax(), mv / 1000, mv % 1000,
        m.PocetProgramovani(), m.SavingCountdown(), m.Snimac(), m.BasicAdvance(),
        m.StartLimiterOut(), m.HardLimiter(), m.Blocking(), m.KillSwitch(), m.MonLedRazeni(),
        m.MonRetard(), m.ClutchMon(), m.Input1In(), m.Input2In(), m.PolaritaOk(),
        m.PolaritaMer() == 0 ? "positive" : "negative", m.EeDataErr(), m.IgnVersion(), m.Test(0),
        m.Test(1), m.Test(2), m.Test(3), m.Test(4), m.Test(5), m.Test(6), m.Test(7));
    if (n < 0 || size == 0) return 0;
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

} // namespace kelmor
