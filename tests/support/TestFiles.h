#pragma once
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <system_error>

namespace kelmor::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
class TempFolder {
  public:
    TempFolder() {
        std::string templ = (std::filesystem::temp_directory_path() / "kelmor-XXXXXX").string();
        if (::mkdtemp(templ.data()) != nullptr) Root = templ;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(Root, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(Root, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return Root; }
    std::string File(const std::string& name) const { return Root + "/" + name; }

  private:
    std::string Root;
};

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

// Makes writes beyond `bytes` fail as on a full disk, for the life of the
// object. Works for root too, unlike a folder without write permission.
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

} // namespace kelmor::test
