#include "ui/menus/MenuManagerSmartphone.h"

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/menu/MenuBar.h"
#include "platform/window/Modules.h"
#include "ui/forms/Form.h"
#include "ui/forms/FormImpl.h"
#include "ui/menus/MenuItem.h"
#include "ui/menus/PopupMenu.h"
#include "ui/menus/SoftKeys.h"

namespace skinner {

namespace {

constexpr WORD back_key_flags = SHMBOF_NODEFAULT | SHMBOF_NOTIFY;
constexpr int class_name_length = 10;

void set_key(HWND bar, int id, BYTE state, const std::u16string& text) {
    std::u16string copy = text;
    TBBUTTONINFO button;
    button.cbSize = device_button_info_size;
    button.dwMask = TBIF_TEXT | TBIF_STATE | TBIF_COMMAND;
    button.idCommand = id;
    button.fsState = state;
    button.pszText = copy.data();
    button.cchText = static_cast<int>(copy.size());
    SendMessageW(bar, TB_SETBUTTONINFO, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&button));
}

// Back deletes in a native edit window instead of leaving the form.
bool focus_is_edit_window() {
    HWND focus = GetFocus();
    if (!focus) return false;
    char16_t name[class_name_length] = {};
    GetClassNameW(focus, name, class_name_length);
    const std::u16string upper = to_upper(name);
    return upper == u"EDIT" || upper == u"CAPEDIT";
}

}  // namespace

MenuManagerSmartphone::~MenuManagerSmartphone() {
    if (bar_) DestroyWindow(bar_);
}

void MenuManagerSmartphone::build(Form* form) {
    if (bar_ || !IsWindowVisible(form->get_hwnd())) return;
    SHMENUBARINFO info;
    info.cbSize = device_menu_bar_info_size;
    info.hwndParent = form->get_hwnd();
    info.nToolBarId = tool_bar_id;
    info.hInstRes = LoadLibraryExW(u"tapres.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const BOOL made = SHCreateMenuBar(&info);
    if (info.hInstRes) FreeLibrary(info.hInstRes);
    if (!made) return;
    bar_ = info.hwndMB;
    set_key(bar_, left_key_id, TBSTATE_INDETERMINATE, u"");
    set_key(bar_, right_key_id, TBSTATE_INDETERMINATE, u"");
    SendMessageW(bar_, SHCMBM_OVERRIDEKEY, VK_ESCAPE, LPARAM(back_key_flags) | (LPARAM(back_key_flags) << 16));
}

void MenuManagerSmartphone::compose(Form* form) {
    MenuItem left(u"#FakeIdSoft1#", u"");
    MenuItem right(u"#FakeIdSoft2#", u"");
    compose_left_soft_key(form, left);
    compose_right_soft_key(form, right);
    set_key(bar_, left_key_id, TBSTATE_ENABLED, left.text);
    set_key(bar_, right_key_id, TBSTATE_ENABLED, right.text);
}

void MenuManagerSmartphone::set_visible(Form*, bool visible) {
    if (visible) invalidated_ = true;
    if (bar_) ShowWindow(bar_, visible ? SW_SHOW : SW_HIDE);
}

void MenuManagerSmartphone::on_init_menu_popup(Form*, WPARAM, LPARAM) {}

void MenuManagerSmartphone::on_menu_command(Form* form, WPARAM wParam, LPARAM) {
    const int id = static_cast<int>(wParam & 0xFFFF);
    if (id != left_key_id && id != right_key_id) return;
    MenuItem record(u"#FakeId#", u"");
    if (id == left_key_id) {
        compose_left_soft_key(form, record);
    } else {
        compose_right_soft_key(form, record);
    }
    if (record.empty()) {
        if (record.target && record.enabled) record.target->on_command(record.command);
        return;
    }
    // The menu rises from the bar, from its left or its right end.
    Point origin;
    Point size;
    FormImpl::get_usable_area(origin, size, true);
    const bool left = id == left_key_id;
    const Point anchor(left ? 0 : size.x, size.y + 1);
    const auto [command, target] = track_popup_menu(form, record, anchor, left ? 0 : 2, 2);
    if (target && !command.empty()) target->on_command(command);
}

void MenuManagerSmartphone::on_hotkey(Form* form, WPARAM wParam, LPARAM lParam) {
    if (((lParam >> 16) & 0xFFFF) != VK_ESCAPE) return;
    if (focus_is_edit_window()) {
        SHSendBackToFocusWindow(WM_HOTKEY, wParam, lParam);
        return;
    }
    if (lParam & MOD_KEYUP) {
        form->on_keyup(Key::Esc);
        form->on_keyup(Key::Backspace);
        if (want_to_go_back_) {
            want_to_go_back_ = false;
            Log::instance() << u"SHSendBackToFocusWindow\n";
            SHNavigateBack();
        }
        return;
    }
    const bool esc = form->on_keydown(Key::Esc);
    const bool backspace = form->on_keydown(Key::Backspace);
    if (!esc && !backspace && !form->get_parent_form()) {
        Log::instance() << u"want_to_go_back = true\n";
        want_to_go_back_ = true;
    }
}

}  // namespace skinner
