#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
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

} // namespace kelmor::test
