#include "platform/gdi/SurfaceDC.h"

#include "platform/gdi/GdiObjects.h"

namespace platform {

HDC gdi_create_surface_dc(PixelSurface* surface, const RECT& clip, HWND window) {
    if (!surface) {
        return nullptr;
    }
    auto dc = std::make_shared<gdi::DeviceContext>();
    dc->surface = surface;
    dc->surface_clip = clip;
    dc->window = window;
    return gdi::insert_dc(dc);
}

void gdi_delete_surface_dc(HDC dc) {
    auto found = gdi::find_dc(dc);
    if (found && found->surface) {
        gdi::remove_dc(dc);
    }
}

}  // namespace platform
