#pragma once
// The platform roles a skinned button takes by its "Action" and the device: the caption that
// titles the form window, the OK and Close buttons of a Pocket PC form, and the soft keys, in
// which a button lives on a soft-key device instead of being drawn.
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/forms/SoftButton.h"

namespace skinner {

class ControlCheckBoxImpl;

// Sets the form window's text to the button's.
class ControlButtonImplCaptionPocket : public ControlButtonImpl {
public:
    explicit ControlButtonImplCaptionPocket(ControlButtonBase& button);
    void on_text_changed(const std::u16string& text) override;
};

// Sets the form window's title and tells the shell's task bar to show it.
class ControlButtonCaptionSmartphone : public ControlButtonImpl {
public:
    explicit ControlButtonCaptionSmartphone(ControlButtonBase& button);
    void on_text_changed(const std::u16string& text) override;
};

// The caption's OK button clicks this button (registered with the form window while it lives).
class ControlButtonImplOKPocket : public ControlButtonImpl {
public:
    ControlButtonImplOKPocket(ControlButtonBase& button, bool solid);
    ~ControlButtonImplOKPocket() override;
};

// Closes the form window when fired.
class ControlButtonImplClosePocket : public ControlButtonImpl {
public:
    explicit ControlButtonImplClosePocket(ControlButtonBase& button);
    void on_fired(const ButtonEvent& event) override;
};

// The button as an entry of the soft keys: in the root form's soft-button list while visible,
// after every menu control (its order is the z-order + 1000000).
class ControlButtonSoftKey : public ControlButtonImpl, public SoftButton {
public:
    ControlButtonSoftKey(ControlButtonBase& button, const std::u16string& placement, bool drawn = false,
                         bool focusable = false);
    ~ControlButtonSoftKey() override;

    void on_text_changed(const std::u16string& text) override;
    void on_visibility_changed(bool visible) override;
    void on_enabled_changed(bool enabled) override;

    void fill_menu_item(MenuItem& item) override;
    bool opens_menu() override;
    std::u16string placement() override;
    int32_t order() override;

    static constexpr int32_t order_after_menu_controls = 1000000;

protected:
    void refresh_menus();

private:
    void set_registered(bool registered);

    std::u16string placement_;
    bool registered_ = false;
};

// Closes the form window when its entry (or the button) fires.
class ControlButtonCloseSmartphone : public ControlButtonSoftKey {
public:
    explicit ControlButtonCloseSmartphone(ControlButtonBase& button);
    void on_fired(const ButtonEvent& event) override;
};

// The left soft key's entry, also the button that the caption's OK clicks.
class ControlButtonOKSmartphone : public ControlButtonSoftKey {
public:
    ControlButtonOKSmartphone(ControlButtonBase& button, bool solid);
    ~ControlButtonOKSmartphone() override;
};

// A check box's entry: shown checked while the box is.
class ControlCheckBoxSoftKey : public ControlButtonSoftKey {
public:
    explicit ControlCheckBoxSoftKey(ControlCheckBoxImpl& check_box);
    void on_checked_changed(bool checked) override;
    void fill_menu_item(MenuItem& item) override;

private:
    ControlCheckBoxImpl& check_box_;
};

}  // namespace skinner
