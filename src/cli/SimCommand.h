#pragma once
#include <cstdint>
#include <string>

#include "cli/Cli.h"
#include "sim/SimUnit.h"

namespace CLI {
class App;
}

namespace kelmor::cli {

// The options of "kelmor-cli sim", as given; empty texts and the flags' false
// leave the unit's own defaults.
struct SimSettings {
    std::string Link, Letters, Date, Time, IdText;
    bool HasNumber = false, HasVersion = false, HasRpm = false, HasVoltage = false;
    int64_t Number = 0, Version = 0, Rpm = 0, Delay = 0;
    int64_t WriteDiffer = -1, ReadDiffer = -1;
    double Voltage = 0, Drop = 0, Corrupt = 0;
    uint64_t Seed = 1;
    bool ReadProtected = false, Dead = false;
};

// The help of "kelmor-cli sim".
extern const char* const SIM_HELP;

// Adds the sim command and its options (with their checks) to the tool's parser.
CLI::App* AddSimCommand(CLI::App& tool, SimSettings& settings);

// Sets up a unit as the options say; the parser has checked every value.
void ConfigureSimUnit(const SimSettings& settings, SimUnit& unit);

// Runs the simulated unit on a pseudo-terminal until env.Stop is set.
int RunSimCommand(const SimSettings& settings, CliEnvironment& env);

} // namespace kelmor::cli
