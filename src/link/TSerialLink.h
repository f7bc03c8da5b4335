#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/SerialPort.h"

namespace kelmor {

// The program's one serial link: the chosen port number and the open port.
class TSerialLink {
  public:
    using PortFactory = std::function<std::unique_ptr<SerialPort>(int comPort)>;

    explicit TSerialLink(PortFactory factory = {}) : Factory(std::move(factory)) {}

    uint8_t ComPort = 1;
    // No interval timeout, 100 ms for any read, no write timeout.
    TTimeouts AppliedTimeouts{0, 0, 100, 0, 0};
    TTimeouts SavedTimeouts{};

    void SetFactory(PortFactory factory) { Factory = std::move(factory); }

    enum class OpenResult { Opened, Failed, NoPort };
    // Opens and configures port `ComPort`; NoPort (nothing touched) outside 1..10.
    OpenResult Open();
    // Aborts reads, restores the saved timeouts and closes; nothing when not open.
    void Close();
    bool IsOpen() const { return Port && Port->IsOpen(); }
    // Why the last Open() failed, as the port told it; empty after a success.
    const std::string& LastError() const { return Failure.Reason; }
    const TOpenFailure& OpenFailure() const { return Failure; }

    // The open port's device went away (see SerialPort::DeviceLost).
    bool DeviceLost() const { return Port && Port->DeviceLost(); }
    // Tries once, quietly, to open a lost device again, and configures it as
    // Open() does; true when the port works again.
    bool Reopen();

    size_t BytesWaiting() { return IsOpen() ? Port->BytesWaiting() : 0; }
    size_t ReadBytes(uint8_t* buffer, size_t n) {
        return IsOpen() ? Port->ReadBytes(buffer, n) : 0;
    }
    void WriteBytes(const uint8_t* buffer, size_t n) {
        if (IsOpen()) Port->WriteBytes(buffer, n);
    }
    void WaitTransmitted() {
        if (IsOpen()) Port->WaitTransmitted();
    }

  private:
    PortFactory Factory;
    std::unique_ptr<SerialPort> Port;
    TOpenFailure Failure;
};

} // namespace kelmor
