#include "ui/FormBinding.h"

#include <array>
#include <cstddef>

#include "params/TIgnParams.h"

namespace kelmor {

namespace {
using C = ControlId;

constexpr std::array<SpinnerBinding, SPINNER_BINDING_COUNT> MakeBindings() {
    std::array<SpinnerBinding, SPINNER_BINDING_COUNT> b{};
    size_t n = 0;
    b[n++] = {offsetof(TIgnParams, PocetBodu), C::UpDownPocetBodu};
    b[n++] = {offsetof(TIgnParams, BaseAdv), C::UpDownBaseAdv};
    b[n++] = {offsetof(TIgnParams, Omez1), C::UpDownOmez1};
    b[n++] = {offsetof(TIgnParams, Omez2), C::UpDownOmez2};
    b[n++] = {offsetof(TIgnParams, Retard), C::UpDownRetard};
    b[n++] = {offsetof(TIgnParams, LedRazeni), C::UpDownLedRazeni};
    b[n++] = {offsetof(TIgnParams, Clutch1), C::UpDownClutch1};
    b[n++] = {offsetof(TIgnParams, Clutch2), C::UpDownClutch2};
    b[n++] = {offsetof(TIgnParams, RpmPulsu), C::UpDownRpmPulsu};
    b[n++] = {offsetof(TIgnParams, RpmKorekce), C::UpDownRpmKorekce};
    for (int k = 0; k < CURVE_POINTS; ++k) {
        b[n++] = {offsetof(TIgnParams, RpmAdv) + static_cast<size_t>(k), RpmUpDown(k)};
        b[n++] = {offsetof(TIgnParams, Advance) + static_cast<size_t>(k), AdvanceUpDown(k)};
    }
    return b;
}
constexpr std::array<SpinnerBinding, SPINNER_BINDING_COUNT> BINDINGS = MakeBindings();

} // namespace

const std::array<SpinnerBinding, SPINNER_BINDING_COUNT>& SpinnerBindings() {
    return BINDINGS;
}

} // namespace kelmor
