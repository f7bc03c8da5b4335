#include "cli/MonitorLine.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <string_view>

#include "link/MonitorCsv.h"

namespace kelmor::cli {

namespace {

std::string_view WithoutLineEnd(std::string_view s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The next comma-separated piece of `s`, removed from it.
std::string_view NextCell(std::string_view& s) {
    const size_t comma = s.find(',');
    std::string_view cell = s.substr(0, comma);
    s = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
    return cell;
}

} // namespace

// Built from the CSV line, so the text and the CSV output decode a frame alike.
std::string MonitorTextLine(const TMonitorData& m, uint32_t timeMs) {
    char csv[512];
    const size_t n = FormatMonitorCsv(m, timeMs, csv, sizeof csv);
    std::string_view names = WithoutLineEnd(MonitorCsvHeader());
    std::string_view values = WithoutLineEnd(std::string_view(csv, n));
    std::string line;
    line.reserve(512);
    while (!names.empty()) {
        if (!line.empty()) line += ' ';
        line += NextCell(names);
        line += '=';
        line += NextCell(values);
    }
    line += '\n';
    return line;
}

// From the text line: the same names, the same decoding.
std::string MonitorJsonLine(const TMonitorData& m, uint32_t timeMs) {
    const std::string text = MonitorTextLine(m, timeMs);
    std::string_view pairs = WithoutLineEnd(text);
    nlohmann::ordered_json line;
    line["format"] = MONITOR_JSON_FORMAT;
    while (!pairs.empty()) {
        const size_t space = pairs.find(' ');
        const std::string_view pair = pairs.substr(0, space);
        pairs = space == std::string_view::npos ? std::string_view{} : pairs.substr(space + 1);
        const size_t equals = pair.find('=');
        const std::string name(pair.substr(0, equals));
        const std::string_view cell = pair.substr(equals + 1);
        const char* first = cell.data();
        const char* last = first + cell.size();
        // Locale-free, as the CSV line itself.
        long long whole = 0;
        double real = 0;
        if (auto r = std::from_chars(first, last, whole); r.ec == std::errc{} && r.ptr == last)
            line[name] = whole;
        else if (auto d = std::from_chars(first, last, real); d.ec == std::errc{} && d.ptr == last)
            line[name] = real;
        else
            line[name] = std::string(cell); // a word, such as the measured polarity
    }
    return line.dump() + '\n';
}

} // namespace kelmor::cli
