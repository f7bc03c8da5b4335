#include "cli/SimCommand.h"

#include <cmath>
#include <cstdio>

#include "sim/PtyRunner.h"

namespace kelmor::cli {

namespace {

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool Bad(std::string& error, const std::string& option, const char* expected) {
    error = "invalid value for '--" + option + "' (" + expected + ")";
    return false;
}

// "YYYY-MM-DD" or "HH:MM": numbers of fixed width between the separators.
bool SplitNumbers(const std::string& text, char sep, const int* widths, int count, int64_t* out) {
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        const size_t w = static_cast<size_t>(widths[i]);
        if (pos + w > text.size()) return false;
        if (!ParseInteger(std::string_view(text).substr(pos, w), 0, 9999, out[i])) return false;
        if (text[pos] == '+' || text[pos] == '-') return false;
        pos += w;
        if (i + 1 < count) {
            if (pos >= text.size() || text[pos] != sep) return false;
            ++pos;
        }
    }
    return pos == text.size();
}

} // namespace

const CommandInfo& SimCommandInfo() {
    static const CommandInfo info{"sim",
                                  {{"link", 0, true},
                                   {"letters", 0, true},
                                   {"number", 0, true},
                                   {"date", 0, true},
                                   {"time", 0, true},
                                   {"id-text", 0, true},
                                   {"version", 0, true},
                                   {"read-protected", 0, false},
                                   {"rpm", 0, true},
                                   {"voltage", 0, true},
                                   {"dead", 0, false},
                                   {"drop", 0, true},
                                   {"corrupt", 0, true},
                                   {"delay", 0, true},
                                   {"write-differ", 0, true},
                                   {"read-differ", 0, true},
                                   {"seed", 0, true}},
                                  0,
                                  0,
                                  R"(Usage: kelmor-cli sim [--link PATH] [OPTIONS]

Runs a simulated ignition unit on a pseudo-terminal and prints the device
path; with --link the symbolic link PATH points to it. Other commands reach
the unit with --port PATH. Runs until Ctrl+C or SIGTERM, then removes the link.

Identification (page 0):
  --letters ABC        program letters (default KXA)
  --number N           program number, 0..99 (default 7)
  --date YYYY-MM-DD    program date, years 2000..2099 (default 2024-03-14)
  --time HH:MM         program time (default 10:30)
  --id-text TEXT       identification text of up to 30 characters
  --version N          program version, 0..255 (default 67, this tool's)
  --read-protected     refuse reading the parameter set

Live values:
  --rpm N              engine speed held fixed, 0..65535 (0: no pick-up signal)
  --voltage V          supply voltage held fixed, volts (e.g. 13.8)

Faults:
  --dead               answer nothing at all
  --drop RATE          lose this share of the replies, 0..1
  --corrupt RATE       flip a checksum bit in this share of the replies, 0..1
  --delay N            hold every reply back for N polls of the line (55 ms each)
  --write-differ BYTE  page 1 write replies differ in this byte, 0..49
  --read-differ BYTE   page 1 read replies differ in this byte, 0..49
  --seed N             seed of the fault draws (runs with one seed repeat)
)"};
    return info;
}

bool ConfigureSimUnit(const ParsedCommand& c, SimUnit& unit, std::string& error) {
    TIdentPage& ident = unit.Ident();
    SimOptions& opts = unit.Options();
    int64_t n = 0;

    if (const std::string* v = c.Value("letters")) {
        if (v->size() != 3) return Bad(error, "letters", "three characters");
        for (int i = 0; i < 3; ++i) {
            const unsigned char ch = static_cast<unsigned char>((*v)[static_cast<size_t>(i)]);
            if (ch < 0x21 || ch > 0x7E) return Bad(error, "letters", "three printable characters");
            ident.FwLetters[i] = ch;
        }
    }
    if (const std::string* v = c.Value("number")) {
        if (!ParseInteger(*v, 0, 99, n)) return Bad(error, "number", "0..99");
        ident.FwNumber = static_cast<uint8_t>(n);
    }
    if (const std::string* v = c.Value("date")) {
        static constexpr int widths[3] = {4, 2, 2};
        int64_t ymd[3] = {};
        if (!SplitNumbers(*v, '-', widths, 3, ymd) || ymd[0] < 2000 || ymd[0] > 2099 ||
            ymd[1] < 1 || ymd[1] > 12 || ymd[2] < 1 || ymd[2] > 31)
            return Bad(error, "date", "YYYY-MM-DD, years 2000..2099");
        ident.ProgYear = static_cast<uint8_t>(ymd[0] - 2000);
        ident.ProgMonthCode = MonthCode(kMonths[ymd[1] - 1]);
        ident.ProgDay = static_cast<uint8_t>(ymd[2]);
    }
    if (const std::string* v = c.Value("time")) {
        static constexpr int widths[2] = {2, 2};
        int64_t hm[2] = {};
        if (!SplitNumbers(*v, ':', widths, 2, hm) || hm[0] > 23 || hm[1] > 59)
            return Bad(error, "time", "HH:MM");
        ident.ProgHour = static_cast<uint8_t>(hm[0]);
        ident.ProgMinute = static_cast<uint8_t>(hm[1]);
    }
    if (const std::string* v = c.Value("id-text")) {
        if (v->size() > sizeof ident.IdText) return Bad(error, "id-text", "up to 30 characters");
        unit.SetIdText(*v);
    }
    if (const std::string* v = c.Value("version")) {
        if (!ParseInteger(*v, 0, 255, n)) return Bad(error, "version", "0..255");
        unit.SetVersion(static_cast<uint8_t>(n));
    }
    opts.ReadProtected = c.Has("read-protected");

    if (const std::string* v = c.Value("rpm")) {
        if (!ParseInteger(*v, 0, 65535, n)) return Bad(error, "rpm", "0..65535");
        opts.Engine.FixedRpm = static_cast<uint16_t>(n);
    }
    if (const std::string* v = c.Value("voltage")) {
        double volts = 0;
        if (!ParseReal(*v, 0.0, 65.535, volts)) return Bad(error, "voltage", "0..65.535 volts");
        opts.Engine.FixedMillivolts = static_cast<uint16_t>(std::lround(volts * 1000.0));
    }

    SimFaults& f = opts.Faults;
    f.Dead = c.Has("dead");
    if (const std::string* v = c.Value("drop"))
        if (!ParseReal(*v, 0.0, 1.0, f.DropRate)) return Bad(error, "drop", "0..1");
    if (const std::string* v = c.Value("corrupt"))
        if (!ParseReal(*v, 0.0, 1.0, f.CorruptRate)) return Bad(error, "corrupt", "0..1");
    if (const std::string* v = c.Value("delay")) {
        if (!ParseInteger(*v, 0, 1000, n)) return Bad(error, "delay", "0..1000 polls");
        f.DelayPolls = static_cast<int>(n);
    }
    if (const std::string* v = c.Value("write-differ")) {
        if (!ParseInteger(*v, 0, 49, n)) return Bad(error, "write-differ", "0..49");
        f.WriteReplyDiffer = static_cast<int>(n);
    }
    if (const std::string* v = c.Value("read-differ")) {
        if (!ParseInteger(*v, 0, 49, n)) return Bad(error, "read-differ", "0..49");
        f.ReadReplyDiffer = static_cast<int>(n);
    }
    if (const std::string* v = c.Value("seed"))
        if (!ParseUnsigned64(*v, f.Seed)) return Bad(error, "seed", "a whole number");
    return true;
}

int RunSimCommand(const ParsedCommand& c, CliEnvironment& env) {
    std::ostream& err = *env.Err;
    auto unit = std::make_shared<SimUnit>();
    std::string error;
    if (!ConfigureSimUnit(c, *unit, error)) {
        err << "kelmor-cli sim: " << error << "\nTry 'kelmor-cli sim --help'.\n";
        return ExitUnusable;
    }
    PtyRunner::Options options;
    if (const std::string* link = c.Value("link")) options.LinkPath = *link;
    PtyRunner runner(unit, options);
    if (!runner.Open(error)) {
        err << "kelmor-cli sim: " << error << '\n';
        return ExitUnusable;
    }
    *env.Out << runner.SlavePath() << '\n' << std::flush;
    runner.Run(env.Stop);
    return ExitOk;
}

} // namespace kelmor::cli
