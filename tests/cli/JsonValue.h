#pragma once
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor::test {

// A strict little JSON reader for checking the tool's output: it accepts
// only what RFC 8259 allows (no trailing commas, no bare words, nothing after
// the value) and keeps numbers as doubles.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } Type = Kind::Null;
    bool Bool = false;
    double Number = 0;
    std::string String;
    std::vector<JsonValue> Items;
    std::map<std::string, JsonValue> Members;

    const JsonValue* Find(const std::string& key) const {
        auto it = Members.find(key);
        return it == Members.end() ? nullptr : &it->second;
    }

    // False when `text` is not exactly one valid JSON value.
    static bool Parse(std::string_view text, JsonValue& out) {
        size_t pos = 0;
        if (!ParseValue(text, pos, out, 0)) return false;
        SkipSpace(text, pos);
        return pos == text.size();
    }

  private:
    static void SkipSpace(std::string_view t, size_t& p) {
        while (p < t.size() && (t[p] == ' ' || t[p] == '\t' || t[p] == '\n' || t[p] == '\r'))
            ++p;
    }
    static bool Literal(std::string_view t, size_t& p, std::string_view word) {
        if (t.substr(p, word.size()) != word) return false;
        p += word.size();
        return true;
    }
    static bool ParseString(std::string_view t, size_t& p, std::string& out) {
        if (p >= t.size() || t[p] != '"') return false;
        ++p;
        while (p < t.size() && t[p] != '"') {
            const unsigned char c = static_cast<unsigned char>(t[p]);
            if (c < 0x20) return false;
            if (c == '\\') {
                if (++p >= t.size()) return false;
                const char e = t[p];
                if (e == 'u') {
                    if (p + 4 >= t.size()) return false;
                    for (int i = 1; i <= 4; ++i)
                        if (!std::isxdigit(static_cast<unsigned char>(t[p + i]))) return false;
                    p += 4;
                    out += '?';
                } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                    return false;
                } else {
                    out += e;
                }
            } else {
                out += static_cast<char>(c);
            }
            ++p;
        }
        if (p >= t.size()) return false;
        ++p;
        return true;
    }
    static bool ParseNumber(std::string_view t, size_t& p, double& out) {
        const size_t start = p;
        if (p < t.size() && t[p] == '-') ++p;
        if (p >= t.size() || !std::isdigit(static_cast<unsigned char>(t[p]))) return false;
        if (t[p] == '0' && p + 1 < t.size() && std::isdigit(static_cast<unsigned char>(t[p + 1])))
            return false;
        while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p])))
            ++p;
        if (p < t.size() && t[p] == '.') {
            ++p;
            if (p >= t.size() || !std::isdigit(static_cast<unsigned char>(t[p]))) return false;
            while (p < t.size() && std::isdigit(static_cast<unsigned char>(t[p])))
                ++p;
        }
        out = std::strtod(std::string(t.substr(start, p - start)).c_str(), nullptr);
        return true;
    }
    static bool ParseValue(std::string_view t, size_t& p, JsonValue& out, int depth) {
        if (depth > 32) return false;
        SkipSpace(t, p);
        if (p >= t.size()) return false;
        const char c = t[p];
        if (c == 'n') return Literal(t, p, "null");
        if (c == 't' || c == 'f') {
            out.Type = Kind::Bool;
            out.Bool = c == 't';
            return Literal(t, p, out.Bool ? "true" : "false");
        }
        if (c == '"') {
            out.Type = Kind::String;
            return ParseString(t, p, out.String);
        }
        if (c == '[' || c == '{') {
            const bool object = c == '{';
            out.Type = object ? Kind::Object : Kind::Array;
            ++p;
            SkipSpace(t, p);
            if (p < t.size() && t[p] == (object ? '}' : ']')) {
                ++p;
                return true;
            }
            for (;;) {
                JsonValue item;
                std::string key;
                if (object) {
                    SkipSpace(t, p);
                    if (!ParseString(t, p, key)) return false;
                    SkipSpace(t, p);
                    if (p >= t.size() || t[p++] != ':') return false;
                }
                if (!ParseValue(t, p, item, depth + 1)) return false;
                if (object) {
                    if (!out.Members.emplace(key, std::move(item)).second) return false;
                } else {
                    out.Items.push_back(std::move(item));
                }
                SkipSpace(t, p);
                if (p >= t.size()) return false;
                if (t[p] == ',') {
                    ++p;
                    continue;
                }
                if (t[p++] != (object ? '}' : ']')) return false;
                return true;
            }
        }
        out.Type = Kind::Number;
        return ParseNumber(t, p, out.Number);
    }
};

} // namespace kelmor::test
