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
};

} // namespace kelmor
