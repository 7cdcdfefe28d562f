#pragma once
// The drawing machinery under pictures and controls: the Painter with its clip stack, the
// HDCSelector and ScreenDC scopes, the masked blit primitives, the nine-slice renderer, and
// the 32-bit DIB path that blends pictures with an 8-bit opacity mask over the background.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "ui/graphics/Color.h"
#include "ui/graphics/Point.h"

namespace skinner {

class Picture;
class Dib32;

class Painter {
public:
    // Pushes (origin, origin + size) and applies it.
    Painter(HDC dc, Point origin, Point size);
    virtual ~Painter() = default;
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // Pushes the intersection of (position, position + size) with the clip in force.
    void push_clip(Point position, Point size);
    // The constructor's rectangle stays: a pop without its push changes nothing.
    void pop_clip();
    // Alpha is ignored.
    void fill_rect(Point position, Point size, Color color);

    HDC dc() const { return dc_; }
    const RECT& clip() const { return clips_.back(); }

private:
    void apply() const;

    HDC dc_;
    std::vector<RECT> clips_;
};

// A memory DC compatible with a DC, holding a bitmap for the scope's life. With a null
// bitmap it stays empty (dc() is null).
class HDCSelector {
public:
    HDCSelector(HDC compatible, HBITMAP bitmap);
    ~HDCSelector();
    HDCSelector(const HDCSelector&) = delete;
    HDCSelector& operator=(const HDCSelector&) = delete;

    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// The screen's DC (GetDC of no window), released when the scope ends.
class ScreenDC {
public:
    ScreenDC();
    ~ScreenDC();
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;

    HDC dc() const { return dc_; }

private:
    HDC dc_;
};

// What the nine-slice renderer draws with.
struct Blitter {
    HDC dest = nullptr;
    HDC image = nullptr;
    HDC mask = nullptr;      // null: the image is drawn with rop alone
    DWORD rop = SRCCOPY;     // SRCCOPY or SRCPAINT
    // The DIB variant: one-pixel edges and middles go straight into the DIB's rows, with
    // the opacity taken from this mask DC, so that they keep their alpha.
    Dib32* dib = nullptr;
    HDC alpha_mask = nullptr;
};

void masked_blit(const Blitter& b, int x, int y, int w, int h, int sx, int sy);
void masked_stretch(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
void tile(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
void stretch(const Blitter& b, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
void vertical_line(const Blitter& b, int x, int y, int length, int sx, int sy);
void fill_from_pixel(const Blitter& b, int x, int y, int w, int h, int sx, int sy);

// Draws the picture's nine slices into (top_left, bottom_right).
void draw_nine_slice(const Blitter& b, Point top_left, Point bottom_right, const Picture& picture);

// Row addresses of a pixel block, listed top to bottom whatever the stride's sign.
class RowTable {
public:
    void fill(uint8_t* base, int32_t width, int32_t count, int32_t stride);
    uint32_t* row(int32_t i) const { return reinterpret_cast<uint32_t*>(rows_[size_t(i)]); }
    int32_t count() const { return count_; }

private:
    uint8_t* base_ = nullptr;
    int32_t width_ = 0;
    int32_t count_ = 0;
    int32_t stride_ = 0;
    std::vector<uint8_t*> rows_;
};

// A 32-bit top-down DIB section: blue in the low byte, then green, red and alpha.
class Dib32 {
public:
    ~Dib32();
    Dib32(const Dib32&) = delete;
    Dib32& operator=(const Dib32&) = delete;

    // Null when the DIB section cannot be created.
    static std::unique_ptr<Dib32> create(int32_t width, int32_t height);
    // The painter's pixels at position, alpha 0xFF.
    static std::unique_ptr<Dib32> from_background(const Painter& painter, Point position, Point size);
    // The picture rendered at size (each side rounded up to a power of two when asked),
    // its mask's blue channel as alpha (0xFF without a mask).
    static std::unique_ptr<Dib32> from_picture(const Picture& picture, Point size, bool power_of_two);
    void copy_to(const Painter& painter, Point position) const;

    HBITMAP bitmap() const { return bitmap_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    uint32_t* row(int32_t y) const { return rows_.row(y); }

private:
    Dib32() = default;

    HBITMAP bitmap_ = nullptr;
    RowTable rows_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// Each of the four bytes of bg becomes (fg * a + bg * (256 - a)) >> 8, a being fg's alpha.
void blend_over(Dib32& bg, const Dib32& fg);

// Draws a picture that has an 8-bit mask: blended over a copy of the destination.
void draw_with_alpha(const Picture& picture, Painter& painter, Point position, Point size);

}  // namespace skinner
