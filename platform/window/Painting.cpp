// Painting: the invalid region (InvalidateRect, ValidateRect, GetUpdateRect), UpdateWindow,
// BeginPaint/EndPaint, and the window and screen DCs (GetDC, ReleaseDC).

#include <algorithm>

#include "platform/kernel/Core.h"
#include "platform/window/WindowSteps.h"

using platform::WindowData;
using namespace platform::window_steps;

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT r{0, 0, w->width(), w->height()};
    if (rect) {
        r.left = std::max(r.left, rect->left);
        r.top = std::max(r.top, rect->top);
        r.right = std::min(r.right, rect->right);
        r.bottom = std::min(r.bottom, rect->bottom);
    }
    if (r.right <= r.left || r.bottom <= r.top) {
        return TRUE;
    }
    if (w->has_update) {
        w->update = RECT{std::min(w->update.left, r.left), std::min(w->update.top, r.top),
                         std::max(w->update.right, r.right), std::max(w->update.bottom, r.bottom)};
    } else {
        w->update = r;
        w->has_update = true;
    }
    w->erase = w->erase || erase;
    poke_owner(w->thread_id);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The update region is kept as one rectangle: only a rectangle covering it validates it.
    if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top && rect->right >= w->update.right &&
                  rect->bottom >= w->update.bottom)) {
        w->has_update = false;
        w->erase = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL) {
    Lock guard = lock_table();
    WindowData* w = platform::find_window(window);
    if (!w) {
        return FALSE;
    }
    if (rect) {
        *rect = w->has_update ? w->update : RECT{};
    }
    return w->has_update ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    std::vector<HWND> order;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        // The window first, then its children, as painting order on screen.
        std::vector<HWND> pending{window};
        while (!pending.empty()) {
            HWND h = pending.front();
            pending.erase(pending.begin());
            WindowData* d = platform::find_window(h);
            if (!d) {
                continue;
            }
            if (d->has_update && platform::is_shown(d)) {
                order.push_back(h);
            }
            pending.insert(pending.end(), d->children.begin(), d->children.end());
        }
    }
    for (HWND h : order) {
        SendMessageW(h, WM_PAINT, 0, 0);
    }
    return TRUE;
}

namespace {

// A released DC may have drawn on its window: that much of the screen is composed again. The
// screen's own DC is not composed from, and windows not shown are not on it.
void drawn_on(const platform::DCRecord& record) {
    WindowData* w = platform::find_window(record.window);
    if (w) {
        w->drawn = true;
    }
    if (!w || !platform::is_shown(w)) {
        return;
    }
    POINT origin = platform::screen_origin(w);
    RECT area = record.area;
    platform::screen_area_changed(
        RECT{area.left + origin.x, area.top + origin.y, area.right + origin.x, area.bottom + origin.y});
}

}  // namespace

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool erase = false;
    {
        Lock guard = lock_table();
        WindowData* w = platform::find_window(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        *paint = PAINTSTRUCT{};
        paint->rcPaint = w->has_update ? w->update : RECT{};
        erase = w->erase;
        paint->fErase = erase ? TRUE : FALSE;
        w->has_update = false;
        w->erase = false;
        paint->hdc = platform::gdi_create_surface_dc(&w->surface->surface, paint->rcPaint, window);
        table().dcs.push_back({paint->hdc, window, paint->rcPaint, w->surface});
    }
    if (erase) {
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) ? FALSE : TRUE;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) {
        return FALSE;
    }
    return ReleaseDC(window, paint->hdc) ? TRUE : FALSE;
}

HDC GetDC(HWND window) {
    Lock guard = lock_table();
    std::shared_ptr<platform::WindowSurface> surface;
    if (!window) {
        surface = platform::screen_surface();
    } else if (WindowData* w = platform::find_window(window)) {
        surface = w->surface;
    } else {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    RECT clip{0, 0, surface->surface.width, surface->surface.height};
    HDC dc = platform::gdi_create_surface_dc(&surface->surface, clip, window);
    table().dcs.push_back({dc, window, clip, surface});
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    platform::DCRecord record;
    {
        Lock guard = lock_table();
        auto& dcs = table().dcs;
        auto it = std::find_if(dcs.begin(), dcs.end(), [&](const platform::DCRecord& r) { return r.dc == dc; });
        if (!dc || it == dcs.end()) {
            return 0;
        }
        record = std::move(*it);
        dcs.erase(it);
        drawn_on(record);
    }
    // The surface stays alive until the DC is gone.
    platform::gdi_delete_surface_dc(record.dc);
    return 1;
}
