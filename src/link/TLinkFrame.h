#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kelmor {

inline constexpr size_t FRAME_SIZE = 52;
inline constexpr size_t FRAME_DATA_SIZE = 50;

inline constexpr uint8_t CMD_MONITOR = 0x30;
inline constexpr uint8_t CMD_MONITOR_REPLY = 0xB0;
inline constexpr uint8_t PAGE_MASK = 0x3F;
inline constexpr uint8_t CMD_READ_FLAG = 0x40;
inline constexpr uint8_t CMD_REPLY_FLAG = 0x80;

// One frame on the wire, the same both ways: command, 50 data bytes, XOR checksum.
struct TLinkFrame {
    std::array<uint8_t, FRAME_SIZE> Bytes{};

    uint8_t Command() const { return Bytes[0]; }
    uint8_t* Data() { return Bytes.data() + 1; }
    const uint8_t* Data() const { return Bytes.data() + 1; }
};
static_assert(sizeof(TLinkFrame) == FRAME_SIZE);

// Sender's rule: 0xFF ^ byte 0 ^ ... ^ byte 50.
uint8_t FrameChecksum(const uint8_t* frame);

// Receiver's rule over the first 52 bytes: 0xFF ^ all 52 bytes == 0.
bool FrameChecksumOk(const uint8_t* frame);

// Fills `frame` with the command, the 50 data bytes (zeros when data is null)
// and the checksum.
void BuildFrame(TLinkFrame& frame, uint8_t command, const uint8_t* data);

} // namespace kelmor
