#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelmor {

// Five timeouts in milliseconds, in the order the line driver takes them.
struct TTimeouts {
    uint32_t ReadInterval = 0;
    uint32_t ReadTotalMultiplier = 0;
    uint32_t ReadTotalConstant = 0;
    uint32_t WriteTotalMultiplier = 0;
    uint32_t WriteTotalConstant = 0;
    bool operator==(const TTimeouts&) const = default;
};

// Why an open failed, as far as the port could find out: enough for the
// window to say which device, why, and what to do about it.
struct TOpenFailure {
    enum class TKind : uint8_t {
        Unknown,      // only the system's words are known
        Absent,       // no such device
        NoPermission, // the user may not open it
        Busy,         // another program holds it
    };
    TKind Kind = TKind::Unknown;
    std::string Device; // as it was opened; empty when not known
    std::string Reason; // the system's words (English)
    std::string Holder; // Busy: the program holding it ("minicom (PID 1234)"), where found
    std::string Group;  // NoPermission: the group whose members may use the device
    std::string User;   // NoPermission: the user's login name
    // NoPermission: the user is in Group already, but the login began before.
    bool GroupNeedsNewLogin = false;
};

// The eight byte-level operations the device link needs from a serial line.
// Everything above this interface (frames, poll cycle, transfers) runs
// against any implementation: the real port, the simulated unit, a test fake.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the device exclusively; false when it does not exist or is busy.
    virtual bool Open() = 0;
    // Saves the port's timeouts into `saved`, applies `applied`, sets
    // 57600 8N1 without flow control with DTR and RTS active. Failures are
    // not reported.
    virtual void Configure(const TTimeouts& applied, TTimeouts& saved) = 0;
    // Received bytes waiting; 0 when not open. Clears pending line errors.
    virtual size_t BytesWaiting() = 0;
    // Reads up to n bytes, waiting at most the read timeout.
    virtual size_t ReadBytes(uint8_t* buffer, size_t n) = 0;
    // Writes n bytes; returns when they are accepted. Dropped when not open.
    virtual void WriteBytes(const uint8_t* buffer, size_t n) = 0;
    // Blocks until the last written byte has left; at once when not open.
    virtual void WaitTransmitted() = 0;
    // Aborts any read in progress.
    virtual void PurgeReceive() = 0;
    // Puts the saved timeouts back and closes.
    virtual void Close(const TTimeouts& saved) = 0;
    virtual bool IsOpen() const = 0;
    // Why the last Open() failed, in a few words; empty when it did not fail
    // or the port cannot tell.
    virtual std::string LastError() const { return {}; }
    // The same, with what the port found out about the device.
    virtual TOpenFailure OpenFailure() const {
        TOpenFailure f;
        f.Reason = LastError();
        return f;
    }

    // Whether the device went away under the open port (an adapter pulled,
    // the far end of the line closed). The port then does nothing, as on a
    // handle to a removed device, until Reopen() finds the device again.
    virtual bool DeviceLost() const { return false; }
    // After the device went away: opens the same device again, quietly; true
    // when it is back. The caller configures the port again.
    virtual bool Reopen() { return false; }
};

} // namespace kelmor
