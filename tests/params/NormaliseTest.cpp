#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "params/TIgnParams.h"

namespace kelmor {
namespace {

TIgnParams Defaults() {
    TIgnParams p{};
    SetDefaults(p);
    return p;
}

TEST(Params, DefaultsNormaliseToEqualLimiters) {
    TIgnParams p = Defaults();
    EXPECT_EQ(p.Omez1, 250);
    Normalise(p);
    EXPECT_EQ(p.Omez1, 150);
    EXPECT_EQ(p.Omez2, 150);
    EXPECT_EQ(p.PocetBodu, 15);
    for (int k = 0; k < CURVE_POINTS; ++k) {
        EXPECT_EQ(p.RpmAdv[k], 10 * (k + 1));
        EXPECT_EQ(p.Advance[k], 10);
    }
}

TEST(Params, SetDefaultsKeepsReservedBytes) {
    TIgnParams p{};
    p.Reserved7 = 7;
    p.Reserved8 = 8;
    p.Reserved19 = 19;
    SetDefaults(p);
    Normalise(p);
    EXPECT_EQ(p.Reserved7, 7);
    EXPECT_EQ(p.Reserved8, 8);
    EXPECT_EQ(p.Reserved19, 19);
}

TEST(Params, CurveExamples) {
    struct Case {
        std::vector<uint8_t> in;
        std::vector<uint8_t> out; // first points after Normalise
    } cases[] = {
        {{30, 20, 20, 50}, {30, 31, 32, 50}},
        {std::vector<uint8_t>(15, 0), {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
        {std::vector<uint8_t>(15, 255),
         {186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200}},
    };
    for (const Case& c : cases) {
        TIgnParams p = Defaults();
        for (size_t k = 0; k < c.in.size(); ++k)
            p.RpmAdv[k] = c.in[k];
        if (c.in.size() < 15)
            for (size_t k = c.in.size(); k < 15; ++k)
                p.RpmAdv[k] = static_cast<uint8_t>(100 + k);
        Normalise(p);
        for (size_t k = 0; k < c.out.size(); ++k)
            EXPECT_EQ(p.RpmAdv[k], c.out[k]) << k;
    }
}

TEST(Params, KeyingSevenCutsAdvanceToBase) {
    TIgnParams p = Defaults();
    p.Bike = 7;
    p.BaseAdv = 12;
    p.Advance[0] = 10;
    p.Advance[1] = 15;
    p.Advance[2] = 20;
    Normalise(p);
    EXPECT_EQ(p.Advance[0], 10);
    EXPECT_EQ(p.Advance[1], 12);
    EXPECT_EQ(p.Advance[2], 12);
}

TEST(Params, LimitersAndPortsAndLanguage) {
    struct Case {
        uint8_t omez1, omez2, omez1After;
        uint8_t language, languageAfter, port, portAfter;
    } cases[] = {{250, 150, 150, 7, 0, 12, 1},
                 {150, 150, 150, 3, 3, 10, 10},
                 {9, 250, 9, 0, 0, 0, 0},
                 {200, 9, 9, 255, 0, 255, 1}};
    for (const Case& c : cases) {
        TIgnParams p = Defaults();
        p.Omez1 = c.omez1;
        p.Omez2 = c.omez2;
        uint8_t language = c.language, port = c.port;
        Normalise(p, language, port);
        EXPECT_EQ(p.Omez1, c.omez1After);
        EXPECT_EQ(language, c.languageAfter);
        EXPECT_EQ(port, c.portAfter);
    }
}

TEST(Params, NormaliseIsIdempotentAndKeepsOrder) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        TIgnParams p;
        auto* bytes = reinterpret_cast<uint8_t*>(&p);
        for (size_t i = 0; i < sizeof p; ++i)
            bytes[i] = static_cast<uint8_t>(rng());
        TIgnParams before = p;
        Normalise(p);
        for (int k = 0; k < CURVE_POINTS; ++k) {
            EXPECT_GE(p.RpmAdv[k], k + 6);
            EXPECT_LE(p.RpmAdv[k], k + 186);
            if (k > 0) {
                EXPECT_GT(p.RpmAdv[k], p.RpmAdv[k - 1]);
            }
        }
        EXPECT_LE(p.Omez1, p.Omez2);
        // Earlier points never move down below their bound-limited value.
        for (int k = 0; k < CURVE_POINTS; ++k)
            if (before.RpmAdv[k] >= k + 6 && before.RpmAdv[k] <= k + 186) {
                EXPECT_GE(p.RpmAdv[k], before.RpmAdv[k]);
            }
        TIgnParams once = p;
        Normalise(p);
        ASSERT_EQ(std::memcmp(&once, &p, sizeof p), 0) << "round " << round;
    }
}

} // namespace
} // namespace kelmor
