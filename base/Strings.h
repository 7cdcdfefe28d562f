#pragma once
// The small text vocabulary: numbers as text, string builders, narrow/wide conversion,
// case mapping, prefixes, integer parsing and clamp.
//
// The builders are operators in this namespace; code elsewhere brings them in with
// `using skinner::operator<<;`. Appending one wide character is the standard library's
// operator+ (a copy with the character appended).
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace skinner {

// Numbers are formatted printf-style: "%d", "%ld", "%f" (six digits after the point).
std::string text_of(int value);
std::string text_of(long value);
std::string text_of(double value);
// Signed decimal: "0", or an optional '-' and the digits of the magnitude.
std::string text_of(long long value);
std::string_view text_of(bool value);
std::string_view text_of(const char* text);
std::u16string_view text_of(const char16_t* text);

std::u16string& operator<<(std::u16string& out, const char16_t* text);
std::u16string& operator<<(std::u16string& out, const std::u16string& text);
std::u16string& operator<<(std::u16string& out, int value);
std::u16string& operator<<(std::u16string& out, const char* text);  // widened
std::u16string& operator<<(std::u16string& out, long value);       // as text_of(int64)
std::u16string& operator<<(std::u16string& out, long long value);  // as text_of(int64)
std::string& operator<<(std::string& out, int value);
std::string& operator<<(std::string& out, const char* text);
// A single character would silently become its number; append it with += or + instead.
std::u16string& operator<<(std::u16string& out, char16_t c) = delete;
std::string& operator<<(std::string& out, char c) = delete;

// Appends the first, " ", the second.
bool append_pair(std::string& out, std::pair<int, int> values);

// Each byte becomes the code unit of the same value (0-255).
void widen(const char* text, size_t length, std::u16string& out);
void widen(const std::string& text, std::u16string& out);
void widen(const char* begin, const char* end, std::u16string& out);

// Through the ANSI code page, one byte a character; false and out unchanged when a
// character has no byte there.
bool narrow(const char16_t* text, size_t length, std::string& out);
bool narrow(const std::u16string& text, std::string& out);
bool narrow(const char16_t* begin, const char16_t* end, std::string& out);

// Assign [begin, end) to a string of either width; returns end, or null when narrowing failed.
const char* assign_range(std::string& out, const char* begin, const char* end);
const char* assign_range(std::u16string& out, const char* begin, const char* end);
const char16_t* assign_range(std::u16string& out, const char16_t* begin, const char16_t* end);
const char16_t* assign_range(std::string& out, const char16_t* begin, const char16_t* end);

std::u16string to_lower(const std::u16string& text);
std::u16string to_upper(const std::u16string& text);

bool starts_with(std::u16string_view text, std::u16string_view prefix);
bool starts_with(std::string_view text, std::string_view prefix);

bool is_space(char16_t c);
bool is_digit(char16_t c);

// The first position in [begin, end) that is not a space.
const char16_t* skip_spaces(const char16_t* begin, const char16_t* end);
// Spaces, an optional sign, decimal digits (wrapping in 32 bits). Returns the position
// after the last digit, or null when there was no digit (out is then 0 if a sign was read).
const char16_t* parse_int(const char16_t* begin, const char16_t* end, int& out);
// parse_int in the argument order of the property parsers.
const char16_t* parse_value(int& out, const char16_t* begin, const char16_t* end);
// The characters up to the first space; returns the position reached.
const char16_t* parse_value(std::u16string& out, const char16_t* begin, const char16_t* end);
// True when the text starts with a number (text after it is allowed).
bool parse_int(const std::u16string& text, int& out);

// lo when x < lo, else hi when x > hi, else x: the lower bound wins when lo > hi.
double clamp(double x, double lo, double hi);

}  // namespace skinner
