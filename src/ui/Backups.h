#pragma once
#include <string>
#include <string_view>

#include "link/TDeviceImage.h"
#include "ui/TPlatform.h"

namespace kelmor {

// A text as part of a file name: letters, digits, '.', '-' and '_' stay;
// every other run (blanks, ':', '/', bytes of accented letters) becomes one
// '-', none at the ends and none beside a '.', '-' or '_', and no leading
// dot. At most 40 characters; empty when nothing usable is left.
std::string SanitiseForFileName(std::string_view text);

// The name of a backup of the set read from a unit: the unit's version,
// date and time texts, then the local date and time of the read, e.g.
// "KQV13_5.1.2007_09-05_2026-12-10_14-30-05.ign". "unit" stands for texts
// that leave nothing.
std::string BackupFileName(const TIdentTexts& ident, const LocalTime& now);

// Writes `text` into `folder` (made when missing) under `name`, or under
// "name-2", "name-3" ... when that is taken; never over an existing file.
// The path written, or empty on failure.
std::string WriteNewFile(const std::string& folder, const std::string& name, std::string_view text);

// The most recently changed regular file in `folder` with the extension
// (".ign"); empty when there is none.
std::string NewestFile(const std::string& folder, std::string_view extension);

} // namespace kelmor
