#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmor::cli {

// One option of a command: "--name VALUE" (or "--name=VALUE"), or a flag.
struct OptionInfo {
    std::string_view Long;
    char Short = 0; // 0 when the option has no one-letter form
    bool TakesValue = false;
};

struct CommandInfo {
    std::string_view Name;
    std::vector<OptionInfo> Options;
    // Arguments that are not options (file names).
    size_t MinArgs = 0, MaxArgs = 0;
    // The text of "--help".
    std::string_view Help;
};

struct ParsedCommand {
    const CommandInfo* Info = nullptr;
    // Options in the order given, by long name; a flag's value is empty.
    std::vector<std::pair<std::string, std::string>> Options;
    std::vector<std::string> Args;
    bool Help = false;

    bool Has(std::string_view name) const;
    // The value of the last occurrence, or null.
    const std::string* Value(std::string_view name) const;
};

// Splits the words after the command name. False, with `error` set, on an
// unknown option, an option without its value, or too few or too many
// arguments. "--help" (or "-h") anywhere wins over everything else.
bool ParseCommand(const CommandInfo& info, const std::vector<std::string>& words,
                  ParsedCommand& out, std::string& error);

// Whole decimal numbers within [min, max]: digits with an optional sign, nothing else.
bool ParseInteger(std::string_view text, int64_t min, int64_t max, int64_t& value);
bool ParseUnsigned64(std::string_view text, uint64_t& value);
// A finite decimal number within [min, max].
bool ParseReal(std::string_view text, double min, double max, double& value);

} // namespace kelmor::cli
