#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace kelmor {

// Replaces a file as a whole: the text goes into a new file beside the
// target, which is flushed to disk and then renamed over the target. A failed
// or interrupted write therefore leaves the previous file as it was. Where
// the folder refuses a new file but the target may be written, the target is
// written in place instead.
class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    // An uncommitted new file is removed; the target is left alone.
    ~AtomicFileWriter();

    // Creates the new file beside `path` (or opens `path` itself, see above).
    // False when neither can be done, or when `path` names something that is
    // not a writable file.
    bool Open(const std::string& path);
    // Appends to the new file; false (and every later call false) on failure.
    bool Write(std::string_view text);
    // Flushes, syncs and renames the new file over the target.
    bool Commit();
    // Drops the new file; the target stays as it was.
    void Abandon();

  private:
    std::string Target;
    std::string Temp;
    std::FILE* File = nullptr;
    bool Failed = false;
};

// Open, Write and Commit in one go.
bool WriteFileAtomically(const std::string& path, std::string_view text);

// Reads a whole file into `text`. False when it cannot be opened or read, or
// is not a regular file (a folder, say); then *reason, when given, says why
// in the system's words ("No such file or directory").
bool ReadWholeFile(const std::string& path, std::string& text, std::string* reason = nullptr);

} // namespace kelmor
