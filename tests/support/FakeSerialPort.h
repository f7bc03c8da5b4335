#pragma once
#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace kelmor::test {

// A scripted line: bytes fed in appear as received, everything written is kept.
class FakeSerialPort : public SerialPort {
  public:
    struct Shared {
        std::deque<uint8_t> Received;
        std::vector<uint8_t> Written;
        bool OpenFails = false;
        // What a failed open tells as its reason, and all it found out.
        std::string OpenError;
        TOpenFailure Failure;
        bool Opened = false;
        int Closes = 0;
        int Purges = 0;
        // When set, a read returns nothing although bytes are waiting (a pulled plug).
        bool ReadsFail = false;
        TTimeouts Applied{};
        int Configures = 0;
        // The device went away under the open port; Reopen() brings it back
        // unless ReopenFails.
        bool Lost = false;
        bool ReopenFails = false;
        int ReopenTries = 0;
    };

    explicit FakeSerialPort(Shared& shared) : S(shared) {}

    bool Open() override {
        if (S.OpenFails) return false;
        S.Opened = true;
        return true;
    }
    void Configure(const TTimeouts& applied, TTimeouts& saved) override {
        S.Applied = applied;
        ++S.Configures;
        saved = TTimeouts{1, 2, 3, 4, 5};
    }
    size_t BytesWaiting() override { return S.Opened && !S.Lost ? S.Received.size() : 0; }
    size_t ReadBytes(uint8_t* buffer, size_t n) override {
        if (S.ReadsFail) return 0;
        n = std::min(n, S.Received.size());
        for (size_t i = 0; i < n; ++i) {
            buffer[i] = S.Received.front();
            S.Received.pop_front();
        }
        return n;
    }
    void WriteBytes(const uint8_t* buffer, size_t n) override {
        if (S.Opened && !S.Lost) S.Written.insert(S.Written.end(), buffer, buffer + n);
    }
    void WaitTransmitted() override {}
    void PurgeReceive() override { ++S.Purges; }
    void Close(const TTimeouts&) override {
        S.Opened = false;
        ++S.Closes;
    }
    bool IsOpen() const override { return S.Opened; }
    std::string LastError() const override { return S.OpenFails ? S.OpenError : std::string(); }
    TOpenFailure OpenFailure() const override {
        TOpenFailure f = S.Failure;
        if (f.Reason.empty()) f.Reason = LastError();
        return f;
    }
    bool DeviceLost() const override { return S.Opened && S.Lost; }
    bool Reopen() override {
        if (!DeviceLost()) return false;
        ++S.ReopenTries;
        if (S.ReopenFails) return false;
        S.Lost = false;
        return true;
    }

    void Feed(const std::vector<uint8_t>& bytes) {
        S.Received.insert(S.Received.end(), bytes.begin(), bytes.end());
    }

  private:
    Shared& S;
};

} // namespace kelmor::test
