#include "ui/forms/FormImpl.h"

#include <algorithm>

#include "base/Log.h"
#include "base/Registry.h"
#include "base/ScreenMetrics.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Time.h"
#include "ui/application/Application.h"
#include "ui/forms/Control.h"
#include "ui/device/DeviceCapability.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormButton.h"
#include "ui/skin/FrameworkVariant.h"
#include "ui/forms/MenuManager.h"
#include "ui/graphics/Painter.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

constexpr UINT class_style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr WPARAM spi_setsipinfo = 0xE0;
constexpr WPARAM spi_setworkarea = 47;
constexpr WPARAM spi_screen_resolution = 0x3002;
constexpr DWORD frame_bits = 0x00010000 | 0x00020000;
constexpr UINT refresh_frame = 0x217;
constexpr COLORREF back_buffer_fill = 0x00FFFF00;
constexpr Color direct_fill{255, 0, 255, 255};
const char16_t* const message_box_class = u"Dialog";

bool is_smartphone() {
    static const bool smartphone = static_capability_is_smartphone();
    return smartphone;
}

Point point_of(LPARAM lParam) {
    return {static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

Key key_of(WPARAM wParam) { return key_from_virtual_key(static_cast<uint32_t>(wParam)); }

HINSTANCE module_instance() {
    Application* app = Application::instance();
    return app ? app->get_hinstance() : nullptr;
}

std::u16string form_class_name() {
    Application* app = Application::instance();
    return app ? app->get_class_name() : std::u16string(u"SkinnerClass_");
}

std::u16string window_class_of(HWND window) {
    char16_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A window that a modal form (or a message box) opened over the owner, to be raised in its
// place: shown, and a form or a box, never a menu bar or a hidden dialog.
struct OwnedSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL find_owned(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetParent(window) != search->owner || !IsWindowVisible(window)) return TRUE;
    const std::u16string cls = window_class_of(window);
    if (cls != form_class_name() && cls != message_box_class) return TRUE;
    search->found = window;
    return FALSE;
}

void raise(HWND window) {
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// The form's operations for pointer buttons 0, 1 and 2.
void press(Form* form, int button, Point point, bool double_click) {
    switch (button) {
    case 0: form->on_mouse_down(point, double_click); break;
    case 1: form->on_mouse_down_1(point, double_click); break;
    default: form->on_mouse_down_2(point, double_click); break;
    }
}

void release(Form* form, int button, Point point, bool double_click) {
    switch (button) {
    case 0: form->on_mouse_up(point, double_click); break;
    case 1: form->on_mouse_up_1(point, double_click); break;
    default: form->on_mouse_up_2(point, double_click); break;
    }
}

}  // namespace

bool is_form_window(HWND window) { return window && window_class_of(window) == form_class_name(); }

FormImpl::FormImpl(Form* parent, Properties* properties, const std::u16string& form_name) {
    DWORD flicker = 0;
    registry_read_dword(u"HKEY_CURRENT_USER\\Software\\ZEPH", u"Flicker", flicker);
    flicker_ = flicker != 0;
    menu_manager_ = MenuManager::create_for_device();

    const std::u16string class_name = form_class_name();
    WNDCLASSW wc;
    wc.style = class_style;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = module_instance();
    wc.lpszClassName = class_name.c_str();
    RegisterClassW(&wc);  // fails harmlessly once the class exists

    DWORD style = WS_VISIBLE | WS_CLIPCHILDREN;
    if (parent) {
        style |= WS_POPUP;
    } else if (!is_smartphone()) {
        style |= WS_SYSMENU;
    }

    Application* app = Application::instance();
    const std::u16string caption =
        framework_variant().window_caption(app ? app->get_name() : std::u16string(), properties, form_name);
    window_ = CreateWindowExW(0, class_name.c_str(), caption.c_str(), style, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                              parent ? parent->get_hwnd() : nullptr, nullptr, module_instance(), nullptr);
    UpdateWindow(window_);
    attach(window_);
}

FormImpl::~FormImpl() {
    form_ = nullptr;
    detach();
    DestroyWindow(window_);
    if (back_buffer_) DeleteObject(back_buffer_);
}

LRESULT FormImpl::window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags) {
    if (!form_ || hold_count_ > 0) {
        // Nothing reaches a form that is not whole; its window stays, whatever is asked.
        if (message == WM_CLOSE) flags.default_processing = false;
        return 0;
    }
    LRESULT result = 0;
    const bool goes_on = handle(message, wParam, lParam, flags, result);
    if (goes_on && form_ && form_->get_main_menu() && menu_manager_) menu_manager_->rebuild(form_);
    return result;
}

bool FormImpl::handle(UINT message, WPARAM wParam, LPARAM lParam, HookFlags& flags, LRESULT& result) {
    Form* form = form_;
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            form->set_rect(Point(), {static_cast<int32_t>(lParam & 0xFFFF), static_cast<int32_t>((lParam >> 16) & 0xFFFF)});
            reset_paint();
        }
        break;
    case WM_ACTIVATE: {
        const bool activating = (wParam & 0xFFFF) != WA_INACTIVE;
        if (activating) {
            form->on_activate();
        } else {
            form->on_deactivate();
        }
        if (is_smartphone()) {
            if (activating && form->on_form_activated()) flags.default_processing = false;
        } else if (activating) {
            form->show(true);
            form->apply_position();
            if (menu_manager_) menu_manager_->set_visible(form, IsWindowVisible(window_) != FALSE);
        } else {
            form->show(false);
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (is_smartphone()) {
            const HWND other = reinterpret_cast<HWND>(wParam);
            const bool ours = GetParent(other) == window_;
            const bool set = message == WM_SETFOCUS;
            Log::instance() << (set ? u"WM_SETFOCUS hwnd=" : u"WM_KILLFOCUS hwnd=") << long(reinterpret_cast<intptr_t>(window_))
                            << (set ? u" old_hwnd=" : u" new_hwnd=") << long(reinterpret_cast<intptr_t>(other)) << u" par="
                            << long(reinterpret_cast<intptr_t>(GetParent(other))) << u"\n";
            Log::instance() << (set ? (ours ? u"WM_SETFOCUS from us\n" : u"WM_SETFOCUS from another app\n")
                                    : (ours ? u"WM_KILLFOCUS to us\n" : u"WM_KILLFOCUS to another app\n"));
        }
        if (message == WM_SETFOCUS) {
            flags.default_processing = false;
            return false;
        }
        break;
    case WM_PAINT:
        paint();
        flags.default_processing = false;
        break;
    case WM_CLOSE:
        Log::instance() << long(GetTickCount()) << " WM_CLOSE received\n";
        flags.default_processing = false;
        if (pass_to_modal_form(message, wParam, lParam)) return false;
        if (form->can_close()) {
            PostMessageW(window_, WM_END_MODAL, 0, 0);
            // Not while forms opened over this one still run: the front stays theirs.
            HWND parent = GetParent(window_);
            if (parent && IsWindowEnabled(window_)) SetForegroundWindow(parent);
            ShowWindow(window_, SW_HIDE);
        }
        return false;
    case WM_ERASEBKGND:
        flags.default_processing = false;
        result = 1;
        return false;
    case WM_SETTINGCHANGE:
    case WM_SETTINGCHANGE_USER:
        if (wParam == spi_screen_resolution || wParam == spi_setworkarea) {
            form->on_command(u"#ScreenResolution#");
            form->apply_position();
        } else if (wParam == spi_setsipinfo) {
            form->apply_position();
        }
        break;
    case WM_COPYDATA: {
        std::u16string command_line;
        if (Application::read_handed_over_command_line(reinterpret_cast<const COPYDATASTRUCT*>(lParam), command_line)) {
            pending_command_lines_.push_back(command_line);
            PostMessageW(window_, WM_COMMAND_LINE, 0, 0);
            result = TRUE;
        }
        break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (is_smartphone() && !is_held_enter(wParam, lParam)) form->on_keydown(key_of(wParam));
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        form->on_keyup(key_of(wParam));
        break;
    case WM_CHAR:
        if (is_smartphone() && wParam >= 32) form->on_text(std::u16string(1, static_cast<char16_t>(wParam)));
        break;
    case WM_COMMAND:
        if ((wParam & 0xFFFF) == IDOK) {
            if (pass_to_modal_form(message, wParam, lParam)) return false;
            Log::instance() << "FormImpl::window_proc WM_COMMAND IDOK\n";
            auto it = std::find_if(ok_buttons_.begin(), ok_buttons_.end(),
                                   [](Control* c) { return c->is_enabled() && c->is_visible(); });
            if (it != ok_buttons_.end()) {
                Log::instance() << "Button found!!!\n";
                if (auto* button = dynamic_cast<FormButton*>(*it)) button->click();
            }
        }
        if (menu_manager_ && form_) menu_manager_->on_menu_command(form_, wParam, lParam);
        break;
    case WM_TIMER:
        form->on_timer(static_cast<uint32_t>(wParam));
        break;
    case WM_INITMENUPOPUP:
        if (menu_manager_) menu_manager_->on_init_menu_popup(form, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        form->on_mouse_move(point_of(lParam));
        break;
    case WM_LBUTTONDOWN: {
        const Point p = point_of(lParam);
        if (form->wants_gestures_at(p)) {
            SHRGINFO gesture;
            gesture.cbSize = sizeof(gesture);
            gesture.hwndClient = window_;
            gesture.ptDown = POINT{p.x, p.y};
            gesture.dwFlags = SHRG_RETURNCMD;
            if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
                form->on_mouse_down_2(p, false);
                if (form_) form_->on_mouse_up_2(p, false);
                break;
            }
        }
        pointer_down(0, p, false);
        break;
    }
    case WM_LBUTTONUP:
        pointer_up(0, point_of(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        pointer_down(0, point_of(lParam), true);
        break;
    case WM_CAPTURECHANGED:
        Log::instance() << "WM_CAPTURECHANGED\n";
        release_held_buttons();
        break;
    case WM_MOUSEWHEEL: {
        // The pointer comes in screen coordinates; the delta counts notches.
        POINT screen{static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
        ScreenToClient(window_, &screen);
        const int delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
        form->on_wheel({screen.x, screen.y}, delta / WHEEL_DELTA);
        break;
    }
    case WM_HOTKEY:
        if (menu_manager_) menu_manager_->on_hotkey(form, wParam, lParam);
        break;
    case WM_KEY_WITH_CHAR:
        if (!is_smartphone()) {
            const bool consumed = lParam != 0 && form->on_text(std::u16string(1, static_cast<char16_t>(lParam)));
            if (!consumed && form_) form_->on_keydown(key_of(wParam));
        }
        break;
    case WM_COMMAND_LINE:
        if (!pending_command_lines_.empty()) {
            const std::u16string command_line = pending_command_lines_.back();
            pending_command_lines_.pop_back();
            form->bring_to_front(command_line);
        }
        break;
    default:
        break;
    }
    return true;
}

bool FormImpl::pass_to_modal_form(UINT message, WPARAM wParam, LPARAM lParam) {
    if (closing_by_program_ || IsWindowEnabled(window_)) return false;
    Form* modal = Form::get_modal_form();
    if (!modal || modal == form_) return false;
    PostMessageW(modal->get_hwnd(), message, wParam, lParam);
    return true;
}

void FormImpl::pointer_down(int button, Point point, bool double_click) {
    if (std::none_of(button_down_.begin(), button_down_.end(), [](bool b) { return b; })) SetCapture(window_);
    last_pointer_ = Point(-1, -1);
    button_down_[size_t(button)] = true;
    double_click_[size_t(button)] = double_click;
    press(form_, button, point, double_click);
}

void FormImpl::pointer_up(int button, Point point) {
    last_pointer_ = point;
    bool others = false;
    for (int b = 0; b < 3; ++b) others = others || (b != button && button_down_[size_t(b)]);
    if (!others) ReleaseCapture();
    if (!button_down_[size_t(button)]) return;
    button_down_[size_t(button)] = false;
    release(form_, button, point, double_click_[size_t(button)]);
}

void FormImpl::release_held_buttons() {
    for (int b = 0; b < 3 && form_; ++b) {
        if (!button_down_[size_t(b)]) continue;
        button_down_[size_t(b)] = false;
        release(form_, b, last_pointer_, double_click_[size_t(b)]);
    }
}

void FormImpl::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    RECT client;
    GetClientRect(window_, &client);
    if (flicker_) {
        paint_direct(dc, client);
    } else {
        paint_back_buffer(dc, client);
    }
    EndPaint(window_, &ps);
}

void FormImpl::paint_back_buffer(HDC window_dc, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!back_buffer_) {
        back_buffer_ = CreateCompatibleBitmap(window_dc, width, height);
        invalid_origin_ = Point();
        invalid_size_ = form_->get_size();
        HDCSelector fill(window_dc, back_buffer_);
        if (fill.dc()) {
            HBRUSH brush = CreateSolidBrush(back_buffer_fill);
            RECT all{0, 0, width, height};
            FillRect(fill.dc(), &all, brush);
            DeleteObject(brush);
        }
    }
    HDCSelector memory(window_dc, back_buffer_);
    if (!memory.dc()) return;
    if (invalid_size_ != Point()) {
        Painter painter(memory.dc(), invalid_origin_, invalid_size_);
        form_->get_background().draw(painter, Point(), form_->get_size());
        form_->paint(painter, invalid_origin_, invalid_size_);
        invalid_size_ = Point();
    }
    BitBlt(window_dc, 0, 0, width, height, memory.dc(), 0, 0, SRCCOPY);
}

void FormImpl::paint_direct(HDC window_dc, const RECT& client) {
    const Point origin = min_point(invalid_origin_, Point(client.left, client.top));
    const Point end = max_point(invalid_origin_ + invalid_size_, Point(client.right, client.bottom));
    Painter painter(window_dc, origin, end - origin);
    painter.fill_rect(origin, end - origin, direct_fill);
    form_->get_background().draw(painter, Point(), form_->get_size());
    form_->paint(painter, origin, end - origin);
    invalid_size_ = Point();
}

void FormImpl::invalidate(Point origin, Point size) {
    if (invalid_size_ != Point()) {
        const Point end = max_point(invalid_origin_ + invalid_size_, origin + size);
        invalid_origin_ = min_point(invalid_origin_, origin);
        invalid_size_ = end - invalid_origin_;
    } else {
        invalid_origin_ = origin;
        invalid_size_ = size;
    }
    const RECT r{invalid_origin_.x, invalid_origin_.y, invalid_origin_.x + invalid_size_.x, invalid_origin_.y + invalid_size_.y};
    InvalidateRect(window_, &r, FALSE);
}

void FormImpl::reset_paint() {
    invalid_origin_ = Point();
    if (form_) {
        invalid_size_ = form_->get_size();
    } else {
        RECT client;
        GetClientRect(window_, &client);
        invalid_size_ = Point(client.right, client.bottom);
    }
    if (back_buffer_) {
        DeleteObject(back_buffer_);
        back_buffer_ = nullptr;
    }
    InvalidateRect(window_, nullptr, FALSE);
}

void FormImpl::move(Point position, Point size) {
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE));
    if (style & frame_bits) {
        SetWindowLongW(window_, GWL_STYLE, static_cast<LONG_PTR>(style & ~frame_bits));
        SetWindowPos(window_, nullptr, 0, 0, 0, 0, refresh_frame);
    }
    MoveWindow(window_, position.x, position.y, size.x, size.y, TRUE);
}

void FormImpl::send_close() {
    closing_by_program_ = true;
    SendMessageW(window_, WM_CLOSE, 0, 0);
    closing_by_program_ = false;
}

void FormImpl::bring_to_front() {
    HWND window = window_;
    while (window) {
        if (IsWindowEnabled(window)) {
            raise(window);
            return;
        }
        OwnedSearch search{window};
        EnumWindows(find_owned, reinterpret_cast<LPARAM>(&search));
        window = search.found;
    }
}

void FormImpl::register_button_ok(Control* button) {
    ok_buttons_.push_back(button);
    Log::instance() << "FormImpl::register_button_ok size=" << int(ok_buttons_.size()) << "\n";
    if (ok_buttons_.size() == 1) SHDoneButton(window_, SHDB_SHOW);
}

void FormImpl::unregister_button_ok(Control* button) {
    const bool had = !ok_buttons_.empty();
    std::erase(ok_buttons_, button);
    Log::instance() << "FormImpl::register_button_ok size=" << int(ok_buttons_.size()) << "\n";
    if (had && ok_buttons_.empty()) SHDoneButton(window_, SHDB_HIDE);
}

bool FormImpl::is_held_enter(WPARAM virtual_key, LPARAM flags) {
    return virtual_key == VK_RETURN && platform::key_was_down(flags);
}

void FormImpl::set_focus_if_activated() {
    Log::instance() << "FormImpl::set_focus_if_activated\n";
    SetFocus(window_);
}

void FormImpl::set_input_panel(bool up) {
    if (!is_smartphone()) SHSipPreference(window_, up ? SIP_UP : SIP_DOWN);
}

void FormImpl::get_usable_area(Point& origin, Point& size, bool use_input_panel) {
    const ScreenMetrics screen;
    int32_t bar = 0;
    if (is_smartphone()) {
        switch (screen.width) {
        case 176: bar = 20; break;
        case 240:
        case 320:
        case 400: bar = 27; break;
        case 352: bar = 40; break;
        case 480:
        case 640:
        case 800: bar = 54; break;
        default: bar = 0; break;
        }
    } else {
        bar = screen.dpi < 128 ? 26 : screen.dpi < 192 ? 35 : 52;
    }
    origin = Point(0, bar);
    size = Point(screen.width, screen.height - 2 * bar);
    if (is_smartphone() || !use_input_panel) return;
    SIPINFO info;
    info.cbSize = sizeof(info);
    if (SHSipInfo(SPI_GETSIPINFO, 0, &info, 0) && (info.fdwFlags & SIPF_ON)) {
        size = Point(info.rcVisibleDesktop.right - origin.x, info.rcVisibleDesktop.bottom - origin.y);
    }
}

Point FormImpl::get_screen_size(int* dpi) {
    const ScreenMetrics screen;
    if (dpi) *dpi = screen.dpi;
    return {screen.width, screen.height};
}

bool FormImpl::is_key_down(Key key) { return skinner::is_key_down(key); }

int FormImpl::message_box(const Form* form, const std::u16string& text, const std::u16string& title) {
    return MessageBoxW(form ? form->get_hwnd() : nullptr, text.c_str(), title.c_str(), 0);
}

FormImpl::FormHold::FormHold(FormImpl* window) : window_(window) { ++window_->hold_count_; }
FormImpl::FormHold::~FormHold() { --window_->hold_count_; }

}  // namespace skinner
