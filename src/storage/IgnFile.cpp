#include "storage/IgnFile.h"

#include <cstdint>
#include <cstdio>

#include "storage/AtomicFile.h"
#include "storage/TokenReader.h"

namespace kelmor {

namespace {

void AppendNumber(std::string& out, const char* format, int value) {
    char field[16];
    int n = std::snprintf(field, sizeof field, format, value);
    if (n > 0) out.append(field, static_cast<size_t>(n));
}

// A data line: the line break before it, then the key padded to its width.
void AppendKey(std::string& out, std::string_view key, size_t width) {
    out += "\r\n";
    out += key;
    if (key.size() < width) out.append(width - key.size(), ' ');
}

void AppendField(std::string& out, int value) {
    AppendNumber(out, "%5d ", value);
}

void AppendFlag(std::string& out, uint8_t value) {
    out += value != 0 ? "   1" : "   0";
}

enum class Key {
    None,
    Bike,
    RpmAdv,
    Advance,
    PocetBodu,
    BaseAdv,
    Limiter,
    Polarita,
    GeberNr,
    PilotLight,
    RevOutPilotLight,
    Clutch,
    NoReading,
    Rpm,
    Input
};

Key DataKey(const Token& t) {
    if (t.TooLong) return Key::None;
    static constexpr struct {
        std::string_view Name;
        Key Id;
    } KEYS[] = {
        {"BIKE", Key::Bike},
        {"RPM_ADV", Key::RpmAdv},
        {"ADVANCE", Key::Advance},
        {"POCET_BODU", Key::PocetBodu},
        {"BASE_ADV", Key::BaseAdv},
        {"LIMITER", Key::Limiter},
        {"POLARITA", Key::Polarita},
        {"GEBER_NR", Key::GeberNr},
        {"PILOT_LIGHT", Key::PilotLight},
        {"REV_OUT_PILOT_LIGHT", Key::RevOutPilotLight},
        {"CLUTCH", Key::Clutch},
        {"NO_READING", Key::NoReading},
        {"RPM", Key::Rpm},
        {"INPUT", Key::Input},
    };
    for (const auto& k : KEYS)
        if (t.Text == k.Name) return k.Id;
    return Key::None;
}

constexpr std::string_view VERSION_KEY = "KALDIMER_KEY";

} // namespace

std::string WriteIgnFile(const TIgnParams& p) {
    std::string out;
    out.reserve(640);
    out += VERSION_KEY;
    out += "  ";
    AppendNumber(out, "%3d ", PC_VERSION);
    out += "\r\n";

    AppendKey(out, "BIKE", 12);
    AppendField(out, p.Bike);
    AppendKey(out, "RPM_ADV", 12);
    for (uint8_t v : p.RpmAdv)
        AppendField(out, v * 100);
    AppendKey(out, "ADVANCE", 12);
    for (uint8_t v : p.Advance)
        AppendField(out, v);
    AppendKey(out, "POCET_BODU", 12);
    AppendField(out, p.PocetBodu);
    AppendKey(out, "BASE_ADV", 12);
    AppendField(out, p.BaseAdv);
    // The limiters stay in hundreds of rpm here, unlike the other speeds.
    AppendKey(out, "LIMITER", 12);
    AppendField(out, p.Omez1);
    AppendField(out, p.Omez2);
    AppendField(out, p.Retard);
    AppendKey(out, "POLARITA", 12);
    AppendField(out, p.Polarita);
    AppendKey(out, "GEBER_NR", 12);
    AppendField(out, p.GeberNr);
    AppendKey(out, "PILOT_LIGHT", 18);
    AppendField(out, p.LedRazeni * 100);
    AppendKey(out, "REV_OUT_PILOT_LIGHT", 19);
    AppendFlag(out, p.RevOutLedRazeni);
    AppendKey(out, "CLUTCH", 12);
    AppendField(out, p.Clutch1 * 10);
    AppendField(out, p.Clutch2 * 10);
    AppendKey(out, "NO_READING", 13);
    AppendFlag(out, p.ZakazCteni);
    AppendKey(out, "RPM", 12);
    AppendField(out, p.RpmPulsu);
    AppendField(out, p.RpmKorekce - 100);
    AppendKey(out, "INPUT", 12);
    AppendField(out, p.Input1);
    AppendField(out, p.Input2);
    return out;
}

bool ReadIgnFile(std::istream& in, TIgnParams& p) {
    TokenReader reader(in);
    Token token;
    // The last number converted in this read; a value that does not convert
    // takes it instead.
    uint16_t scratch = 0;

    // The version search: a number after the key that is not the version is
    // consumed, anything else is examined again as the next word.
    bool matched = false;
    while (!matched && reader.Next(token)) {
        if (token.TooLong || token.Text != VERSION_KEY) continue;
        Token value;
        if (reader.Peek(value) && ConvertUnsigned(value, scratch)) {
            reader.Consume();
            matched = scratch == PC_VERSION;
        }
    }
    if (!matched) return false;

    auto next = [&] {
        Token value;
        if (reader.Peek(value) && ConvertUnsigned(value, scratch)) reader.Consume();
        return scratch;
    };
    auto byte = [](unsigned v) { return static_cast<uint8_t>(v & 0xFFu); };

    while (reader.Next(token)) {
        switch (DataKey(token)) {
        case Key::None:
            break;
        case Key::Bike:
            p.Bike = byte(next());
            break;
        case Key::RpmAdv:
            for (uint8_t& v : p.RpmAdv)
                v = byte(next() / 100u);
            break;
        case Key::Advance:
            for (uint8_t& v : p.Advance)
                v = byte(next());
            break;
        case Key::PocetBodu:
            p.PocetBodu = byte(next());
            break;
        case Key::BaseAdv:
            p.BaseAdv = byte(next());
            break;
        case Key::Limiter:
            p.Omez1 = byte(next());
            p.Omez2 = byte(next());
            p.Retard = byte(next());
            break;
        case Key::Polarita:
            p.Polarita = byte(next());
            break;
        case Key::GeberNr:
            p.GeberNr = byte(next());
            break;
        case Key::PilotLight:
            p.LedRazeni = byte(next() / 100u);
            break;
        case Key::RevOutPilotLight:
            p.RevOutLedRazeni = byte(next());
            break;
        case Key::Clutch:
            p.Clutch1 = byte(next() / 10u);
            p.Clutch2 = byte(next() / 10u);
            break;
        case Key::NoReading:
            p.ZakazCteni = byte(next());
            break;
        case Key::Rpm: {
            p.RpmPulsu = byte(next());
            // The correction is signed; its 16-bit pattern plus 100 keeps the
            // right low byte (-10 gives 90).
            Token value;
            if (reader.Peek(value) && ConvertSigned(value, scratch)) reader.Consume();
            p.RpmKorekce = byte(scratch + 100u);
            break;
        }
        case Key::Input:
            p.Input1 = byte(next());
            p.Input2 = byte(next());
            break;
        }
    }
    return true;
}

bool ReadIgnFile(std::string_view text, TIgnParams& p) {
    ViewStream in(text);
    return ReadIgnFile(in, p);
}

IgnLoadResult LoadIgnText(std::string_view text, TIgnParams& p) {
    TIgnParams read = p;
    if (!ReadIgnFile(text, read)) return IgnLoadResult::VersionMismatch;
    p = read;
    return IgnLoadResult::Ok;
}

IgnLoadResult LoadIgnFile(const std::string& path, TIgnParams& p, std::string* reason) {
    std::string text;
    if (!ReadWholeFile(path, text, reason)) return IgnLoadResult::OpenError;
    return LoadIgnText(text, p);
}

} // namespace kelmor
