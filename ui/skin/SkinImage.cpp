#include "ui/skin/SkinImage.h"

#include <vector>

#include "base/ScreenMetrics.h"
#include "base/Strings.h"
#include "ui/device/DeviceCapability.h"

namespace skinner {

using skinner::operator<<;

SkinDevice current_skin_device() {
    const ScreenMetrics screen;
    return {Point(screen.width, screen.height), screen.dpi, static_capability_is_smartphone()};
}

Point work_area_for(const SkinDevice& d) {
    int bar = 0;
    if (d.smartphone) {
        switch (d.screen.x) {
            case 176: bar = 20; break;
            case 240: case 320: case 400: bar = 27; break;
            case 352: bar = 40; break;
            case 480: case 640: case 800: bar = 54; break;
            default: bar = 0; break;
        }
    } else {
        bar = d.dpi < 128 ? 26 : d.dpi < 192 ? 35 : 52;
    }
    return {d.screen.x, d.screen.y - 2 * bar};
}

bool is_good_for_device(std::u16string_view letters, bool smartphone) {
    if (letters.empty()) return true;
    return letters.find(smartphone ? u'S' : u'P') != std::u16string_view::npos;
}

bool check_skin_header(const SkinFile* header, std::u16string_view identifier, Point screen, bool smartphone, int32_t& scale,
                       Point& entry) {
    if (!header || !header->is_loaded()) return false;
    entry = {0, 0};
    scale = 1;
    if (!is_good_for_device(header->device_letters(), smartphone)) return false;
    if (!identifier.empty() && identifier != header->identifier()) return false;
    const int64_t W = screen.x, H = screen.y;
    if (W == 0 && H == 0) return true;
    // Width waste decides first, height waste breaks ties; the first of equal costs wins.
    int64_t best = (W + 1) * H;
    bool found = false;
    for (int32_t s = 1; s <= 2; ++s) {
        for (uint32_t i = 0; i < SkinLayout::ScreenCount; ++i) {
            const SkinScreenSize e = header->screen_size(i);
            const int64_t dw = W - int64_t(e.width) * s, dh = H - int64_t(e.height) * s;
            if (dw * H >= 0 && dh >= 0 && dw * H + dh < best) {
                best = dw * H + dh;
                entry = {e.width, e.height};
                scale = s;
                found = true;
            }
        }
    }
    return found;
}

SkinImage::SkinImage(std::u16string path, Point screen, Point work_area, bool smartphone, Fatal fatal)
    : path_(std::move(path)), screen_(screen), work_area_(work_area), smartphone_(smartphone), fatal_(std::move(fatal)) {
    if (work_area_ == Point(0, 0)) work_area_ = work_area_for({screen_, current_skin_device().dpi, smartphone_});
}

void SkinImage::set_file(SkinFile file) {
    file_ = std::move(file);
    loaded_ = file_.is_loaded();
    form_name_.clear();
    control_name_.clear();
    kind_name_.clear();
    form_node_ = control_node_ = kind_node_ = {};
    Point entry;
    int32_t scale = 1;
    check_skin_header(loaded_ ? &file_ : nullptr, u"", screen_, smartphone_, scale, entry);
    scale_ = scale;
}

bool SkinImage::check_version(std::u16string_view identifier, Point screen) const {
    int32_t scale = 1;
    Point entry;
    return check_skin_header(loaded_ ? &file_ : nullptr, identifier, screen, smartphone_, scale, entry);
}

void SkinImage::report_no_skin() {
    std::u16string m;
    m << u"Skin file {" << path_ << u"} was invalid, but no check_version performed";
    fatal_(m, "report_no_skin");
}

void SkinImage::report_no_kind(std::u16string_view kind) {
    std::u16string m;
    m << u"Skin file {" << path_ << u"} has no kind {" << std::u16string(kind) << u"}";
    fatal_(m, "report_no_form");
}

void SkinImage::report_no_control(std::u16string_view form, std::u16string_view control) {
    std::u16string m;
    m << u"Skin file {" << path_ << u"} form {" << std::u16string(form) << u"} has no control {" << std::u16string(control) << u"}";
    fatal_(m, "report_no_control");
}

void SkinImage::report_no_form(std::u16string_view form) {
    std::u16string m;
    m << u"Skin file {" << path_ << u"} has no form {" << std::u16string(form) << u"} for workarea_size=" << work_area_.x << u" "
      << work_area_.y << u". list of all forms:\n"
      << forms_list_;
    fatal_(m, "report_no_form");
}

void SkinImage::visit_variants(SkinNode root, std::u16string_view wanted, Point& best) {
    // Pre-order without recursion: node, its left subtree, then its right subtree.
    std::vector<SkinNode> pending{root};
    while (!pending.empty()) {
        const SkinNode node = pending.back();
        pending.pop_back();
        if (!node) continue;
        pending.push_back(file_.right(node));
        pending.push_back(file_.left(node));
        const std::u16string_view name = file_.name(node);
        if (name.substr(0, wanted.size()) != wanted) {
            forms_list_ << u"-" << std::u16string(name) << u"\n";
            continue;
        }
        const SkinPoint stored = scale_point(file_.find_point(node, u"Size").value_or(SkinPoint{}), scale_);
        const Point size(stored.x, stored.y);
        const std::u16string devices(file_.find_string(node, u"Devices").value_or(u""));
        const bool fullscreen = file_.find_integer(node, u"Fullscreen").value_or(0) != 0;
        forms_list_ << u"+" << std::u16string(name) << u" Size=" << size.x << u" " << size.y << u" Devices=" << devices;
        const Point target = fullscreen ? screen_ : work_area_;
        if (is_good_for_device(devices, smartphone_)) {
            forms_list_ << u" good_for_device";
            if (size.x <= target.x && size.y <= target.y && (size.x > best.x || (size.x == best.x && size.y >= best.y))) {
                form_node_ = node;
                best = size;
                form_name_ = std::u16string(wanted);
            }
        }
        forms_list_ << u"\n";
    }
}

bool SkinImage::select_form(std::u16string_view form) {
    if (!form_name_.empty() && form == form_name_) return bool(form_node_);
    form_name_.clear();
    form_node_ = {};
    control_name_.clear();
    control_node_ = {};
    if (form.empty()) return false;
    forms_list_.clear();
    Point best(0, 0);
    visit_variants(file_.forms_root(), form, best);
    return bool(form_node_);
}

SkinNode SkinImage::find_control(std::u16string_view form, std::u16string_view control) {
    if (!select_form(form)) return {};
    if (control_node_ && control == control_name_) return control_node_;
    control_name_.clear();
    control_node_ = file_.find(file_.controls_root(form_node_), control);
    if (control_node_) control_name_ = std::u16string(control);
    return control_node_;
}

SkinNode SkinImage::find_kind(std::u16string_view kind) {
    if (kind == kind_name_) return kind_node_;
    kind_name_.clear();
    kind_node_ = file_.find(file_.kinds_root(), kind);
    if (kind_node_) kind_name_ = std::u16string(kind);
    return kind_node_;
}

SkinNode SkinImage::find_node(std::u16string_view form, std::u16string_view control) {
    if (!loaded_) {
        report_no_skin();
        return {};
    }
    if (!form.empty()) {
        const SkinNode n = find_control(form, control);
        if (!n) report_no_control(form, control);
        return n;
    }
    const SkinNode n = find_kind(control);
    if (!n && !control.empty()) report_no_kind(control);
    return n;
}

SkinNode SkinImage::find_form_node(std::u16string_view form) {
    if (!loaded_) {
        report_no_skin();
        return {};
    }
    if (!select_form(form)) {
        report_no_form(form);
        return {};
    }
    return form_node_;
}

std::optional<SkinPictureRead> SkinImage::picture_of(SkinNode node, std::u16string_view property) const {
    if (!node) return std::nullopt;
    const std::optional<SkinPicture> p = file_.find_picture(node, property);
    if (!p) return std::nullopt;
    const SkinPicture s = scale_picture(*p, scale_);
    auto point = [](SkinPoint q) { return Point(q.x, q.y); };
    return SkinPictureRead{s.picture, point(s.origin), point(s.border_min), point(s.border_max), point(s.end), s.stretch};
}

std::optional<Color> SkinImage::color(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    const SkinNode n = find_node(form, control);
    if (!n) return std::nullopt;
    const std::optional<SkinColor> c = file_.find_color(n, property);
    if (!c) return std::nullopt;
    return Color{c->red, c->green, c->blue, c->alpha};
}

std::optional<std::u16string_view> SkinImage::string(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    const SkinNode n = find_node(form, control);
    if (!n) return std::nullopt;
    return file_.find_string(n, property);
}

std::optional<int32_t> SkinImage::integer(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    const SkinNode n = find_node(form, control);
    if (!n) return std::nullopt;
    return file_.find_integer(n, property);
}

std::optional<Point> SkinImage::point(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    const SkinNode n = find_node(form, control);
    if (!n) return std::nullopt;
    const std::optional<SkinPoint> p = file_.find_point(n, property);
    if (!p) return std::nullopt;
    const SkinPoint s = scale_point(*p, scale_);
    return Point(s.x, s.y);
}

std::optional<SkinPictureRead> SkinImage::picture(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    return picture_of(find_node(form, control), property);
}

std::optional<uint32_t> SkinImage::font(std::u16string_view form, std::u16string_view control, std::u16string_view property) {
    const SkinNode n = find_node(form, control);
    if (!n) return std::nullopt;
    return file_.find_font(n, property);
}

std::optional<int32_t> SkinImage::form_integer(std::u16string_view form, std::u16string_view property) {
    const SkinNode n = find_form_node(form);
    if (!n) return std::nullopt;
    return file_.find_integer(n, property);
}

std::optional<Point> SkinImage::form_point(std::u16string_view form, std::u16string_view property) {
    const SkinNode n = find_form_node(form);
    if (!n) return std::nullopt;
    const std::optional<SkinPoint> p = file_.find_point(n, property);
    if (!p) return std::nullopt;
    const SkinPoint s = scale_point(*p, scale_);
    return Point(s.x, s.y);
}

std::optional<SkinPictureRead> SkinImage::form_picture(std::u16string_view form, std::u16string_view property) {
    return picture_of(find_form_node(form), property);
}

uint32_t SkinImage::auto_control_count(std::u16string_view form) {
    const SkinNode n = find_form_node(form);
    return n ? file_.auto_control_count(n) : 0;
}

AutoControlEntry SkinImage::auto_control(std::u16string_view form, uint32_t index) {
    const SkinNode n = find_form_node(form);
    return n ? file_.auto_control(n, index) : AutoControlEntry{};
}

}  // namespace skinner
