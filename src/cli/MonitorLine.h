#pragma once
#include <cstdint>
#include <string>

#include "link/TMonitorData.h"

namespace kelmor::cli {

// One monitor frame as a line of "name=value" pairs with the names of the
// monitor CSV header ("time_ms=330 rpm=1200 ..."), newline-terminated.
std::string MonitorTextLine(const TMonitorData& m, uint32_t timeMs);

// The version of the objects "monitor --json" writes.
inline constexpr int MONITOR_JSON_FORMAT = 1;

// The same frame as one JSON object on one line, newline-terminated:
// {"format": 1, "time_ms": 330, "rpm": 1200, ...}, numbers as numbers.
std::string MonitorJsonLine(const TMonitorData& m, uint32_t timeMs);

} // namespace kelmor::cli
