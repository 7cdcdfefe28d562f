// Language and settings files of any content parse without fault. The bytes are taken as the
// text reader takes a file: UTF-16LE after FF FE when the length is even, else 8-bit text.
#include <cstddef>
#include <cstdint>

#include "ui/skin/KeyValueText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text;
    if (size >= 2 && size % 2 == 0 && data[0] == 0xFF && data[1] == 0xFE) {
        for (size_t i = 2; i + 1 < size; i += 2) text.push_back(char16_t(data[i] | data[i + 1] << 8));
    } else {
        for (size_t i = 0; i < size; ++i) text.push_back(char16_t(data[i]));
    }
    skinner::KeyValueMap map;
    skinner::parse_key_values(text, map);
    for (const auto& [key, value] : map) {
        if (key.empty()) __builtin_trap();  // an empty key is never stored
        for (char16_t c : value)
            if (c == u'\r' || c == u'\n') __builtin_trap();  // a value ends at its line
    }
    return 0;
}
