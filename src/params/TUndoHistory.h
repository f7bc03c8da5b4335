#pragma once
#include <array>
#include <cstdint>
#include <cstring>

namespace kelmor {

inline constexpr uint16_t UNDO_ENTRIES = 200;
inline constexpr size_t UNDO_ENTRY_SIZE = 150; // room per snapshot; the first 100 bytes are used
inline constexpr size_t UNDO_USED_SIZE = 100;

// A fixed ring of snapshots of the device image.
struct TUndoHistory {
    std::array<std::array<uint8_t, UNDO_ENTRY_SIZE>, UNDO_ENTRIES> Entries{};
    uint16_t Oldest = 0;
    uint16_t Current = 0;
    uint16_t Newest = 0;
    bool ProgramArmed = false;

    static uint16_t Next(uint16_t n) {
        return n == UNDO_ENTRIES - 1 ? 0 : static_cast<uint16_t>(n + 1);
    }
    static uint16_t Prev(uint16_t n) {
        return n == 0 ? UNDO_ENTRIES - 1 : static_cast<uint16_t>(n - 1);
    }

    bool CanUndo() const { return Current != Oldest; }
    bool CanRedo() const { return Current != Newest; }

    void Reset(const uint8_t* image) {
        Oldest = Current = Newest = 0;
        std::memcpy(Entries[0].data(), image, UNDO_USED_SIZE);
    }
    // Records the image when it differs from the current snapshot; true when it did.
    bool Record(const uint8_t* image) {
        if (std::memcmp(Entries[Current].data(), image, UNDO_USED_SIZE) == 0) return false;
        Current = Next(Current);
        Newest = Current;
        if (Oldest == Current) Oldest = Next(Oldest);
        std::memcpy(Entries[Current].data(), image, UNDO_USED_SIZE);
        return true;
    }
    void Restore(uint8_t* image) const {
        std::memcpy(image, Entries[Current].data(), UNDO_USED_SIZE);
    }
};

} // namespace kelmor
