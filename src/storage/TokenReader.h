#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>
#include <string_view>

namespace kelmor {

// One whitespace-separated word of a text file.
struct Token {
    std::string_view Text; // the word, or its first characters when too long
    bool TooLong = false;  // longer than the reader holds: never a key or a number
};

// Reads whitespace-separated words one at a time, with one word of look-ahead
// so that a value that does not convert stays to be read as the next word.
// A word is held in a fixed buffer; a longer one is consumed whole but keeps
// only its first characters and is marked too long.
class TokenReader {
  public:
    // 261 characters and a terminator: the buffer of the file readers.
    static constexpr size_t MAX_TOKEN = 261;

    explicit TokenReader(std::istream& in, size_t maxLength = MAX_TOKEN);

    // The next word, without consuming it; false at the end of the text.
    // The view stays valid until the word is consumed.
    bool Peek(Token& token);
    // Drops the word that Peek returned.
    void Consume() { Pending = false; }
    // Peek and Consume.
    bool Next(Token& token);

  private:
    std::streambuf* Source;
    size_t MaxLength;
    std::array<char, MAX_TOKEN + 1> Buffer{};
    Token Current;
    bool Pending = false;
};

// The number conversions of the file readers. A token converts only when it
// is a number as a whole: an optional sign ('+' for unsigned, '+' or '-' for
// signed) followed by decimal digits and nothing else, so "12abc", "1.5" or a
// lone "-" are not numbers and a negative number is not an unsigned one. The
// result is the number's low 16 bits (two's complement for a negative one),
// the scratch value of the readers: larger numbers wrap instead of failing.
bool ConvertUnsigned(const Token& token, uint16_t& value);
bool ConvertSigned(const Token& token, uint16_t& value);

// An input stream over text already in memory (the text must outlive it).
class ViewStream : public std::istream {
  public:
    explicit ViewStream(std::string_view text);

  private:
    struct Buf : std::streambuf {
        explicit Buf(std::string_view text);
    } View;
};

} // namespace kelmor
