#include "ui/forms/Control.h"

#include "base/Log.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormBase.h"
#include "ui/forms/FormImpl.h"
#include "ui/graphics/Painter.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

struct AnchorName {
    int32_t mode;
    const char16_t* text;
};

const AnchorName anchor_names[] = {
    {MIN_SIDE, u"MIN_SIDE"}, {BOTH_SIDE, u"BOTH_SIDE"}, {MAX_SIDE, u"MAX_SIDE"}, {RATIO, u"RATIO"}, {CENTER, u"CENTER"},
};

// What a property check reads when the skin does not set the property.
constexpr int32_t not_set = 199901;
const std::u16string not_set_text = u"199901";

const std::u16string no_name;

}  // namespace

int32_t anchor_mode_of(const std::u16string& text) {
    for (const AnchorName& a : anchor_names) {
        if (text == a.text) return a.mode;
    }
    return MIN_SIDE;
}

Control::Control(FormBase* form, const std::u16string& name, int32_t kind) : kind_(kind), form_(form) {
    if (kind_ == KIND_TEMPLATE) {
        kind_name_ = name;
    } else {
        name_ = name;
    }
    constructing_ = true;
    load_properties();
    constructing_ = false;
    form_->add_control(this);
}

Control::~Control() { form_->remove_control(this); }

EventSink* Control::event_target() const { return form_; }
void Control::request_focus() {}

void Control::set_z_order(int32_t z_order) {
    z_order_ = z_order;
    form_->sort_by_zorder();
}

void Control::set_want_focus(bool want_focus) {
    want_focus_ = want_focus;
    if (!wants_focus() && form_->get_focused() == this) form_->move_focus(true);
}

bool Control::wants_focus() const { return want_focus_; }
bool Control::on_form_activated() { return false; }
void Control::on_focus_gained() { invalidate(); }
void Control::on_focus_lost(Control*) { invalidate(); }
void Control::on_visibility_changed(bool) {}
void Control::set_gestures(bool gestures) { gestures_ = gestures; }
bool Control::get_gestures(Point) { return gestures_; }
void Control::on_enabled_changed(bool) {}

void Control::paint(Painter& painter, Point, Point) {
    if (form_->is_focused(this)) focus_picture_.draw(painter, position_, size_);
}

Cursor& Control::get_cursor() { return cursor_; }

bool Control::hit_test(Point p) {
    return position_.x <= p.x && p.x < position_.x + size_.x && position_.y <= p.y && p.y < position_.y + size_.y;
}

void Control::on_mouse_enter() {}
void Control::on_mouse_move(Point) {}
void Control::on_mouse_leave() {}
void Control::on_mouse_down(Point, bool) {}
void Control::on_mouse_up(Point, bool) {}
void Control::on_mouse_down_2(Point, bool) {}
void Control::on_mouse_up_2(Point, bool) {}
void Control::on_mouse_down_1(Point, bool) {}
void Control::on_mouse_up_1(Point, bool) {}
void Control::on_wheel(Point, int) {}
bool Control::on_text(const std::u16string&) { return false; }
bool Control::on_keydown(Key) { return false; }
bool Control::on_keyup(Key) { return false; }
void Control::on_timer(uint32_t) {}

void Control::dispatch_timer(uint32_t id) {
    if (id != 0 && id == timer_id_) on_timer(id);
}

void Control::set_rect(Point position, Point size) {
    if (position == position_ && size == size_) return;
    invalidate();
    position_ = position;
    size_ = size;
    invalidate();
}

Point Control::get_preferred_size() { return skin_size_; }
void Control::reload_properties() { load_properties(); }
FormBase* Control::get_embedded_form() { return nullptr; }

void Control::load_properties() {
    if (kind_ == KIND_CODE) return;
    cursor_ = get_cursor_property(u"Cursor", Cursor());
    anchor_x_ = anchor_mode_of(get_string_property(u"AnchorX", u""));
    anchor_y_ = anchor_mode_of(get_string_property(u"AnchorY", u""));
    focus_picture_ = get_picture_property(u"Focus", Picture());
    tab_order_ = get_int_property(u"TabOrder", 0);
    skin_position_ = get_point_property(u"Position", Point());
    skin_size_ = get_point_property(u"Size", Point());
    check_unsupported_count_property(u"Visible");
    check_unsupported_count_property(u"Enabled");
    check_unsupported_count_property(u"Gestures");
    z_order_ = get_int_property(u"ZOrder", 0);
    check_unsupported_count_property(u"WantFocus");
}

bool Control::is_visible() const { return visible_ && form_->is_shown(); }
bool Control::is_enabled() const { return enabled_ && form_->is_enabled(); }

void Control::set_visible(bool visible) {
    const bool was = is_visible();
    visible_ = visible;
    const bool now = is_visible();
    if (was != now) {
        on_visibility_changed(now);
        // Also when it became hidden: what was under it shows again.
        if (Form* root = get_form_root()) root->get_window()->invalidate(position_, size_);
    }
    if (!visible && form_->get_focused() == this) form_->move_focus(true);
    if (is_visible() && is_enabled() && wants_focus() && !form_->get_focused()) form_->set_focus(this);
}

void Control::set_enabled(bool enabled) {
    const bool was = is_enabled();
    enabled_ = enabled;
    const bool now = is_enabled();
    if (was != now) {
        on_enabled_changed(now);
        invalidate();
    }
    if (!enabled && form_->get_focused() == this) form_->move_focus(true);
}

void Control::invalidate() {
    if (!is_visible()) return;
    if (Form* root = get_form_root()) root->get_window()->invalidate(position_, size_);
}

void Control::relayout() { set_rect(position_, size_); }

void Control::set_focus() {
    form_->set_focus(this);
    form_->request_focus();
}

bool Control::is_focused() const { return form_->is_focused(this); }
bool Control::is_hovered() const { return form_->get_hover() == this; }
bool Control::is_key_down(Key key) const { return FormImpl::is_key_down(key); }

Form* Control::get_form_root() const { return form_->get_root(); }
Properties* Control::get_properties() const { return form_->get_properties(); }

std::u16string Control::get_language_string(const std::u16string& key, const std::u16string& default_value) const {
    Properties* p = get_properties();
    return p ? p->get_string(key, default_value) : default_value;
}

void Control::set_timer(double seconds) {
    kill_timer();
    if (Form* root = get_form_root()) timer_id_ = root->set_timer(seconds);
}

void Control::kill_timer() {
    if (timer_id_ == 0) return;
    if (Form* root = get_form_root()) root->kill_timer(timer_id_);
    timer_id_ = 0;
}

const std::u16string& Control::lookup_form() const { return kind_ == KIND_TEMPLATE ? no_name : form_->get_form_name(); }
const std::u16string& Control::lookup_control() const { return kind_ == KIND_TEMPLATE ? kind_name_ : name_; }

// A control made in code has no skin node: every getter gives its default.
#define SKIN_GETTER(getter)                                                                  \
    Properties* p = get_properties();                                                       \
    if (kind_ == KIND_CODE || !p) return default_value;                                     \
    return p->getter(lookup_form(), lookup_control(), name, default_value)

Color Control::get_color_property(const std::u16string& name, Color default_value) const { SKIN_GETTER(get_color); }
std::u16string Control::get_string_property(const std::u16string& name, const std::u16string& default_value) const {
    SKIN_GETTER(get_string_property);
}
int32_t Control::get_scaled_int_property(const std::u16string& name, int32_t default_value) const { SKIN_GETTER(get_scaled_int); }
int32_t Control::get_int_property(const std::u16string& name, int32_t default_value) const { SKIN_GETTER(get_int); }
Point Control::get_point_property(const std::u16string& name, Point default_value) const { SKIN_GETTER(get_point); }
Cursor Control::get_cursor_property(const std::u16string& name, const Cursor& default_value) const { SKIN_GETTER(get_cursor); }
Picture Control::get_picture_property(const std::u16string& name, const Picture& default_value) const { SKIN_GETTER(get_picture); }
Font Control::get_font_property(const std::u16string& name, const Font& default_value) const { SKIN_GETTER(get_font); }

#undef SKIN_GETTER

void Control::check_unsupported_count_property(const std::u16string& name) {
    if (get_int_property(name, not_set) != not_set) report_unsupported(u"Count", name);
}

void Control::check_unsupported_string_property(const std::u16string& name) {
    if (get_string_property(name, not_set_text) != not_set_text) report_unsupported(u"String", name);
}

void Control::report_unsupported(const std::u16string& variant, const std::u16string& name) {
    const std::u16string message = u"Form {" + form_->get_form_name() + u"}\n" + u"Control {" + name_ + u"}\n" + variant +
                                   u" Property {" + name + u"}\n";
    Log::instance() << u"Unsupported: " << message;
    Form* root = get_form_root();
    // A control being built belongs to a form that may be half-built too: the box's own loop
    // must not hand that form any message meanwhile.
    std::unique_ptr<FormImpl::FormHold> hold;
    if (constructing_ && root) hold = std::make_unique<FormImpl::FormHold>(root->get_window());
    FormImpl::message_box(root, message, u"Unsupported");
}

}  // namespace skinner
