#pragma once
// SoftButton: what a form's menu bar shows for one command. Menu controls and the soft-key
// behaviours of buttons register themselves in their root form's list while they are visible;
// the menu bars compose their keys from that list (ui/menus/SoftKeys.h).
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

inline constexpr const char16_t* placement_ok = u"#smartphone_ok#";
inline constexpr const char16_t* placement_menu = u"#smartphone_menu#";
inline constexpr const char16_t* placement_tab = u"#smartphone_tab#";

}  // namespace skinner
