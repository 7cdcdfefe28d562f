#pragma once
// MenuManager: how a form window drives its menu bar. The bar's contents are composed afresh
// from the form's soft buttons whenever the form says that its menus changed; the window
// passes on the menu messages it receives.
#include <memory>

#include "platform/window/Window.h"

namespace skinner {

class Form;

class MenuManager {
public:
    virtual ~MenuManager() = default;
    // WM_COMMAND: delivers a chosen command to its target.
    virtual void on_menu_command(Form* form, WPARAM wParam, LPARAM lParam) = 0;
    // WM_INITMENUPOPUP: fills the drop-down menu that is about to open.
    virtual void on_init_menu_popup(Form* form, WPARAM wParam, LPARAM lParam) = 0;
    virtual void on_hotkey(Form* form, WPARAM wParam, LPARAM lParam) = 0;
    // The form's menus changed: the next rebuild composes the bar again.
    virtual void invalidate(Form* form) = 0;
    // Composes the bar when it was invalidated; the window calls it after every message.
    virtual void rebuild(Form* form) = 0;
    virtual void set_visible(Form* form, bool visible) = 0;

    // The bar of this device, for a new form window. The bars stand above the forms, so this is
    // defined beside them (ui/menus/MenuManagers.cpp).
    static std::unique_ptr<MenuManager> create_for_device();
};

}  // namespace skinner
