#pragma once
// The base of bar controls that show a value between 0 and 1 and let the pen pick one. The
// pen never changes the value itself: it reports the value under it through on_value_changed,
// and whoever receives that calls set_position when it accepts it.
#include <string>

#include "ui/forms/Control.h"

namespace skinner {

class ControlTrackBarImpl : public Control {
public:
    ControlTrackBarImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlTrackBarImpl() override;

    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_move(Point point) override;
    void on_mouse_up(Point point, bool double_click) override;
    void reload_properties() override;

    virtual void notify_value_changed(double value);
    virtual void notify_state_changed();
    // The value that a point of the bar stands for.
    virtual double value_at(Point point) const = 0;

    // Clamped to [0, 1]; a value that is not a finite number counts as 0.
    void set_position(double value);
    double get_value() const { return value_; }
    bool is_pressed() const { return pressed_; }

protected:
    const Picture& get_background() const { return background_; }
    // The thumb as the bar's enabled state shows it.
    const Picture& get_thumb() const { return is_enabled() ? track_ : track_disabled_; }

private:
    void load_track_properties();

    Picture background_;
    Picture track_;
    Picture track_disabled_;
    double value_ = 0.0;
    bool pressed_ = false;
};

}  // namespace skinner
