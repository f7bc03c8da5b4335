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
#include "support/TestFiles.h"

namespace kelmor::test {

struct CliResult {
    int Status = -1;
    std::string Out, Err;
};

// The tool run in-process on the simulated unit behind "--port sim", ticked
// without sleeping.
class CliFixture : public ::testing::Test {
  protected:
    CliResult Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out, err;
        cli::CliEnvironment env;
        env.In = &in;
        env.Out = Out != nullptr ? Out : &out;
        env.Err = &err;
        env.Stop = &Stop;
        env.StopSignal = &Signal;
        env.OutputClosed = [this] { return PipeClosed; };
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
        const std::string path = Dir.File(name);
        WriteTextFile(path, text);
        return path;
    }

    std::shared_ptr<SimUnit> Unit = std::make_shared<SimUnit>();
    std::atomic<bool> Stop{false};
    std::atomic<int> Signal{0};
    // Standard output in place of a string, and whether its failure is a closed pipe.
    std::ostream* Out = nullptr;
    bool PipeClosed = false;
    std::function<std::string(int)> MapComPort;
    std::function<std::unique_ptr<SerialPort>(const std::string&)> MakeDevicePort;
    TempFolder Dir;
};

// Lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::string LastLine(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return lines.empty() ? std::string() : lines.back();
}

} // namespace kelmor::test
