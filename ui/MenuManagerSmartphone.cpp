#include "ui/MenuManagerSmartphone.h"

namespace skinner {

MenuManagerSmartphone::~MenuManagerSmartphone() = default;

void MenuManagerSmartphone::on_menu_command(Form*, WPARAM, LPARAM) {}
void MenuManagerSmartphone::on_init_menu_popup(Form*, WPARAM, LPARAM) {}
void MenuManagerSmartphone::on_hotkey(Form*, WPARAM, LPARAM) {}
void MenuManagerSmartphone::invalidate(Form*) { invalidated_ = true; }
void MenuManagerSmartphone::rebuild(Form*) {}
void MenuManagerSmartphone::set_visible(Form*, bool) {}
void MenuManagerSmartphone::build(Form*) {}

}  // namespace skinner
