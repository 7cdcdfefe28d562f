#include "ui/MenuManagerImplPocket.h"

namespace skinner {

std::vector<int32_t>& soft_key_bar_ids() {
    static std::vector<int32_t> ids{1117, 1118, 1119, 1120, 1121};
    return ids;
}

std::vector<int32_t>& tool_bar_ids() {
    static std::vector<int32_t> ids{117, 118, 119, 120, 121};
    return ids;
}

MenuManagerImplPocket::MenuManagerImplPocket(bool soft_key_mode) : soft_key_mode_(soft_key_mode) {}

MenuManagerImplPocket::~MenuManagerImplPocket() = default;

void MenuManagerImplPocket::on_menu_command(Form*, WPARAM, LPARAM) {}
void MenuManagerImplPocket::on_init_menu_popup(Form*, WPARAM, LPARAM) {}
void MenuManagerImplPocket::on_hotkey(Form*, WPARAM, LPARAM) {}
void MenuManagerImplPocket::invalidate(Form*) { invalidated_ = true; }
void MenuManagerImplPocket::rebuild(Form*) {}
void MenuManagerImplPocket::set_visible(Form*, bool) {}
void MenuManagerImplPocket::build(Form*) {}

}  // namespace skinner
