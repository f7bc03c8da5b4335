#pragma once
#include <cstdint>
#include <string>

#include "link/TMonitorData.h"

namespace kelmor::cli {

// One monitor frame as a line of "name=value" pairs with the names of the
// monitor CSV header ("time_ms=330 rpm=1200 ..."), newline-terminated.
std::string MonitorTextLine(const TMonitorData& m, uint32_t timeMs);

} // namespace kelmor::cli
