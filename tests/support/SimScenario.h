#pragma once
#include <memory>

#include "sim/SimSerialPort.h"
#include "sim/SimUnit.h"

namespace kelmor::test {

// The simulated unit at the far end of a cable, and ports onto that cable.
// Ports share the cable as on a real one: one program holds it at a time.
struct SimScenario {
    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::shared_ptr<SimLine> Cable = std::make_shared<SimLine>();
    std::unique_ptr<SerialPort> Port() { return std::make_unique<SimSerialPort>(Unit, Cable); }
};

} // namespace kelmor::test
