// TrackPopupMenuEx and the tracking of an open menu: each open level is a window of its own
// that never takes activation, and a modal loop takes every pen and key message of the thread
// until an item is chosen or the menu is dismissed.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Rects.h"
#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuLook.h"
#include "platform/menu/MenuTable.h"
#include "platform/menu/MenuTracking.h"
#include "platform/menu/MenuWindows.h"
#include "platform/threads/Threads.h"
#include "platform/window/Input.h"
#include "platform/window/InputPanel.h"
#include "platform/window/Keys.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/Window.h"
#include "platform/window/WindowTable.h"

namespace platform::menu {

namespace {

constexpr UINT end_modal_loop = WM_USER + 33;  // the framework's own; its loop must still see it
constexpr WORD MOD_KEYUP = 0x1000;
constexpr int pen_tolerance = 5;  // pixels the pen may wander before it counts as a drag

std::atomic<bool> open_menu{false};

struct Metrics {
    int em = 0;
    int item = 0;
    int separator = 0;
    int check = 0;
    int arrow = 0;
    int pad = 0;
    int border = 1;
};

Metrics metrics() {
    Metrics m;
    m.em = text_height();
    m.item = m.em * 7 / 4;
    m.separator = std::max(5, m.em / 2);
    m.check = m.item;
    m.arrow = m.item * 2 / 3;
    m.pad = std::max(2, m.em / 2);
    return m;
}

// The label and the shortcut text after a tab.
std::u16string label_of(const Item& item) {
    return item.text.substr(0, item.text.find(u'\t'));
}

std::u16string shortcut_of(const Item& item) {
    size_t tab = item.text.find(u'\t');
    return tab == std::u16string::npos ? std::u16string() : item.text.substr(tab + 1);
}

// One open menu: its items as they were when it opened, its window and its layout.
struct Level {
    HMENU menu = nullptr;
    std::vector<Item> items;
    std::vector<RECT> item_rects;  // client coordinates
    RECT rect;                     // screen coordinates
    HWND window = nullptr;
    int highlight = -1;
    int open_child = -1;  // the item whose submenu is the next level
};

// Lays out the items top to bottom; returns the menu's size.
SIZE lay_out(Level& level) {
    Metrics m = metrics();
    HDC dc = CreateCompatibleDC(nullptr);
    int labels = 0;
    int shortcuts = 0;
    for (const Item& item : level.items) {
        labels = std::max(labels, text_width(dc, label_of(item)));
        shortcuts = std::max(shortcuts, text_width(dc, shortcut_of(item)));
    }
    DeleteDC(dc);
    int width = 2 * m.border + m.check + labels + (shortcuts ? 2 * m.em + shortcuts : 0) + m.arrow + m.pad;
    width = std::max(width, m.em * 5);
    int y = m.border;
    level.item_rects.clear();
    for (const Item& item : level.items) {
        int h = item.separator() ? m.separator : m.item;
        level.item_rects.push_back(RECT{m.border, y, width - m.border, y + h});
        y += h;
    }
    return SIZE{width, y + m.border};
}

void paint_item(HDC dc, const Level& level, size_t i, const Metrics& m) {
    const Item& item = level.items[i];
    RECT r = level.item_rects[i];
    if (item.separator()) {
        int y = (r.top + r.bottom) / 2;
        fill(dc, RECT{r.left + m.pad / 2, y, r.right - m.pad / 2, y + std::max(1, m.em / 12)}, look::menu_separator);
        return;
    }
    bool lit = static_cast<int>(i) == level.highlight && item.enabled();
    fill(dc, r, lit ? look::menu_highlight : look::menu);
    COLORREF ink = !item.enabled() ? look::menu_disabled_text : lit ? look::menu_highlight_text : look::menu_text;
    if (item.checked()) {
        int inset = m.item / 5;
        RECT box{r.left + inset, r.top + inset, r.left + m.check - inset, r.bottom - inset};
        draw_check(dc, box, lit ? look::menu_highlight_text : item.enabled() ? look::menu_check : ink);
    }
    RECT text{r.left + m.check, r.top, r.right - m.arrow, r.bottom};
    draw_text(dc, label_of(item), text, DT_LEFT | DT_VCENTER, ink);
    draw_text(dc, shortcut_of(item), text, DT_RIGHT | DT_VCENTER, ink);
    if (item.submenu) {
        draw_arrow_right(dc, RECT{r.right - m.arrow, r.top, r.right - m.pad / 2, r.bottom}, ink);
    }
}

LRESULT menu_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* level = reinterpret_cast<const Level*>(GetWindowLongW(window, GWL_USERDATA));
    if (message != WM_PAINT || !level) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    fill(dc, client, look::menu_border);
    Metrics m = metrics();
    fill(dc, RECT{m.border, m.border, client.right - m.border, client.bottom - m.border}, look::menu);
    for (size_t i = 0; i < level->items.size(); ++i) {
        paint_item(dc, *level, i, m);
    }
    EndPaint(window, &ps);
    return 0;
}

LPCWSTR menu_class() {
    static bool registered = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = menu_window_proc;
        wc.lpszClassName = u"PopupMenu";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return u"PopupMenu";
}

// The input panel is drawn over every window: a menu stays above it while it is up.
RECT screen_area() {
    const DeviceProfile& p = device_profile();
    RECT area{0, bar_height(), p.screen_width, p.screen_height};
    if (input_panel_up()) area.bottom = std::max(area.top, input_panel_rect().top);
    return area;
}

bool window_of_this_thread(HWND window) {
    WindowTable& t = window_table();
    std::lock_guard guard(t.lock);
    return window_thread(window) == GetCurrentThreadId();
}

class Tracker {
public:
    explicit Tracker(const TrackRequest& request) : owner_(request.owner), owner_top_(top_level(request.owner)) {}

    ~Tracker() {
        while (!levels_.empty()) {
            close_deepest();
        }
    }

    std::vector<RECT> item_rects(int depth) const {
        std::vector<RECT> out;
        if (depth < 0 || static_cast<size_t>(depth) >= levels_.size()) {
            return out;
        }
        const Level& level = *levels_[static_cast<size_t>(depth)];
        for (const RECT& r : level.item_rects) {
            out.push_back(RECT{level.rect.left + r.left, level.rect.top + r.top, level.rect.left + r.right,
                               level.rect.top + r.bottom});
        }
        return out;
    }

    UINT run(const TrackRequest& request) {
        if (!open_root(request)) {
            return 0;
        }
        HWND root = levels_.front()->window;
        SetCapture(root);
        opened_at_ = pen_position();
        while (!done_) {
            MSG msg;
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // the loop outside must end too
                break;
            }
            if (got < 0) {
                break;
            }
            if (msg.message == end_modal_loop) {
                if (!msg.hwnd || !PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam)) {
                    PostMessageW(nullptr, msg.message, msg.wParam, msg.lParam);
                }
                break;
            }
            if (!take(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (!IsWindow(owner_) || GetCapture() != root) {
                break;  // the owner went away, or someone took the pen
            }
        }
        if (GetCapture() == root) {
            ReleaseCapture();
        }
        return done_ ? chosen_ : 0;
    }

private:
    bool open_root(const TrackRequest& request) {
        auto level = make_level(request.menu);
        if (!level || level->items.empty()) {
            return false;
        }
        SIZE size = lay_out(*level);
        level->rect = place_menu(size, request.anchor, request.align);
        if (request.select_first) {
            level->highlight = next_enabled(*level, -1, 1);
        }
        show(std::move(level));
        return true;
    }

    static std::unique_ptr<Level> make_level(HMENU menu) {
        std::optional<std::vector<Item>> items = items_of(menu);
        if (!items) {
            return nullptr;
        }
        auto level = std::make_unique<Level>();
        level->menu = menu;
        level->items = std::move(*items);
        return level;
    }

    void show(std::unique_ptr<Level> level) {
        RECT r = level->rect;
        level->window = CreateWindowExW(WS_EX_NOACTIVATE, menu_class(), u"", WS_POPUP, r.left, r.top,
                                        r.right - r.left, r.bottom - r.top, owner_top_, nullptr, nullptr, nullptr);
        SetWindowLongW(level->window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(level.get()));
        ShowWindow(level->window, SW_SHOWNA);
        levels_.push_back(std::move(level));
    }

    void close_deepest() {
        HWND window = levels_.back()->window;
        SetWindowLongW(window, GWL_USERDATA, 0);
        DestroyWindow(window);
        levels_.pop_back();
        if (!levels_.empty()) {
            levels_.back()->open_child = -1;
        }
    }

    void close_below(size_t depth) {
        while (levels_.size() > depth + 1) {
            close_deepest();
        }
    }

    // Opens the submenu of item i of the deepest level, to its right (or left, at the edge).
    void open_submenu(int i, bool select_first) {
        Level& parent = *levels_.back();
        auto level = make_level(parent.items[static_cast<size_t>(i)].submenu);
        if (!level || level->items.empty()) {
            return;
        }
        SIZE size = lay_out(*level);
        const RECT& item = parent.item_rects[static_cast<size_t>(i)];
        Metrics m = metrics();
        POINT anchor{parent.rect.right - m.border, parent.rect.top + item.top - m.border};
        UINT align = TPM_LEFTALIGN;
        if (anchor.x + size.cx > screen_area().right) {
            anchor.x = parent.rect.left + m.border;
            align = TPM_RIGHTALIGN;
        }
        level->rect = place_menu(size, anchor, align);
        if (select_first) {
            level->highlight = next_enabled(*level, -1, 1);
        }
        parent.open_child = i;
        show(std::move(level));
    }

    // The next enabled item after `from` in the direction of `step`, wrapping; -1 for none.
    static int next_enabled(const Level& level, int from, int step) {
        int n = static_cast<int>(level.items.size());
        int start = from >= 0 ? from : (step > 0 ? -1 : n);
        for (int k = 1; k <= n; ++k) {
            int i = ((start + step * k) % n + n) % n;
            if (level.items[static_cast<size_t>(i)].enabled()) {
                return i;
            }
        }
        return -1;
    }

    void set_highlight(Level& level, int i) {
        if (level.highlight != i) {
            level.highlight = i;
            InvalidateRect(level.window, nullptr, FALSE);
        }
    }

    void choose(const Item& item) {
        chosen_ = item.id;
        done_ = true;
    }

    void dismiss() {
        chosen_ = 0;
        done_ = true;
    }

    // The level and the item under a screen point; depth -1 when outside every open menu.
    std::pair<int, int> hit(POINT screen) const {
        for (int d = static_cast<int>(levels_.size()) - 1; d >= 0; --d) {
            const Level& level = *levels_[static_cast<size_t>(d)];
            if (!rect_contains(level.rect, screen)) {
                continue;
            }
            POINT client{screen.x - level.rect.left, screen.y - level.rect.top};
            for (size_t i = 0; i < level.item_rects.size(); ++i) {
                if (rect_contains(level.item_rects[i], client) && !level.items[i].separator()) {
                    return {d, static_cast<int>(i)};
                }
            }
            return {d, -1};
        }
        return {-1, -1};
    }

    // The pen over item i of level d: it lights, and its submenu opens in place of any other.
    void point_at(int d, int i) {
        Level& level = *levels_[static_cast<size_t>(d)];
        bool usable = i >= 0 && level.items[static_cast<size_t>(i)].enabled();
        set_highlight(level, usable ? i : -1);
        if (usable && level.open_child == i) {
            return;
        }
        close_below(static_cast<size_t>(d));
        if (usable && level.items[static_cast<size_t>(i)].submenu) {
            open_submenu(i, false);
        }
    }

    void on_pen(const MSG& msg) {
        auto [d, i] = hit(msg.pt);
        if (std::abs(msg.pt.x - opened_at_.x) > pen_tolerance || std::abs(msg.pt.y - opened_at_.y) > pen_tolerance) {
            pen_moved_ = true;
        }
        switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (d < 0) {
                dismiss();  // a tap beside the menu closes it, and does nothing else
                return;
            }
            press_inside_ = true;
            point_at(d, i);
            return;
        case WM_MOUSEMOVE:
            if (d >= 0) {
                point_at(d, i);
            }
            return;
        case WM_LBUTTONUP: {
            // The release of the press that opened the menu chooses only after a drag into it.
            bool counts = press_inside_ || pen_moved_;
            press_inside_ = false;
            if (d >= 0 && i >= 0 && counts) {
                const Item& item = levels_[static_cast<size_t>(d)]->items[static_cast<size_t>(i)];
                if (item.enabled() && !item.submenu) {
                    choose(item);
                }
            }
            return;
        }
        default:
            return;
        }
    }

    void back() {
        if (levels_.size() > 1) {
            close_deepest();
        } else {
            dismiss();
        }
    }

    void on_key(UINT vk, bool repeat) {
        Level& level = *levels_.back();
        int lit = level.highlight;
        switch (vk) {
        case VK_DOWN:
            set_highlight(level, next_enabled(level, lit, 1));
            return;
        case VK_UP:
            set_highlight(level, next_enabled(level, lit, -1));
            return;
        case VK_RIGHT:
            if (lit >= 0 && level.items[static_cast<size_t>(lit)].submenu) {
                open_submenu(lit, true);
            }
            return;
        case VK_LEFT:
            if (levels_.size() > 1) {
                close_deepest();
            }
            return;
        case VK_RETURN:
            if (lit >= 0) {
                const Item& item = level.items[static_cast<size_t>(lit)];
                if (item.submenu) {
                    open_submenu(lit, true);
                } else {
                    choose(item);
                }
            }
            return;
        case VK_ESCAPE:
        case VK_BACK:
            back();
            return;
        case VK_TSOFT1:
        case VK_TSOFT2:
            if (!repeat) {
                dismiss();  // a soft key closes the menu it may have opened
            }
            return;
        default:
            return;
        }
    }

    // Pen and key messages belong to the menu while it is open.
    bool take(const MSG& msg) {
        switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            on_pen(msg);
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            on_key(static_cast<UINT>(msg.wParam), (msg.lParam & (LPARAM(1) << 30)) != 0);
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
            return true;
        case WM_HOTKEY:
            // The Back key that a menu bar turns into a hot key steps back through the menu.
            if (((msg.lParam >> 16) & 0xFFFF) != VK_ESCAPE) {
                return false;
            }
            if (!(msg.lParam & MOD_KEYUP)) {
                back();
            }
            return true;
        default:
            return false;
        }
    }

    HWND owner_;
    HWND owner_top_;
    std::vector<std::unique_ptr<Level>> levels_;
    POINT opened_at_;
    bool press_inside_ = false;
    bool pen_moved_ = false;
    bool done_ = false;
    UINT chosen_ = 0;
};

std::atomic<const Tracker*> current_tracker{nullptr};  // the one open menu's, on its thread
std::atomic<DWORD> current_thread{0};

}  // namespace

std::vector<RECT> open_menu_items(int depth) {
    const Tracker* tracker = current_tracker.load();
    if (!tracker || current_thread.load() != GetCurrentThreadId()) {
        return {};
    }
    return tracker->item_rects(depth);
}

bool tracking() {
    return open_menu.load();
}

RECT place_menu(SIZE size, POINT anchor, UINT align) {
    LONG x = anchor.x - ((align & TPM_CENTERALIGN) ? size.cx / 2 : (align & TPM_RIGHTALIGN) ? size.cx : 0);
    LONG y = anchor.y - ((align & TPM_VCENTERALIGN) ? size.cy / 2 : (align & TPM_BOTTOMALIGN) ? size.cy : 0);
    RECT area = screen_area();
    size.cy = std::min<LONG>(size.cy, area.bottom - area.top);
    x = std::max<LONG>(std::min<LONG>(x, area.right - size.cx), area.left);
    y = std::max<LONG>(std::min<LONG>(y, area.bottom - size.cy), area.top);
    return RECT{x, y, x + size.cx, y + size.cy};
}

UINT track(const TrackRequest& request) {
    if (open_menu.exchange(true)) {
        return 0;
    }
    UINT chosen = 0;
    {
        Tracker tracker(request);
        current_tracker = &tracker;
        current_thread = GetCurrentThreadId();
        chosen = tracker.run(request);
        current_tracker = nullptr;
    }
    open_menu = false;
    return chosen;
}

}  // namespace platform::menu

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND window, TPMPARAMS* params) {
    constexpr UINT known = TPM_CENTERALIGN | TPM_RIGHTALIGN | TPM_VCENTERALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD;
    constexpr UINT both_ways = TPM_CENTERALIGN | TPM_RIGHTALIGN;
    constexpr UINT both_heights = TPM_VCENTERALIGN | TPM_BOTTOMALIGN;
    if ((flags & ~known) || (flags & both_ways) == both_ways || (flags & both_heights) == both_heights || params) {
        std::fprintf(stderr, "platform: TrackPopupMenuEx flags 0x%x%s are not supported\n", flags,
                     params ? " with parameters" : "");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!platform::menu::is_menu(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (!platform::menu::window_of_this_thread(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (platform::menu::tracking()) {
        std::fprintf(stderr, "platform: TrackPopupMenuEx while another menu is open\n");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::menu::TrackRequest request;
    request.menu = menu;
    request.owner = window;
    request.anchor = POINT{x, y};
    request.align = flags & (both_ways | both_heights);
    request.select_first = !platform::pen_is_down();
    UINT chosen = platform::menu::track(request);
    if (flags & TPM_RETURNCMD) {
        return static_cast<BOOL>(chosen);
    }
    if (chosen) {
        PostMessageW(window, WM_COMMAND, chosen & 0xFFFF, 0);
    }
    return TRUE;
}
