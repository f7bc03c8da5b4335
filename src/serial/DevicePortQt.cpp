// Real ports through QSerialPort.
#include <QCoreApplication>
#include <QSerialPortInfo>

#include "serial/DevicePort.h"
#include "serial/QtSerialPort.h"

namespace kelmor {

namespace {

// QSerialPort wants an application object; the window has one, the
// command-line tool gets this one.
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "kelmor-cli";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace

std::unique_ptr<SerialPort> MakeDevicePort(const std::string& device) {
    EnsureApplication();
    return std::make_unique<QtSerialPort>(device);
}

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                         info.manufacturer().toStdString(), info.serialNumber().toStdString()});
    return ports;
}

void PumpPortEvents() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

} // namespace kelmor
