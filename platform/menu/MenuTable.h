#pragma once
// The menus behind HMENU handles. Handles are never reused; one lock guards the table.
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform::menu {

struct Item {
    UINT flags = 0;  // MF_ flags as appended
    UINT id = 0;
    HMENU submenu = nullptr;
    std::u16string text;

    bool separator() const { return (flags & 0x0800u) != 0; }
    bool enabled() const { return (flags & 0x0003u) == 0 && !separator(); }
    bool checked() const { return (flags & 0x0008u) != 0; }
};

// A copy of a menu's items, or nothing for a handle that is not a menu.
std::optional<std::vector<Item>> items_of(HMENU menu);
bool is_menu(HMENU menu);

}  // namespace platform::menu
