#include "ui/menus/MenuManagerImplPocket.h"

#include "base/Log.h"
#include "platform/gdi/Gdi.h"
#include "platform/menu/Menu.h"
#include "platform/menu/MenuBar.h"
#include "platform/resource/Resources.h"
#include "ui/application/Application.h"
#include "ui/forms/Form.h"
#include "ui/menus/MenuItem.h"
#include "ui/menus/PopupMenu.h"
#include "ui/menus/SoftKeys.h"

namespace skinner {

namespace {

constexpr int bitmap_16 = 115;
constexpr int bitmap_32 = 125;
constexpr int dpi_of_32_pixel_images = 192;
constexpr BYTE style_menu_with_text = TBSTYLE_DROPDOWN | BTNS_WHOLEDROPDOWN | TBSTYLE_AUTOSIZE;
constexpr BYTE style_menu_without_text = TBSTYLE_DROPDOWN | BTNS_WHOLEDROPDOWN;

HINSTANCE resource_instance() {
    Application* app = Application::instance();
    return app ? app->get_hinstance() : nullptr;
}

std::u16string without_ampersands(const std::u16string& text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c != u'&') out += c;
    }
    return out;
}

int screen_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

std::vector<int32_t>& soft_key_bar_ids() {
    static std::vector<int32_t> ids{1117, 1118, 1119, 1120, 1121};
    return ids;
}

std::vector<int32_t>& tool_bar_ids() {
    static std::vector<int32_t> ids{117, 118, 119, 120, 121};
    return ids;
}

MenuManagerImplPocket::MenuManagerImplPocket(bool soft_key_mode) : soft_key_mode_(soft_key_mode) {}

MenuManagerImplPocket::~MenuManagerImplPocket() {
    destroy_button_menus();
    if (bar_) DestroyWindow(bar_);
    if (tool_bar_id_ != -1) {
        (soft_key_mode_ ? soft_key_bar_ids() : tool_bar_ids()).push_back(tool_bar_id_);
        Log::instance() << u"~MenuManagerImplPocket() returning id" << int(tool_bar_id_) << u"\n";
    }
}

void MenuManagerImplPocket::build(Form* form) {
    if (bar_ || !IsWindowVisible(form->get_hwnd())) return;
    SHMENUBARINFO info;
    info.cbSize = device_menu_bar_info_size;
    info.hwndParent = form->get_hwnd();
    // A bar that could not be made keeps its identifier for the next try instead of taking
    // (and losing) another each time.
    if (tool_bar_id_ == -1) {
        std::vector<int32_t>& pool = soft_key_mode_ ? soft_key_bar_ids() : tool_bar_ids();
        if (pool.empty()) gluck(u"Add more tolbar ids to the resource file! :)", u"ControlMenuMainImpl");
        tool_bar_id_ = pool.back();
        pool.pop_back();
    }
    info.nToolBarId = static_cast<UINT>(tool_bar_id_);
    info.hInstRes = resource_instance();
    Log::instance() << u"MenuManagerImplPocket::build() creating " << int(tool_bar_id_) << u"\n";
    if (!SHCreateMenuBar(&info)) Log::instance() << "ERROR: SHCreateMenuBar failed\n";
    bar_ = info.hwndMB;
    if (soft_key_mode_) {
        Log::instance() << u"MenuManagerImplPocket::build() creating softbuttons\n";
        for (int id : {soft_key_left_id, soft_key_right_id}) {
            char16_t empty[1] = {};
            TBBUTTONINFO button;
            button.cbSize = device_button_info_size;
            button.dwMask = TBIF_TEXT | TBIF_STATE | TBIF_COMMAND;
            button.idCommand = id;
            button.fsState = TBSTATE_INDETERMINATE;
            button.pszText = empty;
            SendMessageW(bar_, TB_SETBUTTONINFO, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&button));
        }
    } else {
        Log::instance() << u"MenuManagerImplPocket::build() loading bitmaps\n";
        load_images();
        clear_buttons();
    }
}

void MenuManagerImplPocket::load_images() {
    const HINSTANCE instance = resource_instance();
    int bitmap_id = bitmap_32;
    int size = 32;
    HBITMAP bitmap = screen_dpi() == dpi_of_32_pixel_images ? LoadBitmapW(instance, MAKEINTRESOURCEW(bitmap_32)) : nullptr;
    if (!bitmap) {
        bitmap_id = bitmap_16;
        size = 16;
        bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmap_16));
        if (!bitmap) Log::instance() << "ERROR: LoadBitmap failed\n";
    }
    BITMAP info;
    if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) {
        image_count_ = info.bmWidth / size;
        first_image_ = CommandBar_AddBitmap(bar_, instance, bitmap_id, image_count_, size, size);
        // A strip the bar refused has no images to offer.
        if (first_image_ < 0) image_count_ = 0;
    } else {
        Log::instance() << "ERROR: Toolbar image failed to load\n";
    }
    if (bitmap) DeleteObject(bitmap);
}

void MenuManagerImplPocket::compose(Form* form) {
    clear_buttons();
    int index = 0;
    if (soft_key_mode_) {
        MenuItem left(u"#FakeId#", u"");
        MenuItem right(u"#FakeId#", u"");
        compose_left_soft_key(form, left);
        compose_right_soft_key(form, right);
        add_button(left, !left.empty(), false, index);
        add_button(right, !right.empty(), false, index);
    } else {
        const std::vector<SoftButton*> buttons = form->get_soft_buttons();
        for (size_t i = 0; i < buttons.size(); ++i) {
            MenuItem record(u"", u"");
            buttons[i]->fill_menu_item(record);
            add_button(record, buttons[i]->opens_menu(), i + 1 == buttons.size(), index);
        }
    }
    fixed_count_ = commands_.size();
}

void MenuManagerImplPocket::destroy_button_menus() {
    for (HMENU menu : button_menus_) DestroyMenu(menu);
    button_menus_.clear();
}

void MenuManagerImplPocket::clear_buttons() {
    const LRESULT count = SendMessageW(bar_, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) SendMessageW(bar_, TB_DELETEBUTTON, 0, 0);
    // The drop-downs went with their buttons.
    destroy_button_menus();
    commands_.assign(first_command_id, std::u16string());
    targets_.assign(first_command_id, nullptr);
}

void MenuManagerImplPocket::add_button(const MenuItem& record, bool has_menu, bool last, int& index) {
    Log::instance() << u"wince_bug_resource_id=" << int(record.wince_bug_resource_id) << u" text=" << record.text << u" id="
                    << record.command << u"\n";
    TBBUTTON button;
    button.iBitmap = I_IMAGENONE;
    const int32_t image = record.wince_bug_resource_id;
    if (image >= 0 && first_image_ >= 0) {
        if (image < image_count_) {
            Log::instance() << "Using bitmap with wince_bug_resource_id=" << int(image) << "\n";
            button.iBitmap = first_image_ + image;
        } else {
            Log::instance() << "ERROR: invalid toolbar image requested. wince_bug_resource_id=" << int(image) << "\n";
        }
    }
    button.fsState = record.enabled ? TBSTATE_ENABLED : 0;
    const std::u16string text = without_ampersands(record.text);
    button.idCommand = static_cast<int>(commands_.size());
    commands_.push_back(record.command);
    targets_.push_back(record.target);
    if (has_menu) {
        HMENU menu = CreatePopupMenu();
        button_menus_.push_back(menu);
        button.dwData = reinterpret_cast<uintptr_t>(menu);
        button.fsStyle = text.empty() ? style_menu_without_text : style_menu_with_text;
    } else {
        button.fsStyle = text.empty() ? TBSTYLE_BUTTON : TBSTYLE_AUTOSIZE;
    }
    button.iString = text.empty() ? 0 : reinterpret_cast<intptr_t>(text.c_str());
    SendMessageW(bar_, TB_INSERTBUTTON, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&button));
    if (record.separator_after && !last) {
        TBBUTTON separator;
        separator.iBitmap = I_IMAGENONE;
        separator.fsStyle = TBSTYLE_SEP;
        SendMessageW(bar_, TB_INSERTBUTTON, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&separator));
    }
}

void MenuManagerImplPocket::on_init_menu_popup(Form* form, WPARAM wParam, LPARAM lParam) {
    const size_t id = static_cast<size_t>(lParam & 0xFFFF);
    if (id < first_command_id || id >= fixed_count_) return;
    commands_.resize(fixed_count_);
    targets_.resize(fixed_count_);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    while (DeleteMenu(menu, 0, MF_BYPOSITION)) {
    }
    MenuItem record(u"#FakeId#", u"");
    if (soft_key_mode_) {
        if (id == first_command_id) {
            compose_left_soft_key(form, record);
        } else {
            compose_right_soft_key(form, record);
        }
    } else {
        // The list may have changed since the bar was composed: a button that is gone opens nothing.
        const std::vector<SoftButton*>& buttons = form->get_soft_buttons();
        const size_t position = id - first_command_id;
        if (position >= buttons.size()) return;
        buttons[position]->fill_menu_item(record);
        fill_toolbar_popup(form, record);
    }
    fill_popup_menu(menu, record.children, commands_, &targets_);
}

void MenuManagerImplPocket::on_menu_command(Form*, WPARAM wParam, LPARAM) {
    const size_t id = static_cast<size_t>(wParam & 0xFFFF);
    if (id < first_command_id || id >= commands_.size() || !targets_[id]) return;
    // A copy: the command may rebuild the bar.
    const std::u16string command = commands_[id];
    targets_[id]->on_command(command);
}

void MenuManagerImplPocket::on_hotkey(Form*, WPARAM, LPARAM) {}

void MenuManagerImplPocket::set_visible(Form*, bool visible) {
    Log::instance() << u"@@@4_1 " << visible << u"\n";
    if (visible) {
        invalidated_ = true;
        Log::instance() << u"@@@4_2\n";
    }
    if (bar_) {
        Log::instance() << u"@@@4_3\n";
        Log::instance() << u"MenuManagerImplPocket::set_visible=" << visible << u"\n";
        ShowWindow(bar_, visible ? SW_SHOW : SW_HIDE);
    }
}

}  // namespace skinner
