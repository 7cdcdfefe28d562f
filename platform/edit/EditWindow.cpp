// The "Edit" window class: the window side of EditText (keys, pen, clipboard, painting).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/clipboard/Clipboard.h"
#include "platform/device/DeviceProfile.h"
#include "platform/edit/Edit.h"
#include "platform/edit/EditText.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Unicode.h"
#include "platform/window/Keys.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace {

using platform::edit::EditText;

constexpr char16_t class_name[] = u"Edit";
constexpr uintptr_t blink_timer = 0x4544;  // one of the edit's own; its parent never sees it
constexpr UINT blink_milliseconds = 500;
constexpr WORD MOD_KEYUP = 0x1000;

constexpr COLORREF border_colour = RGB(0x70, 0x70, 0x70);
constexpr COLORREF face_colour = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF readonly_face_colour = RGB(0xE4, 0xE4, 0xE4);
constexpr COLORREF text_colour = RGB(0x00, 0x00, 0x00);
constexpr COLORREF disabled_text_colour = RGB(0x88, 0x88, 0x88);
constexpr COLORREF selection_colour = RGB(0x2F, 0x5F, 0xC4);
constexpr COLORREF selected_text_colour = RGB(0xFF, 0xFF, 0xFF);

struct Edit {
    EditText model;
    int scroll = 0;  // pixels of the text hidden on the left
    bool focused = false;
    bool dragging = false;
    bool caret_on = true;  // the blink's phase
    char16_t pending_high = 0;  // the first half of a character typed as a surrogate pair
    LPARAM input_mode = EIM_TEXT;
};

struct EditTable {
    std::mutex lock;
    std::map<HWND, std::shared_ptr<Edit>> edits;  // lock
};

EditTable& edits() {
    static auto* instance = new EditTable;
    return *instance;
}

// Held by the message being handled, so an edit destroyed from inside it (by its parent, on
// EN_CHANGE) stays valid until the handler returns.
std::shared_ptr<Edit> edit_of(HWND window) {
    EditTable& t = edits();
    std::lock_guard guard(t.lock);
    auto it = t.edits.find(window);
    return it == t.edits.end() ? nullptr : it->second;
}

int scale() {
    return std::max(1, platform::device_profile().dpi / 96);
}

HFONT edit_font() {
    static HFONT font = [] {
        LOGFONTW lf;
        lf.lfHeight = -std::max(8, 11 * platform::device_profile().dpi / 96);
        lf.lfWeight = FW_NORMAL;
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

DWORD style_of(HWND window) {
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}

bool is_readonly(HWND window) {
    return (style_of(window) & ES_READONLY) != 0;
}

// Where the text lies in the window, and the x of every position from the text's start.
struct Layout {
    RECT inner;
    int line_height = 0;
    int caret_width = 1;
    std::vector<int> x;

    int usable_width() const { return std::max(0, static_cast<int>(inner.right - inner.left) - caret_width); }
};

Layout layout_of(HWND window, const EditText& model) {
    Layout l;
    RECT client;
    GetClientRect(window, &client);
    int border = (style_of(window) & WS_BORDER) ? 1 : 0;
    int pad = 2 * scale();
    l.inner = RECT{client.left + border + pad, client.top + border, client.right - border - pad, client.bottom - border};
    l.caret_width = scale();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, edit_font());
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    l.line_height = tm.tmHeight;
    const std::u16string& text = model.text();
    l.x.assign(text.size() + 1, 0);
    for (int i = 0; i < model.length();) {
        int after = model.next(i);
        RECT r{0, 0, 0, 0};
        DrawTextW(dc, text.c_str() + i, after - i, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        for (int j = i + 1; j < after; ++j) {
            l.x[static_cast<size_t>(j)] = l.x[static_cast<size_t>(i)];  // inside a surrogate pair
        }
        l.x[static_cast<size_t>(after)] = l.x[static_cast<size_t>(i)] + (r.right - r.left);
        i = after;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return l;
}

// Scrolls as little as keeps the caret in the field, and shows no blank after the text's end
// while some of it is hidden on the left.
void reveal_caret(Edit& e, const Layout& l) {
    int width = l.usable_width();
    int full = l.x.back();
    int caret = l.x[static_cast<size_t>(e.model.caret())];
    e.scroll = std::min(e.scroll, std::max(0, full - width));
    if (caret - e.scroll > width) {
        e.scroll = caret - width;
    }
    if (caret < e.scroll) {
        e.scroll = caret;
    }
}

// The position nearest to a point in client coordinates.
int position_at(const Edit& e, const Layout& l, int client_x) {
    int x = client_x - l.inner.left + e.scroll;
    int best = 0;
    for (int i = 0; i <= e.model.length(); i = e.model.next(i)) {
        if (std::abs(l.x[static_cast<size_t>(i)] - x) < std::abs(l.x[static_cast<size_t>(best)] - x)) {
            best = i;
        }
        if (i == e.model.length()) {
            break;
        }
    }
    return best;
}

void store_window_text(HWND window, const std::u16string& text) {
    platform::WindowTable& t = platform::window_table();
    std::lock_guard guard(t.lock);
    if (platform::WindowData* w = platform::find_window(window)) {
        w->text = text;
    }
}

void notify_change(HWND window) {
    HWND parent = GetParent(window);
    if (!parent) {
        return;
    }
    auto id = static_cast<WORD>(GetWindowLongW(window, GWL_ID));
    SendMessageW(parent, WM_COMMAND, (static_cast<WPARAM>(EN_CHANGE) << 16) | id, reinterpret_cast<LPARAM>(window));
}

// After every change of the caret or the text: keep the caret in view and lit, show it, and
// tell the parent when the text changed.
void refresh(HWND window, Edit& e, bool text_changed) {
    reveal_caret(e, layout_of(window, e.model));
    if (e.focused) {
        e.caret_on = true;
        SetTimer(window, blink_timer, blink_milliseconds, nullptr);
    }
    InvalidateRect(window, nullptr, FALSE);
    if (text_changed) {
        store_window_text(window, e.model.text());
        notify_change(window);
    }
}

void copy(HWND window, const Edit& e) {
    if (!e.model.has_selection() || !OpenClipboard(window)) {
        return;
    }
    EmptyClipboard();
    HLOCAL memory = platform::local_text_block(e.model.selected());
    if (memory && !SetClipboardData(CF_UNICODETEXT, memory)) {
        LocalFree(memory);
    }
    CloseClipboard();
}

bool paste(HWND window, Edit& e) {
    if (!OpenClipboard(window)) {
        return false;
    }
    std::u16string text = platform::local_text(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    return e.model.replace_selection(platform::edit::single_line(text));
}

bool cut(HWND window, Edit& e) {
    copy(window, e);
    return e.model.delete_selection();
}

void on_key(HWND window, Edit& e, UINT key) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool readonly = is_readonly(window);
    EditText& m = e.model;
    bool changed = false;
    switch (key) {
    case VK_LEFT:
        if (m.has_selection() && !shift && !ctrl) {
            m.move_caret(m.start(), false);
        } else {
            m.move_caret(ctrl ? m.word_start_before(m.caret()) : m.previous(m.caret()), shift);
        }
        break;
    case VK_RIGHT:
        if (m.has_selection() && !shift && !ctrl) {
            m.move_caret(m.end(), false);
        } else {
            m.move_caret(ctrl ? m.word_end_after(m.caret()) : m.next(m.caret()), shift);
        }
        break;
    case VK_HOME:
        m.move_caret(0, shift);
        break;
    case VK_END:
        m.move_caret(m.length(), shift);
        break;
    case VK_DELETE:
        if (!readonly) {
            changed = shift ? cut(window, e) : m.delete_forward();
        }
        break;
    case VK_INSERT:
        if (ctrl) {
            copy(window, e);
        } else if (shift && !readonly) {
            changed = paste(window, e);
        }
        break;
    case 'A':
        if (ctrl) {
            m.select(0, m.length());
        }
        break;
    case 'C':
        if (ctrl) {
            copy(window, e);
        }
        break;
    case 'V':
        if (ctrl && !readonly) {
            changed = paste(window, e);
        }
        break;
    case 'X':
        if (ctrl && !readonly) {
            changed = cut(window, e);
        }
        break;
    default:
        return;
    }
    refresh(window, e, changed);
}

void on_char(HWND window, Edit& e, WCHAR c) {
    if (is_readonly(window)) {
        return;
    }
    char16_t high = e.pending_high;
    e.pending_high = 0;
    if (c == u'\b') {
        refresh(window, e, e.model.delete_backward());
    } else if (c >= 0xD800 && c < 0xDC00) {
        e.pending_high = c;
    } else if (c >= 0xDC00 && c < 0xE000) {
        if (high) {
            const char16_t pair[] = {high, c};
            refresh(window, e, e.model.replace_selection(std::u16string_view(pair, 2)));
        }
    } else if (c >= 32 && c != 127) {
        refresh(window, e, e.model.replace_selection(std::u16string_view(&c, 1)));
    }
}

POINT point_of(LPARAM lParam) {
    return POINT{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

void on_pen(HWND window, Edit& e, UINT message, LPARAM lParam) {
    int x = point_of(lParam).x;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        if (GetFocus() != window) {
            SetFocus(window);
        }
        int at = position_at(e, layout_of(window, e.model), x);
        if (message == WM_LBUTTONDBLCLK) {
            e.model.select_word_at(at);
        } else {
            e.model.move_caret(at, GetKeyState(VK_SHIFT) < 0);
            e.dragging = true;
            SetCapture(window);
        }
    } else if (message == WM_MOUSEMOVE) {
        if (!e.dragging) {
            return;
        }
        e.model.move_caret(position_at(e, layout_of(window, e.model), x), true);
    } else if (message == WM_LBUTTONUP) {
        if (e.dragging) {
            e.dragging = false;
            ReleaseCapture();
        }
        return;
    }
    refresh(window, e, false);
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void draw_run(HDC dc, const std::u16string& text, int from, int to, int x, const RECT& line, COLORREF colour) {
    if (to <= from) {
        return;
    }
    RECT r{x, line.top, line.right, line.bottom};
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str() + from, to - from, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

void paint(HWND window, Edit& e) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    bool enabled = IsWindowEnabled(window) != 0;
    COLORREF face = is_readonly(window) || !enabled ? readonly_face_colour : face_colour;
    if (style_of(window) & WS_BORDER) {
        fill(dc, client, border_colour);
        fill(dc, RECT{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1}, face);
    } else {
        fill(dc, client, face);
    }
    Layout l = layout_of(window, e.model);
    IntersectClipRect(dc, l.inner.left, l.inner.top, l.inner.right, l.inner.bottom);
    HGDIOBJ old = SelectObject(dc, edit_font());
    SetBkMode(dc, TRANSPARENT);
    int top = l.inner.top + ((l.inner.bottom - l.inner.top) - l.line_height) / 2;
    RECT line{l.inner.left, top, l.inner.right, top + l.line_height};
    int origin = l.inner.left - e.scroll;
    auto x_of = [&](int position) { return origin + l.x[static_cast<size_t>(position)]; };
    const std::u16string& text = e.model.text();
    COLORREF ink = enabled ? text_colour : disabled_text_colour;
    // The selection shows only while the edit has the focus.
    int from = e.focused ? e.model.start() : 0;
    int to = e.focused ? e.model.end() : 0;
    if (to > from) {
        fill(dc, RECT{x_of(from), line.top, x_of(to), line.bottom}, selection_colour);
    }
    draw_run(dc, text, 0, from, x_of(0), line, ink);
    draw_run(dc, text, from, to, x_of(from), line, selected_text_colour);
    draw_run(dc, text, to, e.model.length(), x_of(to), line, ink);
    if (e.focused && e.caret_on) {
        int x = x_of(e.model.caret());
        bool inside = x > x_of(from) && x < x_of(to);
        fill(dc, RECT{x, line.top, x + l.caret_width, line.bottom}, inside ? selected_text_colour : ink);
    }
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

bool creatable(const CREATESTRUCTW& create) {
    auto style = static_cast<DWORD>(create.style);
    DWORD edit_bits = style & 0xFFFF;
    if ((edit_bits & ~(ES_AUTOHSCROLL | ES_READONLY)) != 0 || !(edit_bits & ES_AUTOHSCROLL)) {
        std::fprintf(stderr, "platform: an edit of style 0x%x is not supported (single-line, ES_AUTOHSCROLL)\n",
                     static_cast<unsigned>(edit_bits));
        return false;
    }
    return true;
}

LRESULT on_create(HWND window, const CREATESTRUCTW& create) {
    if (!creatable(create)) {
        return -1;
    }
    auto e = std::make_shared<Edit>();
    e->model.assign(create.lpszName ? std::u16string_view(create.lpszName) : std::u16string_view());
    EditTable& t = edits();
    std::lock_guard guard(t.lock);
    t.edits[window] = e;
    return 0;
}

void on_destroy(HWND window) {
    KillTimer(window, blink_timer);
    EditTable& t = edits();
    std::lock_guard guard(t.lock);
    t.edits.erase(window);
}

LRESULT on_set_text(HWND window, Edit& e, LPARAM lParam) {
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    std::u16string_view next = text ? std::u16string_view(text) : std::u16string_view();
    bool changed = next != e.model.text();
    e.model.assign(next);
    e.scroll = 0;
    DefWindowProcW(window, WM_SETTEXT, 0, lParam);
    refresh(window, e, false);
    if (changed) {
        notify_change(window);
    }
    return TRUE;
}

LRESULT on_get_selection(const Edit& e, WPARAM wParam, LPARAM lParam) {
    auto start = static_cast<DWORD>(e.model.start());
    auto end = static_cast<DWORD>(e.model.end());
    if (auto* out = reinterpret_cast<DWORD*>(wParam)) {
        *out = start;
    }
    if (auto* out = reinterpret_cast<DWORD*>(lParam)) {
        *out = end;
    }
    return static_cast<LRESULT>(std::min<DWORD>(start, 0xFFFF) | (std::min<DWORD>(end, 0xFFFF) << 16));
}

void on_set_selection(HWND window, Edit& e, WPARAM wParam, LPARAM lParam) {
    auto anchor = static_cast<int>(static_cast<intptr_t>(wParam));
    auto caret = static_cast<int>(lParam);
    if (anchor == -1) {
        e.model.select(e.model.caret(), e.model.caret());
    } else {
        e.model.select(anchor, caret < 0 ? e.model.length() : caret);
    }
    refresh(window, e, false);
}

LRESULT on_set_readonly(HWND window, WPARAM wParam) {
    DWORD style = style_of(window);
    style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG_PTR>(style));
    InvalidateRect(window, nullptr, FALSE);
    return TRUE;
}

LRESULT on_set_input_mode(Edit& e, LPARAM mode) {
    if (mode != EIM_NUMBERS && mode != EIM_TEXT) {
        std::fprintf(stderr, "platform: edit input mode %lld is not supported\n", static_cast<long long>(mode));
        return FALSE;
    }
    e.input_mode = mode;
    return TRUE;
}

void on_focus(HWND window, Edit& e, bool gained) {
    e.focused = gained;
    e.caret_on = true;
    if (gained) {
        SetTimer(window, blink_timer, blink_milliseconds, nullptr);
    } else {
        KillTimer(window, blink_timer);
        e.pending_high = 0;
    }
    InvalidateRect(window, nullptr, FALSE);
}

// The Back key going down, handed back by the shell: it deletes as Backspace does.
void on_back_key(HWND window, Edit& e, LPARAM lParam) {
    bool back = ((lParam >> 16) & 0xFFFF) == VK_ESCAPE;
    bool going_up = (lParam & MOD_KEYUP) != 0;
    if (back && !going_up && !is_readonly(window)) {
        refresh(window, e, e.model.delete_backward());
    }
}

LRESULT edit_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        return on_create(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    }
    std::shared_ptr<Edit> e = edit_of(window);
    if (!e) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY:
        on_destroy(window);
        return 0;
    case WM_PAINT:
        paint(window, *e);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
    case WM_SIZE:
        refresh(window, *e, false);
        return 0;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
        on_focus(window, *e, true);
        return 0;
    case WM_KILLFOCUS:
        on_focus(window, *e, false);
        return 0;
    case WM_TIMER:
        if (wParam == blink_timer) {
            e->caret_on = !e->caret_on;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_KEYDOWN:
        on_key(window, *e, static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        on_char(window, *e, static_cast<WCHAR>(wParam));
        return 0;
    case WM_HOTKEY:
        on_back_key(window, *e, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        on_pen(window, *e, message, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        e->dragging = false;
        return 0;
    case WM_SETTEXT:
        return on_set_text(window, *e, lParam);
    case EM_GETSEL:
        return on_get_selection(*e, wParam, lParam);
    case EM_SETSEL:
        on_set_selection(window, *e, wParam, lParam);
        return 0;
    case EM_SETREADONLY:
        return on_set_readonly(window, wParam);
    case EM_SETINPUTMODE:
        return on_set_input_mode(*e, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

namespace platform {

bool register_system_class(std::u16string_view name) {
    if (!equal_ignoring_case(name, class_name)) {
        return false;
    }
    WNDCLASSW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = edit_proc;
    wc.lpszClassName = class_name;
    return RegisterClassW(&wc) != 0;
}

}  // namespace platform
