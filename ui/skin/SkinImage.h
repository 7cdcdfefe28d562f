#pragma once
// The skin image's lookups over a loaded skin file: the fit of the header to the device, the
// skin scale, the choice among a form's size variants, the one-entry caches for the last form,
// control and kind, the typed reads (scaled where the type is scaled) and the reports that end
// the program when a form, control or kind is missing.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/graphics/Color.h"
#include "ui/graphics/Point.h"
#include "ui/skin/SkinFile.h"

namespace skinner {

// What the skin needs to know of the device it runs on.
struct SkinDevice {
    Point screen;
    int dpi = 96;
    bool smartphone = false;
};

// The device this process runs on.
SkinDevice current_skin_device();

// The screen less the menu bars, as the form window computes it (without the input panel).
Point work_area_for(const SkinDevice& device);

// An empty letters field serves every device; else it must hold "S" on a Smartphone, "P" elsewhere.
bool is_good_for_device(std::u16string_view letters, bool smartphone);

// The fit of a header: device letters, then identifier (when one is given), then the screen-size
// entry and scale (1 or 2) that fit the screen with the least waste. Scale 1 and entry 0 by 0
// whenever nothing fits.
bool check_skin_header(const SkinFile* header, std::u16string_view identifier, Point screen, bool smartphone, int32_t& scale,
                       Point& entry);

// A picture property as read: the listed picture's index with its four points already scaled.
struct SkinPictureRead {
    uint32_t picture = 0;
    Point origin, border_min, border_max, end;
    bool stretch = false;
};

class SkinImage {
public:
    // Ends the program in real use (the fatal error); tests give a hook that records the report.
    using Fatal = std::function<void(const std::u16string& message, const char* place)>;

    // An empty (not loaded) image: every lookup reports "no check_version performed".
    SkinImage(std::u16string path, Point screen, Point work_area, bool smartphone, Fatal fatal);
    // Takes the file; its scale is chosen from the screen. A file that is not loaded stays unloaded.
    void set_file(SkinFile file);
    void unload() { loaded_ = false; }

    bool is_loaded() const { return loaded_; }
    const SkinFile& file() const { return file_; }
    const std::u16string& path() const { return path_; }
    int32_t scale() const { return scale_; }
    Point work_area() const { return work_area_; }
    Point screen() const { return screen_; }
    bool check_version(std::u16string_view identifier, Point screen) const;

    // Control-level reads by (form, control), or by (empty form, kind name).
    std::optional<Color> color(std::u16string_view form, std::u16string_view control, std::u16string_view property);
    std::optional<std::u16string_view> string(std::u16string_view form, std::u16string_view control, std::u16string_view property);
    std::optional<int32_t> integer(std::u16string_view form, std::u16string_view control, std::u16string_view property);
    std::optional<Point> point(std::u16string_view form, std::u16string_view control, std::u16string_view property);
    std::optional<SkinPictureRead> picture(std::u16string_view form, std::u16string_view control, std::u16string_view property);
    std::optional<uint32_t> font(std::u16string_view form, std::u16string_view control, std::u16string_view property);

    // Form-level reads.
    std::optional<int32_t> form_integer(std::u16string_view form, std::u16string_view property);
    std::optional<Point> form_point(std::u16string_view form, std::u16string_view property);
    std::optional<SkinPictureRead> form_picture(std::u16string_view form, std::u16string_view property);
    uint32_t auto_control_count(std::u16string_view form);
    AutoControlEntry auto_control(std::u16string_view form, uint32_t index);

    // The report of the last form-variant choice ("+name Size=w h Devices=... good_for_device").
    const std::u16string& forms_list() const { return forms_list_; }

    SkinNode find_node(std::u16string_view form, std::u16string_view control);
    SkinNode find_form_node(std::u16string_view form);
    bool select_form(std::u16string_view form);
    SkinNode find_control(std::u16string_view form, std::u16string_view control);
    SkinNode find_kind(std::u16string_view kind);

private:
    void report_no_skin();
    void report_no_kind(std::u16string_view kind);
    void report_no_control(std::u16string_view form, std::u16string_view control);
    void report_no_form(std::u16string_view form);
    void visit_variants(SkinNode node, std::u16string_view wanted, Point& best);
    std::optional<SkinPictureRead> picture_of(SkinNode node, std::u16string_view property) const;

    SkinFile file_;
    bool loaded_ = false;
    std::u16string path_;
    Point screen_;
    Point work_area_;
    bool smartphone_ = false;
    int32_t scale_ = 1;
    Fatal fatal_;

    std::u16string form_name_;
    SkinNode form_node_;
    std::u16string control_name_;
    SkinNode control_node_;
    std::u16string kind_name_;
    SkinNode kind_node_;
    std::u16string forms_list_;
};

}  // namespace skinner
