#include "cli/ParamReport.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "storage/IgnFile.h"
#include "storage/OsFile.h"

namespace kelmor::cli {

namespace {

// A field of the set: `Count` bytes from `Offset`, shown as stored * Scale + Bias.
struct FieldInfo {
    const char* Name;
    size_t Offset;
    int Count;
    int Scale;
    int Bias;
    const char* Unit;
};

#define KELMOR_FIELD(name, count, scale, bias, unit)                                               \
    FieldInfo {                                                                                    \
#name, offsetof(TIgnParams, name), count, scale, bias, unit                                \
    }

constexpr FieldInfo kFields[] = {
    KELMOR_FIELD(Bike, 1, 1, 0, "index"),
    KELMOR_FIELD(PocetBodu, 1, 1, 0, "count"),
    KELMOR_FIELD(BaseAdv, 1, 1, 0, "deg"),
    KELMOR_FIELD(Omez1, 1, 100, 0, "rpm"),
    KELMOR_FIELD(Omez2, 1, 100, 0, "rpm"),
    KELMOR_FIELD(Retard, 1, 1, 0, "deg"),
    KELMOR_FIELD(Polarita, 1, 1, 0, "index"),
    KELMOR_FIELD(Reserved7, 1, 1, 0, "raw"),
    KELMOR_FIELD(Reserved8, 1, 1, 0, "raw"),
    KELMOR_FIELD(GeberNr, 1, 1, 0, "number"),
    KELMOR_FIELD(LedRazeni, 1, 100, 0, "rpm"),
    KELMOR_FIELD(Clutch1, 1, 10, 0, "ms"),
    KELMOR_FIELD(Clutch2, 1, 10, 0, "ms"),
    KELMOR_FIELD(Input1, 1, 1, 0, "index"),
    KELMOR_FIELD(Input2, 1, 1, 0, "index"),
    KELMOR_FIELD(ZakazCteni, 1, 1, 0, "flag"),
    KELMOR_FIELD(RpmPulsu, 1, 1, 0, "count"),
    KELMOR_FIELD(RpmKorekce, 1, 1, -100, "%"),
    KELMOR_FIELD(RevOutLedRazeni, 1, 1, 0, "flag"),
    KELMOR_FIELD(Reserved19, 1, 1, 0, "raw"),
    KELMOR_FIELD(RpmAdv, CURVE_POINTS, 100, 0, "rpm"),
    KELMOR_FIELD(Advance, CURVE_POINTS, 1, 0, "deg"),
};
#undef KELMOR_FIELD

const uint8_t* BytesOf(const TIgnParams& p) {
    return reinterpret_cast<const uint8_t*>(&p);
}

int Shown(const TIgnParams& p, const FieldInfo& f, int k) {
    return BytesOf(p)[f.Offset + static_cast<size_t>(k)] * f.Scale + f.Bias;
}

// Units worth printing after a value; indexes, counts and flags stand alone.
bool Physical(const char* unit) {
    const std::string u = unit;
    return u == "rpm" || u == "ms" || u == "%" || u == "deg";
}

} // namespace

IgnLoadResult LoadIgnFile(const std::string& path, TIgnParams& p) {
    std::error_code ec;
    const std::filesystem::path file = PathFromUtf8(path);
    if (!std::filesystem::is_regular_file(std::filesystem::status(file, ec)))
        return IgnLoadResult::OpenError;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return IgnLoadResult::OpenError;
    TIgnParams read = p;
    const bool matched = ReadIgnFile(in, read);
    if (in.bad()) return IgnLoadResult::OpenError;
    if (!matched) return IgnLoadResult::VersionMismatch;
    p = read;
    return IgnLoadResult::Ok;
}

TIgnParams StartingParams() {
    TIgnParams p{};
    SetDefaults(p);
    Normalise(p);
    return p;
}

void WriteParamsText(std::ostream& out, const TIgnParams& p) {
    char buf[32];
    for (const FieldInfo& f : kFields) {
        std::snprintf(buf, sizeof buf, "%-16s", f.Name);
        out << buf;
        for (int k = 0; k < f.Count; ++k)
            out << (k > 0 ? " " : "") << Shown(p, f, k);
        if (Physical(f.Unit)) out << ' ' << f.Unit;
        out << '\n';
    }
    out << "Bytes\n";
    const uint8_t* bytes = BytesOf(p);
    for (size_t row = 0; row < sizeof(TIgnParams); row += 10) {
        std::snprintf(buf, sizeof buf, "%4zu:", row);
        out << buf;
        for (size_t i = row; i < row + 10 && i < sizeof(TIgnParams); ++i) {
            std::snprintf(buf, sizeof buf, " %3u", bytes[i]);
            out << buf;
        }
        out << '\n';
    }
}

// Names and units are fixed ASCII words without quotes or backslashes, so
// the only strings written need no escaping.
void WriteParamsJson(std::ostream& out, const TIgnParams& p, bool normalised) {
    out << "{\n  \"normalised\": " << (normalised ? "true" : "false") << ",\n  \"fields\": {\n";
    constexpr size_t fieldCount = sizeof kFields / sizeof kFields[0];
    for (size_t i = 0; i < fieldCount; ++i) {
        const FieldInfo& f = kFields[i];
        out << "    \"" << f.Name << "\": {\"value\": ";
        if (f.Count > 1) out << '[';
        for (int k = 0; k < f.Count; ++k)
            out << (k > 0 ? ", " : "") << Shown(p, f, k);
        if (f.Count > 1) out << ']';
        out << ", \"unit\": \"" << f.Unit << "\"}" << (i + 1 < fieldCount ? "," : "") << '\n';
    }
    out << "  },\n  \"bytes\": [";
    const uint8_t* bytes = BytesOf(p);
    for (size_t i = 0; i < sizeof(TIgnParams); ++i)
        out << (i > 0 ? ", " : "") << static_cast<unsigned>(bytes[i]);
    out << "]\n}\n";
}

} // namespace kelmor::cli
