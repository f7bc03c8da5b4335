#include "storage/StartupImage.h"

#include <cstdio>

#include "storage/TokenReader.h"

namespace kelmor {

std::string WriteStartupImage(ConstImageBytes image) {
    std::string out;
    out.reserve(STARTUP_IMAGE_SIZE * 6 + 20);
    const uint8_t* bytes = image.data();
    for (size_t k = 0; k < STARTUP_IMAGE_SIZE; ++k) {
        char field[8];
        int n = std::snprintf(field, sizeof field, "%5d ", bytes[k]);
        if (n > 0) out.append(field, static_cast<size_t>(n));
        if (k % 10 == 9) out += "\r\n";
    }
    return out;
}

void ReadStartupImage(std::istream& in, ImageBytes image) {
    TokenReader reader(in);
    uint8_t* bytes = image.data();
    uint16_t last = 0;
    for (size_t k = 0; k < STARTUP_IMAGE_SIZE; ++k) {
        Token token;
        if (!reader.Peek(token)) return;
        // A word that is not a number is never consumed, so every byte from
        // here on gets the last number.
        if (ConvertUnsigned(token, last)) reader.Consume();
        bytes[k] = static_cast<uint8_t>(last & 0xFFu);
    }
}

void ReadStartupImage(std::string_view text, ImageBytes image) {
    ViewStream in(text);
    ReadStartupImage(in, image);
}

} // namespace kelmor
