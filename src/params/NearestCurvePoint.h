#pragma once
#include <cstdint>

#include "params/TIgnParams.h"

namespace kelmor {

// The curve point that live tuning works on at an engine speed.
struct CurvePointChoice {
    uint8_t Point = 0; // 0..14
    bool None = false; // the speed lies below the first point: none is active
};

// The point in use nearest to `liveRpm`, in the curve's steps of 100 rpm;
// half-way between two points takes the lower one, and a speed at or beyond
// the last point in use takes that point.
CurvePointChoice NearestCurvePoint(const TIgnParams& p, uint16_t liveRpm);

} // namespace kelmor
