#include "params/CurveEdit.h"

#include <algorithm>
#include <cmath>

namespace kelmor {

namespace {
constexpr int MAX_ADVANCE = 60;
// Normalise holds point k within k + 6 .. k + 186 (600 rpm up to 18 600 rpm and more).
constexpr int LOWEST_RPM = 6;
constexpr int HIGHEST_ABOVE_LOWEST = 180;
} // namespace

RpmBounds PointRpmBounds(const TIgnParams& p, int point) {
    const int k = std::clamp(point, 0, CURVE_POINTS - 1);
    RpmBounds b{k + LOWEST_RPM, k + LOWEST_RPM + HIGHEST_ABOVE_LOWEST};
    if (k > 0) b.Low = std::max(b.Low, p.RpmAdv[k - 1] + 1);
    if (k + 1 < std::min<int>(p.PocetBodu, CURVE_POINTS))
        b.High = std::min(b.High, p.RpmAdv[k + 1] - 1);
    if (b.High < b.Low) b.High = b.Low;
    return b;
}

void MovePoint(TIgnParams& p, int point, double rpm, double advance) {
    if (point < 0 || point >= CURVE_POINTS) return;
    const RpmBounds b = PointRpmBounds(p, point);
    const double hundreds = std::isfinite(rpm) ? std::round(rpm / 100.0) : p.RpmAdv[point];
    const double degrees = std::isfinite(advance) ? std::round(advance) : p.Advance[point];
    p.RpmAdv[point] = static_cast<uint8_t>(std::clamp(hundreds, double(b.Low), double(b.High)));
    p.Advance[point] = static_cast<uint8_t>(std::clamp(degrees, 0.0, double(MAX_ADVANCE)));
}

} // namespace kelmor
