#pragma once
// skinner::Properties: the one handle through which forms and controls read the look of the
// interface (the skin image) and its words (the language strings).
#include <memory>
#include <string>
#include <utility>

#include <vector>

#include "base/Cursor.h"
#include "ui/graphics/Color.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Picture.h"
#include "ui/graphics/Point.h"
#include "ui/skin/PropertyMap.h"
#include "ui/skin/SkinImage.h"

namespace skinner {

// A skin file loaded into memory and checked, with its scale chosen for the screen.
class PropertiesImpl : public PropertyMap {
public:
    // A work area of 0 by 0 is taken from the form window's computation for this device.
    PropertiesImpl(const std::u16string& path, Point screen, Point work_area);
    ~PropertiesImpl() override = default;

    SkinImage& image() { return image_; }
    const SkinImage& image() const { return image_; }
    // One handle per picture name and per font specification of the header, in header order.
    const std::vector<Picture>& pictures() const { return pictures_; }
    const std::vector<Font>& fonts() const { return fonts_; }
    // The listed picture of the read with its points and stretch flag, or the default.
    Picture picture_of(const std::optional<SkinPictureRead>& read, const Picture& default_value) const;

private:
    bool load(const std::u16string& path);
    bool load_pictures_and_fonts(const std::u16string& path);
    SkinImage image_;
    std::vector<Picture> pictures_;
    std::vector<Font> fonts_;
};

class Properties {
public:
    // Builds the skin image (unchecked: see check_version) and an empty strings map.
    Properties(const std::u16string& skin_path, Point screen, Point work_area);
    ~Properties();
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;

    bool is_loaded() const;
    std::u16string get_skin_path() const;
    bool check_version(const std::u16string& identifier, Point screen) const;
    // Replaces the skin image by a new one for the path and screen, then the open forms reload.
    void load_skin(const std::u16string& skin_path, Point screen, Point work_area);

    // Skin properties; the default when the property is missing. A missing form, control or
    // kind ends the program.
    Color get_color(const std::u16string& form, const std::u16string& control, const std::u16string& property, Color default_value);
    // The value translated through the language strings when it is one of their keys.
    std::u16string get_string_property(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                                       const std::u16string& default_value);
    int32_t get_scaled_int(const std::u16string& form, const std::u16string& control, const std::u16string& property, int32_t default_value);
    int32_t get_int(const std::u16string& form, const std::u16string& control, const std::u16string& property, int32_t default_value);
    Point get_point(const std::u16string& form, const std::u16string& control, const std::u16string& property, Point default_value);
    // The named system cursor; the default when the property is missing or names no cursor.
    Cursor get_cursor(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                      const Cursor& default_value);
    Picture get_picture(const std::u16string& form, const std::u16string& control, const std::u16string& property,
                        const Picture& default_value);
    Font get_font(const std::u16string& form, const std::u16string& control, const std::u16string& property, const Font& default_value);
    Picture get_form_picture(const std::u16string& form, const std::u16string& property, const Picture& default_value);
    int32_t get_form_int(const std::u16string& form, const std::u16string& property, int32_t default_value);
    Point get_form_point(const std::u16string& form, const std::u16string& property, Point default_value);
    uint32_t get_auto_control_count(const std::u16string& form);
    std::pair<std::u16string, std::u16string> get_auto_control(const std::u16string& form, uint32_t index);

    // Language strings.
    std::u16string get_string(const std::u16string& key, const std::u16string& default_value) const;
    std::u16string get_string(const std::u16string& key) const;  // the key itself when missing
    const std::u16string& get_strings_path() const;
    // Replaces the strings by the file's; on failure the old strings stay. The open forms
    // reload after a change.
    bool load_strings(const std::u16string& path);
    // Reloads the open forms that read these properties; the forms stand above the skin, so
    // this is defined beside their list (ui/forms/Form.cpp).
    void notify_forms();

    PropertiesImpl& impl() { return *impl_; }

private:
    std::unique_ptr<PropertiesImpl> impl_;
    std::unique_ptr<PropertyMap> strings_;
};

}  // namespace skinner
