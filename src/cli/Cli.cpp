#include "cli/Cli.h"

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <sstream>

#include "BuildVersion.h"
#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/ParamReport.h"
#include "lang/TMessageTable.h"
#include "serial/DevicePort.h"
#include "serial/PortMap.h"
#include "sim/SimSerialPort.h"
#include "storage/AtomicFile.h"
#include "storage/IgnFile.h"

namespace kelmor::cli {

namespace {

constexpr const char* TOOL_HELP = R"(Usage: kelmor-cli COMMAND [OPTIONS]
       kelmor-cli --version

Reads, programs, verifies and watches the ignition unit over a serial line
without the window, through the same logic as the window.

Commands:
  read     --port P [-o FILE.ign]        read the unit's parameter set
  program  --port P FILE.ign             program a parameter file into the unit
  verify   --port P FILE.ign             compare the unit with a parameter file
  monitor  --port P [--count N] [--csv | --json] [--no-reconnect]
                                         print the unit's live values
  show     FILE.ign [--json] [--raw]     print the parameter set of a file
  sim      [--link PATH] [OPTIONS]       run a simulated unit on a pseudo-terminal

P is COM1 to COM10 (mapped to devices as in the window, including the PORTS
section of kelmor.ini), a device path such as /dev/ttyUSB0, or "sim" for a
simulated unit inside the tool. FILE.ign may be - for standard input.

Where the tool differs from the window: the window's Program and Verify take
the set from its controls, which hold only what they can show (pick-up type
1, switch input 1 off, values within their ranges). The tool's read writes
the set exactly as the unit holds it, and program and verify take the file as
the window's Open loads it (normalised, keying type 0), every other value as
the file gives it.

Messages are the window's English texts on standard error; an error is
followed by a line naming the file or port and the reason. Lines end in LF;
only .ign files keep their CR LF.

Exit status:
  0      success
  1      the unit failed the transfer, refused reading, did not answer, or
         stopped answering during its save (or did not finish it in 60 s)
  2      a port or a file could not be used, or a wrong command line
  3      the unit's program version or the file's version is not 67
  128+n  ended by signal n after cleaning up: 130 Ctrl+C (SIGINT),
         143 SIGTERM, 129 SIGHUP; 141 when the output pipe closes ("| head")

'kelmor-cli COMMAND --help' tells more about a command.
)";

constexpr const char* READ_HELP = R"(Usage: kelmor-cli read --port P [-o FILE.ign]

Reads the parameter set from the unit and verifies it by reading it once
more, as the window's Read command does, and writes it as a .ign file exactly
as the unit holds it: into FILE.ign with -o (replaced whole, and only after a
successful read), else (or with -o -) to standard output. The unit's
identification (version, date, time of its program) goes to standard output
with -o FILE, else to standard error.

The window's read of a unit holding values the window would change (outside
the window's ranges, curve speeds out of order, a keying type other than 0)
ends in "Verify error!". read still writes such a set when it came the same
twice, and names each of those fields on standard error.

  --port P         COM1..COM10, a device path, or sim
  -o, --output F   the .ign file to write; - for standard output
)";

constexpr const char* PROGRAM_HELP = R"(Usage: kelmor-cli program --port P FILE.ign

Reads the unit first, so that its reserved bytes 7, 8 and 19, which a .ign
file does not hold, stay its own. A unit that refuses reading is programmed
all the same, as the window does; its reserved bytes are then written as 0,
and standard error says so.

Takes FILE.ign as the window's Open loads it (version check, the set
normalised, keying type 0; standard error names each field this changes),
programs it into the unit, verifies it, and waits until the unit reports that
it has saved it: status 1 when the unit stops answering during its save or
has not saved it within 60 s. Unlike the window's Program, which reads its
controls, values the controls cannot show (pick-up type, switch input 1,
values outside their ranges) are programmed as the file gives them. Prints
the unit's identification.

  --port P   COM1..COM10, a device path, or sim
  FILE.ign   the parameter file; - for standard input
)";

constexpr const char* VERIFY_HELP = R"(Usage: kelmor-cli verify --port P FILE.ign

Tells whether the unit holds the set of FILE.ign, taken as the window's Open
loads it: every field the file holds is compared except the read protection,
which the window's verify skips too. On a difference it names each differing
field with the unit's value and the file's (as the window's Compare does) and
ends with status 1. The unit is read first, so that the reserved bytes 7, 8
and 19, which no file holds, are the unit's own; a unit that refuses reading
is compared all the same, its reserved bytes taken from its reply.

  --port P   COM1..COM10, a device path, or sim
  FILE.ign   the parameter file; - for standard input
)";

constexpr const char* MONITOR_HELP =
    R"(Usage: kelmor-cli monitor --port P [--count N] [--csv | --json]

Prints every monitor frame the unit sends (about three a second), decoded:
engine speed, advance, voltage, counts, flags, version and test values, one
line of name=value pairs per frame, CSV lines after a header with --csv, or
one JSON object per line with --json. The time is in milliseconds since the
start. Runs until Ctrl+C or SIGTERM, or until N frames with --count; with
--count it also ends, with status 1, once no frame has come for about a second.
A device that goes away is opened again as soon as it is back, and the frames
go on; standard error says when.

  --port P         COM1..COM10, a device path, or sim
  --count N        stop after N frames
  --csv            CSV instead of name=value lines
  --json           JSON objects (the README names every key) instead
  --no-reconnect   do not open the device again when it comes back after
                   going away (a pulled adapter, a unit switched off)
)";

constexpr const char* SHOW_HELP = R"(Usage: kelmor-cli show FILE.ign [--json] [--raw]

Prints the parameter set that FILE.ign (- for standard input) gives after
normalisation (as the window would hold it after opening the file), every
field under its name with its value in the unit the window shows (rpm, ms, %,
degrees), and the 50 bytes of the set. Fields the file does not name keep the
defaults.

  --json   one JSON object (the README names every key) instead of text
  --raw    the set as read, without normalisation
)";

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// "COM" and digits; anything else that is not "sim" is a device path.
bool IsComName(const std::string& lower) {
    if (lower.size() <= 3 || lower.compare(0, 3, "com") != 0) return false;
    for (size_t i = 3; i < lower.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(lower[i]))) return false;
    return true;
}

int CmdShow(const CommandLine& c, CliEnvironment& env) {
    int status = ExitOk;
    ParamFile file;
    if (!LoadParamFile(c.File, env, file, status)) return status;
    TIgnParams p = StartingParams();
    ReadIgnFile(file.Text, p);
    const bool normalise = !c.Raw;
    if (normalise) Normalise(p);
    std::ostringstream text;
    if (c.Json)
        WriteParamsJson(text, p, normalise);
    else
        WriteParamsText(text, p);
    return WriteOut(env, text.str(), status) ? ExitOk : status;
}

} // namespace

int Usage(CliEnvironment& env, std::string_view command, const std::string& error) {
    const std::string name = command.empty() ? "kelmor-cli" : "kelmor-cli " + std::string(command);
    *env.Err << name << ": " << error << "\nTry '" << name << " --help'.\n";
    return ExitUnusable;
}

void Report(CliEnvironment& env, const std::string& what, const std::string& why) {
    *env.Err << "kelmor-cli: " << what << ": " << why << '\n' << std::flush;
}

bool WriteOut(CliEnvironment& env, std::string_view text, int& status) {
    env.Out->write(text.data(), static_cast<std::streamsize>(text.size()));
    env.Out->flush();
    if (*env.Out) return true;
    if (env.OutputClosed && env.OutputClosed()) {
        status = ExitClosedPipe; // the reader has gone: nothing to say
        return false;
    }
    Report(env, "standard output", "cannot be written");
    status = ExitUnusable;
    return false;
}

std::string WithLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

bool LoadParamFile(const std::string& path, CliEnvironment& env, ParamFile& file, int& status) {
    TMessageTable messages;
    FillMessageTable(LANG_ENGLISH, messages);
    file.Name = path == "-" ? "standard input" : path;
    std::string reason;
    bool read = false;
    if (path == "-") {
        std::ostringstream text;
        if (env.In != nullptr) text << env.In->rdbuf();
        read = env.In != nullptr && !env.In->bad();
        if (!read) reason = "cannot be read";
        file.Text = std::move(text).str();
    } else {
        read = ReadWholeFile(path, file.Text, &reason);
    }
    if (!read) {
        *env.Err << messages.MsgFileOpenError << '\n';
        Report(env, file.Name, reason);
        status = ExitUnusable;
        return false;
    }
    TIgnParams check = StartingParams();
    if (LoadIgnText(file.Text, check) != IgnLoadResult::Ok) {
        *env.Err << messages.MsgFileVersionMismatch << '\n';
        Report(env, file.Name, "no version key \"KALDIMER_KEY\" with 67 in it");
        status = ExitVersion;
        return false;
    }
    return true;
}

bool ResolvePort(const std::string& name, std::string_view command, CliEnvironment& env,
                 PortChoice& port, int& status) {
    const std::string lower = Lower(name);
    port.Label = name;
    if (lower == "sim") {
        port.InProcess = true;
        return true;
    }
    if (IsComName(lower)) {
        const std::string digits = lower.substr(3);
        const int n = digits.size() <= 2 ? std::stoi(digits) : 0;
        if (n < 1 || n > 10) {
            status =
                Usage(env, command, "no port " + name + " (COM1 to COM10, a device path, or sim)");
            return false;
        }
        const std::string device = env.MapComPort ? env.MapComPort(n) : "";
        if (device.empty()) {
            Report(env, name, "this build has no serial port support");
            status = ExitUnusable;
            return false;
        }
        port.InProcess = Lower(device) == "sim";
        port.Device = device;
        port.Label = name + " (" + device + ")";
        return true;
    }
    port.Device = name;
    return true;
}

Run::Run(CliEnvironment& env, const PortChoice& port, bool realTime) : Env(env), Choice(port) {
    if (port.InProcess && !env.InProcessUnit) env.InProcessUnit = std::make_shared<SimUnit>();
    if (realTime || !port.InProcess)
        Clock = std::make_unique<RealTickClock>();
    else
        Clock = std::make_unique<VirtualTickClock>();
    Session = std::make_unique<HeadlessSession>(
        *env.Err, [this] { return MakePort(); }, *Clock,
        port.InProcess ? std::function<void()>{} : env.Pump, env.Stop);
}

bool Run::Start() {
    const bool opened = Session->Start();
    // The serial back end's application object takes on the user's locale;
    // what the tool writes is read by machines, numbers with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    // The window's box has said which device, why and what to do.
    return opened;
}

std::unique_ptr<SerialPort> Run::MakePort() {
    if (Choice.InProcess) return std::make_unique<SimSerialPort>(Env.InProcessUnit);
    if (!Env.MakeDevicePort) return nullptr;
    return Env.MakeDevicePort(Choice.Device);
}

CliEnvironment ProgramEnvironment(std::istream& in, std::ostream& out, std::ostream& err,
                                  const std::atomic<bool>* stop) {
    CliEnvironment env;
    env.In = &in;
    env.Out = &out;
    env.Err = &err;
    env.Stop = stop;
    // Standard output is written through the C library, whose error is still in errno.
    env.OutputClosed = [] { return errno == EPIPE; };
    // The map needs no back end: a build without one still reaches "sim".
    env.MapComPort = [](int comPort) { return PortDevice(comPort, ConfigDir()); };
    env.MakeDevicePort = MakeDevicePort;
    env.Pump = PumpPortEvents;
    return env;
}

int StopStatus(const CliEnvironment& env) {
    const int signal = env.StopSignal != nullptr ? env.StopSignal->load() : 0;
    return ExitSignalBase + (signal > 0 ? signal : SIGINT);
}

std::string VersionLine() {
    return "kelmor-cli " KELMOR_VERSION " (unit protocol version " + std::to_string(PC_VERSION) +
           ")";
}

int RunCli(const std::vector<std::string>& args, CliEnvironment& env) {
    CLI::App tool{"kelmor-cli"};
    // Options are written "--x" on every system; a "/" starts a path, which on
    // Windows the library would otherwise take for an option.
    tool.allow_windows_style_options(false);
    CommandLine c;
    bool version = false;
    tool.add_flag("--version", version);

    CLI::App* read = tool.add_subcommand("read");
    read->add_option("--port", c.Port)->required();
    CLI::Option* output = read->add_option("-o,--output", c.Output);

    CLI::App* program = tool.add_subcommand("program");
    CLI::App* verify = tool.add_subcommand("verify");
    for (CLI::App* a : {program, verify}) {
        a->add_option("--port", c.Port)->required();
        a->add_option("file", c.File)->required();
    }

    CLI::App* monitor = tool.add_subcommand("monitor");
    monitor->add_option("--port", c.Port)->required();
    monitor->add_option("--count", c.Count)->transform(WholeNumber(1, 1000000000));
    CLI::Option* csv = monitor->add_flag("--csv", c.Csv);
    monitor->add_flag("--json", c.Json)->excludes(csv);
    monitor->add_flag("--no-reconnect", c.NoReconnect);

    CLI::App* show = tool.add_subcommand("show");
    show->add_option("file", c.File)->required();
    show->add_flag("--json", c.Json);
    show->add_flag("--raw", c.Raw);

    CLI::App* sim = AddSimCommand(tool, c.Sim);
    const std::pair<CLI::App*, const char*> helps[] = {
        {read, READ_HELP},       {program, PROGRAM_HELP}, {verify, VERIFY_HELP},
        {monitor, MONITOR_HELP}, {show, SHOW_HELP},       {sim, SIM_HELP}};

    if (args.empty()) {
        *env.Err << TOOL_HELP;
        return ExitUnusable;
    }
    if (args[0] == "help") {
        *env.Out << TOOL_HELP;
        return ExitOk;
    }
    bool known = false;
    for (const auto& [app, help] : helps)
        known = known || app->get_name() == args[0];
    if (!known && !args[0].empty() && args[0][0] != '-') {
        *env.Err << "kelmor-cli: unknown command '" << args[0] << "'\nTry 'kelmor-cli --help'.\n";
        return ExitUnusable;
    }
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        tool.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        const char* text = TOOL_HELP;
        for (const auto& [app, help] : helps)
            if (tool.got_subcommand(app)) text = help;
        *env.Out << text;
        return ExitOk;
    } catch (const CLI::ParseError& e) {
        std::string command;
        for (const auto& [app, help] : helps)
            if (tool.got_subcommand(app)) command = app->get_name();
        return Usage(env, command, e.what());
    }

    if (version) {
        *env.Out << VersionLine() << '\n';
        return ExitOk;
    }
    c.HasOutput = output->count() > 0;
    if (tool.got_subcommand(read)) return CmdRead(c, env);
    if (tool.got_subcommand(program)) return CmdProgram(c, env);
    if (tool.got_subcommand(verify)) return CmdVerify(c, env);
    if (tool.got_subcommand(monitor)) return CmdMonitor(c, env);
    if (tool.got_subcommand(show)) return CmdShow(c, env);
    if (tool.got_subcommand(sim)) return RunSimCommand(c.Sim, env);
    *env.Err << TOOL_HELP;
    return ExitUnusable;
}

} // namespace kelmor::cli
