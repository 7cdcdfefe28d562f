#include "ui/skin/FrameworkVariant.h"

#include "base/Strings.h"
#include "ui/graphics/Picture.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

std::unique_ptr<FrameworkVariant>& installed_variant() {
    static std::unique_ptr<FrameworkVariant> variant;
    return variant;
}

}  // namespace

std::u16string FrameworkVariant::window_caption(const std::u16string& app_name, Properties* properties,
                                                const std::u16string& form_name) {
    std::u16string caption = app_name;
    if (properties) {
        caption = properties->get_string(u"skin_ProgramName", caption);
        caption = properties->get_string(form_name + u"_caption", caption);
    }
    return caption;
}

std::u16string FrameworkVariant::dialog_class() { return u"Dialog"; }

std::u16string FrameworkVariant::picture_failure_text(const Picture& picture) {
    return u"full_path=" + picture.get_path() + picture_scale_text(picture);
}

std::u16string picture_scale_text(const Picture& picture) {
    std::u16string text = u"\nscale=";
    if (picture.rep()) text << int(picture.rep()->scale);
    return text;
}

void install_framework_variant(std::unique_ptr<FrameworkVariant> variant) { installed_variant() = std::move(variant); }

FrameworkVariant& framework_variant() {
    static FrameworkVariant current;
    FrameworkVariant* variant = installed_variant().get();
    return variant ? *variant : current;
}

}  // namespace skinner
