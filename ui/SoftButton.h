#pragma once
// SoftButton: what a form's menu bar shows for one command. Menu controls and the soft-key
// behaviours of buttons register themselves in their root form's list while they are visible.
#include <cstdint>
#include <string>

namespace skinner {

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

}  // namespace skinner
