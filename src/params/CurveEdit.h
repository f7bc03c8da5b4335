#pragma once
#include "params/TIgnParams.h"

namespace kelmor {

// The speeds a curve point may take when it is moved on its own, in the
// set's unit of 100 rpm: above the point before it, below the point after it
// when that one is in use, and within what Normalise keeps for its place.
struct RpmBounds {
    int Low = 0, High = 0;
};
RpmBounds PointRpmBounds(const TIgnParams& p, int point);

// Moves point `point` (0..14) towards `rpm` and `advance` in 100 rpm and 1
// degree steps, held within its bounds and 0..60 degrees. The other points
// stay as they are, so a normalised set stays normalised.
void MovePoint(TIgnParams& p, int point, double rpm, double advance);

} // namespace kelmor
