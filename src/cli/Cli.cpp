#include "cli/Cli.h"

#include <cctype>

#include "cli/CliArgs.h"
#include "cli/HeadlessSession.h"
#include "cli/MonitorLine.h"
#include "cli/ParamReport.h"
#include "cli/SimCommand.h"
#include "lang/TMessageTable.h"
#include "link/MonitorCsv.h"
#include "serial/DevicePort.h"
#include "serial/PortMap.h"
#include "sim/SimSerialPort.h"
#include "storage/IgnFile.h"

namespace kelmor::cli {

namespace {

using C = ControlId;

constexpr const char* kToolHelp = R"(Usage: kelmor-cli COMMAND [OPTIONS]

Reads, programs, verifies and watches the ignition unit over a serial line
without the window, through the same logic as the window.

Commands:
  read     --port P [-o FILE.ign]        read the unit's parameter set
  program  --port P FILE.ign             program a parameter file into the unit
  verify   --port P FILE.ign             compare the unit with a parameter file
  monitor  --port P [--count N] [--csv]  print the unit's live values
  show     FILE.ign [--json] [--raw]     print the parameter set of a file
  sim      [--link PATH] [OPTIONS]       run a simulated unit on a pseudo-terminal

P is COM1 to COM10 (mapped to devices as in the window, including the PORTS
section of kelmor.ini), a device path such as /dev/ttyUSB0, or "sim" for a
simulated unit inside the tool.

Exit status: 0 success; 1 the unit failed the transfer, refused it or did not
answer; 2 a port or a file could not be used, or a wrong command line; 3 the
unit's program version or the file's version is not this tool's (67);
130 interrupted by Ctrl+C or SIGTERM.

'kelmor-cli COMMAND --help' tells more about a command.
)";

const CommandInfo kRead{"read",
                        {{"port", 0, true}, {"output", 'o', true}},
                        0,
                        0,
                        R"(Usage: kelmor-cli read --port P [-o FILE.ign]

Reads the parameter set from the unit and verifies it by reading it once
more, as the window's Read command does. Writes the set as a .ign file: into
FILE.ign with -o (replaced whole, and only after a successful read), else to
standard output. The unit's identification (version, date, time of its
program) goes to standard output with -o, else to standard error.

  --port P         COM1..COM10, a device path, or sim
  -o, --output F   the .ign file to write
)"};

const CommandInfo kProgram{"program",
                           {{"port", 0, true}},
                           1,
                           1,
                           R"(Usage: kelmor-cli program --port P FILE.ign

Reads the unit (so that the bytes a .ign file does not hold stay the
unit's own), opens FILE.ign as the window's Open command does (version
check, then the set is normalised), programs it into the unit, verifies it,
and waits until the unit reports that it has saved it. Prints the unit's
identification.

  --port P   COM1..COM10, a device path, or sim
)"};

const CommandInfo kVerify{"verify",
                          {{"port", 0, true}},
                          1,
                          1,
                          R"(Usage: kelmor-cli verify --port P FILE.ign

Reads the unit (so that the bytes a .ign file does not hold are the unit's
own), opens FILE.ign as the window's Open command does and compares the
unit's parameter set with it (the read-protection flag is not compared).

  --port P   COM1..COM10, a device path, or sim
)"};

const CommandInfo kMonitor{"monitor",
                           {{"port", 0, true}, {"count", 0, true}, {"csv", 0, false}},
                           0,
                           0,
                           R"(Usage: kelmor-cli monitor --port P [--count N] [--csv]

Prints every monitor frame the unit sends (about three a second), decoded:
engine speed, advance, voltage, counts, flags, version and test values, one
line of name=value pairs per frame, or CSV lines after a header with --csv.
The time is in milliseconds since the start. Runs until Ctrl+C or SIGTERM,
or until N frames with --count; with --count it also ends, with status 1,
once no frame has come for about a second.

  --port P     COM1..COM10, a device path, or sim
  --count N    stop after N frames
  --csv        CSV instead of name=value lines
)"};

const CommandInfo kShow{"show",
                        {{"json", 0, false}, {"raw", 0, false}},
                        1,
                        1,
                        R"(Usage: kelmor-cli show FILE.ign [--json] [--raw]

Prints the parameter set that FILE.ign gives after normalisation (as the
window would hold it after opening the file), every field under its name
with its value in the unit the window shows (rpm, ms, %, degrees), and the
50 bytes of the set. Fields the file does not name keep the defaults.

  --json   one JSON object instead of text
  --raw    the set as read, without normalisation
)"};

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A unit's texts come off the wire: nothing in them may steer the terminal.
std::string Printable(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return out;
}

// "COM" and digits; anything else that is not "sim" is a device path.
bool IsComName(const std::string& lower) {
    if (lower.size() <= 3 || lower.compare(0, 3, "com") != 0) return false;
    for (size_t i = 3; i < lower.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(lower[i]))) return false;
    return true;
}

struct PortChoice {
    bool InProcess = false;
    std::string Device;
};

int Usage(CliEnvironment& env, std::string_view command, const std::string& error) {
    *env.Err << "kelmor-cli " << command << ": " << error << "\nTry 'kelmor-cli " << command
             << " --help'.\n";
    return ExitUnusable;
}

bool ResolvePort(const ParsedCommand& c, CliEnvironment& env, PortChoice& port, int& status) {
    const std::string* name = c.Value("port");
    if (name == nullptr || name->empty()) {
        status = Usage(env, c.Info->Name, "missing --port");
        return false;
    }
    const std::string lower = Lower(*name);
    if (lower == "sim") {
        port.InProcess = true;
        return true;
    }
    if (IsComName(lower)) {
        int64_t n = 0;
        if (!ParseInteger(std::string_view(lower).substr(3), 1, 10, n)) {
            status = Usage(env, c.Info->Name,
                           "no port " + *name + " (COM1 to COM10, a device path, or sim)");
            return false;
        }
        const std::string device = env.MapComPort ? env.MapComPort(static_cast<int>(n)) : "";
        if (device.empty()) {
            *env.Err << "kelmor-cli: " << *name << ": this build has no serial port support\n";
            status = ExitUnusable;
            return false;
        }
        port.InProcess = Lower(device) == "sim";
        port.Device = device;
        return true;
    }
    port.Device = *name;
    return true;
}

int StatusOf(TransferResult r, CliEnvironment& env) {
    switch (r) {
    case TransferResult::Ok:
        return ExitOk;
    case TransferResult::VersionMismatch:
        return ExitVersion;
    case TransferResult::Interrupted:
        *env.Err << "kelmor-cli: interrupted\n";
        return ExitInterrupted;
    case TransferResult::Failed:
        break;
    }
    return ExitUnitFailed;
}

// One run of the window's logic on the chosen port.
class Run {
  public:
    Run(CliEnvironment& env, const PortChoice& port, bool realTime) : Env(env), Port(port) {
        if (port.InProcess && !env.InProcessUnit) env.InProcessUnit = std::make_shared<SimUnit>();
        if (realTime || !port.InProcess)
            Clock = std::make_unique<RealTickClock>();
        else
            Clock = std::make_unique<VirtualTickClock>();
        Session = std::make_unique<HeadlessSession>(
            *env.Err, [this] { return MakePort(); }, *Clock,
            port.InProcess ? std::function<void()>{} : env.Pump, env.Stop);
    }

    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // False, with the reason shown, when the port did not open.
    bool Start() {
        if (Session->Start()) return true;
        const std::string& why = Form().SerialLink.LastError();
        if (!why.empty()) *Env.Err << "kelmor-cli: " << Port.Device << ": " << why << '\n';
        return false;
    }

    HeadlessSession& S() { return *Session; }
    TFormHlav& Form() { return Session->Form(); }

  private:
    std::unique_ptr<SerialPort> MakePort() {
        if (Port.InProcess) return std::make_unique<SimSerialPort>(Env.InProcessUnit);
        if (!Env.MakeDevicePort) return nullptr;
        return Env.MakeDevicePort(Port.Device);
    }

    CliEnvironment& Env;
    PortChoice Port;
    std::unique_ptr<TickClock> Clock;
    std::unique_ptr<HeadlessSession> Session;
};

void PrintIdent(std::ostream& out, const TIdentTexts& ident) {
    if (ident.VersionText.empty()) return;
    out << "Version: " << Printable(ident.VersionText) << '\n'
        << "Date: " << Printable(ident.DateText) << '\n'
        << "Time: " << Printable(ident.TimeText) << '\n'
        << std::flush;
}

int OpenStatus(HeadlessSession::FileResult r) {
    switch (r) {
    case HeadlessSession::FileResult::Ok:
        return ExitOk;
    case HeadlessSession::FileResult::VersionMismatch:
        return ExitVersion;
    case HeadlessSession::FileResult::OpenError:
        break;
    }
    return ExitUnusable;
}

bool Flushed(std::ostream& out, CliEnvironment& env) {
    out.flush();
    if (out) return true;
    *env.Err << "kelmor-cli: cannot write to standard output\n";
    return false;
}

int CmdRead(const ParsedCommand& c, CliEnvironment& env) {
    PortChoice port;
    int status = ExitOk;
    if (!ResolvePort(c, env, port, status)) return status;
    Run run(env, port, false);
    if (!run.Start()) return ExitUnusable;

    const TransferResult r = run.S().RunTransfer(&TFormHlav::MenuReadClick);
    const std::string* output = c.Value("output");
    // Standard output carries the file when there is no -o.
    PrintIdent(output != nullptr ? *env.Out : *env.Err, run.Form().Ident);
    if (r != TransferResult::Ok) return StatusOf(r, env);

    if (output != nullptr) return run.S().SaveFile(*output) ? ExitOk : ExitUnusable;
    // What Save would write: the set as the window shows it.
    TFormHlav& form = run.Form();
    form.ReadControls();
    form.Normalise();
    form.ShowParams();
    *env.Out << WriteIgnFile(form.Params());
    return Flushed(*env.Out, env) ? ExitOk : ExitUnusable;
}

// Reads a .ign file as Open does; on failure says why as the window would
// and sets the exit status.
bool LoadOrReport(const std::string& file, TIgnParams& p, const TMessageTable& messages,
                  CliEnvironment& env, int& status) {
    switch (LoadIgnFile(file, p)) {
    case IgnLoadResult::OpenError:
        *env.Err << messages.MsgFileOpenError << '\n';
        status = ExitUnusable;
        return false;
    case IgnLoadResult::VersionMismatch:
        *env.Err << messages.MsgFileVersionMismatch << '\n';
        status = ExitVersion;
        return false;
    case IgnLoadResult::Ok:
        break;
    }
    return true;
}

int CmdProgramOrVerify(const ParsedCommand& c, CliEnvironment& env, bool program) {
    const std::string& file = c.Args[0];
    PortChoice port;
    int status = ExitOk;
    if (!ResolvePort(c, env, port, status)) return status;
    Run run(env, port, false);
    if (!run.Start()) return ExitUnusable;
    // A file the window would refuse is refused before the unit is touched.
    TIgnParams check = StartingParams();
    if (!LoadOrReport(file, check, run.Form().Messages, env, status)) return status;

    // The file does not hold the reserved bytes 7, 8 and 19, and a fresh
    // window holds zeros there: programming would wipe the unit's own and
    // verifying would compare against zeros. So the unit is read first, as a
    // mechanic reads it before opening a file; a unit that refuses reading
    // keeps the zeros, as in the window.
    const TransferResult read = run.S().RunTransfer(&TFormHlav::MenuReadClick);
    if (read == TransferResult::VersionMismatch || read == TransferResult::Interrupted) {
        PrintIdent(*env.Out, run.Form().Ident);
        return StatusOf(read, env);
    }
    if (read == TransferResult::Failed &&
        run.Form().Model()[C::LabelHlaseni].Caption == run.Form().Messages.MsgReadError)
        return ExitUnitFailed;

    status = OpenStatus(run.S().OpenFile(file));
    if (status != ExitOk) return status;
    if (!program) return StatusOf(run.S().RunTransfer(&TFormHlav::MenuVerifyClick), env);
    const TransferResult r = run.S().RunTransfer(&TFormHlav::MenuProgramClick);
    PrintIdent(*env.Out, run.Form().Ident);
    if (r != TransferResult::Ok) return StatusOf(r, env);
    return StatusOf(run.S().WaitForSaving(), env);
}

int CmdMonitor(const ParsedCommand& c, CliEnvironment& env) {
    int64_t count = 0;
    if (const std::string* v = c.Value("count"))
        if (!ParseInteger(*v, 1, 1000000000, count))
            return Usage(env, "monitor", "invalid value for '--count' (a whole number from 1)");
    const bool csv = c.Has("csv");
    PortChoice port;
    int status = ExitOk;
    if (!ResolvePort(c, env, port, status)) return status;
    // The in-process unit needs no pace, but a watch without end is for a person to read.
    Run run(env, port, count == 0);
    if (!run.Start()) return ExitUnusable;

    std::ostream& out = *env.Out;
    if (csv) out << MonitorCsvHeader();
    HeadlessSession& s = run.S();
    const WindowModel& w = run.Form().Model();
    int64_t frames = 0;
    bool noConnectionShown = false, versionShown = false;
    char line[512];
    while (!s.StopRequested()) {
        if (s.TickForMonitorFrame()) {
            const uint32_t ms = s.Clock().ElapsedMs();
            if (csv) {
                FormatMonitorCsv(run.Form().MonitorCopy, ms, line, sizeof line);
                out << line;
            } else {
                out << MonitorTextLine(run.Form().MonitorCopy, ms);
            }
            if (!Flushed(out, env)) return ExitUnusable;
            if (++frames == count) return ExitOk;
        }
        const ControlState& version = w[C::LabelVersion];
        if (version.Visible && !versionShown) *env.Err << version.Caption << '\n';
        versionShown = version.Visible;
        const ControlState& connection = w[C::LabelSpojeni];
        if (connection.Visible && !noConnectionShown) {
            *env.Err << connection.Caption << '\n';
            if (count > 0) return ExitUnitFailed;
        }
        noConnectionShown = connection.Visible;
    }
    return ExitOk;
}

int CmdShow(const ParsedCommand& c, CliEnvironment& env) {
    TMessageTable messages;
    FillMessageTable(LANG_ENGLISH, messages);
    TIgnParams p = StartingParams();
    int status = ExitOk;
    if (!LoadOrReport(c.Args[0], p, messages, env, status)) return status;
    const bool normalise = !c.Has("raw");
    if (normalise) Normalise(p);
    if (c.Has("json"))
        WriteParamsJson(*env.Out, p, normalise);
    else
        WriteParamsText(*env.Out, p);
    return Flushed(*env.Out, env) ? ExitOk : ExitUnusable;
}

} // namespace

CliEnvironment ProgramEnvironment(std::ostream& out, std::ostream& err,
                                  const std::atomic<bool>* stop) {
    CliEnvironment env;
    env.Out = &out;
    env.Err = &err;
    env.Stop = stop;
    // The map needs no back end: a build without one still reaches "sim".
    env.MapComPort = [](int comPort) { return PortDevice(comPort, ConfigDir()); };
    env.MakeDevicePort = MakeDevicePort;
    env.Pump = PumpPortEvents;
    return env;
}

int RunCli(const std::vector<std::string>& args, CliEnvironment& env) {
    if (args.empty()) {
        *env.Err << kToolHelp;
        return ExitUnusable;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        *env.Out << kToolHelp;
        return ExitOk;
    }
    const CommandInfo* commands[] = {&kRead,    &kProgram, &kVerify,
                                     &kMonitor, &kShow,    &SimCommandInfo()};
    const CommandInfo* info = nullptr;
    for (const CommandInfo* s : commands)
        if (s->Name == args[0]) info = s;
    if (info == nullptr) {
        *env.Err << "kelmor-cli: unknown command '" << args[0] << "'\nTry 'kelmor-cli --help'.\n";
        return ExitUnusable;
    }

    ParsedCommand c;
    std::string error;
    if (!ParseCommand(*info, std::vector<std::string>(args.begin() + 1, args.end()), c, error))
        return Usage(env, info->Name, error);
    if (c.Help) {
        *env.Out << info->Help;
        return ExitOk;
    }
    if (info == &kRead) return CmdRead(c, env);
    if (info == &kProgram) return CmdProgramOrVerify(c, env, true);
    if (info == &kVerify) return CmdProgramOrVerify(c, env, false);
    if (info == &kMonitor) return CmdMonitor(c, env);
    if (info == &kShow) return CmdShow(c, env);
    return RunSimCommand(c, env);
}

} // namespace kelmor::cli
