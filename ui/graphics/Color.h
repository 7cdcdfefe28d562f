#pragma once
// The skin's colour record: red, green, blue, alpha. GDI text and fills ignore alpha.
#include <cstdint>

#include "platform/Types.h"

namespace skinner {

struct Color {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    friend constexpr bool operator==(const Color&, const Color&) = default;

    // The platform's colour value: red | green << 8 | blue << 16.
    constexpr COLORREF to_colorref() const {
        return COLORREF(red) | (COLORREF(green) << 8) | (COLORREF(blue) << 16);
    }
};

}  // namespace skinner
