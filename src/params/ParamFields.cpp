#include "params/ParamFields.h"

namespace kelmor {

namespace {

#define KELMOR_FIELD(name) #name, static_cast < uint8_t>(offsetof(TIgnParams, name))

constexpr const char* kRpmNames[CURVE_POINTS] = {
    "RpmAdv[0]",  "RpmAdv[1]",  "RpmAdv[2]",  "RpmAdv[3]",  "RpmAdv[4]",
    "RpmAdv[5]",  "RpmAdv[6]",  "RpmAdv[7]",  "RpmAdv[8]",  "RpmAdv[9]",
    "RpmAdv[10]", "RpmAdv[11]", "RpmAdv[12]", "RpmAdv[13]", "RpmAdv[14]"};
constexpr const char* kAdvanceNames[CURVE_POINTS] = {
    "Advance[0]",  "Advance[1]",  "Advance[2]",  "Advance[3]",  "Advance[4]",
    "Advance[5]",  "Advance[6]",  "Advance[7]",  "Advance[8]",  "Advance[9]",
    "Advance[10]", "Advance[11]", "Advance[12]", "Advance[13]", "Advance[14]"};

constexpr std::array<ParamField, PARAM_FIELD_COUNT> MakeFields() {
    using K = FieldKind;
    using U = FieldUnit;
    std::array<ParamField, PARAM_FIELD_COUNT> f{};
    size_t n = 0;
    f[n++] = {KELMOR_FIELD(PocetBodu), K::Number, 1, 0, U::None, false, 0};
    for (int k = 0; k < CURVE_POINTS; ++k) {
        const auto offset = static_cast<uint8_t>(k);
        f[n++] = {kRpmNames[k],
                  static_cast<uint8_t>(offsetof(TIgnParams, RpmAdv) + offset),
                  K::Number,
                  100,
                  0,
                  U::Rpm,
                  true,
                  k + 1};
        f[n++] = {kAdvanceNames[k],
                  static_cast<uint8_t>(offsetof(TIgnParams, Advance) + offset),
                  K::Number,
                  1,
                  0,
                  U::Degrees,
                  false,
                  k + 1};
    }
    f[n++] = {KELMOR_FIELD(BaseAdv), K::Number, 1, 0, U::Degrees, false, 0};
    f[n++] = {KELMOR_FIELD(Polarita), K::Choice, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(RpmPulsu), K::Number, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(RpmKorekce), K::Number, 1, -100, U::Percent, false, 0};
    f[n++] = {KELMOR_FIELD(Omez2), K::Number, 100, 0, U::Rpm, true, 0};
    f[n++] = {KELMOR_FIELD(Omez1), K::Number, 100, 0, U::Rpm, true, 0};
    f[n++] = {KELMOR_FIELD(Retard), K::Number, 1, 0, U::Degrees, false, 0};
    f[n++] = {KELMOR_FIELD(Clutch1), K::Number, 10, 0, U::Ms, true, 0};
    f[n++] = {KELMOR_FIELD(Clutch2), K::Number, 10, 0, U::Ms, true, 0};
    f[n++] = {KELMOR_FIELD(LedRazeni), K::Number, 100, 0, U::Rpm, true, 0};
    f[n++] = {KELMOR_FIELD(RevOutLedRazeni), K::Flag, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(GeberNr), K::Choice, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(Input1), K::Choice, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(Input2), K::Choice, 1, 0, U::None, false, 0};
    f[n++] = {KELMOR_FIELD(ZakazCteni), K::Flag, 1, 0, U::None, false, 0};
    return f;
}
#undef KELMOR_FIELD

constexpr std::array<ParamField, PARAM_FIELD_COUNT> kFields = MakeFields();

constexpr bool EveryFieldOnce() {
    // 50 bytes less Bike and the three reserved ones.
    bool seen[sizeof(TIgnParams)] = {};
    for (const ParamField& f : kFields) {
        if (f.Name == nullptr || seen[f.Offset]) return false;
        seen[f.Offset] = true;
    }
    return !seen[offsetof(TIgnParams, Bike)] && !seen[offsetof(TIgnParams, Reserved7)] &&
           !seen[offsetof(TIgnParams, Reserved8)] && !seen[offsetof(TIgnParams, Reserved19)];
}
static_assert(EveryFieldOnce(), "each field of the set once, the keying type and reserved none");

} // namespace

const std::array<ParamField, PARAM_FIELD_COUNT>& ParamFields() {
    return kFields;
}

uint8_t StoredValue(const ParamField& f, const TIgnParams& p) {
    return reinterpret_cast<const uint8_t*>(&p)[f.Offset];
}

int ShownValue(const ParamField& f, uint8_t stored) {
    return f.Kind == FieldKind::Number ? stored * f.Scale + f.Bias : stored;
}

std::vector<size_t> DifferingFields(const TIgnParams& a, const TIgnParams& b) {
    std::vector<size_t> differing;
    for (size_t i = 0; i < kFields.size(); ++i)
        if (StoredValue(kFields[i], a) != StoredValue(kFields[i], b)) differing.push_back(i);
    return differing;
}

} // namespace kelmor
