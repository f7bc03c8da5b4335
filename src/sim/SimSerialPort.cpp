#include "sim/SimSerialPort.h"

#include <algorithm>

namespace kelmor {

SimSerialPort::SimSerialPort(std::shared_ptr<SimUnit> unit, std::shared_ptr<SimLine> line)
    : UnitPtr(std::move(unit)), LinePtr(std::move(line)) {}

SimSerialPort::~SimSerialPort() {
    if (Opened) LinePtr->InUse = false;
}

bool SimSerialPort::Open() {
    if (Opened) return true;
    if (!UnitPtr || !LinePtr || LinePtr->OpenFails || LinePtr->InUse) return false;
    LinePtr->InUse = true;
    Opened = true;
    Received.clear();
    // Whatever half frame the unit held from an earlier session is gone.
    UnitPtr->ResetFraming();
    return true;
}

void SimSerialPort::Configure(const TTimeouts& applied, TTimeouts& saved) {
    saved = Current;
    Current = applied;
}

size_t SimSerialPort::BytesWaiting() {
    if (!Opened) return 0;
    if (LinePtr->State == SimLine::Plug::In) {
        Scratch.clear();
        UnitPtr->Poll(Scratch);
        Received.insert(Received.end(), Scratch.begin(), Scratch.end());
    }
    return Received.size();
}

size_t SimSerialPort::ReadBytes(uint8_t* buffer, size_t n) {
    if (!Opened || LinePtr->State == SimLine::Plug::Vanished) return 0;
    n = std::min(n, Received.size());
    std::copy_n(Received.begin(), n, buffer);
    Received.erase(Received.begin(), Received.begin() + static_cast<long>(n));
    return n;
}

void SimSerialPort::WriteBytes(const uint8_t* buffer, size_t n) {
    if (!Opened || LinePtr->State != SimLine::Plug::In) return;
    UnitPtr->Receive(buffer, n);
}

void SimSerialPort::PurgeReceive() {
    Received.clear();
}

void SimSerialPort::Close(const TTimeouts& saved) {
    if (!Opened) return;
    Current = saved;
    Received.clear();
    Opened = false;
    LinePtr->InUse = false;
}

} // namespace kelmor
