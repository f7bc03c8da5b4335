#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ui/TPlatform.h"

namespace kelmor {

// The monitor log: a CSV file in which every accepted monitor frame becomes
// one line. Each line goes to the operating system as it comes (the stream
// is unbuffered and flushed per line), so a crash or a pulled plug loses at
// most the frame in flight. Allocates nothing per line.
class MonitorLog {
  public:
    MonitorLog() = default;
    MonitorLog(const MonitorLog&) = delete;
    MonitorLog& operator=(const MonitorLog&) = delete;
    ~MonitorLog() { Stop(); }

    // Creates `folder` when it is missing and a new file in it, named after
    // `now` (another name when one of that second exists), and writes the
    // header. False when the folder or the file cannot be made or written.
    bool Start(const std::string& folder, const LocalTime& now);
    // Writes one line; false (and the log stopped) when it cannot be written.
    bool Append(const char* line, size_t length);
    void Stop();

    bool Running() const { return File != nullptr; }
    // Lines written since the start, the header not counted.
    uint32_t Frames() const { return Lines; }
    // The file of the present or the last run.
    const std::string& Path() const { return FilePath; }
    // The stream, for tests that make its disk fail.
    std::FILE* Stream() const { return File; }

  private:
    std::FILE* File = nullptr;
    std::string FilePath;
    uint32_t Lines = 0;
};

// "monitor-2026-12-10_14-30-05.csv" for that moment.
std::string MonitorLogName(const LocalTime& t);

} // namespace kelmor
