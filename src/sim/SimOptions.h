#pragma once
#include <cstdint>

#include "sim/EngineModel.h"
#include "sim/SimFaults.h"

namespace kelmor {

// Everything about a simulated unit that a test or a demo may set while it runs.
struct SimOptions {
    SimFaults Faults;
    EngineOptions Engine;
    // Refuse reading: page 0 then reports ReadAllowed 0. A stored set with
    // ZakazCteni set does the same.
    bool ReadProtected = false;
    // Memory blocks saved after a page 1 write, and how many go per monitor request.
    uint16_t SaveBlocks = 50;
    uint16_t SaveStep = 10;
};

} // namespace kelmor
