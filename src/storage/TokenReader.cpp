#include "storage/TokenReader.h"

namespace kelmor {

namespace {

// The C library's white space in the "C" locale.
bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool Convert(const Token& token, bool allowMinus, uint16_t& value) {
    if (token.TooLong) return false;
    std::string_view s = token.Text;
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || (allowMinus && s.front() == '-'))) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    uint16_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = static_cast<uint16_t>(v * 10u + static_cast<unsigned>(c - '0'));
    }
    value = negative ? static_cast<uint16_t>(0u - v) : v;
    return true;
}

} // namespace

TokenReader::TokenReader(std::istream& in, size_t maxLength)
    : Source(in.rdbuf()), MaxLength(maxLength < MAX_TOKEN ? maxLength : MAX_TOKEN) {}

bool TokenReader::Peek(Token& token) {
    if (Pending) {
        token = Current;
        return true;
    }
    if (Source == nullptr) return false;
    using Traits = std::streambuf::traits_type;
    int c = Source->sgetc();
    while (c != Traits::eof() && IsSpace(c))
        c = Source->snextc();
    if (c == Traits::eof()) return false;
    size_t length = 0;
    bool tooLong = false;
    while (c != Traits::eof() && !IsSpace(c)) {
        if (length < MaxLength)
            Buffer[length++] = Traits::to_char_type(c);
        else
            tooLong = true;
        c = Source->snextc();
    }
    Buffer[length] = '\0';
    Current.Text = std::string_view(Buffer.data(), length);
    Current.TooLong = tooLong;
    Pending = true;
    token = Current;
    return true;
}

bool TokenReader::Next(Token& token) {
    if (!Peek(token)) return false;
    Consume();
    return true;
}

bool ConvertUnsigned(const Token& token, uint16_t& value) {
    return Convert(token, false, value);
}

bool ConvertSigned(const Token& token, uint16_t& value) {
    return Convert(token, true, value);
}

ViewStream::Buf::Buf(std::string_view text) {
    // Read only: nothing is ever put back into the text.
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
}

ViewStream::ViewStream(std::string_view text) : std::istream(nullptr), View(text) {
    rdbuf(&View);
}

} // namespace kelmor
