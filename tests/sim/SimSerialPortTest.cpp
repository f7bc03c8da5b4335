#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "SimTestSupport.h"
#include "sim/SimSerialPort.h"

namespace kelmor {
namespace {

TEST(SimSerialPort, AnswersOnTheNextBytesWaiting) {
    auto unit = std::make_shared<SimUnit>();
    SimSerialPort port(unit);
    ASSERT_TRUE(port.Open());
    TTimeouts saved{9, 9, 9, 9, 9};
    port.Configure(TTimeouts{0, 0, 100, 0, 0}, saved);
    EXPECT_EQ(saved, TTimeouts{});
    EXPECT_EQ(port.Timeouts().ReadTotalConstant, 100u);

    const std::vector<uint8_t> req = test::Request(0x30);
    port.WriteBytes(req.data(), req.size());
    port.WaitTransmitted();
    ASSERT_EQ(port.BytesWaiting(), FRAME_SIZE);
    uint8_t buf[64];
    EXPECT_EQ(port.ReadBytes(buf, sizeof buf), FRAME_SIZE);
    EXPECT_EQ(buf[0], 0xB0);
    EXPECT_EQ(port.BytesWaiting(), 0u);

    port.WriteBytes(req.data(), req.size());
    port.PurgeReceive();
    EXPECT_EQ(port.BytesWaiting(), FRAME_SIZE); // purge drops only what had arrived
    port.Close(saved);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.BytesWaiting(), 0u);
}

TEST(SimSerialPort, OpenFailsWhenRefusedOrInUse) {
    auto unit = std::make_shared<SimUnit>();
    auto line = std::make_shared<SimLine>();
    SimSerialPort a(unit, line), b(unit, line);
    line->OpenFails = true;
    EXPECT_FALSE(a.Open());
    line->OpenFails = false;
    EXPECT_TRUE(a.Open());
    EXPECT_FALSE(b.Open());
    a.Close(TTimeouts{});
    EXPECT_TRUE(b.Open());
}

TEST(SimSerialPort, UnpluggedLinesGoQuiet) {
    auto unit = std::make_shared<SimUnit>();
    auto line = std::make_shared<SimLine>();
    SimSerialPort port(unit, line);
    ASSERT_TRUE(port.Open());
    const std::vector<uint8_t> req = test::Request(0x30);
    uint8_t buf[64];

    line->State = SimLine::Plug::Silent;
    port.WriteBytes(req.data(), req.size());
    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_EQ(unit->Stats().Requests, 0u);

    line->State = SimLine::Plug::In;
    port.WriteBytes(req.data(), req.size());
    ASSERT_EQ(port.BytesWaiting(), FRAME_SIZE);
    line->State = SimLine::Plug::Vanished;
    EXPECT_EQ(port.ReadBytes(buf, sizeof buf), 0u);
}

} // namespace
} // namespace kelmor
