// After writing, the compiler reads its output with the program's own reader and compares every
// value with the model, so a layout mistake can never reach the program.
#include "tools/skinc/SkinModel.h"

namespace skinc {

using skinner::PropertyType;
using skinner::SkinFile;
using skinner::SkinNode;

namespace {

class Verifier {
public:
    Verifier(const SkinModel& model, const SkinFile& file, std::string& error) : m_(model), f_(file), error_(error) {}

    bool run() {
        if (f_.identifier() != m_.identifier) return fail("identifier differs");
        if (f_.device_letters() != m_.devices) return fail("device letters differ");
        for (uint32_t i = 0; i < skinner::SkinLayout::ScreenCount; ++i) {
            const skinner::SkinScreenSize want = i < m_.screens.size() ? m_.screens[i] : skinner::SkinScreenSize{};
            const skinner::SkinScreenSize got = f_.screen_size(i);
            if (want.width != got.width || want.height != got.height) return fail("screen size " + std::to_string(i) + " differs");
        }
        if (f_.picture_names().size() != m_.pictures.size() || f_.font_specs().size() != m_.fonts.size())
            return fail("name list counts differ");
        for (size_t i = 0; i < m_.pictures.size(); ++i)
            if (f_.picture_names()[i] != m_.pictures[i]) return fail("picture name " + std::to_string(i) + " differs");
        for (size_t i = 0; i < m_.fonts.size(); ++i)
            if (f_.font_specs()[i] != m_.fonts[i]) return fail("font specification " + std::to_string(i) + " differs");
        if (tree_size(f_.forms_root()) != m_.forms.size()) return fail("forms tree holds other nodes than the source");
        if (tree_size(f_.kinds_root()) != m_.kinds.size()) return fail("kinds tree holds other nodes than the source");
        for (const NodeModel& form : m_.forms) {
            const SkinNode node = f_.find(f_.forms_root(), form.name);
            if (!node) return fail(form.where + ": not found in the forms tree");
            if (!same(node, form)) return false;
            if (tree_size(f_.controls_root(node)) != form.controls.size())
                return fail(form.where + ": controls tree holds other nodes than the source");
            for (const NodeModel& control : form.controls) {
                const SkinNode c = f_.find(f_.controls_root(node), control.name);
                if (!c) return fail(control.where + ": not found in its form's controls tree");
                if (!same(c, control)) return false;
            }
            if (f_.auto_control_count(node) != form.autos.size()) return fail(form.where + ": automatic-control count differs");
            for (uint32_t i = 0; i < form.autos.size(); ++i) {
                const skinner::AutoControlEntry e = f_.auto_control(node, i);
                if (e.name != form.autos[i].first || e.type != form.autos[i].second)
                    return fail(form.where + ": automatic-control entry " + std::to_string(i) + " differs");
            }
        }
        for (const NodeModel& kind : m_.kinds) {
            const SkinNode node = f_.find(f_.kinds_root(), kind.name);
            if (!node) return fail(kind.where + ": not found in the kinds tree");
            if (!same(node, kind)) return false;
        }
        return true;
    }

private:
    bool fail(const std::string& message) {
        error_ = "read-back: " + message;
        return false;
    }

    size_t tree_size(SkinNode root) const {
        if (!root) return 0;
        return 1 + tree_size(f_.left(root)) + tree_size(f_.right(root));
    }

    template <class Map, class Find>
    bool same_array(SkinNode node, const NodeModel& model, PropertyType type, const Map& map, Find find) {
        if (f_.record_count(node, type) != map.size()) return fail(model.where + ": property count differs");
        for (auto& [name, value] : map) {
            auto got = find(name);
            if (!got || !(*got == value)) return fail(model.where + ": property '" + utf16_to_utf8(name) + "' reads back differently");
        }
        return true;
    }

    bool same(SkinNode node, const NodeModel& model) {
        if (f_.name(node) != model.name) return fail(model.where + ": name differs");
        const PropertySet& p = model.properties;
        return same_array(node, model, PropertyType::Integer, p.integers, [&](auto& n) { return f_.find_integer(node, n); }) &&
               same_array(node, model, PropertyType::Point, p.points, [&](auto& n) { return f_.find_point(node, n); }) &&
               same_array(node, model, PropertyType::String, p.strings, [&](auto& n) { return f_.find_string(node, n); }) &&
               same_array(node, model, PropertyType::Picture, p.pictures, [&](auto& n) { return f_.find_picture(node, n); }) &&
               same_array(node, model, PropertyType::Color, p.colors, [&](auto& n) { return f_.find_color(node, n); }) &&
               same_array(node, model, PropertyType::Font, p.fonts, [&](auto& n) { return f_.find_font(node, n); });
    }

    const SkinModel& m_;
    const SkinFile& f_;
    std::string& error_;
};

}  // namespace

bool verify_skin(const SkinModel& model, const std::vector<uint8_t>& bytes, std::string& error) {
    SkinFile file;
    std::string why;
    if (!file.load(bytes, &why)) {
        error = "read-back: the program's reader rejects the file: " + why;
        return false;
    }
    Verifier v(model, file, error);
    return v.run();
}

std::u16string utf8_to_utf16(const std::string& text, bool* ok) {
    std::u16string out;
    bool good = true;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp = 0;
        size_t n = 0;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            n = 4;
        } else {
            good = false;
            ++i;
            continue;
        }
        if (i + n > text.size()) {
            good = false;
            break;
        }
        for (size_t k = 1; k < n; ++k) {
            const unsigned char d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) good = false;
            cp = (cp << 6) | (d & 0x3F);
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    if (ok) *ok = good;
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace skinc
