#include "ui/edit/ControlEditNative.h"

#include <algorithm>

#include "base/Log.h"
#include "platform/edit/Edit.h"
#include "ui/application/Application.h"
#include "ui/edit/ControlEdit.h"
#include "ui/device/DeviceCapability.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"

namespace skinner {

namespace {

constexpr DWORD edit_style = WS_CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr UINT place_flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

bool is_smartphone() {
    static const bool smartphone = static_capability_is_smartphone();
    return smartphone;
}

long handle_number(HWND window) { return long(reinterpret_cast<intptr_t>(window)); }

HINSTANCE module_instance() {
    Application* app = Application::instance();
    return app ? app->get_hinstance() : nullptr;
}

}  // namespace

void EditImplementation::set_input_mode(const std::u16string&) {}
void EditImplementation::set_text(const std::u16string&) {}
bool EditImplementation::take_focus() { return false; }
void EditImplementation::set_selection(int32_t, int32_t) {}
void EditImplementation::set_readonly(bool) {}
void EditImplementation::set_visible(bool) {}
void EditImplementation::on_focus_gained() {}
void EditImplementation::on_focus_lost() {}
void EditImplementation::set_rect(Point, Point) {}

std::unique_ptr<EditImplementation> make_edit_implementation(ControlEditImpl* control) {
    if (is_smartphone()) return std::make_unique<ControlEditNativeImpl>(control);
    return std::make_unique<EditImplementation>(true);
}

ControlEditNativeImpl::ControlEditNativeImpl(ControlEditImpl* control)
    : EditImplementation(false), edit_hook_(this), control_(control), form_hook_(this) {
    const HWND form = form_window();
    form_hook_.attach(form);
    const HWND edit = CreateWindowExW(0, u"edit", u"", edit_style, 0, 0, 100, 30, form, nullptr, module_instance(), nullptr);
    edit_hook_.attach(edit);
    Log::instance() << u"ControlEditNativeImpl::ControlEditNativeImpl hwnd=" << handle_number(edit) << u" form_hwnd="
                    << handle_number(form) << u"\n";
}

ControlEditNativeImpl::~ControlEditNativeImpl() {
    const HWND edit = get_window();
    if (edit) DestroyWindow(edit);
    edit_hook_.detach();
    form_hook_.detach();
}

HWND ControlEditNativeImpl::form_window() const {
    Form* root = control_->get_form_root();
    return root ? root->get_hwnd() : nullptr;
}

void ControlEditNativeImpl::set_input_mode(const std::u16string& mode) {
    if (!is_smartphone()) return;
    if (mode == u"TextDefault") {
        SendMessageW(get_window(), EM_SETINPUTMODE, 0, EIM_TEXT);
    } else if (mode == u"Numbers") {
        SendMessageW(get_window(), EM_SETINPUTMODE, 0, EIM_NUMBERS);
    }
}

void ControlEditNativeImpl::set_text(const std::u16string& text) { SetWindowTextW(get_window(), text.c_str()); }

bool ControlEditNativeImpl::take_focus() {
    SetFocus(get_window());
    return true;
}

void ControlEditNativeImpl::set_selection(int32_t start, int32_t end) {
    SendMessageW(get_window(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void ControlEditNativeImpl::set_readonly(bool readonly) { SendMessageW(get_window(), EM_SETREADONLY, readonly ? 1 : 0, 0); }

void ControlEditNativeImpl::set_visible(bool visible) { ShowWindow(get_window(), visible ? SW_SHOW : SW_HIDE); }

void ControlEditNativeImpl::on_focus_gained() {
    SetFocus(get_window());
    SendMessageW(get_window(), EM_SETSEL, 0, static_cast<LPARAM>(control_->get_text().size()));
}

void ControlEditNativeImpl::on_focus_lost() {
    if (Form* root = control_->get_form_root()) root->get_window()->set_focus_if_activated();
}

void ControlEditNativeImpl::set_rect(Point position, Point size) {
    SetWindowPos(get_window(), nullptr, position.x, position.y, size.x, size.y, place_flags);
}

void ControlEditNativeImpl::on_en_change() {
    const HWND edit = get_window();
    const int length = std::max(0, GetWindowTextLengthW(edit));
    std::u16string text(size_t(length) + 1, u'\0');
    const int got = GetWindowTextW(edit, text.data(), length + 1);
    text.resize(size_t(std::clamp(got, 0, length)));
    ControlEditImpl& control = *control_;
    if (text == control.text_) return;
    control.text_ = text;
    // The control's selection follows the window's, so that it never lies past the new text.
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto clamp_to_text = [&](DWORD p) { return static_cast<int32_t>(std::min<DWORD>(p, DWORD(text.size()))); };
    control.anchor_ = clamp_to_text(start);
    control.caret_ = clamp_to_text(end);
    control.measured_ = false;
    control.notify_text_changed();
    Log::instance() << u"ControlEditNativeImpl::on_en_change text=" << text << u"\n";
}

void ControlEditNativeImpl::on_set_focus(HWND old_focus) {
    const HWND form = form_window();
    const HWND old_parent = old_focus ? GetParent(old_focus) : nullptr;
    Log::instance() << u"ControlEditNativeImpl::WM_SETFOCUS hwnd=" << handle_number(get_window()) << u" old_hwnd="
                    << handle_number(old_focus) << u" par=" << handle_number(old_parent) << u"\n";
    if (old_focus != form && old_parent != form) {
        Log::instance() << u"ControlEditNativeImpl::WM_SETFOCUS from another app\n";
        if (Form* root = control_->get_form_root()) root->show(true);
    } else {
        Log::instance() << u"ControlEditNativeImpl::WM_SETFOCUS from us\n";
    }
    control_->set_focus();
}

void ControlEditNativeImpl::on_kill_focus(HWND new_focus) {
    const HWND form = form_window();
    const HWND new_parent = new_focus ? GetParent(new_focus) : nullptr;
    Log::instance() << u"ControlEditNativeImpl::WM_KILLFOCUS hwnd=" << handle_number(get_window()) << u" new_hwnd="
                    << handle_number(new_focus) << u" par=" << handle_number(new_parent) << u"\n";
    if (new_focus != form && new_parent != form) {
        Log::instance() << u"ControlEditNativeImpl::WM_KILLFOCUS to another app\n";
    } else {
        Log::instance() << u"ControlEditNativeImpl::WM_KILLFOCUS to us\n";
    }
}

LRESULT ControlEditNativeImpl::EditWindowHook::window_proc(UINT message, WPARAM wParam, LPARAM, HookFlags&) {
    switch (message) {
    case WM_SETFOCUS:
        if (is_smartphone()) owner_->on_set_focus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KILLFOCUS:
        if (is_smartphone()) owner_->on_kill_focus(reinterpret_cast<HWND>(wParam));
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Form keys (soft keys, Enter, Back) keep working while the native window has the focus.
        if (Form* root = owner_->control_->get_form_root()) {
            const Key key = key_from_virtual_key(static_cast<uint32_t>(wParam));
            if (message == WM_KEYDOWN) {
                root->on_keydown(key);
            } else {
                root->on_keyup(key);
            }
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT ControlEditNativeImpl::FormWindowHook::window_proc(UINT message, WPARAM wParam, LPARAM lParam, HookFlags&) {
    if (message == WM_COMMAND && ((wParam >> 16) & 0xFFFF) == EN_CHANGE && reinterpret_cast<HWND>(lParam) == owner_->get_window() &&
        owner_->get_window()) {
        owner_->on_en_change();
    }
    return 0;
}

}  // namespace skinner
