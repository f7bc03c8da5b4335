#pragma once
#include <string>

#include "cli/Cli.h"
#include "cli/CliArgs.h"
#include "sim/SimUnit.h"

namespace kelmor::cli {

// The options and help of "kelmor-cli sim".
const CommandInfo& SimCommandInfo();

// Sets up a unit from the sim command's options; false with `error` on a bad value.
bool ConfigureSimUnit(const ParsedCommand& command, SimUnit& unit, std::string& error);

// Runs the simulated unit on a pseudo-terminal until env.Stop is set.
int RunSimCommand(const ParsedCommand& command, CliEnvironment& env);

} // namespace kelmor::cli
