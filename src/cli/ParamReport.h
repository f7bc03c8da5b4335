#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "lang/TMessageTable.h"
#include "params/TIgnParams.h"
#include "ui/WindowModel.h"

namespace kelmor::cli {

// The version of the JSON that "show --json" writes; raised when a key
// changes its meaning or goes away.
inline constexpr int SHOW_JSON_FORMAT = 1;

// The set a freshly started window holds: the defaults, normalised, reserved bytes 0.
TIgnParams StartingParams();

// Every field under its name with its value in the unit the window shows
// (rpm, ms, %, degrees), then the 50 bytes.
void WriteParamsText(std::ostream& out, const TIgnParams& p);
// The same as one JSON object: {"format", "normalised", "fields": {name:
// {"value", "unit"}}, "bytes"}.
void WriteParamsJson(std::ostream& out, const TIgnParams& p, bool normalised);

// A line for each field of a set read from a unit that lies outside its
// valid values, or that the window would change (normalising it and clearing
// the keying type), e.g. "RpmPulsu = 8, outside 1..6" or
// "RpmAdv[3] = 2000 rpm, the window makes it 3200 rpm".
std::vector<std::string> UnusualFields(const TIgnParams& unit);
// A line for each field that differs, e.g. "RpmAdv[3] 2000 rpm becomes 3200 rpm".
std::vector<std::string> ChangedFields(const TIgnParams& before, const TIgnParams& after);
// A line for each field a .ign file holds, but the read protection, in which
// the unit's set differs from the file's, named and valued as the window's
// Compare shows them: "Base advance: 10° / 12°" (the unit's value first).
std::vector<std::string> DifferingFieldLines(const TIgnParams& unit, const TIgnParams& file,
                                             const WindowModel& w, const TMessageTable& t);

} // namespace kelmor::cli
