#pragma once
#include <deque>
#include <memory>
#include <vector>

#include "link/SerialPort.h"
#include "sim/SimUnit.h"

namespace kelmor {

// The cable between the PC and a simulated unit, shared by every port opened
// on it and by whoever plays with it (tests, the demo).
struct SimLine {
    enum class Plug {
        In,       // connected: the unit hears and answers
        Silent,   // unit disconnected: writes are lost, nothing arrives
        Vanished, // adapter pulled: bytes may be counted but no read returns any
    };
    Plug State = Plug::In;
    // The next opens fail (device missing or refused).
    bool OpenFails = false;
    // One program at a time, as on a real port: set while a port is open on it.
    bool InUse = false;
};

// A serial port wired straight to a SimUnit in the same process. It answers
// at once: what the program writes is answered on its next BytesWaiting.
class SimSerialPort : public SerialPort {
  public:
    explicit SimSerialPort(std::shared_ptr<SimUnit> unit,
                           std::shared_ptr<SimLine> line = std::make_shared<SimLine>());
    ~SimSerialPort() override;

    bool Open() override;
    void Configure(const TTimeouts& applied, TTimeouts& saved) override;
    size_t BytesWaiting() override;
    size_t ReadBytes(uint8_t* buffer, size_t n) override;
    void WriteBytes(const uint8_t* buffer, size_t n) override;
    void WaitTransmitted() override {}
    void PurgeReceive() override;
    void Close(const TTimeouts& saved) override;
    bool IsOpen() const override { return Opened; }

    SimUnit& Unit() { return *UnitPtr; }
    SimLine& Line() { return *LinePtr; }
    // The timeouts the port holds now.
    const TTimeouts& Timeouts() const { return Current; }

  private:
    std::shared_ptr<SimUnit> UnitPtr;
    std::shared_ptr<SimLine> LinePtr;
    std::deque<uint8_t> Received;
    std::vector<uint8_t> Scratch;
    TTimeouts Current{};
    bool Opened = false;
};

} // namespace kelmor
