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
enum class FieldUnit : uint8_t { None, Rpm, Degrees, Ms, Percent };

// One field of the parameter set as a person reads it.
struct ParamField {
    const char* Name; // the field's name in the code, e.g. "Advance[2]"
    uint8_t Offset;   // byte of TIgnParams
    FieldKind Kind;
    int Scale;
    int Bias;
    FieldUnit Unit;
    bool Grouped; // thousands shown grouped, as the window's spinner does
    int Point;    // 1..15 for the curve's fields, 0 for the others
};

// Every field a .ign file holds except the keying type (always 0 in the
// window's set), in the window's order: the point count, the curve point by
// point, then the other settings.
inline constexpr size_t PARAM_FIELD_COUNT = 46;
const std::array<ParamField, PARAM_FIELD_COUNT>& ParamFields();

uint8_t StoredValue(const ParamField& f, const TIgnParams& p);
int ShownValue(const ParamField& f, uint8_t stored);

// Indices into ParamFields() of the fields whose stored values differ.
std::vector<size_t> DifferingFields(const TIgnParams& a, const TIgnParams& b);

} // namespace kelmor
