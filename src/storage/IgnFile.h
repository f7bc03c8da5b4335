#pragma once
#include <istream>
#include <string>
#include <string_view>

#include "params/TIgnParams.h"

namespace kelmor {

// The text of a .ign parameter file for the set: the version line, an empty
// line and fourteen keyed data lines, CR LF between lines and none after the
// last one.
std::string WriteIgnFile(const TIgnParams& p);

// Reads a .ign text into the set, in place and without range checks. Nothing
// is stored unless "KALDIMER_KEY" followed by the version 67 is found; the
// result tells whether it was. Only keys after that version key are applied,
// in any order, the last occurrence winning; a field whose key is absent keeps
// its value. A value that does not convert is left to be read as the next word
// and its field gets the last converted number instead (see TokenReader.h for
// what converts).
bool ReadIgnFile(std::istream& in, TIgnParams& p);
bool ReadIgnFile(std::string_view text, TIgnParams& p);

enum class IgnLoadResult { Ok, OpenError, VersionMismatch };

// A parameter file as Open takes it: read into a copy of `p`, which takes the
// copy only when the whole file was read and its version matched. A path that
// is not a readable regular file is an open error, and *reason (when given)
// says why in the system's words.
IgnLoadResult LoadIgnFile(const std::string& path, TIgnParams& p, std::string* reason = nullptr);
// The same for a text already read (standard input, say).
IgnLoadResult LoadIgnText(std::string_view text, TIgnParams& p);

} // namespace kelmor
