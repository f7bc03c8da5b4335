#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "link/TDeviceImage.h"
#include "link/TLinkFrame.h"
#include "link/TMonitorData.h"
#include "params/TIgnParams.h"
#include "sim/EngineModel.h"
#include "sim/SimFaults.h"
#include "sim/SimRandom.h"

namespace kelmor {

// The ignition unit at the far end of the line, as far as the program can
// see it: it cuts what it receives into 52-byte frames and answers every
// request with a good checksum with one frame, the request's command with
// bit 7 set. Monitor requests are answered from a small engine model;
// page writes and reads from its two pages of memory.
//
// The unit is driven from outside: Receive() takes what the program wrote,
// Poll() hands over what the line carries back at one poll. Not thread-safe;
// whoever shares it between threads locks around it.
class SimUnit {
  public:
    // Blocks the unit saves after a page 1 write, and how many per monitor request.
    static constexpr uint16_t DefaultSaveBlocks = 50, DefaultSaveStep = 10;

    SimUnit();

    // Page 0: the unit's own identification. Byte 10 (IgnVersion, 67 by
    // default) is also reported in every monitor frame.
    TIdentPage Ident{};
    // Page 1: the stored parameter set.
    TIgnParams Params{};
    // Refuse reading: page 0 then reports ReadAllowed 0. A stored set with
    // ZakazCteni set does the same.
    bool ReadProtected = false;
    // Times page 1 has been written.
    uint16_t ProgramCount = 1;
    uint16_t SaveBlocks = DefaultSaveBlocks;
    uint16_t SaveStep = DefaultSaveStep;
    // The engine behind the monitor values.
    EngineModel Engine;

    // Fields of page 0.
    void SetDate(int day, const char* month, int year, int hour, int minute);
    void SetIdText(std::string_view text);

    const SimFaults& Faults() const { return FaultSet; }
    // Takes new faults and restarts their generator from faults.Seed.
    void SetFaults(const SimFaults& faults);

    // Bytes from the program.
    void Receive(const uint8_t* bytes, size_t n);
    // One poll of the line: appends to `out` what has reached the program's
    // side by now. Replies held back or split by the faults come out at later polls.
    void Poll(std::vector<uint8_t>& out);
    // Forgets a partly received frame (the line went quiet or was reopened).
    void ResetFraming() { PartialLength = 0; }
    size_t PartialBytes() const { return PartialLength; }
    // Replies queued but not yet handed to the line.
    bool HasPending() const { return !Pending.empty(); }

    // Memory blocks still to save; falls by SaveStep per monitor request.
    uint16_t SavingCountdown() const { return Countdown; }
    // Page 0 as the unit reports it, read protection applied.
    TIdentPage ReportedIdent() const;
    bool ReadRefused() const { return ReadProtected || Params.ZakazCteni != 0; }

    // What went on, for tests and the command-line tool.
    struct Counters {
        uint64_t Requests = 0;        // good frames answered (or meant to be)
        uint64_t BadFrames = 0;       // checksum wrong
        uint64_t Ignored = 0;         // frames with bit 7 set: not requests
        uint64_t MonitorRequests = 0; // 0x30
        uint64_t PageWrites = 0;      // 0x00 + p
        uint64_t PageReads = 0;       // 0x40 + p
        uint64_t RepliesQueued = 0;
        uint64_t RepliesLost = 0; // dead or dropped
    };
    Counters Stats;

  private:
    static constexpr size_t MaxChunk = FRAME_SIZE + 4; // a reply plus stray bytes

    struct Chunk {
        std::array<uint8_t, MaxChunk> Bytes{};
        size_t Length = 0;
        uint64_t Due = 0; // the poll at which it reaches the line
    };

    void HandleFrame(const uint8_t* frame);
    void Answer(uint8_t command, const uint8_t* data);
    void MonitorData(TMonitorData& m);

    SimFaults FaultSet;
    SimRandom Random;
    std::array<uint8_t, FRAME_SIZE> Partial{};
    size_t PartialLength = 0;
    std::deque<Chunk> Pending;
    uint64_t PollCount = 0;
    uint16_t Countdown = 0;
};

} // namespace kelmor
