// A build without a serial back end: only the simulated unit can be reached.
#include "serial/DevicePort.h"

namespace kelmor {

namespace {

class UnavailablePort : public SerialPort {
  public:
    bool Open() override { return false; }
    void Configure(const TTimeouts&, TTimeouts&) override {}
    size_t BytesWaiting() override { return 0; }
    size_t ReadBytes(uint8_t*, size_t) override { return 0; }
    void WriteBytes(const uint8_t*, size_t) override {}
    void WaitTransmitted() override {}
    void PurgeReceive() override {}
    void Close(const TTimeouts&) override {}
    bool IsOpen() const override { return false; }
    std::string LastError() const override { return "this build has no serial port support"; }
};

} // namespace

std::unique_ptr<SerialPort> MakeDevicePort(const std::string&) {
    return std::make_unique<UnavailablePort>();
}

std::vector<PortInfo> ListPorts() {
    return {};
}

void PumpPortEvents() {}

} // namespace kelmor
