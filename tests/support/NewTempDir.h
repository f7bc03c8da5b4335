#pragma once
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace kelmor::test {

// Makes a new, empty folder under the system's temporary folder, its name
// `prefix` and a random part, and returns its path; empty when none could be
// made. Works where mkdtemp does not exist.
inline std::string NewTempDir(const std::string& prefix) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = base / (prefix + std::to_string(random() % 1000000000000ULL));
        // create_directory is false for a folder that is already there.
        if (fs::create_directory(p, ec)) {
            const std::u8string name = p.u8string();
            return std::string(name.begin(), name.end());
        }
    }
    return {};
}

// `name` inside `folder` as the program joins them, with the system's
// separator, so that paths in its messages can be compared as text.
inline std::string InFolder(const std::string& folder, const std::string& name) {
    const std::u8string joined =
        (std::filesystem::path(std::u8string(folder.begin(), folder.end())) /
         std::u8string(name.begin(), name.end()))
            .u8string();
    return std::string(joined.begin(), joined.end());
}

// A fresh folder under the system's temporary folder, removed with everything
// in it when the test ends.
class TempFolder {
  public:
    TempFolder() : Root(NewTempDir("kelmor-")) {}
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

} // namespace kelmor::test
