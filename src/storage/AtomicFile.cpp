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

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#include "storage/OsFile.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {

// Makes sure what was written reaches the disk before the rename makes it
// the file, so a power cut cannot leave an empty file behind the name.
bool SyncFile([[maybe_unused]] std::FILE* f) {
#ifdef KELMOR_POSIX_FILES
    return ::fsync(::fileno(f)) == 0;
#elif defined(_WIN32)
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f)))) != 0;
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

#ifdef _WIN32
// Puts the new file in the target's place in one step, written through to the
// disk. A target another program holds open cannot be replaced on Windows:
// the call fails and the old file stays as it was.
bool ReplaceTarget(const std::string& temp, const std::string& target) {
    return ::MoveFileExW(WideFromUtf8(temp).c_str(), WideFromUtf8(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

long ProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}
#else
bool ReplaceTarget(const std::string& temp, const std::string& target) {
    std::error_code ec;
    fs::rename(temp, target, ec);
    return !ec;
}

long ProcessId() {
#ifdef KELMOR_POSIX_FILES
    return static_cast<long>(::getpid());
#else
    return 0;
#endif
}
#endif

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
#ifdef _WIN32
    return ::_wfopen(target.c_str(), L"wb");
#else
    return std::fopen(target.c_str(), "wb");
#endif
}

} // namespace

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

bool AtomicFileWriter::Open(const std::string& path) {
    Abandon();
    if (path.empty()) return false;
    std::error_code ec;
    fs::path target = PathFromUtf8(path);
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
    const std::string stem = "." + Utf8FromPath(target.filename()) + ".new";
    const long id = ProcessId();
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100 && File == nullptr; ++attempt) {
        const std::string candidate = Utf8FromPath(
            folder / PathFromUtf8(stem + std::to_string(id) + "-" + std::to_string(++counter)));
        // Never reuse a file that is already there.
        File = CreateNewFile(candidate);
        if (File != nullptr) {
            Temp = candidate;
        } else if (errno != EEXIST) {
            File = OpenInPlace(target, errno);
            if (File == nullptr) return false;
            Target = Utf8FromPath(target);
            Failed = false;
            return true;
        }
    }
    if (File == nullptr) return false;
    Target = Utf8FromPath(target);
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
    if (ok && !Temp.empty()) ok = ReplaceTarget(Temp, Target);
    if (!ok) {
        if (!Temp.empty()) fs::remove(PathFromUtf8(Temp), ec);
    } else {
        fs::path folder = PathFromUtf8(Target).parent_path();
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
        fs::remove(PathFromUtf8(Temp), ec);
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
    const fs::path p = PathFromUtf8(path);
    const fs::file_status st = fs::status(p, ec);
    if (ec) return fail(ec.message());
    if (fs::is_directory(st))
        return fail(std::make_error_code(std::errc::is_a_directory).message());
    if (!fs::is_regular_file(st)) return fail("not a regular file");
    errno = 0;
    std::ifstream in(p, std::ios::binary);
    if (!in) return fail(std::generic_category().message(errno != 0 ? errno : EIO));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return fail(std::generic_category().message(errno != 0 ? errno : EIO));
    text = std::move(buffer).str();
    return true;
}

} // namespace kelmor
