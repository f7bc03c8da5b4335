// A build without the serial back end: only the in-process simulated unit.
#include "cli/PortAccess.h"

namespace kelmor::cli {

namespace {

class UnavailablePort : public SerialPort {
  public:
    UnavailablePort(std::string device, std::string* whyNot)
        : Device(std::move(device)), WhyNot(whyNot) {}
    bool Open() override {
        if (WhyNot != nullptr) *WhyNot = Device + ": this build has no serial port support";
        return false;
    }
    void Configure(const TTimeouts&, TTimeouts&) override {}
    size_t BytesWaiting() override { return 0; }
    size_t ReadBytes(uint8_t*, size_t) override { return 0; }
    void WriteBytes(const uint8_t*, size_t) override {}
    void WaitTransmitted() override {}
    void PurgeReceive() override {}
    void Close(const TTimeouts&) override {}
    bool IsOpen() const override { return false; }

  private:
    std::string Device;
    std::string* WhyNot;
};

} // namespace

bool SerialBackEndAvailable() {
    return false;
}

std::string MappedPortDevice(int) {
    return {};
}

std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device, std::string* whyNot) {
    return std::make_unique<UnavailablePort>(device, whyNot);
}

void PumpPortEvents() {}

} // namespace kelmor::cli
