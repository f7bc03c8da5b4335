#pragma once
#include <string>

#include "link/SerialPort.h"

namespace kelmor {

// The real serial line on Windows, through the Win32 communications calls:
// CreateFile on \\.\COMn, the port's timeouts saved and restored, 57600 8N1
// in its DCB, ClearCommError for the bytes waiting, ReadFile and WriteFile.
// No call holds the caller longer than the 100 ms read timeout, except a
// write, which returns when the driver has taken the bytes.
class Win32SerialPort : public SerialPort {
  public:
    // `device` is "COM1".."COM256", a "\\.\" name, or any other name the
    // system opens as a file (UTF-8).
    explicit Win32SerialPort(std::string device);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // Exclusive (share mode 0), existing devices only, blocking I/O.
    bool Open() override;
    void Configure(const TTimeouts& applied, TTimeouts& saved) override;
    size_t BytesWaiting() override;
    size_t ReadBytes(uint8_t* buffer, size_t n) override;
    void WriteBytes(const uint8_t* buffer, size_t n) override;
    // Polls the driver's output queue until it is empty, 100 ms at most: the
    // transmit-empty event is not reported by every driver.
    void WaitTransmitted() override;
    void PurgeReceive() override;
    void Close(const TTimeouts& saved) override;
    bool IsOpen() const override { return Opened; }
    std::string LastError() const override { return Failure.Reason; }
    TOpenFailure OpenFailure() const override { return Failure; }
    bool DeviceLost() const override { return Opened && !Usable(); }
    bool Reopen() override;

    const std::string& Device() const { return DeviceName; }
    // The name given to CreateFile: "\\.\COM5" for "COM5".
    static std::string SystemName(const std::string& device);

  private:
    // The device went away (adapter pulled): release it, stay "open" to the
    // caller like a handle to a removed device, and let every call do nothing.
    void Lost();
    bool Usable() const { return Handle != nullptr; }
    // CreateFile and the checks of an open; the reason in Failure when it fails.
    bool OpenHandle();

    std::string DeviceName;
    TOpenFailure Failure;
    void* Handle = nullptr; // HANDLE; null when there is none
    bool Opened = false;
};

} // namespace kelmor
