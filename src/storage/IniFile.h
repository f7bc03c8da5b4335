#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

// An INI file read and written the way the Windows profile functions treat
// one: plain "key=value" lines under "[SECTION]" headers, no quoting or
// escaping, values replaced in place, every other line kept as it was.
class IniFile {
  public:
    // Loads the file; a missing or unreadable file gives an empty one (false).
    bool Load(const std::string& path);
    // Parses text already in memory (tests, fuzzing).
    void Parse(std::string_view text);

    // The value, or `def` when the section or key is absent.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // The value as a decimal integer (blanks around it allowed), or `def` when
    // absent or not wholly an integer.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;

    // Replaces the value in place, or appends the key to its section
    // (creating the section at the end when it is missing).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);

    // The whole text as it would be written (CR LF line ends).
    std::string Text() const;
    // Writes the text to a new file beside `path`, then replaces `path` with it,
    // so a failed write leaves the old file whole. False on any failure.
    bool Save(const std::string& path) const;

  private:
    std::vector<std::string> Lines;
};

} // namespace kelmor
