#pragma once
#include <cstdint>

namespace kelmor {

// English 0, German 1, French 2, Czech 3. One byte, as the settings store it.
using TLanguage = uint8_t;
inline constexpr TLanguage LANG_ENGLISH = 0;
inline constexpr TLanguage LANG_GERMAN = 1;
inline constexpr TLanguage LANG_FRENCH = 2;
inline constexpr TLanguage LANG_CZECH = 3;
inline constexpr int LANGUAGE_COUNT = 4;

} // namespace kelmor
