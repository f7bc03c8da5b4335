#pragma once
#include <array>
#include <cstdint>

namespace kelmor {

// English 0, German 1, French 2, Czech 3. One byte, as the settings store it.
using TLanguage = uint8_t;
inline constexpr TLanguage LANG_ENGLISH = 0;
inline constexpr TLanguage LANG_GERMAN = 1;
inline constexpr TLanguage LANG_FRENCH = 2;
inline constexpr TLanguage LANG_CZECH = 3;
inline constexpr int LANGUAGE_COUNT = 4;

// One text per language, in the order above (UTF-8).
using LanguageTexts = std::array<const char*, LANGUAGE_COUNT>;

// Index into LanguageTexts. A value outside 0..3 reads as English, so a bad
// stored language can never index past the texts.
inline constexpr int LanguageIndex(TLanguage language) {
    return language < LANGUAGE_COUNT ? language : LANG_ENGLISH;
}

} // namespace kelmor
