#pragma once
#include <QSerialPort>
#include <string>

#include "link/SerialPort.h"

namespace kelmor {

// The real serial line: a device opened through QSerialPort, used on the UI
// thread from the 55 ms tick. No call blocks for longer than the 100 ms read
// timeout, whatever the device does.
class QtSerialPort : public SerialPort {
  public:
    explicit QtSerialPort(std::string device);
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    // Exclusive: QSerialPort's lock file and TIOCEXCL, plus an flock on the
    // descriptor, which binds root too and any other name of the device.
    bool Open() override;
    void Configure(const TTimeouts& applied, TTimeouts& saved) override;
    size_t BytesWaiting() override;
    size_t ReadBytes(uint8_t* buffer, size_t n) override;
    void WriteBytes(const uint8_t* buffer, size_t n) override;
    void WaitTransmitted() override;
    void PurgeReceive() override;
    void Close(const TTimeouts& saved) override;
    bool IsOpen() const override { return Opened; }

    std::string LastError() const override { return Failure.Reason; }
    TOpenFailure OpenFailure() const override { return Failure; }
    bool DeviceLost() const override { return Opened && !Port.isOpen(); }
    // Opens the device under the name that follows it (FollowName), when
    // that name is there again.
    bool Reopen() override;

    const std::string& Device() const { return DevicePath; }

  private:
    // Opens `path` exclusively; false, with Failure filled, when it cannot.
    bool OpenOn(const std::string& path);
    void ApplyLine();
    // The device went away (adapter pulled): release it, stay "open" to the
    // caller like a handle to a removed device, and let every call do nothing.
    void Lost();
    int ReadWaitMs(size_t n) const;

    QSerialPort Port;
    std::string DevicePath;
    // The name to open again after the device went away; empty: none.
    std::string FollowPath;
    TOpenFailure Failure;
    TTimeouts Current{};
    bool Opened = false;
};

} // namespace kelmor
