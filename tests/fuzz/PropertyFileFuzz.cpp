// Settings and language files of any content, loaded as the program loads them: through the
// text file reader (UTF-16 after a byte-order mark, else 8-bit text) and the key=value parser.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/FuzzRoot.h"
#include "ui/skin/PropertyMap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_root::enter("properties") ? 0 : 1; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_root::write_file("Settings.ini", data, size);
    skinner::PropertyMap map(u"\\Settings.ini");
    for (const auto& [key, value] : map.entries()) {
        if (key.empty()) __builtin_trap();  // an empty key is never stored
        for (char16_t c : value)
            if (c == u'\r' || c == u'\n') __builtin_trap();  // a value ends at its line
        std::u16string got;
        if (!map.get(key, got) || got != value) __builtin_trap();
    }
    return 0;
}
