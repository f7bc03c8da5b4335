// kelmor-cli: the window's link logic as a command-line tool.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "cli/StopSignal.h"

int main(int argc, char** argv) {
    const std::atomic<bool>* stop = kelmor::cli::InstallStopSignals();
    kelmor::cli::UseBinaryStandardStreams();
    std::vector<std::string> args = kelmor::cli::Utf8Arguments(argc, argv);
    kelmor::cli::CliEnvironment env = kelmor::cli::ProgramEnvironment(std::cout, std::cerr, stop);
    return kelmor::cli::RunCli(args, env);
}
