#include "storage/IniFile.h"

#include <climits>
#include <cstdint>

#include "storage/AtomicFile.h"

namespace kelmor {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names are compared as the profile functions do: ASCII letters without case.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// "[name]" gives the trimmed name; anything else is not a header.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// "key=value": the key before the first '=', the value after it, both
// trimmed. Comments and lines without '=' hold no key.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

// A value cannot span lines: a line break would turn the rest into lines of
// their own (a new key or section), so the value ends before it.
std::string_view OneLine(std::string_view value) {
    size_t br = value.find_first_of("\r\n");
    return br == std::string_view::npos ? value : value.substr(0, br);
}

} // namespace

bool IniFile::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        Lines.clear();
        return false;
    }
    Parse(text);
    return true;
}

void IniFile::Parse(std::string_view text) {
    Lines.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    while (!text.empty()) {
        size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        Lines.emplace_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    bool inSection = false;
    for (const std::string& line : Lines) {
        std::string_view name, k, v;
        if (SectionName(line, name))
            inSection = SameName(name, section);
        else if (inSection && KeyLine(line, k, v) && SameName(k, key))
            return std::string(v);
    }
    return std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    // Absent and empty read alike: neither holds a digit.
    const std::string text = ReadString(section, key, "");
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    // The whole value must be digits: "1x" or "3abc" is no integer.
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    for (char c : s) {
        if (c < '0' || c > '9') return def;
        value = value * 10 + (c - '0');
        if (value > limit) return def; // does not fit: not an integer here
    }
    if (s.empty()) return def;
    return static_cast<int>(negative ? -value : value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    value = OneLine(value);
    std::string line = std::string(key) + "=" + std::string(value);

    bool inSection = false;
    size_t header = Lines.size(); // first header of the section
    for (size_t i = 0; i < Lines.size(); ++i) {
        std::string_view name, k, v;
        if (SectionName(Lines[i], name)) {
            inSection = SameName(name, section);
            if (inSection && header == Lines.size()) header = i;
        } else if (inSection && KeyLine(Lines[i], k, v) && SameName(k, key)) {
            // In place, keeping the spelling of the key already there.
            Lines[i] = std::string(k) + "=" + std::string(value);
            return;
        }
    }
    if (header == Lines.size()) {
        Lines.push_back("[" + std::string(section) + "]");
        Lines.push_back(std::move(line));
        return;
    }
    // After the section's last non-blank line, so a blank line that parts it
    // from the next section stays where it is.
    size_t last = header;
    for (size_t i = header + 1; i < Lines.size(); ++i) {
        std::string_view name;
        if (SectionName(Lines[i], name)) break;
        if (!Trim(Lines[i]).empty()) last = i;
    }
    Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(last + 1), std::move(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

std::string IniFile::Text() const {
    std::string out;
    for (const std::string& line : Lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::Save(const std::string& path) const {
    return WriteFileAtomically(path, Text());
}

} // namespace kelmor
