// The ride log viewer's side of the main window: which log it opens and
// what the window says about what reading it left out.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "ui/Backups.h"
#include "ui/TFormHlav.h"

namespace kelmor {

namespace {

// Far beyond a day of logging (about 300 000 lines); a larger file is no
// log of a ride, and only its beginning is read.
constexpr size_t MAX_LOG_BYTES = size_t(256) << 20;

enum class LogRead { Ok, Cut, Failed };

LogRead ReadLogText(const std::string& path, std::string& text) {
    text.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return LogRead::Failed;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return LogRead::Failed;
    const uintmax_t size = std::filesystem::file_size(path, ec);
    text.reserve(ec ? 0 : static_cast<size_t>(std::min<uintmax_t>(size, MAX_LOG_BYTES)));
    char buffer[65536];
    bool cut = false;
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, f);
        if (n == 0) break;
        if (text.size() + n > MAX_LOG_BYTES) {
            text.append(buffer, MAX_LOG_BYTES - text.size());
            cut = true;
            break;
        }
        text.append(buffer, n);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return LogRead::Failed;
    return cut ? LogRead::Cut : LogRead::Ok;
}

// A monitor log starts with its header; that, not the name, makes a file one.
bool StartsAsMonitorLog(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char start[16] = {};
    const size_t n = std::fread(start, 1, sizeof start, f);
    std::fclose(f);
    std::string_view s(start, n);
    if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
    return s.substr(0, 8) == "time_ms,";
}

void Count(std::string& out, const std::string& text, uint32_t n) {
    char number[16];
    std::snprintf(number, sizeof number, " %u", static_cast<unsigned>(n));
    out += '\n';
    out += text;
    out += number;
}

void Names(std::string& out, const std::string& text, const std::vector<std::string>& names) {
    out += '\n';
    out += text;
    for (size_t i = 0; i < names.size(); ++i) {
        out += i == 0 ? " " : ", ";
        out += names[i];
    }
}

// What reading the log left out or took differently, one line each.
std::string LogNote(const RideLogReport& r, bool cut, const TMessageTable& t) {
    std::string out;
    if (r.Binary) out += '\n' + t.MsgLogBinary;
    if (cut) out += '\n' + t.MsgLogTooLarge;
    if (r.NoHeader) out += '\n' + t.MsgLogNoHeader;
    if (r.NoTime) out += '\n' + t.MsgLogNoTime;
    if (r.TruncatedLast && !cut) out += '\n' + t.MsgLogTruncated;
    if (r.BadLines > 0) Count(out, t.MsgLogBadLines, r.BadLines);
    if (r.OutOfOrder > 0) Count(out, t.MsgLogOutOfOrder, r.OutOfOrder);
    if (r.ExtraValueLines > 0) Count(out, t.MsgLogExtraValues, r.ExtraValueLines);
    if (!r.UnknownColumns.empty()) Names(out, t.MsgLogUnknownColumns, r.UnknownColumns);
    if (!r.MissingColumns.empty()) Names(out, t.MsgLogMissingColumns, r.MissingColumns);
    return out.empty() ? out : out.substr(1);
}

} // namespace

void TFormHlav::MenuLogViewerClick() {
    const std::string folder = LogFolder();
    if (std::optional<std::string> path = Host.OpenLogDialog(folder, NewestFile(folder, ".csv")))
        OpenLogFile(*path);
}

void TFormHlav::OpenLogFile(const std::string& path) {
    std::string text;
    const LogRead read = ReadLogText(path, text);
    if (read == LogRead::Failed) {
        Host.MessageBox(Messages.MsgFileOpenError + "\n" + path);
        return;
    }
    RideLogReport report;
    RideLog log = ReadRideLog(text, report);
    text = std::string(); // the lines are read; the text may be large
    const std::string note = LogNote(report, read == LogRead::Cut, Messages);
    if (log.Empty()) {
        Host.MessageBox(Messages.MsgLogNothing + "\n" + path + (note.empty() ? "" : "\n\n" + note));
        return;
    }
    Viewer.Load(std::move(log), path);
    Viewer.FollowCurve(Params());
    ViewerNote = note;
    Host.ShowLogViewer();
}

void TFormHlav::OpenArguments(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(arg, ec) && StartsAsMonitorLog(arg)) OpenLogFile(arg);
    }
}

bool IsMonitorLogFile(const std::string& path) {
    return StartsAsMonitorLog(path);
}

} // namespace kelmor
