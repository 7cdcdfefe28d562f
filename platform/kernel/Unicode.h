#pragma once
// Conversions between the program's UTF-16 text and the host's UTF-8 names, and the
// case folding that device paths and masks compare with.
#include <string>
#include <string_view>

namespace platform {

// Unpaired surrogates and invalid bytes become U+FFFD.
std::string utf8_from_utf16(std::u16string_view text);
std::u16string utf16_from_utf8(std::string_view text);

// Simple lower-case mapping of one UTF-16 code unit (ASCII, Latin-1, Latin Extended-A,
// Greek, Cyrillic), enough for file names to compare without regard to case.
char16_t fold_case(char16_t c);
bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);

}  // namespace platform
