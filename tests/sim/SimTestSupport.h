#pragma once
#include <cstdint>
#include <vector>

#include "link/TLinkFrame.h"
#include "sim/SimUnit.h"

namespace kelmor::test {

// A request frame as the program builds it.
inline std::vector<uint8_t> Request(uint8_t command, const uint8_t* data = nullptr) {
    TLinkFrame f;
    BuildFrame(f, command, data);
    return {f.Bytes.begin(), f.Bytes.end()};
}

// Sends one request and returns what the next poll of the line carries.
inline std::vector<uint8_t> Ask(SimUnit& unit, uint8_t command, const uint8_t* data = nullptr) {
    const std::vector<uint8_t> req = Request(command, data);
    unit.Receive(req.data(), req.size());
    std::vector<uint8_t> out;
    unit.Poll(out);
    return out;
}

} // namespace kelmor::test
