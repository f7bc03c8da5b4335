#include "params/ParamFields.h"

namespace kelmor {

namespace {

using K = FieldKind;
using U = FieldUnit;

#define KELMOR_AT(name) #name, static_cast < uint8_t>(offsetof(TIgnParams, name))

// clang-format off
constexpr std::array<SetField, SET_FIELD_COUNT> SET_FIELDS{{
    // name and offset            count          kind        scale bias  unit         min  max  grouped
    {KELMOR_AT(Bike),              1,             K::Choice,  1,    0,    U::Index,    0,   7,   false},
    {KELMOR_AT(PocetBodu),         1,             K::Number,  1,    0,    U::Count,    1,   15,  false},
    {KELMOR_AT(BaseAdv),           1,             K::Number,  1,    0,    U::Degrees,  0,   40,  false},
    {KELMOR_AT(Omez1),             1,             K::Number,  100,  0,    U::Rpm,      9,   250, true},
    {KELMOR_AT(Omez2),             1,             K::Number,  100,  0,    U::Rpm,      9,   250, true},
    {KELMOR_AT(Retard),            1,             K::Number,  1,    0,    U::Degrees,  0,   25,  false},
    {KELMOR_AT(Polarita),          1,             K::Choice,  1,    0,    U::Index,    0,   2,   false},
    {KELMOR_AT(Reserved7),         1,             K::Number,  1,    0,    U::Raw,      0,   255, false},
    {KELMOR_AT(Reserved8),         1,             K::Number,  1,    0,    U::Raw,      0,   255, false},
    {KELMOR_AT(GeberNr),           1,             K::Choice,  1,    0,    U::Number,   1,   4,   false},
    {KELMOR_AT(LedRazeni),         1,             K::Number,  100,  0,    U::Rpm,      10,  250, true},
    {KELMOR_AT(Clutch1),           1,             K::Number,  10,   0,    U::Ms,       0,   250, true},
    {KELMOR_AT(Clutch2),           1,             K::Number,  10,   0,    U::Ms,       0,   250, true},
    {KELMOR_AT(Input1),            1,             K::Choice,  1,    0,    U::Index,    0,   4,   false},
    {KELMOR_AT(Input2),            1,             K::Choice,  1,    0,    U::Index,    0,   4,   false},
    {KELMOR_AT(ZakazCteni),        1,             K::Flag,    1,    0,    U::Flag,     0,   1,   false},
    {KELMOR_AT(RpmPulsu),          1,             K::Number,  1,    0,    U::Count,    1,   6,   false},
    {KELMOR_AT(RpmKorekce),        1,             K::Number,  1,    -100, U::Percent,  40,  160, false},
    {KELMOR_AT(RevOutLedRazeni),   1,             K::Flag,    1,    0,    U::Flag,     0,   1,   false},
    {KELMOR_AT(Reserved19),        1,             K::Number,  1,    0,    U::Raw,      0,   255, false},
    {KELMOR_AT(RpmAdv),            CURVE_POINTS,  K::Number,  100,  0,    U::Rpm,      6,   201, true},
    {KELMOR_AT(Advance),           CURVE_POINTS,  K::Number,  1,    0,    U::Degrees,  0,   60,  false},
}};
// clang-format on
#undef KELMOR_AT

constexpr bool InByteOrder() {
    size_t next = 0;
    for (const SetField& f : SET_FIELDS) {
        if (f.Offset != next) return false;
        next += f.Count;
    }
    return next == sizeof(TIgnParams);
}
static_assert(InByteOrder(), "every byte of the set once, in order");

constexpr const SetField& At(size_t offset) {
    size_t i = 0;
    while (i + 1 < SET_FIELDS.size() && SET_FIELDS[i + 1].Offset <= offset)
        ++i;
    return SET_FIELDS[i];
}

constexpr const char* RPM_NAMES[CURVE_POINTS] = {
    "RpmAdv[0]",  "RpmAdv[1]",  "RpmAdv[2]",  "RpmAdv[3]",  "RpmAdv[4]",
    "RpmAdv[5]",  "RpmAdv[6]",  "RpmAdv[7]",  "RpmAdv[8]",  "RpmAdv[9]",
    "RpmAdv[10]", "RpmAdv[11]", "RpmAdv[12]", "RpmAdv[13]", "RpmAdv[14]"};
constexpr const char* ADVANCE_NAMES[CURVE_POINTS] = {
    "Advance[0]",  "Advance[1]",  "Advance[2]",  "Advance[3]",  "Advance[4]",
    "Advance[5]",  "Advance[6]",  "Advance[7]",  "Advance[8]",  "Advance[9]",
    "Advance[10]", "Advance[11]", "Advance[12]", "Advance[13]", "Advance[14]"};

constexpr ParamField Shown(size_t offset) {
    const SetField& f = At(offset);
    const size_t k = offset - f.Offset;
    const bool curve = f.Count > 1;
    const char* name = !curve                                     ? f.Name
                       : f.Offset == offsetof(TIgnParams, RpmAdv) ? RPM_NAMES[k]
                                                                  : ADVANCE_NAMES[k];
    ParamField p{};
    p.Name = name;
    p.Offset = static_cast<uint8_t>(offset);
    p.Kind = f.Kind;
    p.Scale = f.Scale;
    p.Bias = f.Bias;
    p.Unit = f.Unit;
    p.Grouped = f.Grouped;
    p.Point = curve ? static_cast<int>(k) + 1 : 0;
    return p;
}

constexpr std::array<ParamField, PARAM_FIELD_COUNT> MakeFields() {
    std::array<ParamField, PARAM_FIELD_COUNT> f{};
    size_t n = 0;
    f[n++] = Shown(offsetof(TIgnParams, PocetBodu));
    for (size_t k = 0; k < CURVE_POINTS; ++k) {
        f[n++] = Shown(offsetof(TIgnParams, RpmAdv) + k);
        f[n++] = Shown(offsetof(TIgnParams, Advance) + k);
    }
    for (size_t offset :
         {offsetof(TIgnParams, BaseAdv), offsetof(TIgnParams, Polarita),
          offsetof(TIgnParams, RpmPulsu), offsetof(TIgnParams, RpmKorekce),
          offsetof(TIgnParams, Omez2), offsetof(TIgnParams, Omez1), offsetof(TIgnParams, Retard),
          offsetof(TIgnParams, Clutch1), offsetof(TIgnParams, Clutch2),
          offsetof(TIgnParams, LedRazeni), offsetof(TIgnParams, RevOutLedRazeni),
          offsetof(TIgnParams, GeberNr), offsetof(TIgnParams, Input1), offsetof(TIgnParams, Input2),
          offsetof(TIgnParams, ZakazCteni)})
        f[n++] = Shown(offset);
    return f;
}

constexpr std::array<ParamField, PARAM_FIELD_COUNT> FIELDS = MakeFields();

constexpr bool EveryFieldOnce() {
    // 50 bytes less Bike and the three reserved ones.
    bool seen[sizeof(TIgnParams)] = {};
    for (const ParamField& f : FIELDS) {
        if (f.Name == nullptr || seen[f.Offset]) return false;
        seen[f.Offset] = true;
    }
    return !seen[offsetof(TIgnParams, Bike)] && !seen[offsetof(TIgnParams, Reserved7)] &&
           !seen[offsetof(TIgnParams, Reserved8)] && !seen[offsetof(TIgnParams, Reserved19)];
}
static_assert(EveryFieldOnce(), "each field of the set once, the keying type and reserved none");

} // namespace

const std::array<SetField, SET_FIELD_COUNT>& SetFields() {
    return SET_FIELDS;
}

const SetField& FieldAt(size_t offset) {
    return At(offset);
}

const char* UnitWord(FieldUnit u) {
    switch (u) {
    case FieldUnit::Rpm:
        return "rpm";
    case FieldUnit::Degrees:
        return "deg";
    case FieldUnit::Ms:
        return "ms";
    case FieldUnit::Percent:
        return "%";
    case FieldUnit::Count:
        return "count";
    case FieldUnit::Index:
        return "index";
    case FieldUnit::Number:
        return "number";
    case FieldUnit::Flag:
        return "flag";
    case FieldUnit::Raw:
        break;
    }
    return "raw";
}

const std::array<ParamField, PARAM_FIELD_COUNT>& ParamFields() {
    return FIELDS;
}

ParamField ParamFieldAt(size_t offset) {
    return Shown(offset);
}

uint8_t StoredValue(const ParamField& f, const TIgnParams& p) {
    return reinterpret_cast<const uint8_t*>(&p)[f.Offset];
}

int ShownValue(const ParamField& f, uint8_t stored) {
    return f.Kind == FieldKind::Number ? stored * f.Scale + f.Bias : stored;
}

int ScaledValue(const SetField& f, uint8_t stored) {
    return stored * f.Scale + f.Bias;
}

uint8_t UnscaledValue(const SetField& f, int shown) {
    return static_cast<uint8_t>((shown - f.Bias) / f.Scale);
}

std::vector<size_t> DifferingFields(const TIgnParams& a, const TIgnParams& b) {
    std::vector<size_t> differing;
    for (size_t i = 0; i < FIELDS.size(); ++i)
        if (StoredValue(FIELDS[i], a) != StoredValue(FIELDS[i], b)) differing.push_back(i);
    return differing;
}

} // namespace kelmor
