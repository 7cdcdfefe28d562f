#pragma once
// The picture control: one skin picture shrunk to fit its rectangle with the aspect kept,
// never enlarged, and aligned by the skin. Passive: no focus, and taps pass through it.
#include <cstdint>
#include <string>

#include "ui/controls/ControlButton.h"

namespace skinner {

struct PicturePlacement {
    Point position;
    Point size;
};

// Where a picture of picture_size goes in the rectangle (position, size); an empty size when
// the picture has no pixels.
PicturePlacement place_picture(Point picture_size, Point position, Point size, HAlignment h_alignment, VAlignment v_alignment);

class ControlPicture : public ControlButton {
public:
    ControlPicture(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlPicture() override;

    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    bool hit_test(Point point) override;
    void reload_properties() override;

    void load_properties();
    void set_picture(const Picture& picture);

    const Picture& get_picture() const { return picture_; }
    HAlignment get_picture_h_alignment() const { return h_alignment_; }
    VAlignment get_picture_v_alignment() const { return v_alignment_; }

private:
    Picture picture_;
    HAlignment h_alignment_ = HAlignment::CENTER;
    VAlignment v_alignment_ = VAlignment::VCENTER;
};

}  // namespace skinner
