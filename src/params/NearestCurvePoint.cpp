#include "params/NearestCurvePoint.h"

namespace kelmor {

CurvePointChoice NearestCurvePoint(const TIgnParams& p, uint16_t liveRpm) {
    const int s = liveRpm / 100;
    // A set not yet normalised may claim more points than the curve has.
    const int used = p.PocetBodu < CURVE_POINTS ? p.PocetBodu : CURVE_POINTS;
    int i = 0; // points in use at or below the speed
    while (i < used && p.RpmAdv[i] <= s)
        ++i;
    if (i == 0) return {0, true};
    if (i == used) return {static_cast<uint8_t>(i - 1), false};
    const bool lower = p.RpmAdv[i - 1] + p.RpmAdv[i] >= 2 * s;
    return {static_cast<uint8_t>(lower ? i - 1 : i), false};
}

} // namespace kelmor
