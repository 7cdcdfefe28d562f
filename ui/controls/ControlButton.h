#pragma once
// The skinned button: six state looks, a caption inside insets, and a press by pen, by Enter
// or by the program that fires on its release. ControlButtonBase holds the look and the press
// logic; ControlButton adds the behaviour object that its "Action" gives it.
#include <cstdint>
#include <memory>
#include <string>

#include "ui/graphics/Alignment.h"
#include "ui/forms/Control.h"
#include "ui/forms/FormButton.h"
#include "ui/controls/ItemStyle.h"

namespace skinner {

class ControlButtonBase;

// The platform role of a button, from the skin's "Action".
enum class ButtonAction : int32_t {
    NOTHING = 0, CAPTION, BORDER_LEFT, BORDER_RIGHT, BORDER_BOTTOM, BORDER_TOP,
    CORNER_BOTTOM_LEFT, CORNER_BOTTOM_RIGHT, CORNER_TOP_LEFT, CORNER_TOP_RIGHT,
    BUTTON_CLOSE, BUTTON_MINIMIZE, BUTTON_MAXIMIZE, BUTTON_SYSMENU, BUTTON_OK, BUTTON_CANCEL,
    BUTTON_YES, BUTTON_NO_MENU, BUTTON_SIMPLE_OK,
};

extern const NamedValue button_action_names[19];

// What a button's role adds to it: told of the button's changes and presses; says whether
// the skinned button is drawn (and hit) and whether it may take the focus.
class ControlButtonImpl {
public:
    ControlButtonImpl(ControlButtonBase& button, bool drawn_, bool focusable_)
        : drawn(drawn_), focusable(focusable_), button_(button) {}
    virtual ~ControlButtonImpl() = default;
    ControlButtonImpl(const ControlButtonImpl&) = delete;
    ControlButtonImpl& operator=(const ControlButtonImpl&) = delete;

    virtual void on_text_changed(const std::u16string& /*text*/) {}
    virtual void on_visibility_changed(bool /*visible*/) {}
    virtual void on_enabled_changed(bool /*enabled*/) {}
    virtual void on_checked_changed(bool /*checked*/) {}
    virtual void on_fired(const ButtonEvent& /*event*/) {}
    virtual void on_mouse_down(Point /*point*/, bool /*double_click*/) {}
    virtual void on_mouse_move(Point /*point*/) {}
    virtual void on_mouse_up(Point /*point*/, bool /*double_click*/) {}

    ControlButtonBase& button() const { return button_; }

    bool drawn;
    bool focusable;

private:
    ControlButtonBase& button_;
};

// The role that does nothing but carry the two flags.
class ControlButtonImplPlain : public ControlButtonImpl {
public:
    using ControlButtonImpl::ControlButtonImpl;
};

class ControlButtonBase : public Control, public FormButton {
public:
    ControlButtonBase(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlButtonBase() override;

    bool wants_focus() const override;
    void on_focus_lost(Control* next) override;
    void on_visibility_changed(bool visible) override;
    void on_enabled_changed(bool enabled) override;
    void paint(Painter& painter, Point clip_origin, Point clip_size) override;
    bool hit_test(Point point) override;
    void on_mouse_move(Point point) override;
    void on_mouse_down(Point point, bool double_click) override;
    void on_mouse_up(Point point, bool double_click) override;
    bool on_keydown(Key key) override;
    bool on_keyup(Key key) override;
    void reload_properties() override;
    // The button's own name clicks it; no command goes on to the form.
    void on_command(const std::u16string& command) override;

    virtual void set_text(const std::u16string& text);
    virtual void fire(const ButtonEvent& event);
    // Raised when the pressed look comes on or goes off.
    virtual void notify_state_changed();
    virtual const ButtonStyles& get_styles() const;

    bool can_be_pressed() const override { return is_enabled() && is_visible(); }
    // Fires {0, centre} when enabled.
    void click() override;
    // The program's press: the release fires as a key's does.
    void set_pressed(bool pressed) override;

    const std::u16string& get_text() const { return text_; }
    ButtonAction get_action() const { return action_; }
    ControlButtonImpl* get_behaviour() const { return behaviour_.get(); }
    bool is_pressed() const { return pressed_by_pointer_ || pressed_by_key_ || pressed_by_program_; }
    // The look that painting and hit testing use now.
    ButtonStyles::State current_state() const;
    Point get_border_min() const { return border_min_; }
    Point get_border_max() const { return border_max_; }
    HAlignment get_h_alignment() const { return h_alignment_; }
    VAlignment get_v_alignment() const { return v_alignment_; }

protected:
    void set_behaviour(std::unique_ptr<ControlButtonImpl> behaviour);
    void load_button_properties();

private:
    // Runs change, repaints, and tells the form when the pressed look changed; true when the
    // look went from on to off.
    template <class Change>
    bool change_pressed(Change change);

    Point border_min_;
    Point border_max_;
    std::unique_ptr<ControlButtonImpl> behaviour_;
    ButtonAction action_ = ButtonAction::NOTHING;
    ButtonStyles styles_;
    HAlignment h_alignment_ = HAlignment::CENTER;
    VAlignment v_alignment_ = VAlignment::VCENTER;
    bool pressed_by_pointer_ = false;
    bool pressed_by_key_ = false;
    bool pressed_by_program_ = false;
    std::u16string text_;
};

class ControlButton : public ControlButtonBase {
public:
    ControlButton(FormBase* form, const std::u16string& name, int32_t kind);

    void set_want_focus(bool want) override;
    void reload_properties() override;

    // The behaviour for the button's Action on this device. The behaviours that live in the
    // menu bar stand above the controls: defined beside them (ui/menus/ControlButtonFactory.cpp).
    static std::unique_ptr<ControlButtonImpl> create_impl(ControlButtonBase& button);

private:
    void rebuild_behaviour();
};

}  // namespace skinner
