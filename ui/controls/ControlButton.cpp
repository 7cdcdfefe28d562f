#include "ui/controls/ControlButton.h"

namespace skinner {

const NamedValue button_action_names[19] = {
    {0, u"NOTHING"}, {1, u"CAPTION"}, {2, u"BORDER_LEFT"}, {3, u"BORDER_RIGHT"}, {4, u"BORDER_BOTTOM"},
    {5, u"BORDER_TOP"}, {6, u"CORNER_BOTTOM_LEFT"}, {7, u"CORNER_BOTTOM_RIGHT"}, {8, u"CORNER_TOP_LEFT"},
    {9, u"CORNER_TOP_RIGHT"}, {10, u"BUTTON_CLOSE"}, {11, u"BUTTON_MINIMIZE"}, {12, u"BUTTON_MAXIMIZE"},
    {13, u"BUTTON_SYSMENU"}, {14, u"BUTTON_OK"}, {15, u"BUTTON_CANCEL"}, {16, u"BUTTON_YES"},
    {17, u"BUTTON_NO_MENU"}, {18, u"BUTTON_SIMPLE_OK"},
};

ControlButtonBase::ControlButtonBase(FormBase* form, const std::u16string& name, int32_t kind)
    : Control(form, name, kind) {
    load_button_properties();
}

ControlButtonBase::~ControlButtonBase() = default;

void ControlButtonBase::load_button_properties() {
    border_min_ = get_point_property(u"BorderMin", Point());
    border_max_ = get_point_property(u"BorderMax", border_min_);
    styles_ = ButtonStyles::read(*this, u"");
    text_ = get_string_property(u"Text", text_);
    h_alignment_ = h_alignment_of(get_string_property(u"HAlignment", u""));
    v_alignment_ = v_alignment_of(get_string_property(u"VAlignment", u""));
    action_ = ButtonAction(value_of_name(button_action_names, get_string_property(u"Action", u""), int32_t(action_)));
}

void ControlButtonBase::set_behaviour(std::unique_ptr<ControlButtonImpl> behaviour) { behaviour_ = std::move(behaviour); }

bool ControlButtonBase::wants_focus() const {
    // A button without a role (a system-menu piece) keeps the plain button's focus rule.
    return Control::wants_focus() && (!behaviour_ || behaviour_->focusable);
}

void ControlButtonBase::on_focus_lost(Control*) {
    // Enter held while the focus moves away never clicks.
    change_pressed([&] { pressed_by_key_ = false; });
}

void ControlButtonBase::on_visibility_changed(bool visible) {
    if (behaviour_) behaviour_->on_visibility_changed(visible);
}

void ControlButtonBase::on_enabled_changed(bool enabled) {
    if (behaviour_) behaviour_->on_enabled_changed(enabled);
}

ButtonStyles::State ControlButtonBase::current_state() const {
    if (!is_enabled()) return ButtonStyles::Disabled;
    if (is_pressed()) return ButtonStyles::Pressed;
    const bool hovered = is_hovered();
    const bool focused = is_focused();
    if (hovered && focused) return ButtonStyles::HighlightedFocus;
    if (hovered) return ButtonStyles::Highlighted;
    if (focused) return ButtonStyles::NormalFocus;
    return ButtonStyles::Normal;
}

const ButtonStyles& ControlButtonBase::get_styles() const { return styles_; }

void ControlButtonBase::paint(Painter& painter, Point clip_origin, Point clip_size) {
    if (behaviour_ && !behaviour_->drawn) return;
    const ItemStyle& style = get_styles()[current_state()];
    style.picture.draw(painter, get_position(), get_size());
    Control::paint(painter, clip_origin, clip_size);
    const Point text_position = get_position() + border_min_;
    const Point text_size = get_size() - border_min_ - border_max_;
    style.font.draw_text(painter, style.color, text_, text_position, text_size, int(h_alignment_), int(v_alignment_));
}

bool ControlButtonBase::hit_test(Point point) {
    if (behaviour_ && !behaviour_->drawn) return false;
    if (!Control::hit_test(point)) return false;
    const Picture& picture = get_styles()[current_state()].picture;
    const PictureRep* rep = picture.rep();
    if (!rep || !rep->image) return true;
    // Taps pass through the transparent parts of the picture as it is drawn.
    return !picture.is_transparent_at(point, get_position(), get_size());
}

void ControlButtonBase::on_mouse_move(Point point) {
    if (behaviour_) behaviour_->on_mouse_move(point);
}

void ControlButtonBase::on_mouse_down(Point point, bool double_click) {
    change_pressed([&] { pressed_by_pointer_ = true; });
    if (behaviour_) behaviour_->on_mouse_down(point, double_click);
}

void ControlButtonBase::on_mouse_up(Point point, bool double_click) {
    const bool released = change_pressed([&] {
        pressed_by_pointer_ = false;
        if (behaviour_) behaviour_->on_mouse_up(point, double_click);
    });
    if (released && hit_test(point) && is_enabled()) fire(ButtonEvent{double_click ? 1 : 0, point.x, point.y});
}

bool ControlButtonBase::on_keydown(Key key) {
    if (key != Key::Enter) return false;
    change_pressed([&] { pressed_by_key_ = true; });
    return true;
}

bool ControlButtonBase::on_keyup(Key key) {
    if (key != Key::Enter) return false;
    if (change_pressed([&] { pressed_by_key_ = false; })) click();
    return true;
}

void ControlButtonBase::set_pressed(bool pressed) {
    if (change_pressed([&] { pressed_by_program_ = pressed; })) click();
}

template <class Change>
bool ControlButtonBase::change_pressed(Change change) {
    const bool before = is_pressed();
    change();
    const bool after = is_pressed();
    if (before != after) notify_state_changed();
    invalidate();
    return before && !after;
}

void ControlButtonBase::notify_state_changed() { on_state_changed(this); }

void ControlButtonBase::click() {
    if (!is_enabled()) return;
    const Point centre = get_position() + get_size() / 2.0;
    fire(ButtonEvent{0, centre.x, centre.y});
}

void ControlButtonBase::fire(const ButtonEvent& event) {
    if (behaviour_) behaviour_->on_fired(event);
    on_control_event(this, event);
}

void ControlButtonBase::set_text(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    if (behaviour_) behaviour_->on_text_changed(text_);
    invalidate();
}

void ControlButtonBase::on_command(const std::u16string& command) {
    if (command == get_name()) click();
}

void ControlButtonBase::reload_properties() {
    Control::load_properties();
    load_button_properties();
}

ControlButton::ControlButton(FormBase* form, const std::u16string& name, int32_t kind)
    : ControlButtonBase(form, name, kind) {
    rebuild_behaviour();
}

void ControlButton::set_want_focus(bool want) {
    ControlButtonBase::set_want_focus(want);
    rebuild_behaviour();
}

void ControlButton::reload_properties() {
    ControlButtonBase::reload_properties();
    rebuild_behaviour();
}

void ControlButton::rebuild_behaviour() {
    // The old role ends before the new one starts: a role that registers the button (the OK
    // button) unregisters it when it ends, which would otherwise undo the new registration.
    set_behaviour(nullptr);
    set_behaviour(create_impl(*this));
}

}  // namespace skinner
