#include "storage/AtomicFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define KELMOR_POSIX_FILES 1
#endif

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// Makes sure what was written reaches the disk before the rename makes it
// the file, so a power cut cannot leave an empty file behind the name.
bool SyncFile([[maybe_unused]] std::FILE* f) {
#ifdef KELMOR_POSIX_FILES
    return ::fsync(::fileno(f)) == 0;
#else
    return true;
#endif
}

void SyncFolder([[maybe_unused]] const fs::path& folder) {
#ifdef KELMOR_POSIX_FILES
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

bool Writable([[maybe_unused]] const fs::path& p) {
#ifdef KELMOR_POSIX_FILES
    return ::access(p.c_str(), W_OK) == 0;
#else
    return true;
#endif
}

// Where no new file may be made beside the target (a folder the user may not
// write to, holding a file they may), the target itself is created or
// truncated and written, so the save is not lost. Only a refusal leads here:
// a full disk or any other fault leaves the target as it was.
std::FILE* OpenInPlace(const fs::path& target, int createError) {
    if (createError != EACCES && createError != EPERM) return nullptr;
    return std::fopen(target.string().c_str(), "wb");
}

} // namespace

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

bool AtomicFileWriter::Open(const std::string& path) {
    Abandon();
    if (path.empty()) return false;
    std::error_code ec;
    fs::path target(path);
    // Saving through a link replaces the file it points at, not the link.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        target = fs::weakly_canonical(target, ec);
        if (ec) return false;
    }
    const fs::file_status st = fs::status(target, ec);
    const bool exists = fs::exists(st);
    if (exists && (!fs::is_regular_file(st) || !Writable(target))) return false;
    if (target.filename().empty()) return false;

    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const std::string stem = "." + target.filename().string() + ".new";
#ifdef KELMOR_POSIX_FILES
    const long id = static_cast<long>(::getpid());
#else
    const long id = 0;
#endif
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && File == nullptr; ++attempt) {
        fs::path candidate = folder / (stem + std::to_string(id) + "-" + std::to_string(++counter));
        // "x": never reuse a file that is already there.
        File = std::fopen(candidate.string().c_str(), "wbx");
        if (File != nullptr) {
            Temp = candidate.string();
        } else if (errno != EEXIST) {
            File = OpenInPlace(target, errno);
            if (File == nullptr) return false;
            Target = target.string();
            Failed = false;
            return true;
        }
    }
    if (File == nullptr) return false;
    Target = target.string();
    Failed = false;
#ifdef KELMOR_POSIX_FILES
    // A replaced file keeps its permissions.
    struct stat old {};
    if (exists && ::stat(Target.c_str(), &old) == 0) ::fchmod(::fileno(File), old.st_mode & 07777);
#endif
    return true;
}

bool AtomicFileWriter::Write(std::string_view text) {
    if (File == nullptr || Failed) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), File) != text.size())
        Failed = true;
    return !Failed;
}

bool AtomicFileWriter::Commit() {
    if (File == nullptr) return false;
    bool ok = !Failed && std::fflush(File) == 0 && SyncFile(File);
    ok = (std::fclose(File) == 0) && ok;
    File = nullptr;
    std::error_code ec;
    if (ok && !Temp.empty()) {
        fs::rename(Temp, Target, ec);
        ok = !ec;
    }
    if (!ok) {
        if (!Temp.empty()) fs::remove(Temp, ec);
    } else {
        fs::path folder = fs::path(Target).parent_path();
        SyncFolder(folder.empty() ? fs::path(".") : folder);
    }
    Temp.clear();
    Target.clear();
    Failed = false;
    return ok;
}

void AtomicFileWriter::Abandon() {
    if (File != nullptr) {
        std::fclose(File);
        File = nullptr;
    }
    if (!Temp.empty()) {
        std::error_code ec;
        fs::remove(Temp, ec);
        Temp.clear();
    }
    Target.clear();
    Failed = false;
}

bool WriteFileAtomically(const std::string& path, std::string_view text) {
    AtomicFileWriter w;
    return w.Open(path) && w.Write(text) && w.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string* reason) {
    text.clear();
    auto fail = [reason](std::string why) {
        if (reason != nullptr) *reason = std::move(why);
        return false;
    };
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec) return fail(ec.message());
    if (fs::is_directory(st))
        return fail(std::make_error_code(std::errc::is_a_directory).message());
    if (!fs::is_regular_file(st)) return fail("not a regular file");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(std::generic_category().message(errno != 0 ? errno : EIO));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return fail(std::generic_category().message(errno != 0 ? errno : EIO));
    text = std::move(buffer).str();
    return true;
}

} // namespace kelmor
