#include "cli/CliArgs.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kelmor::cli {

namespace {

const OptionInfo* FindLong(const CommandInfo& info, std::string_view name) {
    for (const OptionInfo& o : info.Options)
        if (o.Long == name) return &o;
    return nullptr;
}

const OptionInfo* FindShort(const CommandInfo& info, char c) {
    for (const OptionInfo& o : info.Options)
        if (o.Short != 0 && o.Short == c) return &o;
    return nullptr;
}

bool IsHelp(const std::string& w) {
    return w == "--help" || w == "-h";
}

} // namespace

bool ParsedCommand::Has(std::string_view name) const {
    return Value(name) != nullptr;
}

const std::string* ParsedCommand::Value(std::string_view name) const {
    const std::string* found = nullptr;
    for (const auto& [key, value] : Options)
        if (key == name) found = &value;
    return found;
}

bool ParseCommand(const CommandInfo& info, const std::vector<std::string>& words,
                  ParsedCommand& out, std::string& error) {
    out = ParsedCommand{};
    out.Info = &info;
    for (const std::string& w : words)
        if (IsHelp(w)) {
            out.Help = true;
            return true;
        }

    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (optionsEnded || w.size() < 2 || w[0] != '-') {
            out.Args.push_back(w);
            continue;
        }
        if (w == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionInfo* o = nullptr;
        std::string shown;
        std::string value;
        bool inlineValue = false;
        if (w[1] == '-') {
            const size_t eq = w.find('=');
            const std::string name = w.substr(2, eq == std::string::npos ? eq : eq - 2);
            shown = "--" + name;
            o = FindLong(info, name);
            if (eq != std::string::npos) {
                value = w.substr(eq + 1);
                inlineValue = true;
            }
        } else if (w.size() == 2) {
            shown = w;
            o = FindShort(info, w[1]);
        }
        if (o == nullptr) {
            error = "unknown option '" + (shown.empty() ? w : shown) + "'";
            return false;
        }
        if (!o->TakesValue) {
            if (inlineValue) {
                error = "option '" + shown + "' takes no value";
                return false;
            }
        } else if (!inlineValue) {
            if (i + 1 >= words.size()) {
                error = "option '" + shown + "' needs a value";
                return false;
            }
            value = words[++i];
        }
        out.Options.emplace_back(std::string(o->Long), value);
    }

    if (out.Args.size() < info.MinArgs) {
        error = "missing argument";
        return false;
    }
    if (out.Args.size() > info.MaxArgs) {
        error = "unexpected argument '" + out.Args[info.MaxArgs] + "'";
        return false;
    }
    return true;
}

bool ParseInteger(std::string_view text, int64_t min, int64_t max, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        // Past any range the tool asks for; stop before the sum can overflow.
        if (v > (int64_t{1} << 40)) return false;
    }
    if (negative) v = -v;
    if (v < min || v > max) return false;
    value = v;
    return true;
}

bool ParseUnsigned64(std::string_view text, uint64_t& value) {
    if (text.empty()) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

bool ParseReal(std::string_view text, double min, double max, double& value) {
    if (text.empty() || text.size() > 64) return false;
    const std::string s(text);
    // Plain decimal notation only: no blanks, hex, infinities or NaN.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno != 0 || !std::isfinite(v)) return false;
    if (v < min || v > max) return false;
    value = v;
    return true;
}

} // namespace kelmor::cli
