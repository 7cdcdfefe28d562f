#include "platform/window/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/kernel/Core.h"
#include "platform/window/Keys.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/WindowManager.h"

namespace {

constexpr UINT end_modal_loop = WM_USER + 33;
constexpr COLORREF face_colour = RGB(255, 255, 255);
constexpr COLORREF title_colour = RGB(0x10, 0x2A, 0x50);
constexpr COLORREF button_colour = RGB(0xD8, 0xD8, 0xD8);
constexpr COLORREF text_colour = RGB(0, 0, 0);
constexpr COLORREF border_colour = RGB(0x40, 0x40, 0x40);

// The icons of the MB_ICON* flags, drawn with shapes of our own.
enum class Icon { none, stop, question, exclamation, information };

struct IconLook {
    COLORREF fill;
    COLORREF outline;
    COLORREF mark;
    const char16_t* glyph;  // null: the stop's cross
};

IconLook look_of(Icon icon) {
    switch (icon) {
    case Icon::stop:
        return {RGB(0xD0, 0x30, 0x30), RGB(0x80, 0x18, 0x18), RGB(255, 255, 255), nullptr};
    case Icon::question:
        return {RGB(0x2A, 0x6C, 0xC8), RGB(0x18, 0x40, 0x80), RGB(255, 255, 255), u"?"};
    case Icon::information:
        return {RGB(0x2A, 0x6C, 0xC8), RGB(0x18, 0x40, 0x80), RGB(255, 255, 255), u"i"};
    case Icon::exclamation:
    case Icon::none:
        break;
    }
    return {RGB(0xF2, 0xB0, 0x30), RGB(0x80, 0x58, 0x10), RGB(0x20, 0x20, 0x20), u"!"};
}

struct Button {
    int result;
    const char16_t* label;
    RECT rect;
};

struct BoxState {
    std::u16string caption;
    std::vector<std::u16string> lines;
    std::vector<Button> buttons;
    int default_button = 0;
    int cancel_result = 0;  // what Esc and WM_CLOSE answer; 0: they do nothing
    Icon icon = Icon::none;
    int icon_size = 0;      // its square's side; 0 without one
    int body_height = 0;    // the text's lines, or the icon when it is taller
    int line_height = 0;
    int title_height = 0;
    int result = 0;
    bool done = false;
};

HFONT box_font() {
    static HFONT font = [] {
        LOGFONTW lf;
        lf.lfHeight = -std::max(8, platform::bar_height() * 9 / 20);
        lf.lfWeight = FW_NORMAL;
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

int text_width(HDC dc, const std::u16string& text) {
    if (text.empty()) {
        return 0;
    }
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.right - r.left;
}

// Breaks the text at its line breaks, then between words to fit the width.
std::vector<std::u16string> wrap(HDC dc, const std::u16string& text, int width) {
    std::vector<std::u16string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        std::u16string line = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        std::u16string current;
        size_t pos = 0;
        while (pos < line.size()) {
            size_t space = line.find(u' ', pos);
            std::u16string word = line.substr(pos, space == std::u16string::npos ? std::u16string::npos : space - pos);
            std::u16string candidate = current.empty() ? word : current + u" " + word;
            if (!current.empty() && text_width(dc, candidate) > width) {
                out.push_back(current);
                current = word;
            } else {
                current = candidate;
            }
            pos = space == std::u16string::npos ? line.size() : space + 1;
        }
        out.push_back(current);
        if (end == std::u16string::npos) {
            break;
        }
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    return out;
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void draw_line_text(HDC dc, const std::u16string& text, RECT r, UINT format, COLORREF colour) {
    if (text.empty()) {
        return;
    }
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

// The icon's mark, in bold at two thirds of the icon's height.
HFONT mark_font(int icon_size) {
    static HFONT font = [icon_size] {
        LOGFONTW lf;
        lf.lfHeight = -std::max(6, icon_size * 2 / 3);
        lf.lfWeight = FW_BOLD;
        return CreateFontIndirectW(&lf);
    }();
    return font;
}

// A disc of the radius about (cx, cy), one row at a time.
void fill_disc(HDC dc, int cx, int cy, int radius, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    for (int dy = -radius; dy < radius; ++dy) {
        const double from_centre = dy + 0.5;
        const int half = static_cast<int>(std::lround(std::sqrt(double(radius) * radius - from_centre * from_centre)));
        RECT row{cx - half, cy + dy, cx + half, cy + dy + 1};
        FillRect(dc, &row, brush);
    }
    DeleteObject(brush);
}

// A triangle standing on its base, apex up, inside the rectangle.
void fill_triangle(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    const int height = r.bottom - r.top;
    const double half_base = (r.right - r.left) / 2.0;
    const double cx = (r.left + r.right) / 2.0;
    for (int y = 0; y < height; ++y) {
        const double half = half_base * (y + 1) / height;
        RECT row{static_cast<LONG>(std::lround(cx - half)), r.top + y, static_cast<LONG>(std::lround(cx + half)),
                 r.top + y + 1};
        FillRect(dc, &row, brush);
    }
    DeleteObject(brush);
}

// The two strokes of a cross filling the square, each about a sixth of its side thick.
void fill_cross(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    const int size = r.right - r.left;
    const int thickness = std::max(2, size / 6);
    for (int y = 0; y < size; ++y) {
        const int down = y - thickness / 2;
        const int up = size - 1 - y - thickness / 2;
        RECT one{r.left + down, r.top + y, r.left + down + thickness, r.top + y + 1};
        RECT other{r.left + up, r.top + y, r.left + up + thickness, r.top + y + 1};
        FillRect(dc, &one, brush);
        FillRect(dc, &other, brush);
    }
    DeleteObject(brush);
}

void draw_icon(HDC dc, const BoxState& box, int left, int top) {
    const int size = box.icon_size;
    const IconLook look = look_of(box.icon);
    const int edge = std::max(1, size / 24);
    RECT square{left, top, left + size, top + size};
    if (box.icon == Icon::exclamation) {
        fill_triangle(dc, square, look.outline);
        // Inset by the edge, more at the top, where the sides meet at a sharp angle.
        fill_triangle(dc, RECT{left + 2 * edge, top + 3 * edge, left + size - 2 * edge, top + size - edge}, look.fill);
        // The mark sits in the wide lower part of the triangle.
        square.top += size / 8;
    } else {
        const int radius = size / 2;
        fill_disc(dc, left + radius, top + radius, radius, look.outline);
        fill_disc(dc, left + radius, top + radius, radius - edge, look.fill);
    }
    if (!look.glyph) {
        const int inset = size * 3 / 10;
        fill_cross(dc, RECT{left + inset, top + inset, left + size - inset, top + size - inset}, look.mark);
        return;
    }
    HGDIOBJ old = SelectObject(dc, mark_font(size));
    draw_line_text(dc, look.glyph, square, DT_CENTER | DT_VCENTER, look.mark);
    if (old) {
        SelectObject(dc, old);
    }
}

void paint(HWND window, BoxState& box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    HGDIOBJ old_font = SelectObject(dc, box_font());
    fill(dc, client, border_colour);
    fill(dc, RECT{1, 1, client.right - 1, client.bottom - 1}, face_colour);
    fill(dc, RECT{1, 1, client.right - 1, box.title_height}, title_colour);
    int pad = box.line_height / 2;
    draw_line_text(dc, box.caption, RECT{pad, 0, client.right - pad, box.title_height}, DT_LEFT | DT_VCENTER,
                   RGB(255, 255, 255));
    const int body_top = box.title_height + pad;
    int text_left = pad;
    if (box.icon != Icon::none) {
        draw_icon(dc, box, pad, body_top + (box.body_height - box.icon_size) / 2);
        text_left += box.icon_size + pad;
    }
    int y = body_top + (box.body_height - static_cast<int>(box.lines.size()) * box.line_height) / 2;
    for (const std::u16string& line : box.lines) {
        draw_line_text(dc, line, RECT{text_left, y, client.right - pad, y + box.line_height}, DT_LEFT, text_colour);
        y += box.line_height;
    }
    for (const Button& b : box.buttons) {
        fill(dc, b.rect, border_colour);
        fill(dc, RECT{b.rect.left + 1, b.rect.top + 1, b.rect.right - 1, b.rect.bottom - 1}, button_colour);
        draw_line_text(dc, b.label, b.rect, DT_CENTER | DT_VCENTER, text_colour);
    }
    if (old_font) {
        SelectObject(dc, old_font);
    }
    EndPaint(window, &ps);
}

void finish(BoxState& box, int result) {
    box.result = result;
    box.done = true;
}

LRESULT box_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<BoxState*>(GetWindowLongW(window, GWL_USERDATA));
    if (!box) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT:
        paint(window, *box);
        return 0;
    case WM_LBUTTONUP: {
        POINT p{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
        for (const Button& b : box->buttons) {
            if (p.x >= b.rect.left && p.x < b.rect.right && p.y >= b.rect.top && p.y < b.rect.bottom) {
                finish(*box, b.result);
            }
        }
        return 0;
    }
    case WM_KEYDOWN:
        if (platform::key_was_down(lParam)) {
            return 0;  // a key held from before the box: only a fresh press answers it
        }
        if (wParam == VK_RETURN) {
            finish(*box, box->buttons[box->default_button].result);
        } else if ((wParam == VK_ESCAPE || wParam == VK_BACK) && box->cancel_result) {
            finish(*box, box->cancel_result);
        } else if (wParam == VK_TSOFT1 || wParam == VK_TSOFT2) {
            size_t index = wParam == VK_TSOFT1 ? 0 : 1;
            if (index < box->buttons.size()) {
                finish(*box, box->buttons[index].result);
            }
        }
        return 0;
    case WM_COMMAND:
        if ((wParam & 0xFFFF) == static_cast<WPARAM>(IDOK)) {
            finish(*box, box->buttons[box->default_button].result);
        }
        return 0;
    case WM_CLOSE:
        if (box->cancel_result) {
            finish(*box, box->cancel_result);
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool set_buttons(BoxState& box, UINT type) {
    auto add = [&](int result, const char16_t* label) { box.buttons.push_back(Button{result, label, RECT{}}); };
    switch (type & 0xF) {
    case MB_OK:
        add(IDOK, u"OK");
        box.cancel_result = IDOK;
        break;
    case MB_OKCANCEL:
        add(IDOK, u"OK");
        add(IDCANCEL, u"Cancel");
        box.cancel_result = IDCANCEL;
        break;
    case MB_YESNOCANCEL:
        add(IDYES, u"Yes");
        add(IDNO, u"No");
        add(IDCANCEL, u"Cancel");
        box.cancel_result = IDCANCEL;
        break;
    case MB_YESNO:
        add(IDYES, u"Yes");
        add(IDNO, u"No");
        break;
    default:
        return false;
    }
    int wanted = static_cast<int>((type >> 8) & 0xF);
    box.default_button = wanted < static_cast<int>(box.buttons.size()) ? wanted : 0;
    return true;
}

bool set_icon(BoxState& box, UINT type) {
    switch (type & 0xF0) {
    case 0:
        box.icon = Icon::none;
        return true;
    case MB_ICONHAND:
        box.icon = Icon::stop;
        return true;
    case MB_ICONQUESTION:
        box.icon = Icon::question;
        return true;
    case MB_ICONEXCLAMATION:
        box.icon = Icon::exclamation;
        return true;
    case MB_ICONASTERISK:
        box.icon = Icon::information;
        return true;
    default:
        return false;
    }
}

// Sizes the box to its text within the work area and places its buttons along the bottom.
RECT lay_out(BoxState& box, const std::u16string& text) {
    RECT work = platform::work_area();
    int work_width = work.right - work.left;
    int width = work_width * 9 / 10;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, box_font());
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    box.line_height = std::max<int>(tm.tmHeight + tm.tmExternalLeading, 8);
    box.title_height = box.line_height * 3 / 2;
    int pad = box.line_height / 2;
    box.icon_size = box.icon == Icon::none ? 0 : box.line_height * 2;
    const int beside_icon = box.icon_size == 0 ? 0 : box.icon_size + pad;
    box.lines = wrap(dc, text, width - 2 * pad - beside_icon);
    if (old) {
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    int button_height = box.line_height * 2;
    int max_lines = std::max(1, ((work.bottom - work.top) - box.title_height - button_height - 4 * pad) / box.line_height);
    if (static_cast<int>(box.lines.size()) > max_lines) {
        box.lines.resize(static_cast<size_t>(max_lines));
    }
    box.body_height = std::max(static_cast<int>(box.lines.size()) * box.line_height, box.icon_size);
    int height = box.title_height + pad + box.body_height + pad + button_height + pad;
    int count = static_cast<int>(box.buttons.size());
    int button_width = std::min(width / count - pad, box.line_height * 5);
    int total = count * button_width + (count - 1) * pad;
    int x = (width - total) / 2;
    int y = height - pad - button_height;
    for (Button& b : box.buttons) {
        b.rect = RECT{x, y, x + button_width, y + button_height};
        x += button_width + pad;
    }
    int left = work.left + (work_width - width) / 2;
    int top = work.top + ((work.bottom - work.top) - height) / 2;
    return RECT{left, top, left + width, top + height};
}

LPCWSTR dialog_class() {
    static bool registered = [] {
        WNDCLASSW wc;
        wc.lpfnWndProc = box_proc;
        wc.lpszClassName = u"Dialog";
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    return u"Dialog";
}

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    constexpr UINT known = 0xF | 0xF0 | 0xF00 | MB_SETFOREGROUND | MB_TOPMOST;
    BoxState box;
    if ((type & ~known) != 0 || !set_buttons(box, type) || !set_icon(box, type)) {
        std::fprintf(stderr, "platform: MessageBoxW type 0x%x is not supported\n", type);
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (owner && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    box.caption = caption ? caption : u"Error";
    RECT r = lay_out(box, text ? text : u"");
    HWND window = CreateWindowExW(0, dialog_class(), box.caption.c_str(), WS_POPUP, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, owner, nullptr, nullptr, nullptr);
    if (!window) {
        return 0;
    }
    SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    bool owner_was_enabled = owner && IsWindowEnabled(owner);
    if (owner_was_enabled) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    bool quit = false;
    int quit_code = 0;
    bool ended = false;
    MSG ending;
    while (!box.done) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quit_code = static_cast<int>(msg.wParam);
            break;
        }
        if (got < 0) {
            break;
        }
        if (msg.message == end_modal_loop) {
            ended = true;
            ending = msg;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (owner_was_enabled) {
        EnableWindow(owner, TRUE);
    }
    SetWindowLongW(window, GWL_USERDATA, 0);
    DestroyWindow(window);
    // The loop it was meant for is outside this box: hand it on.
    if (ended) {
        if (!ending.hwnd || !PostMessageW(ending.hwnd, ending.message, ending.wParam, ending.lParam)) {
            PostMessageW(nullptr, ending.message, ending.wParam, ending.lParam);
        }
        return 0;
    }
    if (quit) {
        PostQuitMessage(quit_code);
        return 0;
    }
    return box.result;
}
