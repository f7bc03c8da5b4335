#pragma once
#include <cstddef>
#include <cstdint>

namespace kelmor {

inline constexpr int CURVE_POINTS = 15;
inline constexpr uint8_t PC_VERSION = 67;

// The unit's parameter set: page 1 of the device image and a wire format,
// so every field is one byte at a fixed offset.
struct TIgnParams {
    uint8_t Bike;                  // 0  keying type
    uint8_t PocetBodu;             // 1  curve points in use
    uint8_t BaseAdv;               // 2  degrees
    uint8_t Omez1;                 // 3  start limiter, rpm / 100
    uint8_t Omez2;                 // 4  rev limiter, rpm / 100
    uint8_t Retard;                // 5  degrees
    uint8_t Polarita;              // 6  0 positive, 1 negative, 2 self-search
    uint8_t Reserved7;             // 7  carried unchanged
    uint8_t Reserved8;             // 8  carried unchanged
    uint8_t GeberNr;               // 9  pick-up type 1..4
    uint8_t LedRazeni;             // 10 gear-shift light, rpm / 100
    uint8_t Clutch1;               // 11 ms / 10
    uint8_t Clutch2;               // 12 ms / 10
    uint8_t Input1;                // 13 function of switch input 1
    uint8_t Input2;                // 14 function of switch input 2
    uint8_t ZakazCteni;            // 15 read protection
    uint8_t RpmPulsu;              // 16 tachometer pulses per revolution
    uint8_t RpmKorekce;            // 17 tachometer correction, percent + 100
    uint8_t RevOutLedRazeni;       // 18 reversed gear-shift light output
    uint8_t Reserved19;            // 19 carried unchanged
    uint8_t RpmAdv[CURVE_POINTS];  // 20..34 rpm / 100
    uint8_t Advance[CURVE_POINTS]; // 35..49 degrees
};
static_assert(sizeof(TIgnParams) == 50);
static_assert(offsetof(TIgnParams, ZakazCteni) == 15);
static_assert(offsetof(TIgnParams, RpmAdv) == 20);
static_assert(offsetof(TIgnParams, Advance) == 35);

// Offset of the read-protection flag, which verify does not compare.
inline constexpr size_t ZAKAZ_CTENI_OFFSET = offsetof(TIgnParams, ZakazCteni);

// Stores the default of every field; leaves the reserved bytes alone.
void SetDefaults(TIgnParams& p);

// Brings the curve and the limiters into range and order (steps 1 to 4).
void Normalise(TIgnParams& p);

// The full rule: the set, then a language above 3 becomes 0 and a port
// above 10 becomes 1.
void Normalise(TIgnParams& p, uint8_t& language, uint8_t& comPort);

} // namespace kelmor
