#pragma once
#include <cstddef>
#include <cstdint>

#include "link/TMonitorData.h"

namespace kelmor {

// One monitor frame as a line of comma-separated values, the same for the
// window's monitor log and the command-line monitor: time since the start in
// ms, engine speed, advance, maximum advance, voltage, programming count,
// saving countdown, every flag, the measured polarity, the version and the
// eight test values. Lines end in CR LF.

// The header line, CR LF included.
const char* MonitorCsvHeader();

// Writes one line for `m` into `out` (at most `size` bytes, CR LF included,
// zero-terminated) and returns its length. Needs no heap.
size_t FormatMonitorCsv(const TMonitorData& m, uint32_t timeMs, char* out, size_t size);

} // namespace kelmor
