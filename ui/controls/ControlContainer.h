#pragma once
// ControlContainer: a control that embeds a whole skin form (named by its "FormTemplate") as a
// panel of its owner form. Pointer, key, text, timer, focus, visibility, enabled and layout
// events go down into the embedded form; what none of its controls handles comes back up
// through the container to the owner form. The base of the scroll bar and scroll container.
#include <string>

#include "ui/forms/Control.h"
#include "ui/forms/FormBase.h"
#include "ui/graphics/Picture.h"

namespace skinner {

class Properties;

class ControlContainer : public Control {
public:
    // properties null: the owner form's.
    ControlContainer(FormBase* form, const std::u16string& name, int32_t kind, Properties* properties = nullptr);
    ~ControlContainer() override;

    // Focusing a control inside the embedded form also focuses every container around it.
    void request_focus() override;

    bool on_form_activated() override;
    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_visibility_changed(bool visible) override;
    bool get_gestures(Point point) override;
    void on_enabled_changed(bool enabled) override;
    // The background (the focus one while focused), the embedded form's controls, then the
    // focus picture.
    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    // Hit on an embedded control, or on an opaque point of the background.
    bool hit_test(Point point) override;
    void on_mouse_move(Point point) override;
    void on_mouse_leave() override;
    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_up(Point point, bool double_click) override;
    void on_mouse_down_2(Point point, bool double_click) override;
    void on_mouse_up_2(Point point, bool double_click) override;
    void on_mouse_down_1(Point point, bool double_click) override;
    void on_mouse_up_1(Point point, bool double_click) override;
    void on_wheel(Point point, int delta) override;
    bool on_text(const std::u16string& text) override;
    bool on_keydown(Key key) override;
    bool on_keyup(Key key) override;
    void dispatch_timer(uint32_t id) override;
    // The embedded form takes the same rectangle and lays out its controls by their anchors.
    void set_rect(Point position, Point size) override;
    Point get_preferred_size() override;
    void reload_properties() override;
    FormBase* get_embedded_form() override;

    // For deriving classes that place their own child controls.
    void set_rect_without_layout(Point position, Point size);

    const Picture& get_background() const { return background_; }
    const Picture& get_background_focus() const { return background_focus_; }

protected:
    FormBase form_;

private:
    // The container's own "Background" and "BackgroundFocus", overridden by the template form's.
    void load_backgrounds();

    Picture background_;
    Picture background_focus_;
};

}  // namespace skinner
