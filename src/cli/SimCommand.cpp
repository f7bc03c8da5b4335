#include "cli/SimCommand.h"

#include <CLI/CLI.hpp>
#include <cmath>

#include "cli/CliOptions.h"
#include "sim/PtyRunner.h"

namespace kelmor::cli {

namespace {

constexpr const char* MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "YYYY-MM-DD" or "HH:MM": numbers of fixed width between the separators.
bool SplitNumbers(const std::string& text, char sep, const int* widths, int count, int* out) {
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        out[i] = 0;
        for (int d = 0; d < widths[i]; ++d, ++pos) {
            if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
            out[i] = out[i] * 10 + (text[pos] - '0');
        }
        if (i + 1 < count) {
            if (pos >= text.size() || text[pos] != sep) return false;
            ++pos;
        }
    }
    return pos == text.size();
}

bool ParseDate(const std::string& text, int ymd[3]) {
    static constexpr int WIDTHS[3] = {4, 2, 2};
    return SplitNumbers(text, '-', WIDTHS, 3, ymd) && ymd[0] >= 2000 && ymd[0] <= 2099 &&
           ymd[1] >= 1 && ymd[1] <= 12 && ymd[2] >= 1 && ymd[2] <= 31;
}

bool ParseTime(const std::string& text, int hm[2]) {
    static constexpr int WIDTHS[2] = {2, 2};
    return SplitNumbers(text, ':', WIDTHS, 2, hm) && hm[0] <= 23 && hm[1] <= 59;
}

CLI::Validator Check(bool (*ok)(const std::string&), const char* expected) {
    return CLI::Validator(
        [ok, expected](std::string& text) -> std::string {
            return ok(text) ? std::string() : "'" + text + "' is not " + expected;
        },
        expected);
}

bool Letters(const std::string& t) {
    if (t.size() != 3) return false;
    for (char c : t)
        if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E)
            return false;
    return true;
}

} // namespace

const char* const SIM_HELP = R"(Usage: kelmor-cli sim [--link PATH] [OPTIONS]

Runs a simulated ignition unit on a pseudo-terminal and prints the device
path; with --link the symbolic link PATH points to it. Other commands reach
the unit with --port PATH. Runs until Ctrl+C or SIGTERM, then removes the link
(and ends with 130 or 143, as every command a signal stops).

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
)";

CLI::App* AddSimCommand(CLI::App& tool, SimSettings& s) {
    CLI::App* sim = tool.add_subcommand("sim");
    sim->add_option("--link", s.Link);
    sim->add_option("--letters", s.Letters)->check(Check(Letters, "three printable characters"));
    sim->add_option("--number", s.Number)->transform(WholeNumber(0, 99));
    sim->add_option("--date", s.Date)
        ->check(Check(
            [](const std::string& t) {
                int d[3];
                return ParseDate(t, d);
            },
            "a date YYYY-MM-DD, years 2000..2099"));
    sim->add_option("--time", s.Time)
        ->check(Check(
            [](const std::string& t) {
                int d[2];
                return ParseTime(t, d);
            },
            "a time HH:MM"));
    sim->add_option("--id-text", s.IdText)
        ->check(Check([](const std::string& t) { return t.size() <= 30; },
                      "a text of up to 30 characters"));
    sim->add_option("--version", s.Version)->transform(WholeNumber(0, 255));
    sim->add_flag("--read-protected", s.ReadProtected);
    sim->add_option("--rpm", s.Rpm)->transform(WholeNumber(0, 65535));
    sim->add_option("--voltage", s.Voltage)->check(Decimal(0.0, 65.535, " volts"));
    sim->add_flag("--dead", s.Dead);
    sim->add_option("--drop", s.Drop)->check(Decimal(0.0, 1.0));
    sim->add_option("--corrupt", s.Corrupt)->check(Decimal(0.0, 1.0));
    sim->add_option("--delay", s.Delay)->transform(WholeNumber(0, 1000));
    sim->add_option("--write-differ", s.WriteDiffer)->transform(WholeNumber(0, 49));
    sim->add_option("--read-differ", s.ReadDiffer)->transform(WholeNumber(0, 49));
    sim->add_option("--seed", s.Seed)->transform(WholeNumberU64());
    sim->final_callback([sim, &s] {
        s.HasNumber = sim->count("--number") > 0;
        s.HasVersion = sim->count("--version") > 0;
        s.HasRpm = sim->count("--rpm") > 0;
        s.HasVoltage = sim->count("--voltage") > 0;
    });
    return sim;
}

void ConfigureSimUnit(const SimSettings& s, SimUnit& unit) {
    TIdentPage& ident = unit.Ident();
    SimOptions& opts = unit.Options();
    if (!s.Letters.empty())
        for (int i = 0; i < 3; ++i)
            ident.FwLetters[i] = static_cast<uint8_t>(s.Letters[static_cast<size_t>(i)]);
    if (s.HasNumber) ident.FwNumber = static_cast<uint8_t>(s.Number);
    int ymd[3], hm[2];
    if (!s.Date.empty() && ParseDate(s.Date, ymd)) {
        ident.ProgYear = static_cast<uint8_t>(ymd[0] - 2000);
        ident.ProgMonthCode = MonthCode(MONTHS[ymd[1] - 1]);
        ident.ProgDay = static_cast<uint8_t>(ymd[2]);
    }
    if (!s.Time.empty() && ParseTime(s.Time, hm)) {
        ident.ProgHour = static_cast<uint8_t>(hm[0]);
        ident.ProgMinute = static_cast<uint8_t>(hm[1]);
    }
    if (!s.IdText.empty()) unit.SetIdText(s.IdText);
    if (s.HasVersion) unit.SetVersion(static_cast<uint8_t>(s.Version));
    opts.ReadProtected = s.ReadProtected;
    if (s.HasRpm) opts.Engine.FixedRpm = static_cast<uint16_t>(s.Rpm);
    if (s.HasVoltage)
        opts.Engine.FixedMillivolts = static_cast<uint16_t>(std::lround(s.Voltage * 1000.0));

    SimFaults& f = opts.Faults;
    f.Dead = s.Dead;
    f.DropRate = s.Drop;
    f.CorruptRate = s.Corrupt;
    f.DelayPolls = static_cast<int>(s.Delay);
    f.WriteReplyDiffer = static_cast<int>(s.WriteDiffer);
    f.ReadReplyDiffer = static_cast<int>(s.ReadDiffer);
    f.Seed = s.Seed;
}

int RunSimCommand(const SimSettings& s, CliEnvironment& env) {
    std::ostream& err = *env.Err;
    auto unit = std::make_shared<SimUnit>();
    ConfigureSimUnit(s, *unit);
    PtyRunner::Options options;
    options.LinkPath = s.Link;
    PtyRunner runner(unit, options);
    std::string error;
    if (!runner.Open(error)) {
        err << "kelmor-cli sim: " << error << '\n';
        return ExitUnusable;
    }
    *env.Out << runner.SlavePath() << '\n' << std::flush;
    runner.Run(env.Stop);
    return StopStatus(env);
}

} // namespace kelmor::cli
