// kelmor-cli: the window's link logic as a command-line tool.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/StopSignal.h"

int main(int argc, char** argv) {
    const std::atomic<bool>* stop = kelmor::cli::InstallStopSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    kelmor::cli::CliEnvironment env = kelmor::cli::ProgramEnvironment(std::cout, std::cerr, stop);
    return kelmor::cli::RunCli(args, env);
}
