#include "platform/menu/MenuLook.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/window/SystemInfo.h"

namespace platform::menu {

int text_height() {
    return std::max(9, bar_height() * 9 / 20);
}

HFONT font() {
    // Tests change the device between runs: one font per height, kept for the process.
    static std::mutex lock;
    static auto* fonts = new std::map<int, HFONT>;
    int height = text_height();
    std::lock_guard guard(lock);
    HFONT& f = (*fonts)[height];
    if (!f) {
        LOGFONTW lf;
        lf.lfHeight = -height;
        lf.lfWeight = FW_NORMAL;
        std::u16string face = u"DejaVu Sans";
        std::copy(face.begin(), face.end(), lf.lfFaceName);
        f = CreateFontIndirectW(&lf);
    }
    return f;
}

void fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void draw_text(HDC dc, const std::u16string& text, RECT r, UINT format, COLORREF colour) {
    if (text.empty()) {
        return;
    }
    HGDIOBJ old = SelectObject(dc, font());
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE);
    SelectObject(dc, old);
}

int text_width(HDC dc, const std::u16string& text) {
    if (text.empty()) {
        return 0;
    }
    HGDIOBJ old = SelectObject(dc, font());
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    return r.right - r.left;
}

namespace {

// A line `thickness` pixels wide, drawn as parallel one-pixel lines.
void thick_line(HDC dc, POINT a, POINT b, int thickness, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 0; i < thickness; ++i) {
        POINT line[2] = {{a.x, a.y + i}, {b.x, b.y + i}};
        Polyline(dc, line, 2);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

void draw_check(HDC dc, RECT r, COLORREF colour) {
    int s = std::min(r.right - r.left, r.bottom - r.top);
    int x = r.left + (r.right - r.left - s) / 2;
    int y = r.top + (r.bottom - r.top - s) / 2;
    int t = std::max(2, s / 5);
    POINT a{x + s / 6, y + s / 2};
    POINT b{x + s * 5 / 12, y + s * 3 / 4 - t / 2};
    POINT c{x + s * 5 / 6 + 1, y + s / 5 - 1};
    thick_line(dc, a, b, t, colour);
    thick_line(dc, b, c, t, colour);
}

void draw_arrow_right(HDC dc, RECT r, COLORREF colour) {
    int h = std::max(4, (r.bottom - r.top) / 3) | 1;
    int x = r.left + (r.right - r.left - h / 2) / 2;
    int y = r.top + (r.bottom - r.top - h) / 2;
    for (int i = 0; i <= h / 2; ++i) {
        fill(dc, RECT{x + i, y + i, x + i + 1, y + h - i}, colour);
    }
}

void draw_arrow_up(HDC dc, RECT r, COLORREF colour) {
    int w = std::max(4, (r.bottom - r.top) / 3) | 1;
    int x = r.left + (r.right - r.left - w) / 2;
    int y = r.top + (r.bottom - r.top - w / 2) / 2;
    for (int i = 0; i <= w / 2; ++i) {
        fill(dc, RECT{x + i, y + w / 2 - i, x + w - i, y + w / 2 - i + 1}, colour);
    }
}

}  // namespace platform::menu
