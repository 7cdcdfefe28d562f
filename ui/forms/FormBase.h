#pragma once
// FormBase: a skin form seen as a surface of controls. It keeps its controls in paint order,
// lays them out by their anchors whenever its rectangle changes, moves the keyboard focus by
// tab order, tracks the control under the pointer (hover) and the one holding it (capture),
// routes pointer, wheel, text, key and timer input, and paints its controls. It has no window:
// Form adds one, and a container embeds a FormBase built from another skin form.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Key.h"
#include "ui/forms/Control.h"
#include "ui/forms/Events.h"
#include "ui/graphics/Picture.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Form;
class Painter;
class Properties;

class FormBase : public EventSink {
public:
    enum Kind : int32_t {
        KIND_SKIN = 0,      // a skin form under its own name
        KIND_TEMPLATE = 1,  // the name is a skin kind name; the form name stays empty
        KIND_CODE = 2,      // made in code: reads no skin properties
    };

    // Reads "Size" (and on a smartphone "SizeNoButtons") as the reference size and takes it as
    // its size. Its own skin properties and automatic controls are loaded by the derived form
    // or the embedding container. parent receives the events that the form does not handle.
    FormBase(Form* root, Properties* properties, const std::u16string& name, int32_t kind, Control* parent);
    // Deletes the automatic controls, the last first.
    ~FormBase() override;
    FormBase(const FormBase&) = delete;
    FormBase& operator=(const FormBase&) = delete;

    virtual void set_focus(Control* control);
    // Whether the form is active and the control is its focused one.
    virtual bool is_focused(const Control* control) const;
    // Switches the form's focus display on or off; it shows or hides no window.
    virtual void show(bool active);
    // Paints every visible control that overlaps the clip, in z-order.
    virtual void paint(Painter& painter, Point clip_origin, Point clip_size);
    // Stores the rectangle and lays out every control by its anchors.
    virtual void set_rect(Point position, Point size);
    // Rebuilds the automatic controls and reloads every control.
    virtual void reload_properties();
    virtual void on_mouse_move(Point point);
    virtual void on_mouse_leave();
    virtual void on_mouse_down(Point point, bool double_click);
    virtual void on_mouse_up(Point point, bool double_click);
    virtual void on_mouse_down_2(Point point, bool double_click);
    virtual void on_mouse_up_2(Point point, bool double_click);
    virtual void on_mouse_down_1(Point point, bool double_click);
    virtual void on_mouse_up_1(Point point, bool double_click);
    virtual void on_wheel(Point point, int delta);
    virtual bool on_text(const std::u16string& text);
    // The focused control first, then Tab, Up and Down move the focus; a wrap-around reports
    // the key unhandled, so that an embedding container can pass it on.
    virtual bool on_keydown(Key key);
    virtual bool on_keyup(Key key);
    // Offers the timer id to every control.
    virtual void on_timer(uint32_t id);

    // Inserted after every control of equal or lower z-order and laid out at once.
    void add_control(Control* control);
    void remove_control(Control* control);
    void sort_by_zorder();
    // False when the focus wrapped around (or no control can take it).
    bool move_focus(bool forward);
    // True when the hover changed to a control.
    bool set_hover(Control* control);
    void set_shown(bool shown);
    void set_enabled(bool enabled);
    // Stores the rectangle without laying out the controls.
    void set_position_and_size(Point position, Point size);
    void relayout();
    // The focused control's answer; false without one.
    bool on_form_activated();
    bool is_over_control(Point point) const;
    bool wants_gestures_at(Point point) const;
    // The reference size, widened where stretching controls need more than their skin size.
    Point get_minimum_size() const;
    void load_size();
    void create_auto_controls();
    void set_form_name(const std::u16string& name);

    // Skin properties of the form itself.
    int32_t get_int_property(const std::u16string& name, int32_t default_value) const;
    Point get_point_property(const std::u16string& name, Point default_value) const;
    Picture get_picture_property(const std::u16string& name, const Picture& default_value) const;

    Point get_size() const { return size_; }
    Point get_position() const { return position_; }
    Point get_skin_size() const { return skin_size_; }
    Point get_last_pointer() const { return last_pointer_; }
    int32_t get_kind() const { return kind_; }
    Properties* get_properties() const { return properties_; }
    const std::u16string& get_form_name() const { return form_name_; }
    const std::u16string& get_kind_name() const { return kind_name_; }
    Form* get_root() const { return root_; }
    Control* get_parent() const { return parent_; }
    bool is_shown() const { return shown_; }
    bool is_enabled() const { return enabled_; }
    bool is_active() const { return active_; }
    Control* get_focused() const { return focused_; }
    Control* get_hover() const { return hover_; }
    Control* get_captured() const { return captured_; }
    // Every control in paint order (ascending z-order).
    const std::vector<Control*>& get_controls() const { return controls_; }
    const std::vector<Control*>& get_auto_controls() const { return auto_controls_; }

protected:
    // The events that the form does not handle go to its parent sink.
    EventSink* event_target() const override;
    // Deletes the automatic controls, the last first (each leaves the form as it dies).
    void delete_auto_controls();

private:
    // The topmost visible control whose hit test accepts the point; null when none.
    Control* control_at(Point point) const;
    void layout(Control* control) const;
    void pointer_down(int button, Point point, bool double_click);
    void pointer_up(int button, Point point, bool double_click);

    Point size_;
    int32_t kind_;
    Properties* properties_;
    std::u16string form_name_;
    std::u16string kind_name_;
    Point skin_size_;
    Point position_;
    Point last_pointer_;
    bool shown_ = true;
    bool enabled_ = true;
    Control* parent_;
    Form* root_;
    std::vector<Control*> controls_;
    std::vector<Control*> auto_controls_;
    Control* focused_ = nullptr;
    bool active_ = false;
    Control* hover_ = nullptr;
    Control* captured_ = nullptr;
    std::array<bool, 3> button_down_{};
};

}  // namespace skinner
