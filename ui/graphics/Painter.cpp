#include "ui/graphics/Painter.h"

#include <algorithm>
#include <climits>

#include "base/Log.h"
#include "platform/window/WindowManager.h"
#include "ui/graphics/Picture.h"

namespace skinner {

namespace {

// position + size without overflow.
LONG end_of(int32_t position, int32_t size) {
    return LONG(std::clamp<int64_t>(int64_t(position) + size, INT32_MIN, INT32_MAX));
}

RECT rect_of(Point position, Point size) {
    return RECT{position.x, position.y, end_of(position.x, size.x), end_of(position.y, size.y)};
}

}  // namespace

Painter::Painter(HDC dc, Point origin, Point size) : dc_(dc) {
    clips_.push_back(rect_of(origin, size));
    apply();
}

void Painter::push_clip(Point position, Point size) {
    const RECT& top = clips_.back();
    RECT wanted = rect_of(position, size);
    RECT r{std::max(top.left, wanted.left), std::max(top.top, wanted.top), std::min(top.right, wanted.right),
           std::min(top.bottom, wanted.bottom)};
    if (r.right < r.left || r.bottom < r.top) {
        r = RECT{r.left, r.top, r.left, r.top};
    }
    clips_.push_back(r);
    apply();
}

void Painter::pop_clip() {
    if (clips_.size() > 1) {
        clips_.pop_back();
        apply();
    }
}

void Painter::fill_rect(Point position, Point size, Color color) {
    HBRUSH brush = CreateSolidBrush(color.to_colorref());
    RECT r = rect_of(position, size);
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void Painter::apply() const {
    const RECT& r = clips_.back();
    SelectClipRgn(dc_, nullptr);
    IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

HDCSelector::HDCSelector(HDC compatible, HBITMAP bitmap) {
    if (!bitmap) {
        return;
    }
    dc_ = CreateCompatibleDC(compatible);
    previous_ = SelectObject(dc_, bitmap);
    if (!previous_) {
        gluck(u"Failed to select bitmap into context", u"HDCSelector::HDCSelector");
    }
}

HDCSelector::~HDCSelector() {
    if (dc_) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
}

ScreenDC::ScreenDC() : dc_(GetDC(nullptr)) {}

ScreenDC::~ScreenDC() {
    if (dc_) {
        ReleaseDC(nullptr, dc_);
    }
}

void masked_blit(const Blitter& b, int x, int y, int w, int h, int sx, int sy) {
    if (b.mask) {
        BitBlt(b.dest, x, y, w, h, b.mask, sx, sy, SRCPAINT);
        BitBlt(b.dest, x, y, w, h, b.image, sx, sy, SRCAND);
    } else {
        BitBlt(b.dest, x, y, w, h, b.image, sx, sy, b.rop);
    }
}

void masked_stretch(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    if (b.mask) {
        StretchBlt(b.dest, x, y, w, h, b.mask, sx, sy, sw, sh, SRCPAINT);
        StretchBlt(b.dest, x, y, w, h, b.image, sx, sy, sw, sh, SRCAND);
    } else {
        StretchBlt(b.dest, x, y, w, h, b.image, sx, sy, sw, sh, b.rop);
    }
}

void tile(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    if (w < 1 || h < 1 || sw < 1 || sh < 1) {
        return;
    }
    for (int cx = 0; cx < w; cx += sw) {
        for (int cy = 0; cy < h; cy += sh) {
            masked_blit(b, x + cx, y + cy, std::min(sw, w - cx), std::min(sh, h - cy), sx, sy);
        }
    }
}

void stretch(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
    if (w < 1 || h < 1 || sw < 1 || sh < 1) {
        return;
    }
    masked_stretch(b, x, y, w, h, sx, sy, sw, sh);
}

namespace {

uint32_t xrgb_of(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// The DIB variant's solid fill: the image colour with the mask's opacity, clipped to the DIB.
void fill_dib(const Blitter& b, int x, int y, int w, int h, int sx, int sy) {
    COLORREF color = GetPixel(b.image, sx, sy);
    COLORREF alpha = b.alpha_mask ? GetPixel(b.alpha_mask, sx, sy) : RGB(0, 0, 255);
    if (color == CLR_INVALID || alpha == CLR_INVALID) {
        return;
    }
    uint32_t pixel = (uint32_t(GetBValue(alpha)) << 24) | xrgb_of(color);
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + w, b.dib->width()), bottom = std::min(y + h, b.dib->height());
    for (int row = top; row < bottom; ++row) {
        std::fill(b.dib->row(row) + left, b.dib->row(row) + std::max(left, right), pixel);
    }
}

}  // namespace

void vertical_line(const Blitter& b, int x, int y, int length, int sx, int sy) {
    if (b.mask && GetPixel(b.mask, sx, sy) != RGB(255, 255, 255)) {
        return;
    }
    if (length < 1) {
        return;
    }
    if (b.dib) {
        fill_dib(b, x, y, 1, length, sx, sy);
        return;
    }
    HPEN pen = CreatePen(PS_SOLID, 0, GetPixel(b.image, sx, sy));
    HGDIOBJ old = SelectObject(b.dest, pen);
    POINT points[2] = {{x, y}, {x, y + length}};
    Polyline(b.dest, points, 2);
    SelectObject(b.dest, old);
    DeleteObject(pen);
}

void fill_from_pixel(const Blitter& b, int x, int y, int w, int h, int sx, int sy) {
    if (b.mask && GetPixel(b.mask, sx, sy) == 0) {
        return;
    }
    if (w < 1 || h < 1) {
        return;
    }
    if (b.dib) {
        fill_dib(b, x, y, w, h, sx, sy);
        return;
    }
    HBRUSH brush = CreateSolidBrush(GetPixel(b.image, sx, sy));
    RECT r{x, y, x + w, y + h};
    FillRect(b.dest, &r, brush);
    DeleteObject(brush);
}

namespace {

// Per axis: when the destination is smaller than both borders, the far border gives up
// the larger half of the shortfall.
void shrink_borders(int32_t& near_border, int32_t& far_border, int32_t extent) {
    int32_t e = near_border + far_border - extent;
    if (e <= 0) {
        return;
    }
    far_border -= (e + 1) / 2;
    near_border -= e / 2;
    if (far_border < 0) {
        far_border = 0;
        near_border = extent;
    } else if (near_border < 0) {
        near_border = 0;
        far_border = extent;
    }
}

}  // namespace

void draw_nine_slice(const Blitter& b, Point top_left, Point bottom_right, const Picture& picture) {
    PictureSlices p = picture.slices();
    int32_t s = picture.rep() ? picture.rep()->scale : 1;
    int32_t x0 = top_left.x, y0 = top_left.y, x1 = bottom_right.x, y1 = bottom_right.y;
    int32_t width = x1 - x0, height = y1 - y0;

    int32_t left = p.min_x - p.left, right = p.right - p.max_x;
    int32_t top = p.min_y - p.top, bottom = p.bottom - p.max_y;
    shrink_borders(left, right, width);
    shrink_borders(top, bottom, height);

    int32_t mw = width - left - right, mh = height - top - bottom;
    int32_t sw = p.max_x - p.min_x, sh = p.max_y - p.min_y;

    if (left >= 1 && top >= 1) masked_blit(b, x0, y0, left, top, p.left, p.top);
    if (right >= 1 && top >= 1) masked_blit(b, x1 - right, y0, right, top, p.right - right, p.top);
    if (left >= 1 && bottom >= 1) masked_blit(b, x0, y1 - bottom, left, bottom, p.left, p.bottom - bottom);
    if (right >= 1 && bottom >= 1)
        masked_blit(b, x1 - right, y1 - bottom, right, bottom, p.right - right, p.bottom - bottom);

    auto edge = picture.stretches() ? stretch : tile;

    // One-pixel edges and middles (at the picture's scale) are solid lines and fills.
    if (left == s && sh == s) {
        for (int32_t i = 0; i < s; ++i) vertical_line(b, x0 + i, y0 + top, mh, p.left, p.top + top);
    } else {
        edge(b, x0, y0 + top, left, mh, p.left, p.top + top, left, sh);
    }
    if (right == s && sh == s) {
        for (int32_t i = 0; i < s; ++i) vertical_line(b, x1 - right + i, y0 + top, mh, p.right - right, p.top + top);
    } else {
        edge(b, x1 - right, y0 + top, right, mh, p.right - right, p.top + top, right, sh);
    }
    if (sw == s && top == s) {
        for (int32_t i = 0; i < s; ++i) fill_from_pixel(b, x0 + left, y0 + i, mw, 1, p.left + left, p.top);
    } else {
        edge(b, x0 + left, y0, mw, top, p.left + left, p.top, sw, top);
    }
    if (sw == s && bottom == s) {
        for (int32_t i = 0; i < s; ++i) fill_from_pixel(b, x0 + left, y1 - bottom + i, mw, 1, p.left + left, p.bottom - bottom);
    } else {
        edge(b, x0 + left, y1 - bottom, mw, bottom, p.left + left, p.bottom - bottom, sw, bottom);
    }
    if (sw == s && sh == s) {
        fill_from_pixel(b, x0 + left, y0 + top, mw, mh, p.min_x, p.min_y);
    } else {
        edge(b, x0 + left, y0 + top, mw, mh, p.min_x, p.min_y, sw, sh);
    }
}

void RowTable::fill(uint8_t* base, int32_t width, int32_t count, int32_t stride) {
    base_ = base;
    width_ = width;
    count_ = count;
    stride_ = stride;
    if (size_t(count) > rows_.size()) {
        rows_.assign(size_t(count), nullptr);
    }
    uint8_t* first = stride >= 0 ? base : base - ptrdiff_t(count - 1) * stride;
    for (int32_t i = 0; i < count; ++i) {
        rows_[size_t(i)] = first + ptrdiff_t(i) * stride;
    }
}

Dib32::~Dib32() {
    if (bitmap_) {
        DeleteObject(bitmap_);
    }
}

std::unique_ptr<Dib32> Dib32::create(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        return nullptr;
    }
    std::unique_ptr<Dib32> dib(new Dib32);
    dib->bitmap_ = bitmap;
    dib->width_ = width;
    dib->height_ = height;
    dib->rows_.fill(static_cast<uint8_t*>(bits), width, height, width * 4);
    return dib;
}

std::unique_ptr<Dib32> Dib32::from_background(const Painter& painter, Point position, Point size) {
    std::unique_ptr<Dib32> dib = create(size.x, size.y);
    if (!dib) {
        return nullptr;
    }
    {
        HDCSelector dc(painter.dc(), dib->bitmap_);
        BitBlt(dc.dc(), 0, 0, size.x, size.y, painter.dc(), position.x, position.y, SRCCOPY);
    }
    for (int32_t y = 0; y < dib->height_; ++y) {
        uint32_t* row = dib->row(y);
        for (int32_t x = 0; x < dib->width_; ++x) {
            row[x] |= 0xFF000000u;
        }
    }
    return dib;
}

namespace {

int32_t power_of_two_at_least(int32_t n) {
    int32_t p = 1;
    while (p < n && p < (1 << 30)) {
        p <<= 1;
    }
    return p;
}

}  // namespace

std::unique_ptr<Dib32> Dib32::from_picture(const Picture& picture, Point size, bool power_of_two) {
    int32_t width = power_of_two ? power_of_two_at_least(size.x) : size.x;
    int32_t height = power_of_two ? power_of_two_at_least(size.y) : size.y;
    std::unique_ptr<Dib32> dib = create(width, height);
    const PictureRep* rep = picture.rep();
    if (!dib || !rep) {
        return dib;
    }
    ScreenDC screen;
    HDCSelector dib_dc(screen.dc(), dib->bitmap_);
    HDCSelector image(screen.dc(), rep->image);
    HDCSelector mask(screen.dc(), rep->mask);
    Point end = size;
    if (mask.dc()) {
        draw_nine_slice(Blitter{dib_dc.dc(), mask.dc(), nullptr, SRCCOPY}, Point{}, end, picture);
        for (int32_t y = 0; y < height; ++y) {
            uint32_t* row = dib->row(y);
            for (int32_t x = 0; x < width; ++x) {
                row[x] <<= 24;
            }
        }
        Blitter paint{dib_dc.dc(), image.dc(), nullptr, SRCPAINT};
        paint.dib = dib.get();
        paint.alpha_mask = mask.dc();
        draw_nine_slice(paint, Point{}, end, picture);
    } else {
        draw_nine_slice(Blitter{dib_dc.dc(), image.dc(), nullptr, SRCCOPY}, Point{}, end, picture);
        for (int32_t y = 0; y < height; ++y) {
            uint32_t* row = dib->row(y);
            for (int32_t x = 0; x < width; ++x) {
                row[x] |= 0xFF000000u;
            }
        }
    }
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* row = dib->row(y);
        int32_t from = y < size.y ? size.x : 0;
        std::fill(row + std::min(from, width), row + width, 0u);
    }
    return dib;
}

void Dib32::copy_to(const Painter& painter, Point position) const {
    HDCSelector dc(painter.dc(), bitmap_);
    BitBlt(painter.dc(), position.x, position.y, width_, height_, dc.dc(), 0, 0, SRCCOPY);
}

void blend_over(Dib32& bg, const Dib32& fg) {
    int32_t height = std::min(bg.height(), fg.height());
    int32_t width = std::min(bg.width(), fg.width());
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* b = bg.row(y);
        const uint32_t* f = fg.row(y);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t a = f[x] >> 24;
            uint32_t na = 256 - a;
            uint32_t rb = (((f[x] & 0x00FF00FF) * a + (b[x] & 0x00FF00FF) * na) >> 8) & 0x00FF00FF;
            uint32_t ag = ((((f[x] >> 8) & 0x00FF00FF) * a + ((b[x] >> 8) & 0x00FF00FF) * na)) & 0xFF00FF00;
            b[x] = rb | ag;
        }
    }
}

void draw_with_alpha(const Picture& picture, Painter& painter, Point position, Point size) {
    if (size.x < 1 || size.y < 1) {
        return;
    }
    std::unique_ptr<Dib32> bg = Dib32::from_background(painter, position, size);
    std::unique_ptr<Dib32> fg = Dib32::from_picture(picture, size, false);
    if (!bg || !fg) {
        return;
    }
    blend_over(*bg, *fg);
    bg->copy_to(painter, position);
}

}  // namespace skinner
