#pragma once
// The few texts of the framework that differ between the builds of the program: a new window's
// caption, the class of a running instance's dialog, and the report of a picture that failed to
// load. A program may install its own variant at start-up (the older build does); without one,
// the current build's texts are used.
#include <memory>
#include <string>

namespace skinner {

class Picture;
class Properties;

class FrameworkVariant {
public:
    virtual ~FrameworkVariant() = default;
    // The language strings "skin_ProgramName", then form_name + "_caption", defaulting to the
    // application's name.
    virtual std::u16string window_caption(const std::u16string& app_name, Properties* properties,
                                          const std::u16string& form_name);
    // The window class of a top-level dialog that the single-instance check brings forward.
    virtual std::u16string dialog_class();
    // "full_path=" + the picture's file, then its scale.
    virtual std::u16string picture_failure_text(const Picture& picture);
};

// Every later caller uses this variant; null brings back the current build's.
void install_framework_variant(std::unique_ptr<FrameworkVariant> variant);
FrameworkVariant& framework_variant();

// "\nscale=" + the picture's scale as an integer; nothing after it without a cached image.
std::u16string picture_scale_text(const Picture& picture);

}  // namespace skinner
