#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "params/TIgnParams.h"

namespace kelmor {

enum class FieldKind : uint8_t {
    Number, // shown = stored * Scale + Bias
    Choice, // an index into a list of texts
    Flag,   // 0 no, anything else yes
};
// What a shown value counts: a physical unit, or a plain count, list index,
// number, flag or raw byte.
enum class FieldUnit : uint8_t { Rpm, Degrees, Ms, Percent, Count, Index, Number, Flag, Raw };

// One field of the parameter set: where it lies, how a person reads it and
// which stored values mean something. Every other table of fields (the form
// binding, the comparison, the command-line report) takes these from here.
struct SetField {
    const char* Name; // the field's name in the code, e.g. "RpmAdv"
    uint8_t Offset;   // first byte of TIgnParams
    uint8_t Count;    // 15 for the curve's arrays, 1 for the others
    FieldKind Kind;
    int Scale;
    int Bias;
    FieldUnit Unit;
    uint8_t Min, Max; // the valid stored values
    bool Grouped;     // thousands shown grouped, as the window's spinner does
};

// Every byte of the set exactly once, in byte order.
inline constexpr size_t SET_FIELD_COUNT = 22;
const std::array<SetField, SET_FIELD_COUNT>& SetFields();
// The field that holds byte `offset` (0..49) of the set.
const SetField& FieldAt(size_t offset);

// The unit's word as the command-line tool prints it: "rpm", "deg", "ms",
// "%", "count", "index", "number", "flag" or "raw".
const char* UnitWord(FieldUnit u);

// One field of the parameter set as a person reads it, a curve point on its own.
struct ParamField {
    const char* Name; // e.g. "Advance[2]"
    uint8_t Offset;   // byte of TIgnParams
    FieldKind Kind;
    int Scale;
    int Bias;
    FieldUnit Unit;
    bool Grouped;
    int Point; // 1..15 for the curve's fields, 0 for the others
};

// Every field a .ign file holds except the keying type (always 0 in the
// window's set), in the window's order: the point count, the curve point by
// point, then the other settings.
inline constexpr size_t PARAM_FIELD_COUNT = 46;
const std::array<ParamField, PARAM_FIELD_COUNT>& ParamFields();
// The field of byte `offset` (0..49) as a person reads it; also the keying
// type and the reserved bytes, which ParamFields() leaves out.
ParamField ParamFieldAt(size_t offset);

uint8_t StoredValue(const ParamField& f, const TIgnParams& p);
int ShownValue(const ParamField& f, uint8_t stored);
// Stored to shown for every kind, and back (truncating), by a field's scale.
int ScaledValue(const SetField& f, uint8_t stored);
uint8_t UnscaledValue(const SetField& f, int shown);

// Indices into ParamFields() of the fields whose stored values differ.
std::vector<size_t> DifferingFields(const TIgnParams& a, const TIgnParams& b);

} // namespace kelmor
