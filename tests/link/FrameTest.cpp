#include <gtest/gtest.h>

#include "link/TLinkFrame.h"

using namespace kelmor;

TEST(Frame, ChecksumExamples) {
    struct Case {
        uint8_t command;
        uint8_t checksum;
    } cases[] = {{0x30, 0xCF}, {0x40, 0xBF}, {0x41, 0xBE}};
    for (const Case& c : cases) {
        TLinkFrame f;
        BuildFrame(f, c.command, nullptr);
        EXPECT_EQ(f.Bytes[51], c.checksum) << int(c.command);
        EXPECT_TRUE(FrameChecksumOk(f.Bytes.data()));
    }
}

TEST(Frame, OneFlippedBitFails) {
    uint8_t data[50];
    for (int i = 0; i < 50; ++i)
        data[i] = static_cast<uint8_t>(i * 7);
    TLinkFrame f;
    BuildFrame(f, 0x81, data);
    ASSERT_TRUE(FrameChecksumOk(f.Bytes.data()));
    for (size_t byte = 0; byte < FRAME_SIZE; ++byte) {
        TLinkFrame g = f;
        g.Bytes[byte] ^= 0x04;
        EXPECT_FALSE(FrameChecksumOk(g.Bytes.data())) << byte;
    }
}
