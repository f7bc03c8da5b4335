#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>

namespace kelmor::cli {

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// "007" as "7", "-0" as "0".
std::string Canonical(std::string_view sign, std::string_view digits) {
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return "0";
    return std::string(sign == "-" ? "-" : "") + std::string(digits.substr(first));
}

std::string Numbers(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace

CLI::Validator WholeNumber(int64_t min, int64_t max) {
    const std::string range = std::to_string(min) + " to " + std::to_string(max);
    return CLI::Validator(
        [min, max, range](std::string& text) -> std::string {
            std::string_view t = text, sign;
            if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
                sign = t.substr(0, 1);
                t.remove_prefix(1);
            }
            std::string wrong = "'" + text + "' is not a whole number from " + range;
            if (!AllDigits(t)) return wrong;
            const std::string canonical = Canonical(sign, t);
            // Eighteen digits stay well inside 64 bits.
            if (canonical.size() > 19) return wrong;
            int64_t v = 0;
            std::from_chars(canonical.data(), canonical.data() + canonical.size(), v);
            if (v < min || v > max) return wrong;
            text = canonical;
            return {};
        },
        range);
}

CLI::Validator WholeNumberU64() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::string wrong = "'" + text + "' is not a whole number of 0 or more";
            if (!AllDigits(text)) return wrong;
            const std::string canonical = Canonical("", text);
            uint64_t v = 0;
            const auto r =
                std::from_chars(canonical.data(), canonical.data() + canonical.size(), v);
            if (r.ec != std::errc{}) return wrong;
            text = canonical;
            return {};
        },
        "N");
}

CLI::Validator Decimal(double min, double max, const std::string& unit) {
    const std::string range = Numbers(min) + " to " + Numbers(max) + unit;
    return CLI::Validator(
        [min, max, range](std::string& text) -> std::string {
            std::string wrong = "'" + text + "' is not a number from " + range;
            // Digits with at most one point, and a sign: no blanks, exponents,
            // hex, infinities or NaN.
            std::string_view t = text;
            if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
            const size_t point = t.find('.');
            const std::string_view whole = t.substr(0, point);
            const std::string_view part =
                point == std::string_view::npos ? std::string_view{} : t.substr(point + 1);
            if (t.size() > 32 || (whole.empty() && part.empty()) ||
                (!whole.empty() && !AllDigits(whole)) || (!part.empty() && !AllDigits(part)))
                return wrong;
            double v = 0;
            const char* first = text.data() + (text[0] == '+' ? 1 : 0);
            const auto r = std::from_chars(first, text.data() + text.size(), v);
            if (r.ec != std::errc{} || !std::isfinite(v) || v < min || v > max) return wrong;
            return {};
        },
        range);
}

} // namespace kelmor::cli
