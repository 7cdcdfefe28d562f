#include "ui/forms/FormBase.h"

#include <algorithm>

#include "ui/application/Application.h"
#include "ui/forms/AutoControl.h"
#include "ui/device/DeviceCapability.h"
#include "ui/graphics/Painter.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

bool is_smartphone() {
    static const bool smartphone = static_capability_is_smartphone();
    return smartphone;
}

struct Extent {
    int32_t position;
    int32_t length;
};

// One axis of the anchor layout: o the form's origin, n its size, r its reference size; p and
// s the control's skin position and size. 64-bit products keep large skins from overflowing.
Extent anchor_axis(int32_t mode, int32_t o, int32_t n, int32_t r, int32_t p, int32_t s) {
    const int64_t N = n, R = r, P = p, S = s;
    switch (mode) {
    case MAX_SIDE: return {o + p + (n - r), s};
    case BOTH_SIDE: return {o + p, s - r + n};
    case RATIO:
        if (r == 0) break;
        return {static_cast<int32_t>(o + (N * P) / R), static_cast<int32_t>(((P + S) * N) / R - (P * N) / R)};
    case CENTER: {
        if (r == 0) break;
        const int64_t h = S / 2;
        return {static_cast<int32_t>(o + ((P + h) * N) / R - h), s};
    }
    default: break;
    }
    return {o + p, s};
}

}  // namespace

FormBase::FormBase(Form* root, Properties* properties, const std::u16string& name, int32_t kind, Control* parent)
    : kind_(kind), properties_(properties), parent_(parent), root_(root) {
    if (kind_ == KIND_TEMPLATE) {
        kind_name_ = name;
    } else {
        form_name_ = name;
    }
    load_size();
    size_ = skin_size_;
}

FormBase::~FormBase() { delete_auto_controls(); }

EventSink* FormBase::event_target() const { return parent_; }

void FormBase::set_focus(Control* control) {
    if (control == focused_) return;
    if (active_ && focused_) focused_->on_focus_lost(control);
    focused_ = control;
    if (active_ && control) control->on_focus_gained();
}

bool FormBase::is_focused(const Control* control) const { return active_ && control && control == focused_; }

void FormBase::show(bool active) {
    if (active == active_) return;
    if (active) {
        // The first focusable control is chosen before the form shows focus, so that it is
        // told only once.
        if (!focused_) move_focus(true);
        active_ = true;
        if (focused_) focused_->on_focus_gained();
    } else {
        active_ = false;
        if (focused_) focused_->on_focus_lost(nullptr);
    }
}

void FormBase::paint(Painter& painter, Point clip_origin, Point clip_size) {
    const Point clip_end = clip_origin + clip_size;
    for (Control* c : std::vector<Control*>(controls_)) {
        if (!c->is_visible()) continue;
        const Point p = c->get_position();
        const Point end = p + c->get_size();
        if (p.x < clip_end.x && p.y < clip_end.y && end.x > clip_origin.x && end.y > clip_origin.y) {
            c->paint(painter, clip_origin, clip_size);
        }
    }
}

void FormBase::set_rect(Point position, Point size) {
    position_ = position;
    size_ = size;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) layout(*it);
}

void FormBase::layout(Control* control) const {
    const Point p = control->get_skin_position();
    const Point s = control->get_skin_size();
    const Extent y = anchor_axis(control->get_anchor_y(), position_.y, size_.y, skin_size_.y, p.y, s.y);
    const Extent x = anchor_axis(control->get_anchor_x(), position_.x, size_.x, skin_size_.x, p.x, s.x);
    control->set_rect({x.position, y.position}, {x.length, y.length});
}

void FormBase::reload_properties() {
    delete_auto_controls();
    load_size();
    create_auto_controls();
    for (Control* c : std::vector<Control*>(controls_)) c->reload_properties();
    sort_by_zorder();
}

void FormBase::on_mouse_move(Point point) {
    last_pointer_ = point;
    if (captured_) {
        captured_->on_mouse_move(point);
        return;
    }
    Control* c = control_at(point);
    if (c && c->is_enabled()) {
        set_hover(c);
        c->on_mouse_move(point);
    } else {
        set_hover(nullptr);
    }
}

void FormBase::on_mouse_leave() {
    if (!captured_) set_hover(nullptr);
}

namespace {

// The control operations of pointer buttons 0, 1 and 2.
void press(Control* control, int button, Point point, bool double_click) {
    switch (button) {
    case 0: control->on_mouse_down(point, double_click); break;
    case 1: control->on_mouse_down_1(point, double_click); break;
    default: control->on_mouse_down_2(point, double_click); break;
    }
}

void release(Control* control, int button, Point point, bool double_click) {
    switch (button) {
    case 0: control->on_mouse_up(point, double_click); break;
    case 1: control->on_mouse_up_1(point, double_click); break;
    default: control->on_mouse_up_2(point, double_click); break;
    }
}

}  // namespace

void FormBase::pointer_down(int button, Point point, bool double_click) {
    last_pointer_ = point;
    if (!captured_) {
        Control* c = control_at(point);
        if (!c) return;
        if (!c->is_enabled()) {
            set_hover(nullptr);
            return;
        }
        set_hover(c);
        captured_ = c;
        if (c->wants_focus()) set_focus(c);
    }
    if (Control* c = captured_) {
        button_down_[size_t(button)] = true;
        press(c, button, point, double_click);
    }
}

void FormBase::pointer_up(int button, Point point, bool double_click) {
    last_pointer_ = point;
    Control* c = captured_;
    if (!c) return;
    button_down_[size_t(button)] = false;
    // The capture ends before the control hears of the release: a release that fires a button
    // may run a whole modal form.
    if (std::none_of(button_down_.begin(), button_down_.end(), [](bool b) { return b; })) captured_ = nullptr;
    release(c, button, point, double_click);
}

void FormBase::on_mouse_down(Point point, bool double_click) { pointer_down(0, point, double_click); }
void FormBase::on_mouse_up(Point point, bool double_click) { pointer_up(0, point, double_click); }
void FormBase::on_mouse_down_1(Point point, bool double_click) { pointer_down(1, point, double_click); }
void FormBase::on_mouse_up_1(Point point, bool double_click) { pointer_up(1, point, double_click); }
void FormBase::on_mouse_down_2(Point point, bool double_click) { pointer_down(2, point, double_click); }
void FormBase::on_mouse_up_2(Point point, bool double_click) { pointer_up(2, point, double_click); }

void FormBase::on_wheel(Point point, int delta) {
    Control* c = captured_;
    if (!c) c = control_at(point);
    if (c) c->on_wheel(point, delta);
}

bool FormBase::on_text(const std::u16string& text) { return focused_ && focused_->on_text(text); }

bool FormBase::on_keydown(Key key) {
    if (focused_ && focused_->on_keydown(key)) return true;
    switch (key) {
    case Key::Tab:
        if (is_key_down(Key::Ctrl) || is_key_down(Key::Alt)) return false;
        return move_focus(!is_key_down(Key::Shift));
    case Key::Down: return move_focus(true);
    case Key::Up: return move_focus(false);
    default: return false;
    }
}

bool FormBase::on_keyup(Key key) { return focused_ && focused_->on_keyup(key); }

void FormBase::on_timer(uint32_t id) {
    // A handler may delete controls: each is asked only while it is still on the form.
    const std::vector<Control*> snapshot = controls_;
    for (Control* c : snapshot) {
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end()) c->dispatch_timer(id);
    }
}

void FormBase::add_control(Control* control) {
    auto at = std::upper_bound(controls_.begin(), controls_.end(), control, Control::less_by_z_order);
    controls_.insert(at, control);
    layout(control);
}

void FormBase::remove_control(Control* control) {
    if (focused_ == control) focused_ = nullptr;
    if (captured_ == control) {
        captured_ = nullptr;
        button_down_ = {};
    }
    if (hover_ == control) hover_ = nullptr;
    control->kill_timer();
    std::erase(controls_, control);
}

void FormBase::sort_by_zorder() { std::stable_sort(controls_.begin(), controls_.end(), Control::less_by_z_order); }

bool FormBase::move_focus(bool forward) {
    std::vector<Control*> candidates;
    for (Control* c : controls_) {
        if (c->wants_focus() && c->is_visible() && c->is_enabled()) candidates.push_back(c);
    }
    std::stable_sort(candidates.begin(), candidates.end(), Control::less_by_tab_order);
    if (candidates.empty()) {
        set_focus(nullptr);
        return false;
    }
    auto it = std::find(candidates.begin(), candidates.end(), focused_);
    const bool absent = it == candidates.end();
    Control* next = nullptr;
    bool result = true;
    if (forward) {
        if (absent) {
            next = candidates.front();
        } else if (it + 1 == candidates.end()) {
            next = candidates.front();
            result = false;
        } else {
            next = *(it + 1);
        }
    } else {
        if (!absent && it == candidates.begin()) {
            next = candidates.back();
            result = false;
        } else if (absent) {
            next = candidates.back();
        } else {
            next = *(it - 1);
        }
    }
    set_focus(next);
    return result;
}

bool FormBase::set_hover(Control* control) {
    Control* old = hover_;
    hover_ = control;
    if (old != control) {
        if (old) old->on_mouse_leave();
        if (control) control->on_mouse_enter();
    }
    if (control) {
        control->get_cursor().apply();
    } else {
        Cursor().apply();
    }
    return old != control && control;
}

void FormBase::set_shown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    for (Control* c : std::vector<Control*>(controls_)) {
        if (c->visible_flag()) c->on_visibility_changed(shown);
    }
}

void FormBase::set_enabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled) {
        set_hover(nullptr);
        if (Control* c = captured_) {
            for (int b = 0; b < 3; ++b) {
                button_down_[size_t(b)] = false;
                release(c, b, last_pointer_, false);
            }
            captured_ = nullptr;
        }
    }
    for (Control* c : std::vector<Control*>(controls_)) {
        if (!c->enabled_flag()) continue;
        c->on_enabled_changed(enabled);
        c->invalidate();
    }
}

void FormBase::set_position_and_size(Point position, Point size) {
    position_ = position;
    size_ = size;
}

void FormBase::relayout() { set_rect(position_, size_); }

bool FormBase::on_form_activated() { return focused_ && focused_->on_form_activated(); }

Control* FormBase::control_at(Point point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->is_visible() && (*it)->hit_test(point)) return *it;
    }
    return nullptr;
}

bool FormBase::is_over_control(Point point) const { return control_at(point) != nullptr; }

bool FormBase::wants_gestures_at(Point point) const {
    Control* c = control_at(point);
    return c && c->get_gestures(point);
}

Point FormBase::get_minimum_size() const {
    Point result = skin_size_;
    for (Control* c : controls_) {
        if (c->get_anchor_x() != BOTH_SIDE && c->get_anchor_y() != BOTH_SIDE) continue;
        const Point preferred = c->get_preferred_size();
        if (c->get_anchor_x() == BOTH_SIDE) result.x = std::max(result.x, skin_size_.x - c->get_skin_size().x + preferred.x);
        if (c->get_anchor_y() == BOTH_SIDE) result.y = std::max(result.y, skin_size_.y - c->get_skin_size().y + preferred.y);
    }
    return result;
}

void FormBase::load_size() {
    if (kind_ == KIND_CODE || form_name_.empty() || !properties_) return;
    skin_size_ = get_point_property(u"Size", Point());
    if (is_smartphone()) skin_size_ = get_point_property(u"SizeNoButtons", skin_size_);
}

void FormBase::create_auto_controls() {
    if (kind_ == KIND_CODE || form_name_.empty() || !properties_) return;
    const uint32_t count = properties_->get_auto_control_count(form_name_);
    for (uint32_t i = 0; i < count; ++i) {
        const auto [name, type] = properties_->get_auto_control(form_name_, i);
        if (Control* c = create_auto_control(type, this, name, Control::KIND_SKIN)) {
            c->set_want_focus(false);
            auto_controls_.push_back(c);
        }
    }
}

void FormBase::delete_auto_controls() {
    while (!auto_controls_.empty()) {
        Control* c = auto_controls_.back();
        auto_controls_.pop_back();
        delete c;  // the form owns its automatic controls
    }
}

void FormBase::set_form_name(const std::u16string& name) { form_name_ = name; }

int32_t FormBase::get_int_property(const std::u16string& name, int32_t default_value) const {
    return properties_ ? properties_->get_form_int(form_name_, name, default_value) : default_value;
}

Point FormBase::get_point_property(const std::u16string& name, Point default_value) const {
    return properties_ ? properties_->get_form_point(form_name_, name, default_value) : default_value;
}

Picture FormBase::get_picture_property(const std::u16string& name, const Picture& default_value) const {
    return properties_ ? properties_->get_form_picture(form_name_, name, default_value) : default_value;
}

}  // namespace skinner
