#pragma once
// The code-made menu controls: a menu item is one command of the form's menu bar or soft keys,
// registered in its root form's soft-button list while it is visible; a menu button opens the
// application's menu (its target's create_menu fills it).
#include <cstdint>
#include <string>

#include "ui/forms/Control.h"
#include "ui/forms/SoftButton.h"

namespace skinner {

class ControlMenuItemImpl : public Control, public SoftButton {
public:
    // The text is translated with the name as its key (an empty text stays empty); the order
    // becomes the z-order.
    ControlMenuItemImpl(FormBase* form, const std::u16string& name, const std::u16string& text, int32_t order,
                        const std::u16string& placement);
    ~ControlMenuItemImpl() override;

    void fill_menu_item(MenuItem& item) override;
    bool opens_menu() override;
    // The placement, or the name when it is empty.
    std::u16string placement() override;
    int32_t order() override;

    void on_visibility_changed(bool visible) override;
    void on_enabled_changed(bool enabled) override;
    // Translates the text again; reads no skin properties.
    void reload_properties() override;

    // Each change refreshes the form's menus.
    void set_checked(bool checked);
    void set_separator_after(bool separator_after);
    void set_image_id(int32_t image_id);

    const std::u16string& get_text() const { return text_; }
    bool is_checked() const { return checked_; }

private:
    void translate();
    void set_registered(bool registered);
    void refresh_menus();

    std::u16string text_;
    bool separator_after_ = false;
    bool checked_ = false;
    int32_t image_id_ = -1;
    std::u16string placement_;
    std::u16string default_text_;
    bool registered_ = false;
};

class ControlMenuButtonImpl : public ControlMenuItemImpl {
public:
    using ControlMenuItemImpl::ControlMenuItemImpl;
    bool opens_menu() override;
};

// Its presence gives the root form a menu bar: the form refreshes its menus only while one is
// registered.
class ControlMenuMainImpl : public Control {
public:
    ControlMenuMainImpl(FormBase* form, const std::u16string& name, int32_t kind);
    ~ControlMenuMainImpl() override;
};

}  // namespace skinner
