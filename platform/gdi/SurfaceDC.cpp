#include "platform/gdi/SurfaceDC.h"

namespace platform {

namespace {

struct SurfaceDC {
    PixelSurface* surface;
    RECT clip;
    HWND window;
};

}  // namespace

HDC gdi_create_surface_dc(PixelSurface* surface, const RECT& clip, HWND window) {
    return reinterpret_cast<HDC>(new SurfaceDC{surface, clip, window});
}

void gdi_delete_surface_dc(HDC dc) {
    delete reinterpret_cast<SurfaceDC*>(dc);
}

}  // namespace platform
