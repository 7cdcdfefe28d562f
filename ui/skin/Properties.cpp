#include "ui/skin/Properties.h"

#include <vector>

#include "base/Log.h"
#include "ui/skin/SkinImageLoader.h"

namespace skinner {

namespace {

// The record layout, written once per load so a log shows which layout the program reads.
void report_node_sizes() {
    Log::instance() << "sizeof(IntegerNode)=" << int(sizeof(IntegerNode)) << "\n";
    Log::instance() << "IntegerNode::Size=" << int(IntegerNode::Size) << "\n";
    Log::instance() << "sizeof(PointNode)=" << int(sizeof(PointNode)) << "\n";
    Log::instance() << "PointNode::Size=" << int(PointNode::Size) << "\n";
    Log::instance() << "sizeof(ColorNode)=" << int(sizeof(ColorNode)) << "\n";
    Log::instance() << "ColorNode::Size=" << int(ColorNode::Size) << "\n";
    Log::instance() << "sizeof(StringNode)=" << int(sizeof(StringNode)) << "\n";
    Log::instance() << "StringNode::Size=" << int(StringNode::Size) << "\n";
    Log::instance() << "sizeof(PictureNode)=" << int(sizeof(PictureNode)) << "\n";
    Log::instance() << "PictureNode::Size=" << int(PictureNode::Size) << "\n";
}

void skin_fatal(const std::u16string& message, const char* place) {
    std::u16string location;
    for (const char* p = place; *p; ++p) location += char16_t(static_cast<unsigned char>(*p));
    gluck(message, location);
}

}  // namespace

PropertiesImpl::PropertiesImpl(const std::u16string& path, Point screen, Point work_area)
    : image_(path, screen, work_area, current_skin_device().smartphone, skin_fatal) {
    report_node_sizes();
    load(path);
}

bool PropertiesImpl::load(const std::u16string& path) {
    std::vector<uint8_t> bytes;
    if (!skin_image_loader().read_skin(path, bytes)) return false;
    // Short files and bad header fields are simply not skins; a file that passes them but
    // breaks an offset, an array, a string or an index is a broken skin and says why.
    if (check_header(bytes) != HeaderFault::None) return false;
    SkinFile skin;
    std::string why;
    if (!skin.load(std::move(bytes), &why)) {
        Log::instance() << u"Error: skin [" << path << u"] is invalid: " << why.c_str() << "\n";
        return false;
    }
    image_.set_file(std::move(skin));
    return load_pictures_and_fonts(path);
}

bool PropertiesImpl::load_pictures_and_fonts(const std::u16string& path) {
    const int32_t scale = image_.scale();
    for (std::u16string_view name : image_.file().picture_names()) {
        pictures_.push_back(skin_image_loader().listed_picture(path, name, scale));
        if (!pictures_.back().is_loaded()) {
            Log::instance() << u"PropertiesImpl::PropertiesImpl picture failed to load {" << std::u16string(name) << u"}\n";
            image_.unload();
            return false;
        }
    }
    for (std::u16string_view text : image_.file().font_specs()) {
        FontSpec spec(scale);
        spec.parse(text);  // the fields read before a failure are kept, as the skin asks
        fonts_.emplace_back(spec);
    }
    return true;
}

Picture PropertiesImpl::picture_of(const std::optional<SkinPictureRead>& read, const Picture& default_value) const {
    if (!read || read->picture >= pictures_.size()) return default_value;
    Picture p = pictures_[read->picture];
    p.set_origin(read->origin);
    p.set_border_min(read->border_min);
    p.set_border_max(read->border_max);
    p.set_end(read->end);
    p.set_stretch(read->stretch);
    return p;
}

Properties::Properties(const std::u16string& skin_path, Point screen, Point work_area)
    : impl_(std::make_unique<PropertiesImpl>(skin_path, screen, work_area)), strings_(std::make_unique<PropertyMap>()) {}

Properties::~Properties() {
    strings_.reset();
    impl_.reset();
}

bool Properties::is_loaded() const { return impl_->image().is_loaded(); }

std::u16string Properties::get_skin_path() const { return impl_->image().path(); }

bool Properties::check_version(const std::u16string& identifier, Point screen) const {
    return impl_->image().check_version(identifier, screen);
}

void Properties::load_skin(const std::u16string& skin_path, Point screen, Point work_area) {
    auto fresh = std::make_unique<PropertiesImpl>(skin_path, screen, work_area);
    impl_ = std::move(fresh);
    notify_forms();
}

Color Properties::get_color(const std::u16string& form, const std::u16string& control, const std::u16string& property, Color default_value) {
    return impl_->image().color(form, control, property).value_or(default_value);
}

std::u16string Properties::get_string_property(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                                               const std::u16string& default_value) {
    const std::optional<std::u16string_view> value = impl_->image().string(form, control, property);
    if (!value) return default_value;
    const std::u16string text(*value);
    std::u16string translated;
    return strings_->get(text, translated) ? translated : text;
}

int32_t Properties::get_scaled_int(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                                   int32_t default_value) {
    const std::optional<int32_t> value = impl_->image().integer(form, control, property);
    return value ? scale_value(*value, impl_->image().scale()) : default_value;
}

int32_t Properties::get_int(const std::u16string& form, const std::u16string& control, const std::u16string& property, int32_t default_value) {
    return impl_->image().integer(form, control, property).value_or(default_value);
}

Point Properties::get_point(const std::u16string& form, const std::u16string& control, const std::u16string& property, Point default_value) {
    return impl_->image().point(form, control, property).value_or(default_value);
}

Cursor Properties::get_cursor(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                              const Cursor& default_value) {
    const std::optional<std::u16string_view> name = impl_->image().string(form, control, property);
    if (!name) return default_value;
    const Cursor cursor = Cursor::from_name(std::u16string(*name));
    return cursor.is_empty() ? default_value : cursor;
}

Picture Properties::get_picture(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                                const Picture& default_value) {
    return impl_->picture_of(impl_->image().picture(form, control, property), default_value);
}

Font Properties::get_font(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                          const Font& default_value) {
    const std::optional<uint32_t> index = impl_->image().font(form, control, property);
    if (!index || *index >= impl_->fonts().size()) return default_value;
    return impl_->fonts()[*index];
}

Picture Properties::get_form_picture(const std::u16string& form, const std::u16string& property, const Picture& default_value) {
    return impl_->picture_of(impl_->image().form_picture(form, property), default_value);
}

int32_t Properties::get_form_int(const std::u16string& form, const std::u16string& property, int32_t default_value) {
    return impl_->image().form_integer(form, property).value_or(default_value);
}

Point Properties::get_form_point(const std::u16string& form, const std::u16string& property, Point default_value) {
    return impl_->image().form_point(form, property).value_or(default_value);
}

uint32_t Properties::get_auto_control_count(const std::u16string& form) { return impl_->image().auto_control_count(form); }

std::pair<std::u16string, std::u16string> Properties::get_auto_control(const std::u16string& form, uint32_t index) {
    const AutoControlEntry e = impl_->image().auto_control(form, index);
    return {std::u16string(e.name), std::u16string(e.type)};
}

std::u16string Properties::get_string(const std::u16string& key, const std::u16string& default_value) const {
    return strings_->get(key, default_value);
}

std::u16string Properties::get_string(const std::u16string& key) const { return strings_->get(key, key); }

const std::u16string& Properties::get_strings_path() const { return strings_->path(); }

bool Properties::load_strings(const std::u16string& path) {
    auto fresh = std::make_unique<PropertyMap>();
    if (!fresh->reload(path)) return false;
    strings_ = std::move(fresh);
    notify_forms();
    return true;
}

}  // namespace skinner
