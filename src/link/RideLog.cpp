#include "link/RideLog.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "link/MonitorCsv.h"

namespace kelmor {

namespace {

constexpr uint32_t MONITOR_PERIOD_MS = 330;
constexpr size_t MAX_NAMES_TOLD = 10;
constexpr size_t MAX_NAME_LENGTH = 40;

// A name from the file as a message may show it: printable ASCII, '?' for the rest.
std::string Printable(std::string_view name) {
    std::string out(name.substr(0, MAX_NAME_LENGTH));
    for (char& c : out)
        if (c < 0x20 || c > 0x7E) c = '?';
    return out;
}

// The header's names, split once from the header the writer uses.
const std::array<std::string_view, LOG_COLUMNS>& Names() {
    static const std::array<std::string_view, LOG_COLUMNS> NAMES = [] {
        std::array<std::string_view, LOG_COLUMNS> n{};
        std::string_view h = MonitorCsvHeader();
        while (!h.empty() && (h.back() == '\n' || h.back() == '\r'))
            h.remove_suffix(1);
        for (size_t k = 0; k < n.size(); ++k) {
            const size_t comma = h.find(',');
            n[k] = h.substr(0, comma);
            h = comma == std::string_view::npos ? std::string_view() : h.substr(comma + 1);
        }
        return n;
    }();
    return NAMES;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename T> bool ParseInt(std::string_view s, T& out) {
    s = Trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "13.284", "13,284" or "13" volts to millivolts; further decimals are cut off.
bool ParseVolts(std::string_view s, int32_t& mv) {
    s = Trim(s);
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    const size_t mark = s.find_first_of(".,");
    const std::string_view whole = s.substr(0, mark);
    const std::string_view fraction =
        mark == std::string_view::npos ? std::string_view() : s.substr(mark + 1);
    if (!AllDigits(whole) || (mark != std::string_view::npos && !AllDigits(fraction))) return false;
    int32_t volts = 0;
    if (!ParseInt(whole, volts) || volts > 2000000) return false;
    int32_t milli = 0;
    for (size_t k = 0; k < 3; ++k)
        milli = milli * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
    mv = volts * 1000 + milli;
    if (negative) mv = -mv;
    return true;
}

bool ParseValue(LogColumn c, std::string_view field, int32_t& value) {
    switch (c) {
    case LogColumn::Voltage:
        return ParseVolts(field, value);
    case LogColumn::PolarityMeasured: {
        const std::string_view t = Trim(field);
        if (t == "positive" || t == "0") {
            value = 0;
            return true;
        }
        if (t == "negative" || t == "1") {
            value = 1;
            return true;
        }
        return false;
    }
    default:
        if (!ParseInt(field, value)) return false;
        if (IsFlagColumn(c)) value = value != 0 ? 1 : 0;
        return true;
    }
}

// Splits on commas into `fields`, which keeps its capacity.
void Split(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    for (;;) {
        const size_t comma = line.find(',');
        fields.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return;
        line.remove_prefix(comma + 1);
    }
}

bool LooksLikeHeader(std::string_view line) {
    const std::string_view t = Trim(line);
    return !t.empty() && ((t.front() >= 'a' && t.front() <= 'z') ||
                          (t.front() >= 'A' && t.front() <= 'Z') || t.front() == '_');
}

} // namespace

std::string_view LogColumnName(LogColumn c) {
    const size_t k = static_cast<size_t>(c);
    return k < Names().size() ? Names()[k] : std::string_view();
}

bool IsFlagColumn(LogColumn c) {
    return c >= LogColumn::Pickup && c <= LogColumn::DataError && c != LogColumn::PolarityMeasured;
}

size_t RideLog::IndexAt(uint32_t t) const {
    const auto it = std::upper_bound(Times.begin(), Times.end(), t);
    return it == Times.begin() ? 0 : static_cast<size_t>(it - Times.begin()) - 1;
}

size_t RideLog::FirstAtOrAfter(uint32_t t) const {
    return static_cast<size_t>(std::lower_bound(Times.begin(), Times.end(), t) - Times.begin());
}

bool RideLogReport::Noteworthy() const {
    return BadLines > 0 || OutOfOrder > 0 || ExtraValueLines > 0 || TruncatedLast || NoHeader ||
           Binary || NoTime || !UnknownColumns.empty() || !MissingColumns.empty();
}

struct RideLogBuilder {
    static RideLog Read(std::string_view text, RideLogReport& report);
};

RideLog RideLogBuilder::Read(std::string_view text, RideLogReport& report) {
    report = RideLogReport{};
    RideLog log;
    for (const char c : text)
        if (c == '\0' ||
            (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t')) {
            report.Binary = true;
            break;
        }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    const size_t expected = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    log.Times.reserve(expected);

    // Where each field of a line goes: a column, or -1 for one not known.
    std::vector<int> target;
    std::vector<std::string_view> fields;
    fields.reserve(64);
    bool haveLayout = false;
    bool anyKnown = false;
    size_t voltageField = SIZE_MAX;
    std::array<int32_t, LOG_COLUMNS> row{};

    auto useUsualOrder = [&] {
        target.clear();
        for (int k = 0; k < LOG_COLUMNS; ++k)
            target.push_back(k);
        haveLayout = true;
    };
    auto finishLayout = [&] {
        for (size_t f = 0; f < target.size(); ++f)
            if (target[f] >= 0) log.Present[static_cast<size_t>(target[f])] = true;
        for (int k = 0; k < LOG_COLUMNS; ++k)
            if (log.Present[static_cast<size_t>(k)])
                log.Values[static_cast<size_t>(k)].reserve(expected);
        voltageField = SIZE_MAX;
        for (size_t f = 0; f < target.size(); ++f)
            if (target[f] == static_cast<int>(LogColumn::Voltage)) voltageField = f;
        report.NoTime = !log.Present[static_cast<size_t>(LogColumn::TimeMs)];
        anyKnown = std::find(log.Present.begin(), log.Present.end(), true) != log.Present.end();
    };

    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find('\n', pos);
        const bool complete = end != std::string_view::npos;
        std::string_view line = text.substr(pos, complete ? end - pos : std::string_view::npos);
        pos = complete ? end + 1 : text.size();
        // A line the writer finished ends in CR LF; one cut off after its CR is whole.
        const bool ended = complete || (!line.empty() && line.back() == '\r');
        if (Trim(line).empty()) continue;

        if (!haveLayout) {
            if (LooksLikeHeader(line)) {
                Split(line, fields);
                std::array<bool, LOG_COLUMNS> seen{};
                for (std::string_view name : fields) {
                    name = Trim(name);
                    int column = -1;
                    for (int k = 0; k < LOG_COLUMNS; ++k)
                        if (!seen[static_cast<size_t>(k)] &&
                            Names()[static_cast<size_t>(k)] == name) {
                            column = k;
                            seen[static_cast<size_t>(k)] = true;
                            break;
                        }
                    target.push_back(column);
                    if (column < 0 && report.UnknownColumns.size() < MAX_NAMES_TOLD)
                        report.UnknownColumns.push_back(Printable(name));
                }
                for (int k = 0; k < LOG_COLUMNS; ++k)
                    if (!seen[static_cast<size_t>(k)])
                        report.MissingColumns.emplace_back(Names()[static_cast<size_t>(k)]);
                haveLayout = true;
                finishLayout();
                continue;
            }
            report.NoHeader = true;
            useUsualOrder();
            finishLayout();
        }

        if (!ended) {
            report.TruncatedLast = true;
            break;
        }
        Split(line, fields);
        if (!anyKnown || fields.size() < target.size()) {
            ++report.BadLines;
            continue;
        }
        // An earlier version wrote the voltage with the decimal mark of the
        // user's locale: "13,284" became two fields.
        const bool comma = fields.size() == target.size() + 1 && voltageField != SIZE_MAX &&
                           AllDigits(Trim(fields[voltageField])) &&
                           AllDigits(Trim(fields[voltageField + 1]));
        bool ok = true;
        uint32_t time = 0;
        row.fill(0);
        for (size_t f = 0; f < target.size() && ok; ++f) {
            const int column = target[f];
            if (column < 0) continue;
            const auto c = static_cast<LogColumn>(column);
            const size_t at = comma && f > voltageField ? f + 1 : f;
            if (c == LogColumn::TimeMs) {
                ok = ParseInt(fields[at], time);
            } else if (comma && f == voltageField) {
                const std::string_view whole = Trim(fields[f]);
                const std::string_view fraction = Trim(fields[f + 1]);
                char joined[48];
                ok = whole.size() + fraction.size() + 1 < sizeof joined;
                if (!ok) break;
                std::memcpy(joined, whole.data(), whole.size());
                joined[whole.size()] = '.';
                std::memcpy(joined + whole.size() + 1, fraction.data(), fraction.size());
                ok = ParseVolts(std::string_view(joined, whole.size() + 1 + fraction.size()),
                                row[static_cast<size_t>(column)]);
            } else {
                ok = ParseValue(c, fields[at], row[static_cast<size_t>(column)]);
            }
        }
        if (!ok) {
            ++report.BadLines;
            continue;
        }
        if (report.NoTime)
            time = static_cast<uint32_t>(
                std::min<size_t>(log.Times.size(), UINT32_MAX / MONITOR_PERIOD_MS) *
                MONITOR_PERIOD_MS);
        if (!log.Times.empty() && time < log.Times.back()) {
            ++report.OutOfOrder;
            continue;
        }
        if (comma)
            ++report.CommaVoltages;
        else if (fields.size() > target.size())
            ++report.ExtraValueLines;
        log.Times.push_back(time);
        row[static_cast<size_t>(LogColumn::TimeMs)] = static_cast<int32_t>(time & 0x7FFFFFFF);
        for (int k = 0; k < LOG_COLUMNS; ++k)
            if (log.Present[static_cast<size_t>(k)])
                log.Values[static_cast<size_t>(k)].push_back(row[static_cast<size_t>(k)]);
        ++report.Lines;
    }
    // Absent columns hold zeros, so that every column has a value per line.
    for (int k = 0; k < LOG_COLUMNS; ++k)
        if (!log.Present[static_cast<size_t>(k)])
            log.Values[static_cast<size_t>(k)].assign(log.Times.size(), 0);
    return log;
}

RideLog ReadRideLog(std::string_view text, RideLogReport& report) {
    return RideLogBuilder::Read(text, report);
}

} // namespace kelmor
