#include "cli/ParamReport.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "params/ParamFields.h"
#include "ui/WorkshopRecord.h"

namespace kelmor::cli {

namespace {

const uint8_t* BytesOf(const TIgnParams& p) {
    return reinterpret_cast<const uint8_t*>(&p);
}

// Units worth printing after a value; indexes, counts and flags stand alone.
bool Physical(FieldUnit u) {
    return u == FieldUnit::Rpm || u == FieldUnit::Ms || u == FieldUnit::Percent ||
           u == FieldUnit::Degrees;
}

std::string WithUnit(const SetField& f, int shown) {
    std::string text = std::to_string(shown);
    if (Physical(f.Unit)) text += std::string(" ") + UnitWord(f.Unit);
    return text;
}

std::string ValueText(size_t offset, uint8_t stored) {
    const SetField& f = FieldAt(offset);
    return WithUnit(f, ScaledValue(f, stored));
}

std::string RangeText(const SetField& f) {
    return std::to_string(ScaledValue(f, f.Min)) + ".." + WithUnit(f, ScaledValue(f, f.Max));
}

} // namespace

TIgnParams StartingParams() {
    TIgnParams p{};
    SetDefaults(p);
    Normalise(p);
    return p;
}

void WriteParamsText(std::ostream& out, const TIgnParams& p) {
    char buf[32];
    for (const SetField& f : SetFields()) {
        std::snprintf(buf, sizeof buf, "%-16s", f.Name);
        out << buf;
        for (int k = 0; k < f.Count; ++k)
            out << (k > 0 ? " " : "") << ScaledValue(f, BytesOf(p)[f.Offset + k]);
        if (Physical(f.Unit)) out << ' ' << UnitWord(f.Unit);
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

void WriteParamsJson(std::ostream& out, const TIgnParams& p, bool normalised) {
    using Json = nlohmann::ordered_json;
    Json doc;
    doc["format"] = SHOW_JSON_FORMAT;
    doc["normalised"] = normalised;
    Json fields = Json::object();
    for (const SetField& f : SetFields()) {
        Json value = Json::array();
        for (int k = 0; k < f.Count; ++k)
            value.push_back(ScaledValue(f, BytesOf(p)[f.Offset + k]));
        fields[f.Name] = {{"value", f.Count > 1 ? value : value[0]}, {"unit", UnitWord(f.Unit)}};
    }
    doc["fields"] = std::move(fields);
    doc["bytes"] = Json::array();
    for (size_t i = 0; i < sizeof(TIgnParams); ++i)
        doc["bytes"].push_back(BytesOf(p)[i]);
    out << doc.dump(2) << '\n';
}

std::vector<std::string> UnusualFields(const TIgnParams& unit) {
    TIgnParams shown = unit;
    Normalise(shown);
    shown.Bike = 0;
    std::vector<std::string> lines;
    for (size_t offset = 0; offset < sizeof(TIgnParams); ++offset) {
        const SetField& f = FieldAt(offset);
        const uint8_t stored = BytesOf(unit)[offset];
        std::string line =
            std::string(ParamFieldAt(offset).Name) + " = " + ValueText(offset, stored);
        if (stored < f.Min || stored > f.Max) {
            line += ", outside " + RangeText(f);
            // A .ign file writes a flag as 0 or 1.
            if (f.Kind == FieldKind::Flag) line += " (a file holds it as 1)";
        } else if (BytesOf(shown)[offset] != stored) {
            line += ", the window makes it " + ValueText(offset, BytesOf(shown)[offset]);
        } else {
            continue;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> ChangedFields(const TIgnParams& before, const TIgnParams& after) {
    std::vector<std::string> lines;
    for (size_t offset = 0; offset < sizeof(TIgnParams); ++offset) {
        const uint8_t a = BytesOf(before)[offset], b = BytesOf(after)[offset];
        if (a != b)
            lines.push_back(std::string(ParamFieldAt(offset).Name) + " " + ValueText(offset, a) +
                            " becomes " + ValueText(offset, b));
    }
    return lines;
}

std::vector<std::string> DifferingFieldLines(const TIgnParams& unit, const TIgnParams& file,
                                             const WindowModel& w, const TMessageTable& t) {
    std::vector<ParamField> fields{ParamFieldAt(offsetof(TIgnParams, Bike))};
    for (const ParamField& f : ParamFields())
        if (f.Offset != ZAKAZ_CTENI_OFFSET) fields.push_back(f);
    std::vector<std::string> lines;
    for (const ParamField& f : fields) {
        const uint8_t a = StoredValue(f, unit), b = StoredValue(f, file);
        if (a != b)
            lines.push_back(FieldLabel(f, w, t) + ": " + FieldValue(f, a, w, t) + " / " +
                            FieldValue(f, b, w, t));
    }
    return lines;
}

} // namespace kelmor::cli
