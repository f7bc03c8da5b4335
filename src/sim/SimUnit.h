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
#include "sim/SimOptions.h"
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
    SimUnit();

    // Faults, engine pins, read protection, saving pace; may change at any time.
    SimOptions& Options() { return Opts; }
    const SimOptions& Options() const { return Opts; }

    // Page 0, the unit's own identification. Byte 10 (IgnVersion, 67 by
    // default) is also reported in every monitor frame.
    TIdentPage& Ident() { return Page0; }
    void SetVersion(uint8_t version) { Page0.IgnVersion = version; }
    void SetDate(int day, const char* month, int year, int hour, int minute);
    void SetIdText(std::string_view text);
    // Page 1, the stored parameter set.
    TIgnParams& Params() { return Page1; }

    // Times page 1 has been written (12 when the unit comes out of the box).
    uint16_t ProgrammingCount() const { return Programmed; }
    void SetProgrammingCount(uint16_t n) { Programmed = n; }
    // Memory blocks still to save; falls by SaveStep per monitor request.
    uint16_t SavingCountdown() const { return Countdown; }
    // The engine model's clock, which moves one step per monitor request.
    uint32_t EngineTimeMs() const { return Engine.TimeMs(); }

    // Page 0 as the unit reports it, read protection applied.
    TIdentPage ReportedIdent() const;
    bool ReadRefused() const { return Opts.ReadProtected || Page1.ZakazCteni != 0; }

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

    // What went on, for tests and the command-line tool.
    struct Counters {
        unsigned Requests = 0;                   // good frames answered (or meant to be)
        unsigned BadFrames = 0;                  // checksum wrong
        unsigned Ignored = 0;                    // frames with bit 7 set: not requests
        unsigned MonitorRequests = 0;            // 0x30
        unsigned PageWrites[PAGE_MASK + 1] = {}; // 0x00 + p, by page
        unsigned PageReads[PAGE_MASK + 1] = {};  // 0x40 + p, by page
        unsigned RepliesQueued = 0;
        unsigned RepliesLost = 0; // dead or dropped
    };
    const Counters& Stats() const { return Count; }

  private:
    static constexpr size_t MAX_CHUNK = FRAME_SIZE + 4; // a reply plus stray bytes

    struct Chunk {
        std::array<uint8_t, MAX_CHUNK> Bytes{};
        size_t Length = 0;
        uint64_t Due = 0; // the poll at which it reaches the line
    };

    void HandleFrame(const uint8_t* frame);
    void Answer(uint8_t command, const uint8_t* data);
    void MonitorData(TMonitorData& m);

    SimOptions Opts;
    TIdentPage Page0{};
    TIgnParams Page1{};
    uint16_t Programmed = 12;
    uint16_t Countdown = 0;
    EngineModel Engine;
    Counters Count;
    // Fault draws restart whenever the options name another seed.
    SimRandom Random;
    uint64_t SeededWith = 0;
    bool Seeded = false;
    std::array<uint8_t, FRAME_SIZE> Partial{};
    size_t PartialLength = 0;
    std::deque<Chunk> Pending;
    uint64_t PollCount = 0;
};

} // namespace kelmor
