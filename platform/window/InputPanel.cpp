#include "platform/window/InputPanel.h"

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "platform/device/DeviceProfile.h"
#include "platform/kernel/Core.h"
#include "platform/kernel/Time.h"
#include "platform/window/SystemInfo.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowManager.h"
#include "platform/window/WindowTable.h"

namespace {

std::atomic<bool> panel_up{false};
std::atomic<unsigned> panel_raises{0};

constexpr DWORD hold_milliseconds = 500;
constexpr int hold_tolerance = 5;  // pixels the pen may wander during a hold

// What the pen did after its press, judged from the messages still waiting in the queue.
enum class PenAfter { Still, Lifted, Moved };

PenAfter pen_after_press(platform::ThreadQueue& q, const SHRGINFO& info) {
    for (const MSG& m : q.input) {
        if (m.hwnd != info.hwndClient) {
            continue;
        }
        if (m.message == WM_LBUTTONUP) {
            return PenAfter::Lifted;
        }
        if (m.message == WM_MOUSEMOVE) {
            int x = static_cast<int16_t>(m.lParam & 0xFFFF);
            int y = static_cast<int16_t>((m.lParam >> 16) & 0xFFFF);
            if (std::abs(x - info.ptDown.x) > hold_tolerance || std::abs(y - info.ptDown.y) > hold_tolerance) {
                return PenAfter::Moved;
            }
        }
    }
    return PenAfter::Still;
}

}  // namespace

namespace platform {

bool input_panel_up() {
    return panel_up.load();
}

unsigned input_panel_raises() {
    return panel_raises.load();
}

RECT input_panel_rect() {
    if (!panel_up.load()) {
        return RECT{};
    }
    const DeviceProfile& p = device_profile();
    RECT work = work_area();
    int height = 80 * p.dpi / 96;
    return RECT{0, std::max<LONG>(work.top, work.bottom - height), p.screen_width, work.bottom};
}

}  // namespace platform

BOOL SHSipPreference(HWND, SIPSTATE state) {
    bool up = panel_up.load();
    switch (state) {
    case SIP_UP: up = true; break;
    case SIP_DOWN:
    case SIP_FORCEDOWN: up = false; break;
    case SIP_UNCHANGED: return TRUE;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (panel_up.exchange(up) == up) {
        return TRUE;
    }
    if (up) {
        ++panel_raises;
    }
    std::vector<HWND> top_level;
    {
        platform::WindowTable& t = platform::window_table();
        std::lock_guard guard(t.lock);
        top_level = t.z_order;
        platform::screen_changed();
    }
    for (HWND h : top_level) {
        PostMessageW(h, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    }
    return TRUE;
}

BOOL SHSipInfo(UINT action, UINT, LPVOID pvParam, UINT) {
    auto* info = static_cast<SIPINFO*>(pvParam);
    if (action != SPI_GETSIPINFO || !info || info->cbSize != sizeof(SIPINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT work = platform::work_area();
    info->fdwFlags = panel_up.load() ? SIPF_ON : 0;
    info->rcSipRect = platform::input_panel_rect();
    info->rcVisibleDesktop = work;
    if (panel_up.load()) {
        info->rcVisibleDesktop.bottom = info->rcSipRect.top;
    }
    info->dwImDataSize = 0;
    info->pvImData = nullptr;
    return TRUE;
}

DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (!info || info->cbSize != sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<platform::ThreadQueue> q = platform::current_queue();
    DWORD start = GetTickCount();
    // The hold counts in the tick clock that tests may step, and in real time, so a test clock
    // that nobody steps cannot hang the recogniser.
    auto real_start = std::chrono::steady_clock::now();
    for (;;) {
        if (platform::IdleHook hook = platform::idle_hook()) {
            hook();
        }
        std::unique_lock lock(q->lock);
        PenAfter after = pen_after_press(*q, *info);
        if (after != PenAfter::Still) {
            return 0;
        }
        auto real_elapsed = std::chrono::steady_clock::now() - real_start;
        if (GetTickCount() - start >= hold_milliseconds || real_elapsed >= std::chrono::milliseconds(hold_milliseconds)) {
            return GN_CONTEXTMENU;
        }
        q->wake.wait_for(lock, std::chrono::milliseconds(10));
    }
}

BOOL SHDoneButton(HWND window, DWORD state) {
    if (state != SHDB_SHOW && state != SHDB_HIDE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    platform::WindowTable& t = platform::window_table();
    std::lock_guard guard(t.lock);
    platform::WindowData* w = platform::find_window(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->done_button = state == SHDB_SHOW;
    platform::screen_changed();
    return TRUE;
}
