// The commands that talk to a unit: read, program, verify and monitor.
#include <cstdio>
#include <filesystem>

#include "cli/CliCommon.h"
#include "cli/MonitorLine.h"
#include "cli/ParamReport.h"
#include "link/MonitorCsv.h"
#include "storage/AtomicFile.h"
#include "storage/IgnFile.h"
#include "storage/OsFile.h"

namespace kelmor::cli {

namespace {

using C = ControlId;
using End = TTransferEnd;
namespace fs = std::filesystem;

// A unit's texts come off the wire: nothing in them may steer the terminal.
std::string Printable(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return out;
}

std::string IdentText(const TIdentTexts& ident) {
    if (ident.VersionText.empty()) return {};
    return "Version: " + Printable(ident.VersionText) + "\nDate: " + Printable(ident.DateText) +
           "\nTime: " + Printable(ident.TimeText) + "\n";
}

// The identification on standard output; false (status set) when that has gone.
bool PrintIdent(Run& run, CliEnvironment& env, int& status) {
    return WriteOut(env, IdentText(run.Form().Ident), status);
}

int Stopped(CliEnvironment& env) {
    *env.Err << "kelmor-cli: interrupted\n";
    return StopStatus(env);
}

// Runs a transfer to its end; false, with `status`, when a stop came first
// or it outran every bound.
bool Transfer(Run& run, void (TFormHlav::*start)(), CliEnvironment& env, int& status,
              const std::function<void()>& afterTick = {}) {
    if (run.S().RunTransfer(start, afterTick)) return true;
    if (run.S().StopRequested()) {
        status = Stopped(env);
    } else {
        Report(env, run.Port().Label, "the transfer did not end");
        status = ExitUnitFailed;
    }
    return false;
}

// Why a transfer did not succeed, after the window's own message, and its status.
int Failed(Run& run, CliEnvironment& env) {
    const TTransferRecord& end = run.Form().LastTransfer;
    const std::string& port = run.Port().Label;
    switch (end.End) {
    case End::VersionMismatch:
        Report(env, port,
               "the unit's program is version " + std::to_string(end.UnitVersion) +
                   ", this tool's " + std::to_string(end.PcVersion));
        return ExitVersion;
    case End::NoReading:
        Report(env, port, "the unit refuses reading its parameter set");
        break;
    case End::NoReply:
        Report(env, port, "no valid reply from the unit (is it connected and powered?)");
        break;
    case End::ProgramError:
        Report(env, port, "the unit stored otherwise what was sent, five times");
        break;
    case End::VerifyError:
        Report(env, port,
               end.Command == tmRead ? "the unit's set did not read the same twice"
                                     : "the unit's set differs from the one sent");
        break;
    case End::Succeeded:
    case End::None:
        break;
    }
    return ExitUnitFailed;
}

// Why a file could not be replaced, from the first thing in the way: the
// writer itself keeps no reason.
std::string WhyNotWritten(const std::string& path) {
    std::error_code ec;
    const fs::path target = PathFromUtf8(path);
    const fs::file_status st = fs::status(target, ec);
    if (fs::is_directory(st)) return std::make_error_code(std::errc::is_a_directory).message();
    if (fs::exists(st) && !fs::is_regular_file(st)) return "not a regular file";
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::file_status dir = fs::status(folder, ec);
    if (ec) return ec.message();
    if (!fs::is_directory(dir)) return std::make_error_code(std::errc::not_a_directory).message();
    // A file made and dropped at once tells what the system thinks of the folder.
    const fs::path probe = folder / ".kelmor-cli-probe";
    errno = 0;
    if (std::FILE* f = CreateNewFile(Utf8FromPath(probe))) {
        std::fclose(f);
        fs::remove(probe, ec);
        return "the file could not be written whole (is the disk full?)";
    }
    return std::generic_category().message(errno != 0 ? errno : EIO);
}

// Reads the unit, as a mechanic does before opening a file, so that the
// bytes a .ign file does not hold are the unit's own. False, with `status`,
// when there is no unit to go on with.
bool ReadUnitFirst(Run& run, CliEnvironment& env, bool& refused, int& status) {
    refused = false;
    if (!Transfer(run, &TFormHlav::MenuReadClick, env, status)) return false;
    switch (run.Form().LastTransfer.End) {
    case End::Succeeded:
    case End::VerifyError: // a set the window would change: read all the same
        return true;
    case End::NoReading:
        refused = true;
        return true;
    case End::VersionMismatch:
        if (!PrintIdent(run, env, status)) return false;
        break;
    default:
        break;
    }
    status = Failed(run, env);
    return false;
}

// The file as the window's Open loads it, onto the set read from the unit:
// normalised and shown (keying type 0), its other values as they are.
void OpenParamFile(Run& run, const ParamFile& file, CliEnvironment& env) {
    TFormHlav& form = run.Form();
    ReadIgnFile(file.Text, form.Params());
    const TIgnParams asRead = form.Params();
    form.ApplyEdit();
    for (const std::string& line : ChangedFields(asRead, form.Params()))
        Report(env, file.Name, line);
}

// What program and verify share: the file, read before the unit is touched;
// the port; the unit, read first; then the file opened onto the unit's set.
struct Prepared {
    ParamFile File;
    std::unique_ptr<Run> Unit;
    bool Refused = false; // the unit refuses reading
};

bool Prepare(const CommandLine& c, CliEnvironment& env, std::string_view command,
             const std::string& whenRefused, Prepared& p, int& status) {
    if (!LoadParamFile(c.File, env, p.File, status)) return false;
    PortChoice port;
    if (!ResolvePort(c.Port, command, env, port, status)) return false;
    p.Unit = std::make_unique<Run>(env, port, false);
    if (!p.Unit->Start()) {
        status = ExitUnusable;
        return false;
    }
    if (!ReadUnitFirst(*p.Unit, env, p.Refused, status)) return false;
    if (p.Refused) Report(env, port.Label, "the unit refuses reading: " + whenRefused);
    OpenParamFile(*p.Unit, p.File, env);
    return true;
}

} // namespace

int CmdRead(const CommandLine& c, CliEnvironment& env) {
    PortChoice port;
    int status = ExitOk;
    if (!ResolvePort(c.Port, "read", env, port, status)) return status;
    const bool toFile = c.HasOutput && c.Output != "-";
    Run run(env, port, false);
    if (!run.Start()) return ExitUnusable;

    if (!Transfer(run, &TFormHlav::MenuReadClick, env, status)) return status;
    TFormHlav& form = run.Form();
    // Standard output carries the file when there is no -o FILE.
    if (toFile) {
        if (!PrintIdent(run, env, status)) return status;
    } else {
        *env.Err << IdentText(form.Ident) << std::flush;
    }
    const TTransferRecord& end = form.LastTransfer;
    const TUnitReply& unit = form.UnitPage1;
    // The window's read ends in "Verify error!" when normalising changed the
    // set; the unit's own set stands when it came the same twice.
    const bool faithful = unit.Twice && (end.End == End::Succeeded || end.End == End::VerifyError);
    if (!faithful) return Failed(run, env);

    const std::vector<std::string> unusual = UnusualFields(unit.Set);
    if (!unusual.empty()) {
        *env.Err << "kelmor-cli: the unit holds values outside their range, or that the "
                    "window would change:\n";
        for (const std::string& line : unusual)
            *env.Err << "  " << line << '\n';
        *env.Err << "kelmor-cli: the set read the same twice; written as the unit holds it\n"
                 << std::flush;
    }

    const std::string text = WriteIgnFile(unit.Set);
    if (!toFile) return WriteOut(env, text, status) ? ExitOk : status;
    if (WriteFileAtomically(c.Output, text)) return ExitOk;
    *env.Err << form.Messages.MsgFileOpenError << '\n';
    Report(env, c.Output, WhyNotWritten(c.Output));
    return ExitUnusable;
}

int CmdProgram(const CommandLine& c, CliEnvironment& env) {
    int status = ExitOk;
    Prepared prep;
    if (!Prepare(c, env, "program",
                 "its reserved bytes 7, 8 and 19 could not be read and are written as 0", prep,
                 status))
        return status;
    Run& run = *prep.Unit;
    const PortChoice& port = run.Port();

    // Not the window's Program, which would read the controls first.
    if (!Transfer(run, &TFormHlav::StartProgram, env, status)) return status;
    if (!PrintIdent(run, env, status)) return status;
    if (run.Form().LastTransfer.End != End::Succeeded) return Failed(run, env);
    switch (run.S().WaitForSaving()) {
    case SaveResult::Saved:
        return ExitOk;
    case SaveResult::Quiet:
        Report(env, port.Label, "the unit stopped answering during its save");
        return ExitUnitFailed;
    case SaveResult::TooLong:
        Report(env, port.Label,
               "the unit's save did not finish within " + std::to_string(SAVE_SECONDS_LIMIT) +
                   " s");
        return ExitUnitFailed;
    case SaveResult::Interrupted:
        break;
    }
    return Stopped(env);
}

int CmdVerify(const CommandLine& c, CliEnvironment& env) {
    int status = ExitOk;
    Prepared prep;
    if (!Prepare(c, env, "verify",
                 "its reserved bytes 7, 8 and 19, which no file holds, are taken from its reply",
                 prep, status))
        return status;
    Run& run = *prep.Unit;
    const PortChoice& port = run.Port();
    const bool refused = prep.Refused;
    const ParamFile& file = prep.File;

    TFormHlav& form = run.Form();
    // Without the unit's reserved bytes the verify could not succeed; its
    // first reply brings them, and the next send is compared with them.
    auto adoptReserved = [&form, refused] {
        if (!refused || form.UnitPage1.Replies == 0) return;
        TIgnParams& p = form.Params();
        p.Reserved7 = form.UnitPage1.Set.Reserved7;
        p.Reserved8 = form.UnitPage1.Set.Reserved8;
        p.Reserved19 = form.UnitPage1.Set.Reserved19;
    };
    if (!Transfer(run, &TFormHlav::StartVerify, env, status, adoptReserved)) return status;
    const TTransferRecord& end = form.LastTransfer;
    if (end.End == End::Succeeded) return ExitOk;
    if (end.End != End::VerifyError || form.UnitPage1.Replies == 0) return Failed(run, env);

    const std::vector<std::string> lines =
        DifferingFieldLines(form.UnitPage1.Set, form.Params(), form.Model(), form.Messages);
    if (lines.empty()) {
        Report(env, port.Label,
               "only the reserved bytes 7, 8 and 19, which no file holds, differ: the unit "
               "holds the set of " +
                   file.Name);
        return ExitOk;
    }
    Report(env, port.Label,
           "the unit's set differs from " + file.Name + " in " + std::to_string(lines.size()) +
               (lines.size() == 1 ? " field" : " fields") + " (the unit's value / the file's):");
    for (const std::string& line : lines)
        *env.Err << "  " << line << '\n';
    return ExitUnitFailed;
}

int CmdMonitor(const CommandLine& c, CliEnvironment& env) {
    PortChoice port;
    int status = ExitOk;
    if (!ResolvePort(c.Port, "monitor", env, port, status)) return status;
    const int64_t count = c.Count;
    // The in-process unit needs no pace, but a watch without end is for a person to read.
    Run run(env, port, count == 0);
    if (!run.Start()) return ExitUnusable;
    run.Form().AutoReopen = !c.NoReconnect;

    if (c.Csv && !WriteOut(env, WithLf(MonitorCsvHeader()), status)) return status;
    HeadlessSession& s = run.S();
    const WindowModel& w = run.Form().Model();
    int64_t frames = 0;
    uint32_t reopens = 0;
    bool noConnectionShown = false, versionShown = false;
    char line[512];
    while (!s.StopRequested()) {
        if (s.TickForMonitorFrame()) {
            const TMonitorData& m = run.Form().MonitorCopy;
            const uint32_t ms = s.Clock().ElapsedMs();
            std::string text;
            if (c.Csv) {
                const size_t n = FormatMonitorCsv(m, ms, line, sizeof line);
                text = WithLf(std::string_view(line, n));
            } else if (c.Json) {
                text = MonitorJsonLine(m, ms);
            } else {
                text = MonitorTextLine(m, ms);
            }
            if (!WriteOut(env, text, status)) return status;
            if (++frames == count) return ExitOk;
        }
        if (run.Form().PortReopens != reopens) {
            reopens = run.Form().PortReopens;
            Report(env, port.Label, "the device is back, monitoring again");
        }
        const ControlState& version = w[C::LabelVersion];
        if (version.Visible && !versionShown) *env.Err << version.Caption << '\n';
        versionShown = version.Visible;
        const ControlState& connection = w[C::LabelSpojeni];
        if (connection.Visible && !noConnectionShown) {
            *env.Err << connection.Caption << '\n';
            if (count > 0) {
                Report(env, port.Label, "no monitor frame for about a second");
                return ExitUnitFailed;
            }
        }
        noConnectionShown = connection.Visible;
    }
    return StopStatus(env);
}

} // namespace kelmor::cli
