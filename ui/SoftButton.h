#pragma once
// SoftButton: what a form's menu bar shows for one command. Menu controls and the soft-key
// behaviours of buttons register themselves in their root form's list while they are visible.
// On a bar of two soft keys the left key gathers the buttons placed at "#smartphone_ok#", the
// right key everything else.
#include <cstdint>
#include <string>

namespace skinner {

class Form;
class MenuItem;

class SoftButton {
public:
    virtual ~SoftButton() = default;
    // Describes the command as a menu record.
    virtual void fill_menu_item(MenuItem& item) = 0;
    // True when choosing it opens the application's menu.
    virtual bool opens_menu() = 0;
    // "#smartphone_ok#", "#smartphone_menu#", "#smartphone_tab#", or any other text.
    virtual std::u16string placement() = 0;
    // The key the form's list is sorted by.
    virtual int32_t order() = 0;
};

inline constexpr const char16_t* placement_ok = u"#smartphone_ok#";
inline constexpr const char16_t* placement_menu = u"#smartphone_menu#";
inline constexpr const char16_t* placement_tab = u"#smartphone_tab#";

// Registers the button in the root form's list or takes it out, keeping `registered` in step with
// the list, so that a second show or hide never registers twice; nothing without a root form.
void set_soft_button_registered(Form* root, SoftButton* button, bool& registered, bool wanted);

// Whether the device has soft keys: a Smartphone, or a Pocket PC of major version 5 or later.
bool device_has_soft_keys();

// The contents of the left and the right soft key, from the form's soft buttons. A key with
// one entry becomes that entry; a key with none keeps the record as it was given.
void compose_left_soft_key(Form* form, MenuItem& record);
void compose_right_soft_key(Form* form, MenuItem& record);
// Tool-bar bars: every soft button whose record has the record's command is asked to fill its
// menu (the target's create_menu); the entries then get that target.
void fill_toolbar_popup(Form* form, MenuItem& record);

}  // namespace skinner
