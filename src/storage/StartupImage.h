#pragma once
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>

namespace kelmor {

// The device image as the file holds it: page 0 then page 1. Plain bytes, so
// that storage needs nothing from the link.
inline constexpr size_t STARTUP_IMAGE_SIZE = 100;
using ImageBytes = std::span<uint8_t, STARTUP_IMAGE_SIZE>;
using ConstImageBytes = std::span<const uint8_t, STARTUP_IMAGE_SIZE>;

// The start-up image file: the 100 device-image bytes as ten lines of ten
// numbers, each right-aligned in five characters and followed by a blank,
// every line ended by CR LF.
std::string WriteStartupImage(ConstImageBytes image);

// Reads up to 100 numbers into the image, the low 8 bits of the k-th into
// byte k. A short file leaves the bytes beyond its last number alone. A word
// that is not a number stops the reading there: it and every byte after it up
// to byte 99 get the last number converted (0 when none was).
void ReadStartupImage(std::istream& in, ImageBytes image);
void ReadStartupImage(std::string_view text, ImageBytes image);

} // namespace kelmor
