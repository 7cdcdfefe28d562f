#pragma once
// One look of a skinned item (a picture, a font and a colour, all under one property name),
// and the six state looks of a button.
#include <array>
#include <string>

#include "ui/graphics/Color.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Picture.h"

namespace skinner {

class Control;

struct ItemStyle {
    Picture picture;
    Font font;
    Color color;

    // The picture, font and colour properties named name; each missing one is taken from
    // fallback, or is no picture, the default font and (0, 0, 0, 255) without a fallback.
    static ItemStyle read(const Control& control, const std::u16string& name, const ItemStyle* fallback);
};

struct ButtonStyles {
    enum State { Normal, NormalFocus, Pressed, Highlighted, HighlightedFocus, Disabled, Count };

    std::array<ItemStyle, Count> looks;

    const ItemStyle& operator[](State state) const { return looks[state]; }
    ItemStyle& operator[](State state) { return looks[state]; }

    // prefix + "Normal", "NormalFocus", ...; a missing look falls back to Normal, and
    // HighlightedFocus to NormalFocus.
    static ButtonStyles read(const Control& control, const std::u16string& prefix);
};

}  // namespace skinner
