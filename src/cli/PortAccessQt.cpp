// The serial back end for the command-line tool: the window's port map and
// its Qt serial port, behind the toolkit-free PortAccess.h.
#include <QCoreApplication>
#include <memory>

#include "cli/PortAccess.h"
#include "qt/PortMap.h"
#include "qt/QtSerialPort.h"

namespace kelmor::cli {

namespace {

// QSerialPort wants an application object; the tool has no other use for one.
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "kelmor-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Tells why an open failed, for the line after "Com opening error!".
class ReportingPort : public QtSerialPort {
  public:
    ReportingPort(std::string device, std::string* whyNot)
        : QtSerialPort(std::move(device)), WhyNot(whyNot) {}
    bool Open() override {
        const bool ok = QtSerialPort::Open();
        if (!ok && WhyNot != nullptr) *WhyNot = Device() + ": " + LastError();
        return ok;
    }

  private:
    std::string* WhyNot;
};

} // namespace

bool SerialBackEndAvailable() {
    return true;
}

std::string MappedPortDevice(int comPort) {
    return PortDevice(comPort, ConfigDir());
}

std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device, std::string* whyNot) {
    EnsureApplication();
    return std::make_unique<ReportingPort>(device, whyNot);
}

void PumpPortEvents() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

} // namespace kelmor::cli
