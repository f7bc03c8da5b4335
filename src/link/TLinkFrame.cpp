#include "link/TLinkFrame.h"

#include <cstring>

namespace kelmor {

uint8_t FrameChecksum(const uint8_t* frame) {
    uint8_t sum = 0xFF;
    for (size_t i = 0; i <= FRAME_DATA_SIZE; ++i)
        sum ^= frame[i];
    return sum;
}

bool FrameChecksumOk(const uint8_t* frame) {
    uint8_t sum = 0xFF;
    for (size_t i = 0; i < FRAME_SIZE; ++i)
        sum ^= frame[i];
    return sum == 0;
}

void BuildFrame(TLinkFrame& frame, uint8_t command, const uint8_t* data) {
    frame.Bytes[0] = command;
    if (data != nullptr)
        std::memcpy(frame.Data(), data, FRAME_DATA_SIZE);
    else
        std::memset(frame.Data(), 0, FRAME_DATA_SIZE);
    frame.Bytes[FRAME_SIZE - 1] = FrameChecksum(frame.Bytes.data());
}

} // namespace kelmor
