#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "ui/ControlId.h"

namespace kelmor {

// A parameter field shown in a spinner, with the field's scale (ScaledValue
// and UnscaledValue of its SetField convert between the two).
struct SpinnerBinding {
    size_t Offset; // byte of TIgnParams
    ControlId UpDown;
};

// The spinner-bound fields in the order ShowParams writes them (curve rows last).
inline constexpr size_t SPINNER_BINDING_COUNT = 40;
const std::array<SpinnerBinding, SPINNER_BINDING_COUNT>& SpinnerBindings();

} // namespace kelmor
