// Handle tables, bitmaps, memory DCs, selection, clipping and device capabilities.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/device/DeviceProfile.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/kernel/Core.h"

namespace platform::gdi {

namespace {

struct Tables {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    std::unordered_map<uintptr_t, std::shared_ptr<DeviceContext>> dcs;
    uintptr_t next_object = 0x10000;
    uintptr_t next_dc = 0x20000000;
};

Tables& tables() {
    static Tables* instance = new Tables;  // lives until exit, like the objects' users
    return *instance;
}

struct StockObjects {
    HGDIOBJ bitmap;
    HGDIOBJ brush;
    HGDIOBJ pen;
    HGDIOBJ font;
};

HGDIOBJ insert_stock(std::shared_ptr<GdiObject> object) {
    object->stock = true;
    return insert_object(std::move(object));
}

const StockObjects& stock() {
    static const StockObjects objects = [] {
        StockObjects s{};
        auto bitmap = make_bitmap(1, 1, 1, false);
        bitmap->palette = {0x000000, 0xFFFFFF};
        s.bitmap = insert_stock(bitmap);
        auto brush = std::make_shared<Brush>();
        brush->rgb = 0xFFFFFF;
        s.brush = insert_stock(brush);
        s.pen = insert_stock(std::make_shared<Pen>());
        s.font = insert_stock(std::make_shared<Font>());  // no face: the system font
        return s;
    }();
    return objects;
}

std::array<GdiObject*, 4> selected_objects(const DeviceContext& dc) {
    return {dc.bitmap.get(), dc.brush.get(), dc.pen.get(), dc.font.get()};
}

constexpr int kMaxDimension = 32768;
constexpr uint64_t kMaxBitmapBytes = uint64_t(1) << 30;

uint32_t expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}

// The palette entry nearest to a colour; the last match is remembered along a row.
int nearest_index(const Canvas& canvas, uint32_t rgb) {
    int best = 0;
    int best_distance = 1 << 30;
    for (int i = 0; i < canvas.palette_size; ++i) {
        uint32_t p = canvas.palette[i];
        int dr = int((p >> 16) & 0xFF) - int((rgb >> 16) & 0xFF);
        int dg = int((p >> 8) & 0xFF) - int((rgb >> 8) & 0xFF);
        int db = int(p & 0xFF) - int(rgb & 0xFF);
        int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
            if (distance == 0) {
                break;
            }
        }
    }
    return best;
}

}  // namespace

void report(const char* message) {
    static std::mutex lock;
    static std::set<std::string> reported;
    std::lock_guard guard(lock);
    if (reported.insert(message).second) {
        std::fprintf(stderr, "gdi: %s\n", message);
    }
}

HGDIOBJ insert_object(std::shared_ptr<GdiObject> object) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    uintptr_t value = t.next_object;
    t.next_object += 8;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

std::shared_ptr<GdiObject> find_object(HGDIOBJ handle) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second;
}

std::shared_ptr<Bitmap> find_bitmap(HGDIOBJ handle) {
    auto object = find_object(handle);
    if (!object || object->kind != ObjectKind::Bitmap) {
        return nullptr;
    }
    return std::static_pointer_cast<Bitmap>(object);
}

HDC insert_dc(std::shared_ptr<DeviceContext> dc) {
    const StockObjects& s = stock();
    dc->brush = std::static_pointer_cast<Brush>(find_object(s.brush));
    dc->brush_handle = s.brush;
    dc->pen = std::static_pointer_cast<Pen>(find_object(s.pen));
    dc->pen_handle = s.pen;
    dc->font = std::static_pointer_cast<Font>(find_object(s.font));
    dc->font_handle = s.font;
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    for (GdiObject* o : selected_objects(*dc)) {
        if (o) {
            ++o->selections;
        }
    }
    uintptr_t value = t.next_dc;
    t.next_dc += 8;
    t.dcs.emplace(value, std::move(dc));
    return reinterpret_cast<HDC>(value);
}

std::shared_ptr<DeviceContext> find_dc(HDC handle) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    auto it = t.dcs.find(reinterpret_cast<uintptr_t>(handle));
    return it == t.dcs.end() ? nullptr : it->second;
}

std::shared_ptr<DeviceContext> remove_dc(HDC handle) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    auto it = t.dcs.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.dcs.end()) {
        return nullptr;
    }
    std::shared_ptr<DeviceContext> dc = std::move(it->second);
    t.dcs.erase(it);
    for (GdiObject* o : selected_objects(*dc)) {
        if (o) {
            --o->selections;
        }
    }
    return dc;
}

std::shared_ptr<Bitmap> make_bitmap(int width, int height, int bits_per_pixel, bool bottom_up) {
    if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension) {
        return nullptr;
    }
    uint64_t stride = ((uint64_t(width) * uint64_t(bits_per_pixel) + 31) / 32) * 4;
    uint64_t bytes = stride * uint64_t(height);
    if (bytes > kMaxBitmapBytes) {
        return nullptr;
    }
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bits_per_pixel = bits_per_pixel;
    bitmap->stride = int(stride);
    bitmap->bottom_up = bottom_up;
    bitmap->storage.reset(new (std::nothrow) uint8_t[bytes]());
    if (!bitmap->storage) {
        return nullptr;
    }
    return bitmap;
}

Canvas canvas_of(const Bitmap& bitmap) {
    Canvas c;
    c.width = bitmap.width;
    c.height = bitmap.height;
    c.bits_per_pixel = bitmap.bits_per_pixel;
    c.palette = bitmap.palette.data();
    c.palette_size = int(bitmap.palette.size());
    if (bitmap.bottom_up) {
        c.base = bitmap.storage.get() + ptrdiff_t(bitmap.stride) * (bitmap.height - 1);
        c.stride = -ptrdiff_t(bitmap.stride);
    } else {
        c.base = bitmap.storage.get();
        c.stride = bitmap.stride;
    }
    return c;
}

Canvas canvas_of(const DeviceContext& dc) {
    if (dc.surface) {
        Canvas c;
        c.base = reinterpret_cast<uint8_t*>(dc.surface->pixels);
        c.stride = ptrdiff_t(dc.surface->stride) * 4;
        c.width = dc.surface->pixels ? dc.surface->width : 0;
        c.height = dc.surface->pixels ? dc.surface->height : 0;
        c.clear_top_byte = true;
        return c;
    }
    return dc.bitmap ? canvas_of(*dc.bitmap) : Canvas{};
}

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

bool is_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT effective_clip(const DeviceContext& dc) {
    Canvas c = canvas_of(dc);
    RECT r{0, 0, c.width, c.height};
    if (dc.surface) {
        r = intersect(r, dc.surface_clip);
    }
    if (dc.clip) {
        r = intersect(r, *dc.clip);
    }
    return r;
}

void read_row(const Canvas& canvas, int x, int y, int count, uint32_t* out) {
    const uint8_t* row = canvas.row(y);
    switch (canvas.bits_per_pixel) {
    case 32:
        std::memcpy(out, row + ptrdiff_t(x) * 4, size_t(count) * 4);
        return;
    case 24:
        for (int i = 0; i < count; ++i) {
            const uint8_t* p = row + ptrdiff_t(x + i) * 3;
            out[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        }
        return;
    case 16:
        for (int i = 0; i < count; ++i) {
            const uint8_t* p = row + ptrdiff_t(x + i) * 2;
            uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8);
            out[i] = (expand5((v >> 10) & 31) << 16) | (expand5((v >> 5) & 31) << 8) | expand5(v & 31);
        }
        return;
    default: {
        int bpp = canvas.bits_per_pixel;
        int per_byte = 8 / bpp;
        uint32_t mask = (1u << bpp) - 1;
        for (int i = 0; i < count; ++i) {
            int px = x + i;
            int shift = (per_byte - 1 - px % per_byte) * bpp;
            int index = int((row[px / per_byte] >> shift) & mask);
            out[i] = index < canvas.palette_size ? canvas.palette[index] & 0xFFFFFF : 0;
        }
        return;
    }
    }
}

void write_row(const Canvas& canvas, int x, int y, int count, const uint32_t* in) {
    uint8_t* row = canvas.row(y);
    switch (canvas.bits_per_pixel) {
    case 32:
        if (canvas.clear_top_byte) {
            uint32_t* p = reinterpret_cast<uint32_t*>(row) + x;
            for (int i = 0; i < count; ++i) {
                p[i] = in[i] & 0xFFFFFF;
            }
        } else {
            std::memcpy(row + ptrdiff_t(x) * 4, in, size_t(count) * 4);
        }
        return;
    case 24:
        for (int i = 0; i < count; ++i) {
            uint8_t* p = row + ptrdiff_t(x + i) * 3;
            p[0] = uint8_t(in[i]);
            p[1] = uint8_t(in[i] >> 8);
            p[2] = uint8_t(in[i] >> 16);
        }
        return;
    case 16:
        for (int i = 0; i < count; ++i) {
            uint8_t* p = row + ptrdiff_t(x + i) * 2;
            uint32_t c = in[i];
            uint32_t v = (((c >> 19) & 31) << 10) | (((c >> 11) & 31) << 5) | ((c >> 3) & 31);
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
        }
        return;
    default: {
        int bpp = canvas.bits_per_pixel;
        int per_byte = 8 / bpp;
        uint32_t mask = (1u << bpp) - 1;
        uint32_t last_rgb = 0xFFFFFFFF;
        int last_index = 0;
        for (int i = 0; i < count; ++i) {
            uint32_t rgb = in[i] & 0xFFFFFF;
            if (rgb != last_rgb) {
                last_rgb = rgb;
                last_index = nearest_index(canvas, rgb);
            }
            int px = x + i;
            int shift = (per_byte - 1 - px % per_byte) * bpp;
            uint8_t& b = row[px / per_byte];
            b = uint8_t((b & ~(mask << shift)) | ((uint32_t(last_index) & mask) << shift));
        }
        return;
    }
    }
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !find_dc(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto memory = std::make_shared<DeviceContext>();
    HGDIOBJ stock_bitmap = stock().bitmap;
    memory->bitmap = find_bitmap(stock_bitmap);
    memory->bitmap_handle = stock_bitmap;
    return insert_dc(memory);
}

BOOL DeleteDC(HDC dc) {
    auto found = find_dc(dc);
    if (!found || found->surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    remove_dc(dc);
    return TRUE;
}

namespace {

template <class T>
HGDIOBJ swap_selection(std::shared_ptr<T>& slot, HGDIOBJ& slot_handle, const std::shared_ptr<GdiObject>& object,
                       HGDIOBJ handle) {
    HGDIOBJ previous = slot_handle;
    if (slot.get() != object.get()) {
        if (slot) {
            --slot->selections;
        }
        ++object->selections;
        slot = std::static_pointer_cast<T>(object);
    }
    slot_handle = handle;
    return previous;
}

}  // namespace

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!object) {
        return nullptr;
    }
    auto context = find_dc(dc);
    auto found = find_object(object);
    if (!context || !found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    switch (found->kind) {
    case ObjectKind::Bitmap:
        if (context->surface) {
            return nullptr;  // a window DC draws on its window
        }
        if (!found->stock && found->selections > 0 && context->bitmap.get() != found.get()) {
            return nullptr;  // a bitmap lives in one DC at a time
        }
        return swap_selection(context->bitmap, context->bitmap_handle, found, object);
    case ObjectKind::Brush:
        return swap_selection(context->brush, context->brush_handle, found, object);
    case ObjectKind::Pen:
        return swap_selection(context->pen, context->pen_handle, found, object);
    case ObjectKind::Font:
        return swap_selection(context->font, context->font_handle, found, object);
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    Tables& t = tables();
    std::lock_guard guard(t.lock);
    auto it = t.objects.find(reinterpret_cast<uintptr_t>(object));
    if (it == t.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (it->second->stock) {
        return TRUE;
    }
    if (it->second->selections > 0) {
        return FALSE;
    }
    t.objects.erase(it);
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    auto bitmap = find_bitmap(object);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!buffer) {
        return int(sizeof(BITMAP));
    }
    if (size < int(sizeof(BITMAP))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    BITMAP info;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = bitmap->stride;
    info.bmPlanes = 1;
    info.bmBitsPixel = WORD(bitmap->bits_per_pixel);
    info.bmBits = bitmap->dib ? bitmap->storage.get() : nullptr;
    std::memcpy(buffer, &info, sizeof info);
    return int(sizeof(BITMAP));
}

int GetDeviceCaps(HDC dc, int index) {
    if (!find_dc(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const platform::DeviceProfile& profile = platform::device_profile();
    switch (index) {
    case HORZRES:
        return profile.screen_width;
    case VERTRES:
        return profile.screen_height;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return profile.dpi;
    default:
        report("GetDeviceCaps: unsupported index");
        return 0;
    }
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!find_dc(dc) || width < 1 || height < 1) {
        SetLastError(width < 1 || height < 1 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto bitmap = make_bitmap(width, height, 32, false);
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<HBITMAP>(insert_object(bitmap));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
    if (bits) {
        *bits = nullptr;
    }
    if (dc && !find_dc(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!info || usage != DIB_RGB_COLORS || section || offset != 0) {
        report("CreateDIBSection: only DIB_RGB_COLORS without a file section");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int bpp = h.biBitCount;
    bool depth_ok = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || !depth_ok || h.biCompression != BI_RGB ||
        h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        report("CreateDIBSection: unsupported bitmap header");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool bottom_up = h.biHeight > 0;
    auto bitmap = make_bitmap(h.biWidth, bottom_up ? h.biHeight : -h.biHeight, bpp, bottom_up);
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bitmap->dib = true;
    if (bpp <= 8) {
        uint32_t entries = 1u << bpp;
        if (h.biClrUsed != 0 && h.biClrUsed < entries) {
            entries = h.biClrUsed;
        }
        const auto* table = reinterpret_cast<const uint8_t*>(info) + h.biSize;
        bitmap->palette.resize(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* q = table + i * 4;
            bitmap->palette[i] = uint32_t(q[0]) | (uint32_t(q[1]) << 8) | (uint32_t(q[2]) << 16);
        }
    }
    if (bits) {
        *bits = bitmap->storage.get();
    }
    return static_cast<HBITMAP>(insert_object(bitmap));
}

int SelectClipRgn(HDC dc, HRGN region) {
    auto context = find_dc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    if (region) {
        report("SelectClipRgn: only NULL is supported");
        return ERROR;
    }
    context->clip.reset();
    return is_empty(effective_clip(*context)) ? NULLREGION : SIMPLEREGION;
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    auto context = find_dc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return ERROR;
    }
    RECT r{left, top, std::max(left, right), std::max(top, bottom)};
    context->clip = context->clip ? intersect(*context->clip, r) : r;
    return is_empty(effective_clip(*context)) ? NULLREGION : SIMPLEREGION;
}
