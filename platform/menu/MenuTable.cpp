#include "platform/menu/MenuTable.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/kernel/Core.h"
#include "platform/menu/Menu.h"

namespace platform::menu {

namespace {

constexpr UINT known_append_flags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR;

struct Menu {
    std::vector<Item> items;
    HMENU parent = nullptr;  // the menu that holds this one as a submenu
};

struct MenuTable {
    std::mutex lock;
    std::map<HMENU, Menu> menus;
    uintptr_t next = 0x10;
};

MenuTable& table() {
    static auto* instance = new MenuTable;
    return *instance;
}

Menu* find(MenuTable& t, HMENU handle) {
    auto it = t.menus.find(handle);
    return it == t.menus.end() ? nullptr : &it->second;
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool unsupported(const char* call, UINT flags) {
    std::fprintf(stderr, "platform: %s flags 0x%x are not supported\n", call, flags);
    return fail(ERROR_INVALID_PARAMETER);
}

// Whether `menu` is `ancestor` or lies inside it.
bool within(MenuTable& t, HMENU menu, HMENU ancestor) {
    for (HMENU m = menu; m; m = find(t, m) ? find(t, m)->parent : nullptr) {
        if (m == ancestor) {
            return true;
        }
    }
    return false;
}

void destroy_tree(MenuTable& t, HMENU handle) {
    Menu* m = find(t, handle);
    if (!m) {
        return;
    }
    std::vector<HMENU> children;
    for (const Item& item : m->items) {
        if (item.submenu) {
            children.push_back(item.submenu);
        }
    }
    t.menus.erase(handle);
    for (HMENU child : children) {
        destroy_tree(t, child);
    }
}

// Removes the item at `position` of `handle`, destroying its submenu.
void remove_item(MenuTable& t, HMENU handle, size_t position) {
    Menu* m = find(t, handle);
    HMENU submenu = m->items[position].submenu;
    m->items.erase(m->items.begin() + static_cast<ptrdiff_t>(position));
    destroy_tree(t, submenu);
}

bool delete_by_command(MenuTable& t, HMENU handle, UINT id) {
    Menu* m = find(t, handle);
    if (!m) {
        return false;
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        const Item& item = m->items[i];
        if (!item.submenu && !item.separator() && item.id == id) {
            remove_item(t, handle, i);
            return true;
        }
        if (item.submenu && delete_by_command(t, item.submenu, id)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::vector<Item>> items_of(HMENU menu) {
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    Menu* m = find(t, menu);
    if (!m) {
        return std::nullopt;
    }
    return m->items;
}

bool is_menu(HMENU menu) {
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    return find(t, menu) != nullptr;
}

}  // namespace platform::menu

using namespace platform::menu;

HMENU CreatePopupMenu() {
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    auto handle = reinterpret_cast<HMENU>(t.next);
    t.next += 0x10;
    t.menus[handle] = Menu{};
    return handle;
}

BOOL AppendMenuW(HMENU menu, UINT flags, uintptr_t id_or_submenu, LPCWSTR text) {
    if ((flags & ~known_append_flags) || ((flags & MF_POPUP) && (flags & MF_SEPARATOR))) {
        return unsupported("AppendMenuW", flags);
    }
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    Menu* m = find(t, menu);
    if (!m) {
        return fail(ERROR_INVALID_MENU_HANDLE);
    }
    Item item;
    item.flags = flags;
    if (flags & MF_POPUP) {
        auto submenu = reinterpret_cast<HMENU>(id_or_submenu);
        Menu* sub = find(t, submenu);
        // A menu held twice would be destroyed twice; one inside itself would never end.
        if (!sub || sub->parent || within(t, menu, submenu)) {
            return fail(ERROR_INVALID_MENU_HANDLE);
        }
        sub->parent = menu;
        item.submenu = submenu;
    } else {
        item.id = static_cast<UINT>(id_or_submenu);
    }
    if (!(flags & MF_SEPARATOR) && text) {
        item.text = text;
    }
    find(t, menu)->items.push_back(std::move(item));
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    if (flags & ~MF_BYPOSITION) {
        return unsupported("DeleteMenu", flags);
    }
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    Menu* m = find(t, menu);
    if (!m) {
        return fail(ERROR_INVALID_MENU_HANDLE);
    }
    if (flags & MF_BYPOSITION) {
        if (position >= m->items.size()) {
            return fail(ERROR_INVALID_PARAMETER);
        }
        remove_item(t, menu, position);
        return TRUE;
    }
    return delete_by_command(t, menu, position) ? TRUE : fail(ERROR_INVALID_PARAMETER);
}

BOOL DestroyMenu(HMENU menu) {
    MenuTable& t = table();
    std::lock_guard guard(t.lock);
    Menu* m = find(t, menu);
    if (!m) {
        return fail(ERROR_INVALID_MENU_HANDLE);
    }
    if (Menu* parent = find(t, m->parent)) {
        std::erase_if(parent->items, [&](const Item& item) { return item.submenu == menu; });
    }
    destroy_tree(t, menu);
    return TRUE;
}
