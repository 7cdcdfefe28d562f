#pragma once
// Form: a top-level skinned form. A FormBase with a native window of its own (FormImpl), entered
// in the process-wide list of open forms, with its background, start position and caption from
// the skin and the language strings, default and cancel buttons for Enter and Esc, the
// registration of its main menu and soft buttons, and the modal loop: do_modal runs the
// thread's messages until the form's window asks the loop to end.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/Window.h"
#include "ui/forms/FormBase.h"
#include "ui/graphics/Picture.h"

namespace skinner {

class FormButton;
class FormImpl;
class SoftButton;

// Ends the innermost modal loop that runs for the window it is posted to.
constexpr UINT WM_END_MODAL = WM_USER + 33;
// Carries a key with its character from the Pocket PC pump to the window.
constexpr UINT WM_KEY_WITH_CHAR = WM_USER + 2;
// Handled like WM_SETTINGCHANGE.
constexpr UINT WM_SETTINGCHANGE_USER = WM_USER + 4;
// Delivers a pending command line to Form::bring_to_front.
constexpr UINT WM_COMMAND_LINE = WM_USER + 34;

// The window side, built before the FormBase part and destroyed after it.
class FormWindowHolder {
protected:
    FormWindowHolder(Form* parent, Properties* properties, const std::u16string& form_name);
    ~FormWindowHolder();
    std::unique_ptr<FormImpl> window_;
};

class Form : private FormWindowHolder, public FormBase {
public:
    // Makes the window (owned by the parent's window), joins the open forms, reads the form's
    // skin properties (placing the window) and creates its automatic controls. sink receives
    // the events that the form does not handle.
    Form(Form* parent, Properties* properties, const std::u16string& form_name, Control* sink = nullptr);
    ~Form() override;

    void reload_properties() override;
    // The focused control, the focus keys, then Esc presses the first usable cancel button and
    // Enter the first usable default button (reported unhandled).
    bool on_keydown(Key key) override;
    // The focused control, then Enter releases the default button and Esc the cancel button,
    // which fires it.
    bool on_keyup(Key key) override;

    virtual void on_activate();
    virtual void on_deactivate();
    // Places the window by "StartPositionX" and "StartPositionY" (6: left where it is).
    virtual void apply_position();
    // Asked when the window receives WM_CLOSE.
    virtual bool can_close();
    // Raises the window; the command line is what another instance handed over.
    virtual void bring_to_front(const std::u16string& command_line);
    // A picture failed to load for lack of memory: the top-level form says so, and every form
    // on the way closes itself.
    virtual void on_picture_failed_to_load(const Picture& picture);

    void load_properties();
    // Runs the thread's messages until the window ends the loop (WM_CLOSE that can_close allows)
    // or WM_QUIT arrives. Other forms are disabled meanwhile when this one has a parent.
    void do_modal();
    // Sends WM_CLOSE to the window.
    void close();
    // A window timer with the next id of one process-wide counter (1, 2, 3, ...).
    uint32_t set_timer(double seconds);
    void kill_timer(uint32_t id);
    void register_menu_main(Control* menu);
    void unregister_menu_main(Control* menu);
    // Tells the menu bar that the menus changed, while a main menu is registered.
    void refresh_menus();
    // Kept sorted by SoftButton::order; equal orders stay in registration order.
    void register_soft_button(SoftButton* button);
    void unregister_soft_button(SoftButton* button);
    // Buttons that Enter (default) and Esc (cancel) press; the first enabled, visible one is used.
    void add_default_button(FormButton* button);
    void add_cancel_button(FormButton* button);
    void remove_default_button(FormButton* button);
    void remove_cancel_button(FormButton* button);

    FormImpl* get_window() const { return window_.get(); }
    HWND get_hwnd() const;
    Form* get_parent_form() const { return parent_form_; }
    Control* get_main_menu() const { return main_menu_; }
    bool is_in_modal() const { return in_modal_; }
    const Picture& get_background() const { return background_; }
    const std::vector<SoftButton*>& get_soft_buttons() const { return soft_buttons_; }
    int32_t get_start_position_x() const { return start_position_x_; }
    int32_t get_start_position_y() const { return start_position_y_; }

    // Every constructed form, in construction order.
    static const std::vector<Form*>& get_open_forms();
    // The form whose do_modal runs innermost; null outside any.
    static Form* get_modal_form();

private:
    // One message of the modal loop; false ends the loop.
    bool pump(const MSG& msg);
    void run_modal_loop();

    std::vector<SoftButton*> soft_buttons_;
    std::vector<FormButton*> default_buttons_;
    std::vector<FormButton*> cancel_buttons_;
    bool in_modal_ = false;
    Form* parent_form_;
    Control* main_menu_ = nullptr;
    Picture background_;
    int32_t start_position_ = 0;
    int32_t start_position_x_ = 0;
    int32_t start_position_y_ = 0;
};

}  // namespace skinner
