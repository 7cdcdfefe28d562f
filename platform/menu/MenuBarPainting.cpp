#include "platform/menu/MenuBarParts.h"

#include "platform/menu/MenuLook.h"

namespace platform::menu::menu_bar {

namespace {

COLORREF blend(COLORREF under, uint8_t r, uint8_t g, uint8_t b, int alpha) {
    auto mix = [&](int back, int front) { return static_cast<BYTE>((front * alpha + back * (255 - alpha)) / 255); };
    return RGB(mix(GetRValue(under), r), mix(GetGValue(under), g), mix(GetBValue(under), b));
}

// An image drawn over a plain background, faded for a button that cannot be pressed.
void draw_image(HDC dc, const Bar& bar, const Tile& tile, POINT at, COLORREF background, bool faded) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bar.image_width;
    info.bmiHeader.biHeight = -bar.image_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        return;
    }
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t p = 0; p < tile.rgba.size() / 4; ++p) {
        const uint8_t* px = &tile.rgba[p * 4];
        int alpha = faded ? px[3] / 3 : px[3];
        COLORREF c = blend(background, px[0], px[1], px[2], alpha);
        out[p] = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, dib);
    BitBlt(dc, at.x, at.y, bar.image_width, bar.image_height, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(dib);
}

void paint_button(HDC dc, const Bar& bar, size_t i, RECT r, bool soft_keys) {
    const Button& button = bar.buttons[i];
    int b = bar_height();
    bool down = (bar.pressed == static_cast<int>(i) && (bar.pressed_by_key || bar.pen_over)) ||
                (button.state & TBSTATE_PRESSED);
    COLORREF background = look::bar;
    if (down) {
        background = look::bar_pressed;
    } else if (button.state & TBSTATE_CHECKED) {
        background = look::bar_checked;
    }
    int inset = std::max(1, b / 12);
    RECT face{r.left + inset, r.top + inset + 1, r.right - inset, r.bottom - inset};
    if (background != look::bar) {
        fill(dc, face, background);
    }
    COLORREF ink = !button.usable() ? look::bar_disabled_text : down ? look::bar_pressed_text : look::bar_text;
    int pad = std::max(2, text_height() / 2);
    int arrow = button.drops_down() && !button.text.empty() ? text_height() * 4 / 3 : 0;
    int text = text_width(dc, button.text);
    int content = text + arrow + (has_image(bar, button) ? bar.image_width + (text ? pad : 0) : 0);
    int x = soft_keys || !(button.style & TBSTYLE_AUTOSIZE) ? (r.left + r.right - content) / 2 : r.left + pad;
    x = std::max<int>(x, r.left + pad / 2);
    if (has_image(bar, button)) {
        POINT at{x, (r.top + r.bottom - bar.image_height) / 2 + 1};
        draw_image(dc, bar, bar.images[static_cast<size_t>(button.image)], at, background, !button.usable());
        x += bar.image_width + pad;
    }
    draw_text(dc, button.text, RECT{x, r.top + 1, x + text, r.bottom}, DT_LEFT | DT_VCENTER, ink);
    if (arrow) {
        draw_arrow_up(dc, RECT{x + text, r.top + 1, x + text + arrow, r.bottom}, ink);
    }
}

}  // namespace

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    fill(dc, client, look::bar);
    fill(dc, RECT{0, 0, client.right, 1}, look::bar_edge);
    if (std::shared_ptr<Bar> bar = find_bar(window)) {
        BarLock guard(bars().lock);
        bool soft_keys = soft_key_layout(*bar);
        std::vector<RECT> rects = lay_out(*bar);
        for (size_t i = 0; i < bar->buttons.size(); ++i) {
            if (!bar->buttons[i].hidden() && !bar->buttons[i].separator()) {
                paint_button(dc, *bar, i, rects[i], soft_keys);
            }
        }
        if (soft_keys) {
            int half = client.right / 2;
            int gap = client.bottom / 5;
            fill(dc, RECT{half, gap, half + 1, client.bottom - gap}, look::bar_edge);
        }
    }
    EndPaint(window, &ps);
}

}  // namespace platform::menu::menu_bar
