#include "ui/MonitorLog.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "link/MonitorCsv.h"
#include "storage/OsFile.h"

namespace kelmor {

namespace fs = std::filesystem;

std::string MonitorLogName(const LocalTime& t) {
    char name[64];
    std::snprintf(name, sizeof name, "monitor-%04d-%02d-%02d_%02d-%02d-%02d.csv", t.Year % 10000,
                  t.Month % 100, t.Day % 100, t.Hour % 100, t.Minute % 100, t.Second % 100);
    return name;
}

bool MonitorLog::Start(const std::string& folder, const LocalTime& now) {
    Stop();
    Lines = 0;
    FilePath.clear();
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return false;

    const std::string name = MonitorLogName(now);
    const std::string stem = name.substr(0, name.size() - 4);
    for (int n = 1; n <= 100 && File == nullptr; ++n) {
        const std::string candidate =
            Utf8FromPath(dir / (n == 1 ? name : stem + "-" + std::to_string(n) + ".csv"));
        // A log never writes over an earlier one.
        File = CreateNewFile(candidate);
        if (File != nullptr)
            FilePath = candidate;
        else if (errno != EEXIST)
            return false;
    }
    if (File == nullptr) return false;
    // Unbuffered: every write goes to the operating system at once.
    std::setvbuf(File, nullptr, _IONBF, 0);
    const char* header = MonitorCsvHeader();
    if (!Append(header, std::strlen(header))) return false;
    Lines = 0;
    return true;
}

bool MonitorLog::Append(const char* line, size_t length) {
    if (File == nullptr) return false;
    if (std::fwrite(line, 1, length, File) != length || std::fflush(File) != 0) {
        Stop();
        return false;
    }
    ++Lines;
    return true;
}

void MonitorLog::Stop() {
    if (File == nullptr) return;
    std::fclose(File);
    File = nullptr;
}

} // namespace kelmor
