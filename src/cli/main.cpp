// kelmor-cli: the window's link logic as a command-line tool.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/StopSignal.h"

int main(int argc, char** argv) {
    using namespace kelmor::cli;
    const std::atomic<bool>* stop = InstallStopSignals();
    UseBinaryStandardStreams();
    std::vector<std::string> args = Utf8Arguments(argc, argv);
    CliEnvironment env = ProgramEnvironment(std::cin, std::cout, std::cerr, stop);
    env.StopSignal = StopSignalNumber();
    const int status = RunCli(args, env);
    std::cout.flush();
    std::cerr.flush();
    return FinishProcess(status);
}
