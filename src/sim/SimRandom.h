#pragma once
#include <cstdint>

namespace kelmor {

// A small seeded generator (splitmix64): the same seed gives the same faults
// and the same engine wobble on every machine.
class SimRandom {
  public:
    explicit SimRandom(uint64_t seed = 1) : State(seed) {}

    void Seed(uint64_t seed) { State = seed; }

    uint64_t Next() {
        uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 .. n-1 (n > 0).
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

    // True with the given probability; a rate of 0 or less never draws.
    bool Chance(double rate) {
        if (rate <= 0.0) return false;
        if (rate >= 1.0) return true;
        return static_cast<double>(Next() >> 11) * 0x1.0p-53 < rate;
    }

  private:
    uint64_t State;
};

} // namespace kelmor
