#pragma once
// The meeting point of the window system and the GDI: a window's pixels, and the DC
// that BeginPaint and GetDC hand out to draw on them.
#include <cstdint>

#include "platform/Types.h"

namespace platform {

// 32-bit XRGB pixels (0x00RRGGBB), top row first; stride counts pixels, not bytes.
struct PixelSurface {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// A DC drawing onto the surface, clipped to clip (surface coordinates).
HDC gdi_create_surface_dc(PixelSurface* surface, const RECT& clip, HWND window);
void gdi_delete_surface_dc(HDC dc);

}  // namespace platform
