#include "cli/MonitorLine.h"

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

} // namespace kelmor::cli
