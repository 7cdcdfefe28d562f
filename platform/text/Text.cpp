#include "platform/text/Text.h"

#include <clocale>
#include <cstdio>
#include <cwctype>
#include <locale.h>
#include <string>

#include "platform/kernel/Core.h"

namespace {

// Windows-1252 bytes 0x80-0x9F; 0 where the byte has no character of its own. The five
// unassigned bytes map to the C1 controls of the same value, as the device's tables do.
constexpr char16_t high_block[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a character in Windows-1252, or -1.
int ansi_byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (int i = 0; i < 32; ++i) {
        if (high_block[i] == c) {
            return 0x80 + i;
        }
    }
    return -1;
}

struct Composition {
    char16_t accent;
    const char16_t* bases;
    const char16_t* results;
};

// The precomposed letters that Windows-1252 holds.
constexpr Composition compositions[] = {
    {0x0300, u"AEIOUaeiou", u"\u00C0\u00C8\u00CC\u00D2\u00D9\u00E0\u00E8\u00EC\u00F2\u00F9"},
    {0x0301, u"AEIOUYaeiouy", u"\u00C1\u00C9\u00CD\u00D3\u00DA\u00DD\u00E1\u00E9\u00ED\u00F3\u00FA\u00FD"},
    {0x0302, u"AEIOUaeiou", u"\u00C2\u00CA\u00CE\u00D4\u00DB\u00E2\u00EA\u00EE\u00F4\u00FB"},
    {0x0303, u"ANOano", u"\u00C3\u00D1\u00D5\u00E3\u00F1\u00F5"},
    {0x0308, u"AEIOUYaeiouy", u"\u00C4\u00CB\u00CF\u00D6\u00DC\u0178\u00E4\u00EB\u00EF\u00F6\u00FC\u00FF"},
    {0x030A, u"Aa", u"\u00C5\u00E5"},
    {0x030C, u"SZsz", u"\u0160\u017D\u0161\u017E"},
    {0x0327, u"Cc", u"\u00C7\u00E7"},
};

// The precomposed character of base + accent, or 0.
char16_t compose(char16_t base, char16_t accent) {
    for (const Composition& c : compositions) {
        if (c.accent != accent) {
            continue;
        }
        for (int i = 0; c.bases[i] != 0; ++i) {
            if (c.bases[i] == base) {
                return c.results[i];
            }
        }
    }
    return 0;
}

// Case mapping independent of the process's locale.
locale_t unicode_locale() {
    static locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (l == static_cast<locale_t>(0)) {
            std::fprintf(stderr, "CharLowerBuffW: no C.UTF-8 locale; only ASCII changes case\n");
            l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
        }
        return l;
    }();
    return locale;
}

bool is_surrogate(wint_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

template <class Mapping>
DWORD map_case(LPWSTR text, DWORD length, Mapping mapping) {
    if (text == nullptr) {
        return 0;
    }
    locale_t locale = unicode_locale();
    for (DWORD i = 0; i < length; ++i) {
        wint_t c = text[i];
        if (is_surrogate(c)) {
            continue;
        }
        wint_t mapped = mapping(c, locale);
        if (mapped <= 0xFFFF && !is_surrogate(mapped)) {
            text[i] = static_cast<char16_t>(mapped);
        }
    }
    return length;
}

bool is_space_unit(char16_t c) {
    switch (c) {
        case 0x0009: case 0x000A: case 0x000B: case 0x000C: case 0x000D: case 0x0020:
        case 0x0085: case 0x00A0: case 0x1680: case 0x2028: case 0x2029: case 0x202F:
        case 0x205F: case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR source, int source_length, LPSTR destination,
                        int destination_size, LPCSTR default_char, BOOL* used_default_char) {
    if (code_page != CP_ACP || (flags & ~WC_COMPOSITECHECK) != 0 || default_char != nullptr ||
        used_default_char != nullptr || source == nullptr || source_length < -1 || destination_size < 0 ||
        (destination_size > 0 && destination == nullptr)) {
        std::fprintf(stderr, "WideCharToMultiByte: unsupported code page %u or arguments\n", code_page);
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t count = source_length >= 0 ? static_cast<size_t>(source_length)
                                      : std::char_traits<char16_t>::length(source) + 1;
    std::string bytes;
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char16_t c = source[i];
        if ((flags & WC_COMPOSITECHECK) != 0 && i + 1 < count) {
            if (char16_t composed = compose(c, source[i + 1])) {
                c = composed;
                ++i;
            }
        }
        int byte = ansi_byte(c);
        if (byte < 0) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        bytes.push_back(static_cast<char>(byte));
    }
    if (destination_size == 0) {
        return static_cast<int>(bytes.size());
    }
    if (bytes.size() > static_cast<size_t>(destination_size)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    bytes.copy(destination, bytes.size());
    return static_cast<int>(bytes.size());
}

DWORD CharLowerBuffW(LPWSTR text, DWORD length) {
    return map_case(text, length, [](wint_t c, locale_t l) { return towlower_l(c, l); });
}

DWORD CharUpperBuffW(LPWSTR text, DWORD length) {
    return map_case(text, length, [](wint_t c, locale_t l) { return towupper_l(c, l); });
}

int iswctype(WCHAR c, WORD classes) {
    int result = 0;
    if ((classes & C1_SPACE) != 0 && is_space_unit(c)) {
        result |= C1_SPACE;
    }
    if ((classes & C1_DIGIT) != 0 && c >= u'0' && c <= u'9') {
        result |= C1_DIGIT;
    }
    return result;
}
