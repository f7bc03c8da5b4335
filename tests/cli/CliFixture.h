#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "sim/SimUnit.h"
#include "support/FormFixture.h"

namespace kelmor::test {

struct CliResult {
    int Status = -1;
    std::string Out, Err;
};

// The tool run in-process on the simulated unit behind "--port sim", ticked
// without sleeping.
class CliFixture : public ::testing::Test {
  protected:
    CliResult Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        cli::CliEnvironment env;
        env.Out = &out;
        env.Err = &err;
        env.Stop = &Stop;
        env.MapComPort = MapComPort;
        env.MakeDevicePort = MakeDevicePort;
        env.InProcessUnit = Unit;
        CliResult r;
        r.Status = cli::RunCli(args, env);
        r.Out = out.str();
        r.Err = err.str();
        return r;
    }

    std::string WriteFile(const std::string& name, const std::string& text) {
        const std::string path = Dir.Path + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::atomic<bool> Stop{false};
    std::function<std::string(int)> MapComPort;
    std::function<std::unique_ptr<SerialPort>(const std::string&)> MakeDevicePort;
    TempDir Dir;
};

} // namespace kelmor::test
