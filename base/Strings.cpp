#include "base/Strings.h"

#include <algorithm>
#include <cstdio>

#include "platform/text/Text.h"

namespace skinner {

namespace {

// printf-style into a buffer sized by a first measuring pass: "%f" of a huge double has
// more than 300 digits.
template <class Value>
std::string format(const char* pattern, Value value) {
    char small[64];
    int length = std::snprintf(small, sizeof small, pattern, value);
    if (length < 0) {
        return std::string();
    }
    if (static_cast<size_t>(length) < sizeof small) {
        return std::string(small, static_cast<size_t>(length));
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, value);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

std::string text_of(int value) {
    return format("%d", value);
}

std::string text_of(long value) {
    return format("%ld", value);
}

std::string text_of(double value) {
    return format("%f", value);
}

std::string text_of(long long value) {
    if (value == 0) {
        return "0";
    }
    std::string text;
    // The magnitude in unsigned arithmetic: the most negative value has no signed one.
    unsigned long long magnitude = static_cast<unsigned long long>(value);
    if (value < 0) {
        text.push_back('-');
        magnitude = 0ULL - magnitude;
    }
    size_t first_digit = text.size();
    while (magnitude != 0) {
        text.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    }
    std::reverse(text.begin() + static_cast<std::ptrdiff_t>(first_digit), text.end());
    return text;
}

std::string_view text_of(bool value) {
    return value ? "true" : "false";
}

std::string_view text_of(const char* text) {
    return text;
}

std::u16string_view text_of(const char16_t* text) {
    return text;
}

std::u16string& operator<<(std::u16string& out, const char16_t* text) {
    return out.append(text);
}

std::u16string& operator<<(std::u16string& out, const std::u16string& text) {
    return out.append(text);
}

std::u16string& operator<<(std::u16string& out, int value) {
    std::string text = text_of(value);
    return out.append(text.begin(), text.end());
}

std::u16string& operator<<(std::u16string& out, const char* text) {
    std::u16string wide;
    widen(text, std::char_traits<char>::length(text), wide);
    return out.append(wide);
}

std::u16string& operator<<(std::u16string& out, long value) {
    return out << static_cast<long long>(value);
}

std::u16string& operator<<(std::u16string& out, long long value) {
    std::string text = text_of(value);
    return out.append(text.begin(), text.end());
}

std::string& operator<<(std::string& out, int value) {
    return out.append(text_of(value));
}

std::string& operator<<(std::string& out, const char* text) {
    return out.append(text);
}

bool append_pair(std::string& out, std::pair<int, int> values) {
    out << values.first << " " << values.second;
    return true;
}

void widen(const char* text, size_t length, std::u16string& out) {
    out.resize(length);
    for (size_t i = 0; i < length; ++i) {
        out[i] = static_cast<unsigned char>(text[i]);
    }
}

void widen(const std::string& text, std::u16string& out) {
    widen(text.data(), text.size(), out);
}

void widen(const char* begin, const char* end, std::u16string& out) {
    widen(begin, static_cast<size_t>(end - begin), out);
}

bool narrow(const char16_t* text, size_t length, std::string& out) {
    if (length == 0) {
        out.clear();
        return true;
    }
    if (length > static_cast<size_t>(INT32_MAX)) {
        return false;
    }
    std::string bytes(length, '\0');
    int n = static_cast<int>(length);
    int written = WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, n, bytes.data(), n, nullptr, nullptr);
    if (written <= 0) {
        return false;
    }
    // Composed accents take one byte for two characters: keep only what was written.
    bytes.resize(static_cast<size_t>(written));
    out = std::move(bytes);
    return true;
}

bool narrow(const std::u16string& text, std::string& out) {
    return narrow(text.data(), text.size(), out);
}

bool narrow(const char16_t* begin, const char16_t* end, std::string& out) {
    return narrow(begin, static_cast<size_t>(end - begin), out);
}

const char* assign_range(std::string& out, const char* begin, const char* end) {
    out.assign(begin, end);
    return end;
}

const char* assign_range(std::u16string& out, const char* begin, const char* end) {
    widen(begin, end, out);
    return end;
}

const char16_t* assign_range(std::u16string& out, const char16_t* begin, const char16_t* end) {
    out.assign(begin, end);
    return end;
}

const char16_t* assign_range(std::string& out, const char16_t* begin, const char16_t* end) {
    return narrow(begin, end, out) ? end : nullptr;
}

std::u16string to_lower(const std::u16string& text) {
    std::u16string copy = text;
    CharLowerBuffW(copy.data(), static_cast<DWORD>(copy.size()));
    return copy;
}

std::u16string to_upper(const std::u16string& text) {
    std::u16string copy = text;
    CharUpperBuffW(copy.data(), static_cast<DWORD>(copy.size()));
    return copy;
}

bool starts_with(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool starts_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool is_space(char16_t c) {
    return iswctype(c, C1_SPACE) != 0;
}

bool is_digit(char16_t c) {
    return iswctype(c, C1_DIGIT) != 0;
}

const char16_t* skip_spaces(const char16_t* begin, const char16_t* end) {
    while (begin != end && is_space(*begin)) {
        ++begin;
    }
    return begin;
}

const char16_t* parse_int(const char16_t* begin, const char16_t* end, int& out) {
    if (begin == end) {
        return nullptr;
    }
    const char16_t* p = skip_spaces(begin, end);
    if (p == end) {
        return nullptr;
    }
    bool negative = false;
    if (*p == u'-' || *p == u'+') {
        negative = *p == u'-';
        if (++p == end) {
            return nullptr;
        }
    }
    // Unsigned arithmetic: overflowing digits wrap in 32 bits without undefined behaviour.
    uint32_t value = 0;
    const char16_t* first_digit = p;
    while (p != end && is_digit(*p)) {
        value = value * 10u + static_cast<uint32_t>(*p - u'0');
        ++p;
    }
    out = static_cast<int>(negative ? 0u - value : value);
    return p == first_digit ? nullptr : p;
}

const char16_t* parse_value(int& out, const char16_t* begin, const char16_t* end) {
    return parse_int(begin, end, out);
}

const char16_t* parse_value(std::u16string& out, const char16_t* begin, const char16_t* end) {
    out.clear();
    const char16_t* p = begin;
    while (p != end && !is_space(*p)) {
        ++p;
    }
    out.assign(begin, p);
    return p;
}

bool parse_int(const std::u16string& text, int& out) {
    const char16_t* begin = text.data();
    return parse_value(out, begin, begin + text.size()) != nullptr;
}

double clamp(double x, double lo, double hi) {
    if (x < lo) {
        return lo;
    }
    if (x > hi) {
        return hi;
    }
    return x;
}

}  // namespace skinner
