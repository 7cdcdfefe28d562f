#pragma once
// What both devices' menu-bar managers share: the shell's bar (SHCreateMenuBar), made once the
// form's window is visible, and composed again at the first rebuild after the form's menus
// changed.
#include "platform/window/Window.h"
#include "ui/forms/MenuManager.h"

namespace skinner {

class ShellMenuBarManager : public MenuManager {
public:
    void invalidate(Form* form) override;
    // Makes the bar when it is missing, then composes its contents.
    void rebuild(Form* form) final;

    // Creates the bar once the form's window is visible.
    virtual void build(Form* form) = 0;

    HWND get_bar() const { return bar_; }
    bool is_invalidated() const { return invalidated_; }

protected:
    // Fills the bar, which exists, from the form's soft buttons.
    virtual void compose(Form* form) = 0;

    HWND bar_ = nullptr;
    bool invalidated_ = false;
};

}  // namespace skinner
