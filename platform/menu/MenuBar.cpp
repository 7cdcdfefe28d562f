#include "platform/menu/MenuBar.h"

#include <stb_image.h>

#include <algorithm>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuBarParts.h"
#include "platform/menu/MenuTable.h"
#include "platform/menu/MenuTracking.h"
#include "platform/menu/MenuWindows.h"
#include "platform/resource/Resources.h"
#include "platform/window/Input.h"

namespace platform::menu {

using namespace menu_bar;

namespace {

constexpr BYTE known_styles = TBSTYLE_SEP | TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE | BTNS_WHOLEDROPDOWN;
constexpr DWORD known_masks = TBIF_IMAGE | TBIF_TEXT | TBIF_STATE | TBIF_STYLE | TBIF_LPARAM | TBIF_COMMAND;

std::u16string text_of(const WCHAR* text, int limit) {
    if (!text) {
        return {};
    }
    std::u16string out;
    for (int i = 0; (limit <= 0 || i < limit) && text[i]; ++i) {
        out.push_back(text[i]);
    }
    return out;
}

bool check_style(BYTE style) {
    bool ok = (style & ~known_styles) == 0 &&
              ((style & TBSTYLE_DROPDOWN) == 0) == ((style & BTNS_WHOLEDROPDOWN) == 0);
    if (!ok) {
        std::fprintf(stderr, "platform: menu bar button style 0x%x is not supported\n", style);
    }
    return ok;
}

LRESULT insert_button(Bar& bar, WPARAM index, const TBBUTTON* tb) {
    if (!tb || !check_style(tb->fsStyle)) {
        return FALSE;
    }
    Button b;
    b.image = tb->iBitmap;
    b.command = tb->idCommand;
    b.state = tb->fsState;
    b.style = tb->fsStyle;
    b.data = tb->dwData;
    if (tb->iString != 0 && tb->iString != -1) {
        if (tb->iString > 0 && tb->iString < 0x10000) {
            std::fprintf(stderr, "platform: menu bar texts by string index are not supported\n");
            return FALSE;
        }
        b.text = text_of(reinterpret_cast<const WCHAR*>(tb->iString), 0);
    }
    size_t at = std::min<size_t>(index, bar.buttons.size());
    bar.buttons.insert(bar.buttons.begin() + static_cast<ptrdiff_t>(at), std::move(b));
    return TRUE;
}

LRESULT set_button_info(Bar& bar, WPARAM command, const TBBUTTONINFO* info) {
    if (!info || (info->cbSize != device_button_info_size && info->cbSize != sizeof(TBBUTTONINFO))) {
        return FALSE;
    }
    if (info->dwMask & ~known_masks) {
        std::fprintf(stderr, "platform: TB_SETBUTTONINFO mask 0x%x is not supported\n", info->dwMask);
        return FALSE;
    }
    if ((info->dwMask & TBIF_STYLE) && !check_style(info->fsStyle)) {
        return FALSE;
    }
    auto it = std::find_if(bar.buttons.begin(), bar.buttons.end(),
                           [&](const Button& b) { return b.command == static_cast<int>(command); });
    if (it == bar.buttons.end()) {
        return FALSE;
    }
    if (info->dwMask & TBIF_IMAGE) it->image = info->iImage;
    if (info->dwMask & TBIF_TEXT) it->text = text_of(info->pszText, info->cchText);
    if (info->dwMask & TBIF_STATE) it->state = info->fsState;
    if (info->dwMask & TBIF_STYLE) it->style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) it->data = info->lParam;
    if (info->dwMask & TBIF_COMMAND) it->command = info->idCommand;
    return TRUE;
}

LRESULT get_button(const Bar& bar, WPARAM index, TBBUTTON* tb) {
    if (!tb || index >= bar.buttons.size()) {
        return FALSE;
    }
    const Button& b = bar.buttons[index];
    *tb = TBBUTTON{};
    tb->iBitmap = b.image;
    tb->idCommand = b.command;
    tb->fsState = b.state;
    tb->fsStyle = b.style;
    tb->dwData = b.data;
    tb->iString = b.text.empty() ? -1 : reinterpret_cast<intptr_t>(b.text.c_str());
    return TRUE;
}

LRESULT override_key(Bar& bar, WPARAM key, LPARAM lParam) {
    WORD mask = static_cast<WORD>(lParam & 0xFFFF);
    WORD values = static_cast<WORD>((lParam >> 16) & 0xFFFF);
    constexpr WORD known = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
    if (key != VK_ESCAPE || (mask & ~known) || (values & ~known)) {
        std::fprintf(stderr, "platform: SHCMBM_OVERRIDEKEY of key 0x%x with 0x%lx is not supported\n",
                     static_cast<unsigned>(key), static_cast<unsigned long>(lParam));
        return FALSE;
    }
    bar.back_flags = static_cast<WORD>((bar.back_flags & ~mask) | (values & mask));
    return TRUE;
}

// The tool-bar messages, under the bar table's lock.
bool handle_bar_message(Bar& bar, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case TB_BUTTONCOUNT:
        *result = static_cast<LRESULT>(bar.buttons.size());
        return true;
    case TB_DELETEBUTTON:
        if (wParam >= bar.buttons.size()) {
            *result = FALSE;
            return true;
        }
        bar.buttons.erase(bar.buttons.begin() + static_cast<ptrdiff_t>(wParam));
        bar.pressed = -1;
        *result = TRUE;
        return true;
    case TB_INSERTBUTTONW:
        *result = insert_button(bar, wParam, reinterpret_cast<const TBBUTTON*>(lParam));
        return true;
    case TB_SETBUTTONINFO:
        *result = set_button_info(bar, wParam, reinterpret_cast<const TBBUTTONINFO*>(lParam));
        return true;
    case TB_GETBUTTON:
        *result = get_button(bar, wParam, reinterpret_cast<TBBUTTON*>(lParam));
        return true;
    case SHCMBM_OVERRIDEKEY:
        *result = override_key(bar, wParam, lParam);
        return true;
    default:
        return false;
    }
}

bool owner_takes_input(const Bar& bar) {
    return IsWindowEnabled(bar.owner) != FALSE;
}

// A button is pressed through: WM_COMMAND to the owner.
void fire(HWND window, HWND owner, int command) {
    PostMessageW(owner, WM_COMMAND, static_cast<WPARAM>(command & 0xFFFF), reinterpret_cast<LPARAM>(window));
}

// Opens the drop-down of button i above it, and posts the choice.
void drop_down(HWND window, int i, bool by_key) {
    std::shared_ptr<Bar> bar = find_bar(window);
    if (!bar) {
        return;
    }
    HWND owner = nullptr;
    HMENU menu = nullptr;
    int command = 0;
    TrackRequest request;
    {
        BarLock guard(bars().lock);
        if (i < 0 || static_cast<size_t>(i) >= bar->buttons.size()) {
            return;
        }
        const Button& button = bar->buttons[static_cast<size_t>(i)];
        owner = bar->owner;
        menu = reinterpret_cast<HMENU>(button.data);
        command = button.command;
        RECT r = lay_out(*bar)[static_cast<size_t>(i)];
        RECT place;
        GetWindowRect(window, &place);
        bool right_key = soft_key_layout(*bar) && soft_key_button(*bar, 1) == i;
        request.anchor = POINT{place.left + (right_key ? r.right : r.left), place.top};
        request.align = (right_key ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_BOTTOMALIGN;
        bar->pressed = i;
        bar->pressed_by_key = true;  // held down while its menu is open
    }
    InvalidateRect(window, nullptr, FALSE);
    if (!is_menu(menu)) {
        std::fprintf(stderr, "platform: menu bar button %d drops down no menu\n", command);
    } else {
        SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), static_cast<LPARAM>(command & 0xFFFF));
        request.menu = menu;
        request.owner = owner;
        request.select_first = by_key;
        UINT chosen = IsWindow(window) && IsWindow(owner) ? track(request) : 0;
        if (chosen) {
            PostMessageW(owner, WM_COMMAND, chosen & 0xFFFF, 0);
        }
    }
    BarLock guard(bars().lock);
    bar->pressed = -1;
    bar->pressed_by_key = false;
    if (IsWindow(window)) {
        InvalidateRect(window, nullptr, FALSE);
    }
}

// Pen and soft-key input on the bar.
void on_input(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<Bar> bar = find_bar(window);
    if (!bar) {
        return;
    }
    BarLock guard(bars().lock);
    POINT client{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
    int hit = -1;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        hit = button_at(*bar, client);
        if (!owner_takes_input(*bar) || hit < 0 || !bar->buttons[static_cast<size_t>(hit)].usable()) {
            return;
        }
        if (bar->buttons[static_cast<size_t>(hit)].drops_down()) {
            guard.unlock();
            drop_down(window, hit, false);
            return;
        }
        bar->pressed = hit;
        bar->pressed_by_key = false;
        bar->pen_over = true;
        guard.unlock();
        SetCapture(window);
        break;
    case WM_MOUSEMOVE:
        if (bar->pressed < 0 || bar->pressed_by_key) {
            return;
        }
        bar->pen_over = button_at(*bar, client) == bar->pressed;
        break;
    case WM_LBUTTONUP: {
        if (bar->pressed < 0 || bar->pressed_by_key) {
            return;
        }
        bool over = button_at(*bar, client) == bar->pressed;
        int command = bar->buttons[static_cast<size_t>(bar->pressed)].command;
        bar->pressed = -1;
        guard.unlock();
        if (GetCapture() == window) {
            ReleaseCapture();
        }
        if (over && owner_takes_input(*bar)) {
            fire(window, bar->owner, command);
        }
        break;
    }
    case WM_KEYDOWN: {
        if (wParam != VK_TSOFT1 && wParam != VK_TSOFT2) {
            return;
        }
        hit = soft_key_layout(*bar) ? soft_key_button(*bar, wParam == VK_TSOFT1 ? 0 : 1) : -1;
        bool repeat = (lParam & (LPARAM(1) << 30)) != 0;
        if (repeat || !owner_takes_input(*bar) || hit < 0 || !bar->buttons[static_cast<size_t>(hit)].usable()) {
            return;
        }
        if (bar->buttons[static_cast<size_t>(hit)].drops_down()) {
            guard.unlock();
            drop_down(window, hit, true);
            return;
        }
        bar->pressed = hit;
        bar->pressed_by_key = true;
        break;
    }
    case WM_KEYUP: {
        if (wParam != VK_TSOFT1 && wParam != VK_TSOFT2) {
            return;
        }
        hit = soft_key_layout(*bar) ? soft_key_button(*bar, wParam == VK_TSOFT1 ? 0 : 1) : -1;
        if (!bar->pressed_by_key || bar->pressed != hit || hit < 0) {
            return;
        }
        int command = bar->buttons[static_cast<size_t>(hit)].command;
        bar->pressed = -1;
        bar->pressed_by_key = false;
        guard.unlock();
        if (owner_takes_input(*bar)) {
            fire(window, bar->owner, command);
        }
        break;
    }
    case WM_CAPTURECHANGED:
        if (bar->pressed >= 0 && !bar->pressed_by_key) {
            bar->pressed = -1;
        }
        break;
    default:
        return;
    }
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT bar_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
        on_input(window, message, wParam, lParam);
        return 0;
    case WM_SETTINGCHANGE: {
        // The screen may have turned: the bar keeps to its bottom edge, across its whole width.
        const platform::DeviceProfile& p = platform::device_profile();
        const int height = platform::bar_height();
        MoveWindow(window, 0, p.screen_height - height, p.screen_width, height, TRUE);
        return 0;
    }
    case WM_DESTROY: {
        BarTable& t = bars();
        BarLock guard(t.lock);
        std::erase_if(t.bars, [&](const std::shared_ptr<Bar>& b) { return b->window == window; });
        return 0;
    }
    default:
        break;
    }
    if (message >= WM_USER) {
        std::shared_ptr<Bar> bar = find_bar(window);
        LRESULT result = 0;
        bool handled = false;
        if (bar) {
            BarLock guard(bars().lock);
            handled = handle_bar_message(*bar, message, wParam, lParam, &result);
        }
        if (handled) {
            InvalidateRect(window, nullptr, FALSE);
            return result;
        }
        std::fprintf(stderr, "platform: menu bar message 0x%x is not supported\n", message);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR bar_class() {
    static bool registered = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = bar_proc;
        wc.lpszClassName = u"MenuBar";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return u"MenuBar";
}

// Decodes a bitmap resource into tiles of width x height, left to right.
bool cut_tiles(const std::vector<uint8_t>& file, int count, int width, int height, std::vector<Tile>* tiles) {
    if (file.size() > INT32_MAX) {
        return false;
    }
    int w = 0;
    int h = 0;
    int channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels, 4), stbi_image_free);
    if (!pixels || h != height || static_cast<int64_t>(count) * width > w) {
        return false;
    }
    for (int k = 0; k < count; ++k) {
        Tile tile;
        tile.rgba.reserve(static_cast<size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y) {
            const stbi_uc* row = pixels.get() + (static_cast<size_t>(y) * w + static_cast<size_t>(k) * width) * 4;
            tile.rgba.insert(tile.rgba.end(), row, row + static_cast<size_t>(width) * 4);
        }
        tiles->push_back(std::move(tile));
    }
    return true;
}

}  // namespace

bool route_key(UINT virtual_key, bool down, bool repeat) {
    if (virtual_key != VK_TSOFT1 && virtual_key != VK_TSOFT2 && virtual_key != VK_ESCAPE) {
        return false;
    }
    if (tracking()) {
        return false;  // the open menu reads every key itself
    }
    HWND active = GetActiveWindow();
    HWND target = nullptr;
    UINT message = down ? WM_KEYDOWN : WM_KEYUP;
    WPARAM wParam = virtual_key;
    LPARAM lParam = 1 | (down && repeat ? LPARAM(1) << 30 : 0) | (down ? 0 : (LPARAM(3) << 30));
    bool swallow = false;
    {
        BarTable& t = bars();
        BarLock guard(t.lock);
        for (auto it = t.bars.rbegin(); it != t.bars.rend() && !target; ++it) {
            const Bar& bar = **it;
            if (!active || bar.owner != active || !IsWindowVisible(bar.window)) {
                continue;
            }
            if (virtual_key == VK_ESCAPE) {
                if (bar.back_flags & SHMBOF_NOTIFY) {
                    target = bar.owner;
                    message = WM_HOTKEY;
                    lParam = static_cast<LPARAM>((static_cast<DWORD>(VK_ESCAPE) << 16) | (down ? 0 : MOD_KEYUP));
                }
                swallow = (bar.back_flags & SHMBOF_NODEFAULT) != 0;
            } else if (soft_key_layout(bar) && soft_key_button(bar, virtual_key == VK_TSOFT1 ? 0 : 1) >= 0) {
                target = bar.window;
                swallow = true;
            }
            if (target || swallow) {
                break;
            }
        }
    }
    if (target) {
        post_input(target, message, wParam, lParam);
    }
    if (swallow) {
        set_key_down(virtual_key, down);
    }
    return swallow;
}

RECT button_rect(HWND bar, int index) {
    std::shared_ptr<Bar> found = find_bar(bar);
    RECT place;
    if (!found || !GetWindowRect(bar, &place)) {
        return RECT{};
    }
    BarLock guard(bars().lock);
    if (index < 0 || static_cast<size_t>(index) >= found->buttons.size()) {
        return RECT{};
    }
    RECT r = lay_out(*found)[static_cast<size_t>(index)];
    if (r.right <= r.left) {
        return RECT{};
    }
    return RECT{place.left + r.left, place.top + r.top, place.left + r.right, place.top + r.bottom};
}

}  // namespace platform::menu

using namespace platform::menu;

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info || (info->cbSize != device_menu_bar_info_size && info->cbSize != sizeof(SHMENUBARINFO))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (info->dwFlags != 0 || info->nBmpId != 0 || info->cBmpImages != 0) {
        std::fprintf(stderr, "platform: SHCreateMenuBar with flags 0x%x or a bitmap is not supported\n", info->dwFlags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HWND owner = top_level(info->hwndParent);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto buttons = platform::find_tool_bar_resource(info->hInstRes, static_cast<int>(info->nToolBarId));
    if (!buttons) {
        std::fprintf(stderr, "platform: SHCreateMenuBar: the module has no tool bar %u\n", info->nToolBarId);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return FALSE;
    }
    auto bar = std::make_shared<Bar>();
    bar->owner = owner;
    for (const platform::ToolBarButtonResource& r : *buttons) {
        Button b;
        b.command = r.command;
        b.text = r.text;
        b.state = r.state;
        b.style = r.style;
        bar->buttons.push_back(std::move(b));
    }
    const platform::DeviceProfile& p = platform::device_profile();
    int height = platform::bar_height();
    HWND window = CreateWindowExW(WS_EX_NOACTIVATE, bar_class(), u"", WS_POPUP, 0, p.screen_height - height,
                                  p.screen_width, height, owner, nullptr, nullptr, nullptr);
    if (!window) {
        return FALSE;
    }
    bar->window = window;
    {
        BarTable& t = bars();
        BarLock guard(t.lock);
        t.bars.push_back(bar);
    }
    ShowWindow(window, SW_SHOWNA);
    info->hwndMB = window;
    return TRUE;
}

int CommandBar_AddBitmap(HWND window, HINSTANCE instance, int bitmap_id, int count, int width, int height) {
    std::shared_ptr<Bar> bar = find_bar(window);
    if (!bar || count <= 0 || width <= 0 || height <= 0 || width > 1024 || height > 1024) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::optional<std::vector<uint8_t>> file = platform::find_bitmap_resource(instance, bitmap_id);
    std::vector<Tile> tiles;
    if (!file || !cut_tiles(*file, count, width, height, &tiles)) {
        std::fprintf(stderr, "platform: CommandBar_AddBitmap: no strip of %d images %dx%d in bitmap %d\n", count,
                     width, height, bitmap_id);
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    BarLock guard(bars().lock);
    if (!bar->images.empty() && (bar->image_width != width || bar->image_height != height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    bar->image_width = width;
    bar->image_height = height;
    int first = static_cast<int>(bar->images.size());
    bar->images.insert(bar->images.end(), tiles.begin(), tiles.end());
    InvalidateRect(window, nullptr, FALSE);
    return first;
}
