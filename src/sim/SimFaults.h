#pragma once
#include <cstdint>

namespace kelmor {

// Ways the simulated unit and its line misbehave. Rates are chances per
// reply (0 never, 1 always), drawn from a generator seeded with Seed, so a
// run with the same faults repeats exactly.
struct SimFaults {
    uint64_t Seed = 1;
    // The unit answers nothing at all.
    bool Dead = false;
    // Replies lost on the way.
    double DropRate = 0.0;
    // Replies whose checksum byte arrives with one bit flipped.
    double CorruptRate = 0.0;
    // Every reply is held back for this many polls of the line.
    int DelayPolls = 0;
    // Page 1 write replies (0x81) and page 1 read replies (0xC1) carry a
    // different value in this page byte (0..49); -1 leaves them alone.
    int WriteReplyDiffer = -1;
    int ReadReplyDiffer = -1;
    // Noisy line: a reply arriving in two pieces on consecutive polls,
    // arriving twice, with a few bytes garbled, or after a few stray bytes.
    double SplitRate = 0.0;
    double DuplicateRate = 0.0;
    double GarbleRate = 0.0;
    double StrayRate = 0.0;
};

} // namespace kelmor
