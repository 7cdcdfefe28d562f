#pragma once
// The check box: a button that flips a checked state on every click, with six more looks
// ("Checked" + the button's style names) and a second text ("CheckedText") for the checked
// state. The state changes before the click reaches the form.
#include <memory>
#include <string>

#include "ui/controls/ControlButton.h"

namespace skinner {

class ControlCheckBoxImpl : public ControlButtonBase {
public:
    ControlCheckBoxImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlCheckBoxImpl() override;

    // Both the normal and the checked text.
    void set_text(const std::u16string& text) override;
    // The checked looks while checked.
    const ButtonStyles& get_styles() const override;
    // Flips the state, then fires as a button does.
    void fire(const ButtonEvent& event) override;
    void reload_properties() override;

    // Nothing when the state is the same; else the behaviour hears of it, the text of the new
    // state shows, and on_check_changed goes to the form.
    virtual void set_checked(bool checked);
    virtual void notify_check_changed();
    virtual void set_state_text(const std::u16string& text, bool for_checked);

    bool is_checked() const { return checked_; }
    // The behaviour for this device, as a button's (defined with them in
    // ui/menus/ControlButtonFactory.cpp).
    static std::unique_ptr<ControlButtonImpl> create_impl(ControlCheckBoxImpl& box);
    const std::u16string& get_normal_text() const { return normal_text_; }
    const std::u16string& get_checked_text() const { return checked_text_; }

private:
    void load_check_box_properties();
    void rebuild_behaviour();
    void show_state_text();

    std::u16string normal_text_;
    std::u16string checked_text_;
    bool checked_ = false;
    ButtonStyles checked_styles_;
};

}  // namespace skinner
