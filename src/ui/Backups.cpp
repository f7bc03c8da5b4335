#include "ui/Backups.h"

#include <cstdio>
#include <filesystem>

#include "storage/AtomicFile.h"
#include "storage/OsFile.h"

namespace kelmor {

namespace fs = std::filesystem;

namespace {
constexpr size_t MAX_PIECE = 40;

bool Kept(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}
bool Joint(char c) {
    return c == '.' || c == '-' || c == '_';
}
} // namespace

std::string SanitiseForFileName(std::string_view text) {
    std::string out;
    bool pending = false; // a run of other characters waits to become '-'
    for (char c : text) {
        if (!Kept(c)) {
            pending = true;
            continue;
        }
        if (pending && !out.empty() && !Joint(out.back()) && !Joint(c)) out += '-';
        pending = false;
        if (out.empty() && c == '.') continue; // no hidden files
        out += c;
    }
    if (out.size() > MAX_PIECE) out.resize(MAX_PIECE);
    while (!out.empty() && Joint(out.back()))
        out.pop_back();
    while (!out.empty() && Joint(out.front()))
        out.erase(out.begin());
    return out;
}

std::string BackupFileName(const TIdentTexts& ident, const LocalTime& now) {
    std::string name;
    for (const std::string* text : {&ident.VersionText, &ident.DateText, &ident.TimeText}) {
        const std::string piece = SanitiseForFileName(*text);
        if (piece.empty()) continue;
        if (!name.empty()) name += '_';
        name += piece;
    }
    if (name.empty()) name = "unit";
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "_%04d-%02d-%02d_%02d-%02d-%02d.ign", now.Year % 10000,
                  now.Month % 100, now.Day % 100, now.Hour % 100, now.Minute % 100,
                  now.Second % 100);
    return name + stamp;
}

std::string WriteNewFile(const std::string& folder, const std::string& name,
                         std::string_view text) {
    std::error_code ec;
    const fs::path dir = PathFromUtf8(folder);
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) return {};
    const fs::path base = PathFromUtf8(name);
    const std::string stem = Utf8FromPath(base.stem());
    const std::string extension = Utf8FromPath(base.extension());
    std::string file = name;
    for (int n = 1; n <= 100; ++n) {
        if (n > 1) file.assign(stem).append("-").append(std::to_string(n)).append(extension);
        const fs::path path = dir / PathFromUtf8(file);
        if (fs::exists(fs::symlink_status(path, ec))) continue;
        const std::string written = Utf8FromPath(path);
        return WriteFileAtomically(written, text) ? written : std::string();
    }
    return {};
}

std::string NewestFile(const std::string& folder, std::string_view extension) {
    std::error_code ec;
    std::string newest;
    fs::file_time_type newestTime{};
    for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        std::error_code fileEc;
        if (!entry.is_regular_file(fileEc) || entry.path().extension() != extension) continue;
        const fs::file_time_type t = entry.last_write_time(fileEc);
        if (fileEc) continue;
        // The same second: the later name (its time stamp) wins.
        if (newest.empty() || t > newestTime ||
            (t == newestTime && Utf8FromPath(entry.path()) > newest)) {
            newest = Utf8FromPath(entry.path());
            newestTime = t;
        }
    }
    return newest;
}

} // namespace kelmor
