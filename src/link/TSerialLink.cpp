#include "link/TSerialLink.h"

namespace kelmor {

TSerialLink::OpenResult TSerialLink::Open() {
    if (ComPort < 1 || ComPort > 10) return OpenResult::NoPort;
    // A failed open leaves the link closed, also when it was open on another port.
    Close();
    Failure = TOpenFailure{};
    std::unique_ptr<SerialPort> port = Factory ? Factory(ComPort) : nullptr;
    if (!port) return OpenResult::Failed;
    if (!port->Open()) {
        Failure = port->OpenFailure();
        return OpenResult::Failed;
    }
    port->Configure(AppliedTimeouts, SavedTimeouts);
    Port = std::move(port);
    return OpenResult::Opened;
}

bool TSerialLink::Reopen() {
    if (!DeviceLost() || !Port->Reopen()) return false;
    Port->Configure(AppliedTimeouts, SavedTimeouts);
    return true;
}

void TSerialLink::Close() {
    if (!IsOpen()) {
        Port.reset();
        return;
    }
    Port->PurgeReceive();
    Port->Close(SavedTimeouts);
    Port.reset();
}

} // namespace kelmor
