#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "storage/StartupImage.h"

namespace kelmor {
namespace {

using Image = std::array<uint8_t, STARTUP_IMAGE_SIZE>;

TEST(StartupImage, TenLinesOfTenFields) {
    Image image{};
    for (size_t k = 0; k < image.size(); ++k)
        image[k] = static_cast<uint8_t>(k * 3);
    image[10] = 255;
    const std::string text = WriteStartupImage(image);
    EXPECT_EQ(text.substr(0, 62),
              "    0     3     6     9    12    15    18    21    24    27 \r\n");
    EXPECT_EQ(text.substr(62, 6), "  255 ");
    EXPECT_EQ(text.size(), 10u * 62u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(StartupImage, RandomImagesSurviveTheRoundTrip) {
    std::mt19937 rng(99);
    for (int n = 0; n < 200; ++n) {
        Image written{}, read{};
        for (uint8_t& b : written)
            b = static_cast<uint8_t>(rng());
        for (uint8_t& b : read)
            b = static_cast<uint8_t>(rng());
        ReadStartupImage(WriteStartupImage(written), read);
        ASSERT_EQ(read, written);
    }
}

std::string Numbers(int from, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += std::to_string(from + i) + (i % 7 == 6 ? "\n" : " \t");
    return s;
}

TEST(StartupImage, ShortAndBrokenFiles) {
    struct Case {
        const char* name;
        std::string text;
        // Expected bytes: [0, converted) counted up from 1, [converted, filled)
        // the last number, the rest untouched (200).
        int converted, filled;
    } cases[] = {
        {"empty", "", 0, 0},
        {"blanks only", " \r\n\t ", 0, 0},
        {"fifty numbers", Numbers(1, 50), 50, 50},
        {"a hundred and fifty numbers", Numbers(1, 150), 100, 100},
        {"a word after three numbers", "1 2 3 x 5 6", 3, 100},
        {"a word first", "junk 1 2", 0, 100},
        {"a negative number", "1 2 -3 4", 2, 100},
        {"digits with letters", "1 2 3z", 2, 100},
        {"a 10 000-digit number", "1 " + std::string(10000, '9'), 1, 100},
    };
    for (const Case& c : cases) {
        Image image;
        image.fill(200);
        ReadStartupImage(c.text, image);
        for (int k = 0; k < 100; ++k) {
            int want = k < c.converted ? k + 1 : k < c.filled ? c.converted : 200;
            ASSERT_EQ(image[k], want) << c.name << " byte " << k;
        }
    }
    Image image{};
    ReadStartupImage("300 65537 +7", image);
    EXPECT_EQ(image[0], 44);
    EXPECT_EQ(image[1], 1);
    EXPECT_EQ(image[2], 7);
}

} // namespace
} // namespace kelmor
