#include "platform/resource/Resources.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

#include "platform/imaging/Imaging.h"
#include "platform/kernel/Core.h"
#include "platform/window/Modules.h"

namespace {

constexpr DWORD ERROR_INVALID_DATA = 13;

}  // namespace

namespace platform {

namespace {

using Key = std::pair<HINSTANCE, int>;

struct ResourceTable {
    std::mutex lock;
    std::map<Key, std::vector<ToolBarButtonResource>> tool_bars;
    std::map<Key, std::vector<uint8_t>> bitmaps;
};

// The tool-bar resource the shell's library carries: two soft keys, right first as the shell
// numbers them, shown left to right.
void add_shell_resources(ResourceTable& t) {
    HMODULE tapres = LoadLibraryW(u"tapres.dll");
    t.tool_bars[{tapres, two_key_bar_resource}] = {{18201, u"", 0x04, 0}, {18200, u"", 0x04, 0}};
    FreeLibrary(tapres);
}

ResourceTable& table() {
    static ResourceTable* instance = [] {
        auto* t = new ResourceTable;  // used by static initialisers and at exit alike
        add_shell_resources(*t);
        return t;
    }();
    return *instance;
}

}  // namespace

int resource_number(LPCWSTR name) {
    auto value = reinterpret_cast<uintptr_t>(name);
    return value < 0x10000 ? static_cast<int>(value) : -1;
}

void register_tool_bar_resource(HINSTANCE module, int id, std::vector<ToolBarButtonResource> buttons) {
    ResourceTable& t = table();
    std::lock_guard guard(t.lock);
    t.tool_bars[{module, id}] = std::move(buttons);
}

void register_bitmap_resource(HINSTANCE module, int id, std::span<const uint8_t> file_bytes) {
    ResourceTable& t = table();
    std::lock_guard guard(t.lock);
    t.bitmaps[{module, id}] = std::vector<uint8_t>(file_bytes.begin(), file_bytes.end());
}

std::optional<std::vector<ToolBarButtonResource>> find_tool_bar_resource(HINSTANCE module, int id) {
    ResourceTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.tool_bars.find({module, id});
    if (it == t.tool_bars.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::vector<uint8_t>> find_bitmap_resource(HINSTANCE module, int id) {
    ResourceTable& t = table();
    std::lock_guard guard(t.lock);
    auto it = t.bitmaps.find({module, id});
    if (it == t.bitmaps.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace platform

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    int id = platform::resource_number(name);
    if (id < 0) {
        std::fprintf(stderr, "platform: LoadBitmapW by a resource name is not supported\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::optional<std::vector<uint8_t>> file = platform::find_bitmap_resource(instance, id);
    if (!file) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HBITMAP bitmap = platform::decode_image(*file, 0, 10000, 10000);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_DATA);
    }
    return bitmap;
}
