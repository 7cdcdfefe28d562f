// Blits with raster operations, pixels, brushes and fills, pens and lines.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/kernel/Core.h"

using namespace platform::gdi;

namespace {

LONG clamp_long(int64_t v) {
    return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

RECT rect_of(int x, int y, int width, int height) {
    return RECT{x, y, clamp_long(int64_t(x) + width), clamp_long(int64_t(y) + height)};
}

bool supported_rop(DWORD rop) {
    return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND;
}

void combine(DWORD rop, const uint32_t* source, uint32_t* dest, int count) {
    if (rop == SRCPAINT) {
        for (int i = 0; i < count; ++i) {
            dest[i] |= source[i];
        }
    } else {
        for (int i = 0; i < count; ++i) {
            dest[i] &= source[i];
        }
    }
}

// Source index for each destination offset in [from, to): offset * source_size / size, or -1
// outside the source. The valid offsets form one run, returned as [first, last).
struct Mapping {
    std::vector<int> index;
    int first = 0;
    int last = 0;
    int low = 0;   // smallest source index used
    int high = 0;  // largest source index used
};

Mapping map_axis(int from, int to, int origin, int size, int source_origin, int source_size, int source_limit) {
    Mapping m;
    m.index.resize(size_t(to - from));
    m.first = int(m.index.size());
    m.last = 0;
    for (int p = from; p < to; ++p) {
        int64_t d = int64_t(p) - origin;
        int64_t s = int64_t(source_origin) + d * source_size / size;
        int i = p - from;
        if (s >= 0 && s < source_limit) {
            m.index[size_t(i)] = int(s);
            if (i < m.first) {
                m.first = i;
                m.low = int(s);
            }
            m.last = i + 1;
            m.high = int(s);
        } else {
            m.index[size_t(i)] = -1;
        }
    }
    return m;
}

BOOL blit(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int source_width,
          int source_height, DWORD rop) {
    if (!supported_rop(rop)) {
        report("BitBlt/StretchBlt: unsupported raster operation");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto d = find_dc(dest);
    auto s = find_dc(source);
    if (!d || !s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (width <= 0 || height <= 0 || source_width <= 0 || source_height <= 0) {
        return TRUE;
    }
    Canvas to = canvas_of(*d);
    Canvas from = canvas_of(*s);
    RECT area = intersect(effective_clip(*d), rect_of(x, y, width, height));
    if (is_empty(area) || from.width == 0) {
        return TRUE;
    }
    Mapping cols = map_axis(area.left, area.right, x, width, sx, source_width, from.width);
    Mapping rows = map_axis(area.top, area.bottom, y, height, sy, source_height, from.height);
    if (cols.first >= cols.last || rows.first >= rows.last) {
        return TRUE;
    }
    int span = cols.high - cols.low + 1;
    // Blits within one bitmap read from a copy, so overlapping areas come out right.
    std::vector<uint32_t> snapshot;
    if (to.same_pixels(from)) {
        int count = rows.high - rows.low + 1;
        snapshot.resize(size_t(span) * size_t(count));
        for (int r = 0; r < count; ++r) {
            read_row(from, cols.low, rows.low + r, span, snapshot.data() + size_t(r) * size_t(span));
        }
    }
    std::vector<uint32_t> source_row(static_cast<size_t>(span));
    std::vector<uint32_t> line(static_cast<size_t>(cols.last - cols.first));
    std::vector<uint32_t> existing(line.size());
    int n = cols.last - cols.first;
    int dest_x = area.left + cols.first;
    for (int i = rows.first; i < rows.last; ++i) {
        int r = rows.index[size_t(i)];
        const uint32_t* src = nullptr;
        if (!snapshot.empty()) {
            src = snapshot.data() + size_t(r - rows.low) * size_t(span);
        } else {
            read_row(from, cols.low, r, span, source_row.data());
            src = source_row.data();
        }
        for (int c = 0; c < n; ++c) {
            line[size_t(c)] = src[cols.index[size_t(cols.first + c)] - cols.low];
        }
        int dest_y = area.top + i;
        if (rop != SRCCOPY) {
            read_row(to, dest_x, dest_y, n, existing.data());
            combine(rop, line.data(), existing.data(), n);
            write_row(to, dest_x, dest_y, n, existing.data());
        } else {
            write_row(to, dest_x, dest_y, n, line.data());
        }
    }
    return TRUE;
}

uint32_t xrgb_of(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return blit(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int source_width,
                int source_height, DWORD rop) {
    if (width < 0 || height < 0 || source_width < 0 || source_height < 0) {
        report("StretchBlt: mirroring (negative sizes) is not supported");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return blit(dest, x, y, width, height, source, sx, sy, source_width, source_height, rop);
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto context = find_dc(dc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    if (!inside(effective_clip(*context), x, y)) {
        return CLR_INVALID;
    }
    uint32_t v = 0;
    read_row(canvas_of(*context), x, y, 1, &v);
    return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_shared<Brush>();
    brush->rgb = xrgb_of(color);
    return static_cast<HBRUSH>(insert_object(brush));
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    auto context = find_dc(dc);
    auto object = find_object(brush);
    if (!context || !rect || !object || object->kind != ObjectKind::Brush) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    uint32_t rgb = static_cast<Brush&>(*object).rgb;
    RECT area = intersect(effective_clip(*context), *rect);
    if (is_empty(area)) {
        return 1;
    }
    Canvas canvas = canvas_of(*context);
    std::vector<uint32_t> line(size_t(area.right - area.left), rgb);
    for (int y = area.top; y < area.bottom; ++y) {
        write_row(canvas, area.left, y, int(line.size()), line.data());
    }
    return 1;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID || width < 0 || width > 1) {
        report("CreatePen: only solid pens of width 0 or 1");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::make_shared<Pen>();
    pen->rgb = xrgb_of(color);
    return static_cast<HPEN>(insert_object(pen));
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    auto context = find_dc(dc);
    if (!context || !points || count < 2) {
        SetLastError(context ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    uint32_t rgb = context->pen ? context->pen->rgb : 0;
    RECT clip = effective_clip(*context);
    Canvas canvas = canvas_of(*context);
    auto plot = [&](int x, int y) {
        if (inside(clip, x, y)) {
            write_row(canvas, x, y, 1, &rgb);
        }
    };
    std::vector<uint32_t> run;
    for (int i = 0; i + 1 < count; ++i) {
        if (points[i].x == points[i + 1].x || points[i].y == points[i + 1].y) {
            // Straight lines are clipped as rectangles, however long they are.
            int64_t x0 = points[i].x, y0 = points[i].y, x1 = points[i + 1].x, y1 = points[i + 1].y;
            if (x0 == x1 && y0 == y1) {
                continue;
            }
            RECT r = x0 == x1 ? RECT{clamp_long(x0), clamp_long(std::min(y0, y1 + 1)), clamp_long(x0 + 1),
                                     clamp_long(std::max(y0 + 1, y1))}
                              : RECT{clamp_long(std::min(x0, x1 + 1)), clamp_long(y0), clamp_long(std::max(x0 + 1, x1)),
                                     clamp_long(y0 + 1)};
            r = intersect(clip, r);
            for (int y = r.top; y < r.bottom; ++y) {
                run.assign(size_t(r.right - r.left), rgb);
                write_row(canvas, r.left, y, int(run.size()), run.data());
            }
            continue;
        }
        // Bresenham from the segment's start up to, not including, its end.
        int64_t x0 = points[i].x, y0 = points[i].y;
        int64_t x1 = points[i + 1].x, y1 = points[i + 1].y;
        int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
        int64_t step_x = x0 < x1 ? 1 : -1, step_y = y0 < y1 ? 1 : -1;
        int64_t error = dx + dy;
        int64_t steps = std::max(dx, -dy);
        for (int64_t k = 0; k < steps; ++k) {
            if (x0 >= INT32_MIN && x0 <= INT32_MAX && y0 >= INT32_MIN && y0 <= INT32_MAX) {
                plot(int(x0), int(y0));
            }
            int64_t e2 = 2 * error;
            if (e2 >= dy) {
                error += dy;
                x0 += step_x;
            }
            if (e2 <= dx) {
                error += dx;
                y0 += step_y;
            }
        }
    }
    return TRUE;
}
