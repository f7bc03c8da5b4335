#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kelmor::fuzz {

// Hands out the fuzzer's bytes one decision at a time; zeros once they run out.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : Data(data), Size(size) {}

    bool More() const { return Pos < Size; }
    uint8_t Byte() { return Pos < Size ? Data[Pos++] : 0; }
    // Up to n bytes as they stand.
    std::string_view Bytes(size_t n) {
        if (n > Size - Pos) n = Size - Pos;
        std::string_view s(reinterpret_cast<const char*>(Data + Pos), n);
        Pos += n;
        return s;
    }
    std::string_view Rest() { return Bytes(Size - Pos); }

  private:
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

// A broken promise of the code under test: reported and ended like a crash,
// so the fuzzer keeps the input.
[[noreturn]] inline void Violated(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, what);
    std::abort();
}

} // namespace kelmor::fuzz

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) ::kelmor::fuzz::Violated(#cond, __FILE__, __LINE__);                          \
    } while (0)
