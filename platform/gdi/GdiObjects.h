#pragma once
// The GDI's own objects behind the handles, shared by the GDI's files and the image decoder.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Types.h"
#include "platform/gdi/SurfaceDC.h"

namespace platform::gdi {

class FontFace;

enum class ObjectKind { Bitmap, Brush, Pen, Font };

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    ObjectKind kind;
    bool stock = false;
    int selections = 0;  // DCs holding it; guarded by the object table's lock
};

struct Bitmap : GdiObject {
    Bitmap() : GdiObject(ObjectKind::Bitmap) {}
    int width = 0;
    int height = 0;
    int bits_per_pixel = 32;
    int stride = 0;  // bytes per row
    bool bottom_up = false;
    bool dib = false;  // a DIB section: the caller sees its bits
    std::vector<uint32_t> palette;  // 0x00RRGGBB, for 1, 4 and 8 bits per pixel
    std::unique_ptr<uint8_t[]> storage;
};

struct Brush : GdiObject {
    Brush() : GdiObject(ObjectKind::Brush) {}
    uint32_t rgb = 0;  // 0x00RRGGBB
};

struct Pen : GdiObject {
    Pen() : GdiObject(ObjectKind::Pen) {}
    uint32_t rgb = 0;
};

struct Font : GdiObject {
    Font() : GdiObject(ObjectKind::Font) {}
    std::shared_ptr<FontFace> face;
};

struct DeviceContext {
    PixelSurface* surface = nullptr;  // a window DC draws here; a memory DC on its bitmap
    RECT surface_clip{};
    HWND window = nullptr;

    std::shared_ptr<Bitmap> bitmap;
    HGDIOBJ bitmap_handle = nullptr;
    std::shared_ptr<Brush> brush;
    HGDIOBJ brush_handle = nullptr;
    std::shared_ptr<Pen> pen;
    HGDIOBJ pen_handle = nullptr;
    std::shared_ptr<Font> font;
    HGDIOBJ font_handle = nullptr;

    std::optional<RECT> clip;  // the clip rectangle set by IntersectClipRect
    uint32_t text_rgb = 0;
    uint32_t background_rgb = 0xFFFFFF;
    int background_mode = 2;  // OPAQUE
};

// A view of the pixels a DC draws on.
struct Canvas {
    uint8_t* base = nullptr;
    ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    int bits_per_pixel = 32;
    const uint32_t* palette = nullptr;
    int palette_size = 0;
    bool clear_top_byte = false;  // window surfaces are XRGB: no alpha reaches them

    uint8_t* row(int y) const { return base + stride * y; }
    bool same_pixels(const Canvas& other) const { return base == other.base && base != nullptr; }
};

// Handles: objects and DCs live in tables; handle values are never reused.
HGDIOBJ insert_object(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> find_object(HGDIOBJ handle);
std::shared_ptr<Bitmap> find_bitmap(HGDIOBJ handle);
HDC insert_dc(std::shared_ptr<DeviceContext> dc);
std::shared_ptr<DeviceContext> find_dc(HDC handle);
std::shared_ptr<DeviceContext> remove_dc(HDC handle);

// A zeroed bitmap of the given depth; rows top-down unless bottom_up. Null when too large.
std::shared_ptr<Bitmap> make_bitmap(int width, int height, int bits_per_pixel, bool bottom_up);

Canvas canvas_of(const Bitmap& bitmap);
Canvas canvas_of(const DeviceContext& dc);
// The rectangle a DC may draw in: its canvas, its window clip and its clip rectangle.
RECT effective_clip(const DeviceContext& dc);

// Pixels as 32-bit values: 32-bit rows as stored (alpha in the top byte), other depths as
// 0x00RRGGBB. Writes convert back (palette depths take the nearest colour).
void read_row(const Canvas& canvas, int x, int y, int count, uint32_t* out);
void write_row(const Canvas& canvas, int x, int y, int count, const uint32_t* in);

RECT intersect(const RECT& a, const RECT& b);
bool is_empty(const RECT& r);

// Unsupported arguments are reported here, once per message.
void report(const char* message);

}  // namespace platform::gdi
