#pragma once
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "support/NewTempDir.h"
#include "support/PosixOnly.h"

namespace kelmor::test {

inline void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The whole content of a file, bytes as they are; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

#ifndef _WIN32
// Makes writes beyond `bytes` fail as on a full disk, for the life of the
// object. Works for root too, unlike a folder without write permission.
// Tests that use it begin with KELMOR_POSIX_ONLY.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Saved);
        OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, OldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit Saved{};
    void (*OldHandler)(int) = nullptr;
};
#else
// Windows has no such limit; the tests that need one are skipped before this.
struct FileSizeLimit {
    explicit FileSizeLimit(unsigned long) {}
};
#endif

} // namespace kelmor::test
