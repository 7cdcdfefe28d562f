#pragma once
// The progress bar: a background, a fill ("Progress") that grows from the bar's zero end and
// a thumb ("Track") at the value, in one of four orientations; the pen picks the value under
// the middle of the thumb.
#include <cstdint>
#include <string>

#include "ui/controls/ControlTrackBar.h"

namespace skinner {

// Where the value 0 lies: the first-named edge.
enum BarOrientation : int32_t { TOP_TO_BOTTOM = 0, RIGHT_TO_LEFT = 1, BOTTOM_TO_TOP = 2, LEFT_TO_RIGHT = 3 };

struct BarRect {
    Point position;
    Point size;
    friend bool operator==(const BarRect&, const BarRect&) = default;
};

// The bar's geometry for a rectangle, an orientation and a thumb length. An unknown
// orientation gives empty rectangles and the value 0 everywhere.
struct BarGeometry {
    Point position;
    Point size;
    int32_t orientation = LEFT_TO_RIGHT;
    int32_t track_size = 0;

    // The part from the first-named edge that a fraction covers (orientations 0 to 3).
    BarRect fill(double fraction, int32_t fill_orientation) const;
    BarRect thumb(double value) const;
    double value_at(Point point) const;
};

class ControlProgressBarImpl : public ControlTrackBarImpl {
public:
    ControlProgressBarImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlProgressBarImpl() override;

    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    void reload_properties() override;
    double value_at(Point point) const override;

    BarGeometry geometry() const;

private:
    void load_progress_properties();

    Picture progress_;
    int32_t orientation_ = LEFT_TO_RIGHT;
    int32_t track_size_ = 0;
};

}  // namespace skinner
