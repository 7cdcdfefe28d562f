#pragma once
// The resources of a module, found by number: tool-bar templates (the buttons a menu bar starts
// with, SHCreateMenuBar) and bitmaps (LoadBitmapW; the menu bar's image strips). A module
// registers its own at start-up: the program's come from ui/resources/ (built into every program
// that links the UI), the shell's two-key bar of "tapres.dll" from the platform itself.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "platform/window/Cursor.h"  // ERROR_RESOURCE_NAME_NOT_FOUND

// A resource number in place of a name.
inline LPCWSTR MAKEINTRESOURCEW(int id) {
    return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}

// The module's bitmap decoded at the screen's depth; null when there is none by that number.
// Only numbers (MAKEINTRESOURCEW) name resources here.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);

namespace platform {

// The shell's two-key bar in "tapres.dll": left key 18201, right key 18200.
inline constexpr int two_key_bar_resource = 18100;

struct ToolBarButtonResource {
    int command = 0;
    std::u16string text;
    BYTE state = 0x04;  // TBSTATE_ENABLED
    BYTE style = 0;
};

// A later registration of the same number replaces the earlier one.
void register_tool_bar_resource(HINSTANCE module, int id, std::vector<ToolBarButtonResource> buttons);
void register_bitmap_resource(HINSTANCE module, int id, std::span<const uint8_t> file_bytes);

std::optional<std::vector<ToolBarButtonResource>> find_tool_bar_resource(HINSTANCE module, int id);
// The bitmap's file (BMP or PNG) as it was registered.
std::optional<std::vector<uint8_t>> find_bitmap_resource(HINSTANCE module, int id);

// The number a resource name stands for, or -1 for a name that is a string.
int resource_number(LPCWSTR name);

}  // namespace platform
