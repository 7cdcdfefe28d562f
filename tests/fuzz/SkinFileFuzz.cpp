// Any bytes given to the skin reader are either rejected or safe to look up everywhere.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/skin/SkinFile.h"
#include "ui/skin/SkinImage.h"

using namespace skinner;

namespace {

void visit_properties(const SkinFile& skin, SkinNode node) {
    for (int t = 0; t < kPropertyTypeCount; ++t) {
        const PropertyType type = static_cast<PropertyType>(t);
        const uint32_t count = skin.record_count(node, type);
        for (uint32_t i = 0; i < count && i < 64; ++i) {
            const std::u16string_view name = skin.record_name(node, type, i);
            (void)skin.find_integer(node, name);
            (void)skin.find_point(node, name);
            (void)skin.find_string(node, name);
            (void)skin.find_color(node, name);
            if (auto p = skin.find_picture(node, name)) (void)scale_picture(*p, 2);
            if (auto f = skin.find_font(node, name)) (void)skin.font_specs().at(*f);
        }
    }
}

void visit_tree(const SkinFile& skin, SkinNode root, bool forms, int budget) {
    std::vector<SkinNode> pending{root};
    while (!pending.empty() && budget-- > 0) {
        const SkinNode n = pending.back();
        pending.pop_back();
        if (!n) continue;
        (void)skin.find(root, skin.name(n));
        visit_properties(skin, n);
        if (forms) {
            for (uint32_t i = 0; i < skin.auto_control_count(n) && i < 64; ++i) (void)skin.auto_control(n, i);
            visit_tree(skin, skin.controls_root(n), false, 256);
        }
        pending.push_back(skin.left(n));
        pending.push_back(skin.right(n));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SkinFile skin;
    if (!skin.load(std::vector<uint8_t>(data, data + size))) return 0;
    for (uint32_t i = 0; i < SkinLayout::ScreenCount; ++i) (void)skin.screen_size(i);
    (void)skin.identifier();
    (void)skin.device_letters();
    visit_tree(skin, skin.forms_root(), true, 256);
    visit_tree(skin, skin.kinds_root(), false, 256);
    (void)skin.find(skin.forms_root(), u"FormMain");

    // The skin image's variant choice and lookups over whatever the file holds.
    for (bool smartphone : {false, true}) {
        SkinImage image(u"fuzz", {480, 640}, {480, 536}, smartphone, [](const std::u16string&, const char*) {});
        image.set_file(skin);
        (void)image.check_version(u"Vantrel_1.1", {480, 640});
        const SkinNode root = skin.forms_root();
        const std::u16string first(root ? skin.name(root) : u"");
        for (const std::u16string& form : {first, first.substr(0, first.size() / 2), std::u16string(u"F")}) {
            (void)image.form_point(form, u"Size");
            (void)image.auto_control_count(form);
            (void)image.auto_control(form, 0);
            (void)image.picture(form, u"c", u"Normal");
            (void)image.point(form, u"c", u"Position");
        }
        (void)image.integer(u"", u"kind", u"Count");
    }
    return 0;
}
