#pragma once
// What the commands of kelmor-cli share: their options, the port they run
// on, and the ways they report.
#include <memory>
#include <string>
#include <string_view>

#include "cli/Cli.h"
#include "cli/HeadlessSession.h"
#include "cli/SimCommand.h"

namespace kelmor::cli {

// Every option of every command, as the parser filled them in.
struct CommandLine {
    std::string Port, Output, File;
    bool HasOutput = false;
    int64_t Count = 0;
    bool Csv = false, Json = false, Raw = false, NoReconnect = false;
    SimSettings Sim;
};

struct PortChoice {
    bool InProcess = false;
    std::string Device; // what is opened
    std::string Label;  // how messages name it: "COM1 (/dev/ttyUSB0)", a path, "sim"
};

// Resolves --port; false, with the message shown and `status` set, when it names no port.
bool ResolvePort(const std::string& name, std::string_view command, CliEnvironment& env,
                 PortChoice& port, int& status);

// "kelmor-cli COMMAND: error" and the pointer to --help; the status of a wrong command line.
int Usage(CliEnvironment& env, std::string_view command, const std::string& error);

// A line for standard error: "kelmor-cli: what: why".
void Report(CliEnvironment& env, const std::string& what, const std::string& why);

// Writes to standard output and flushes. False, with `status` set, when it
// could not: a closed pipe quietly, anything else with a message.
bool WriteOut(CliEnvironment& env, std::string_view text, int& status);

// A text meant for a terminal or a pipe: line ends CR LF become LF.
std::string WithLf(std::string_view text);

// A parameter file's text, read whole from a path or "-" (standard input)
// before anything else happens, so that a file the window would refuse is
// refused before the unit is touched.
struct ParamFile {
    std::string Name; // as messages name it
    std::string Text;
};
// False, with the window's message, the reason and `status`, when the file
// cannot be read or is not a version 67 parameter file.
bool LoadParamFile(const std::string& path, CliEnvironment& env, ParamFile& file, int& status);

// One run of the window's logic on the chosen port.
class Run {
  public:
    Run(CliEnvironment& env, const PortChoice& port, bool realTime);
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // False, with the reason shown, when the port did not open.
    bool Start();

    HeadlessSession& S() { return *Session; }
    TFormHlav& Form() { return Session->Form(); }
    const PortChoice& Port() const { return Choice; }

  private:
    std::unique_ptr<SerialPort> MakePort();

    CliEnvironment& Env;
    PortChoice Choice;
    std::unique_ptr<TickClock> Clock;
    std::unique_ptr<HeadlessSession> Session;
};

int CmdRead(const CommandLine& c, CliEnvironment& env);
int CmdProgram(const CommandLine& c, CliEnvironment& env);
int CmdVerify(const CommandLine& c, CliEnvironment& env);
int CmdMonitor(const CommandLine& c, CliEnvironment& env);

} // namespace kelmor::cli
