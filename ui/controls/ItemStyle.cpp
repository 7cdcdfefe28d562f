#include "ui/controls/ItemStyle.h"

#include "ui/forms/Control.h"

namespace skinner {

ItemStyle ItemStyle::read(const Control& control, const std::u16string& name, const ItemStyle* fallback) {
    const ItemStyle none;
    const ItemStyle& d = fallback ? *fallback : none;
    ItemStyle style;
    style.picture = control.get_picture_property(name, d.picture);
    style.font = control.get_font_property(name, d.font);
    style.color = control.get_color_property(name, d.color);
    return style;
}

ButtonStyles ButtonStyles::read(const Control& control, const std::u16string& prefix) {
    ButtonStyles s;
    s[Normal] = ItemStyle::read(control, prefix + u"Normal", nullptr);
    s[NormalFocus] = ItemStyle::read(control, prefix + u"NormalFocus", &s[Normal]);
    s[Pressed] = ItemStyle::read(control, prefix + u"Pressed", &s[Normal]);
    s[Highlighted] = ItemStyle::read(control, prefix + u"Highlighted", &s[Normal]);
    s[HighlightedFocus] = ItemStyle::read(control, prefix + u"HighlightedFocus", &s[NormalFocus]);
    s[Disabled] = ItemStyle::read(control, prefix + u"Disabled", &s[Normal]);
    return s;
}

}  // namespace skinner
