#pragma once
#include <ostream>
#include <string>

#include "params/TIgnParams.h"

namespace kelmor::cli {

enum class IgnLoadResult { Ok, OpenError, VersionMismatch };

// Reads a .ign file into `p` as the window's Open reads it: a file that is
// not there, not a regular file or breaks off in a read error is an open
// error; one without the version key and 67 leaves `p` untouched. Fields the
// file does not name keep their values.
IgnLoadResult LoadIgnFile(const std::string& path, TIgnParams& p);

// The set a freshly started window holds: the defaults, normalised, reserved bytes 0.
TIgnParams StartingParams();

// Every field under its name with its value in the unit the window shows
// (rpm, ms, %, degrees), then the 50 bytes.
void WriteParamsText(std::ostream& out, const TIgnParams& p);
// The same as one JSON object: {"normalised", "fields": {name: {"value", "unit"}}, "bytes"}.
void WriteParamsJson(std::ostream& out, const TIgnParams& p, bool normalised);

} // namespace kelmor::cli
