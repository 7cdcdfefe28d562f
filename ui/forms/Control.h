#pragma once
// Control: the base of every skinned control. It lives on a FormBase (its owner form), reads
// its geometry and look from the skin through the owner form's properties, is laid out by the
// form's anchors, painted by the form's paint pass and fed the form's pointer, key, text and
// timer input. Its events go to the owner form unless a derived control overrides them.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Cursor.h"
#include "base/Key.h"
#include "ui/graphics/Color.h"
#include "ui/forms/Events.h"
#include "ui/graphics/Font.h"
#include "ui/graphics/Picture.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Form;
class FormBase;
class Painter;
class Properties;

// Anchor modes per axis ("AnchorX", "AnchorY"); any other text leaves MIN_SIDE.
enum AnchorMode : int32_t {
    MIN_SIDE = 0,   // keeps its distance to the left (top) edge
    BOTH_SIDE = 1,  // keeps both distances: stretches with the form
    MAX_SIDE = 2,   // keeps its distance to the right (bottom) edge
    RATIO = 3,      // position and extent scale with the form
    CENTER = 4,     // its centre scales with the form, its extent is kept
};

// The anchor mode a skin text names (exact case); MIN_SIDE for any other text.
int32_t anchor_mode_of(const std::u16string& text);

class Control : public EventSink {
public:
    enum Kind : int32_t {
        KIND_SKIN = 0,      // described by the owner form's skin under its own name
        KIND_TEMPLATE = 1,  // the name is a skin kind name, looked up with an empty form name
        KIND_CODE = 2,      // made in code: reads no skin properties
    };

    // Reads the skin properties (not for KIND_CODE), then joins the owner form, which lays it
    // out at once.
    Control(FormBase* form, const std::u16string& name, int32_t kind);
    // Leaves the owner form (focus, capture, hover and timer go with it).
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Events pass on to the owner form (EventSink), but for request_focus: a no-op here; a
    // container overrides it to take the focus itself.
    void request_focus() override;

    // Stores the z-order and re-sorts the owner form's controls.
    virtual void set_z_order(int32_t z_order);
    // A focused control that no longer wants the focus passes it on.
    virtual void set_want_focus(bool want_focus);
    virtual bool wants_focus() const;
    // Asked of the focused control when a smartphone form is activated: true when it took
    // the focus itself.
    virtual bool on_form_activated();
    virtual void on_focus_gained();
    virtual void on_focus_lost(Control* next);
    virtual void on_visibility_changed(bool visible);
    virtual void set_gestures(bool gestures);
    // Whether the tap-and-hold gesture is wanted at the point (a container asks its controls).
    virtual bool get_gestures(Point point);
    virtual void on_enabled_changed(bool enabled);
    // Draws the "Focus" picture over the control while it has the focus.
    virtual void paint(Painter& painter, Point clip_origin, Point clip_size);
    virtual Cursor& get_cursor();
    virtual bool hit_test(Point point);
    virtual void on_mouse_enter();
    virtual void on_mouse_move(Point point);
    virtual void on_mouse_leave();
    // Button 0: the pen or the left button.
    virtual void on_mouse_down(Point point, bool double_click);
    // The flag is that of the press that this release ends.
    virtual void on_mouse_up(Point point, bool double_click);
    // Button 2: the tap-and-hold context gesture.
    virtual void on_mouse_down_2(Point point, bool double_click);
    virtual void on_mouse_up_2(Point point, bool double_click);
    virtual void on_mouse_down_1(Point point, bool double_click);
    virtual void on_mouse_up_1(Point point, bool double_click);
    virtual void on_wheel(Point point, int delta);
    // True when the text was consumed.
    virtual bool on_text(const std::u16string& text);
    // True when the key was handled.
    virtual bool on_keydown(Key key);
    virtual bool on_keyup(Key key);
    virtual void on_timer(uint32_t id);
    // on_timer when the id is this control's timer.
    virtual void dispatch_timer(uint32_t id);
    // Repaints the old and the new rectangle when either changed.
    virtual void set_rect(Point position, Point size);
    virtual Point get_preferred_size();
    virtual void reload_properties();
    // The form a container embeds; null for other controls.
    virtual FormBase* get_embedded_form();

    void load_properties();
    // The own flag and the owner form's.
    bool is_visible() const;
    bool is_enabled() const;
    void set_visible(bool visible);
    void set_enabled(bool enabled);
    // Adds the control's rectangle to the window's invalid area while it can be seen.
    void invalidate();
    void relayout();
    // Focuses the control in its form, and every container around it in theirs.
    void set_focus();
    bool is_focused() const;
    bool is_hovered() const;
    // Shift, Ctrl and Alt as the platform reports them; every other key is up.
    bool is_key_down(Key key) const;

    Form* get_form_root() const;
    Properties* get_properties() const;
    std::u16string get_language_string(const std::u16string& key, const std::u16string& default_value) const;

    // Starts the control's window timer (a running one is replaced); ticks reach on_timer.
    void set_timer(double seconds);
    void kill_timer();

    // Skin properties of this control (of its kind for a template); the default when missing.
    Color get_color_property(const std::u16string& name, Color default_value) const;
    std::u16string get_string_property(const std::u16string& name, const std::u16string& default_value) const;
    int32_t get_scaled_int_property(const std::u16string& name, int32_t default_value) const;
    int32_t get_int_property(const std::u16string& name, int32_t default_value) const;
    Point get_point_property(const std::u16string& name, Point default_value) const;
    Cursor get_cursor_property(const std::u16string& name, const Cursor& default_value) const;
    Picture get_picture_property(const std::u16string& name, const Picture& default_value) const;
    Font get_font_property(const std::u16string& name, const Font& default_value) const;

    // A property that a control may not take from the skin: reported ("Unsupported" in the log
    // and a message box) when the skin sets it. The Count check reads an integer, the String
    // check a text; 199901 (or "199901") stands for "not set".
    void check_unsupported_count_property(const std::u16string& name);
    void check_unsupported_string_property(const std::u16string& name);

    FormBase* get_form() const { return form_; }
    int32_t get_kind() const { return kind_; }
    const std::u16string& get_name() const { return name_; }
    const std::u16string& get_kind_name() const { return kind_name_; }
    int32_t get_z_order() const { return z_order_; }
    int32_t get_tab_order() const { return tab_order_; }
    int32_t get_anchor_x() const { return anchor_x_; }
    int32_t get_anchor_y() const { return anchor_y_; }
    Point get_position() const { return position_; }
    Point get_size() const { return size_; }
    Point get_skin_position() const { return skin_position_; }
    Point get_skin_size() const { return skin_size_; }
    const Picture& get_focus_picture() const { return focus_picture_; }
    uint32_t get_timer_id() const { return timer_id_; }
    // The control's own flags, without the owner form's.
    bool visible_flag() const { return visible_; }
    bool enabled_flag() const { return enabled_; }

    // Stable orders the owner form keeps its lists in.
    static bool less_by_z_order(const Control* a, const Control* b) { return a->z_order_ < b->z_order_; }
    static bool less_by_tab_order(const Control* a, const Control* b) { return a->tab_order_ < b->tab_order_; }

protected:
    EventSink* event_target() const override;

private:
    void report_unsupported(const std::u16string& variant, const std::u16string& name);
    // The (form, control) pair under which this control's properties are looked up.
    const std::u16string& lookup_form() const;
    const std::u16string& lookup_control() const;

    int32_t kind_;
    FormBase* form_;
    std::u16string name_;
    std::u16string kind_name_;
    Cursor cursor_;
    int32_t z_order_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool want_focus_ = true;
    int32_t anchor_x_ = MIN_SIDE;
    int32_t anchor_y_ = MIN_SIDE;
    Point position_;
    Point size_;
    Point skin_position_;
    Point skin_size_;
    Picture focus_picture_;
    uint32_t timer_id_ = 0;
    int32_t tab_order_ = 0;
    bool gestures_ = false;
    bool constructing_ = false;
};

// Owns a control; deletes it through its virtual destructor; null does nothing.
using ControlPtr = std::unique_ptr<Control>;

}  // namespace skinner
