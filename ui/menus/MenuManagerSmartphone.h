#pragma once
// The menu bar of a Smartphone form: the shell's standard two-key bar (from "tapres.dll") whose
// left and right keys are composed from the form's soft buttons, and the Back key, which
// deletes in a native edit window, goes to the form as Esc and Backspace, or steps back to the
// previous program.
#include "platform/window/Window.h"
#include "ui/menus/ShellMenuBarManager.h"

namespace skinner {

class MenuManagerSmartphone : public ShellMenuBarManager {
public:
    MenuManagerSmartphone() = default;
    ~MenuManagerSmartphone() override;
    MenuManagerSmartphone(const MenuManagerSmartphone&) = delete;
    MenuManagerSmartphone& operator=(const MenuManagerSmartphone&) = delete;

    void on_menu_command(Form* form, WPARAM wParam, LPARAM lParam) override;
    void on_init_menu_popup(Form* form, WPARAM wParam, LPARAM lParam) override;
    void on_hotkey(Form* form, WPARAM wParam, LPARAM lParam) override;
    void set_visible(Form* form, bool visible) override;

    void build(Form* form) override;

    bool wants_to_go_back() const { return want_to_go_back_; }

    static constexpr int tool_bar_id = 18100;
    static constexpr int left_key_id = 18201;
    static constexpr int right_key_id = 18200;

private:
    void compose(Form* form) override;

    bool want_to_go_back_ = false;
};

}  // namespace skinner
