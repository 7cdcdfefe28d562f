#include "app/ProgramVariant.h"

#include "app/FormAbout.h"
#include "app/FormMain.h"
#include "ui/skin/LanguageChoice.h"
#include "ui/menus/LanguageMenu.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace app {

namespace {

std::unique_ptr<ProgramVariant>& installed_variant() {
    static std::unique_ptr<ProgramVariant> variant;
    return variant;
}

}  // namespace

void ProgramVariant::load_start_language(skinner::Properties& properties) {
    skinner::select_language(properties, language_title);
}

void ProgramVariant::load_dialogs_language(skinner::Properties& properties) {
    skinner::select_language(properties, language_title);
}

void ProgramVariant::create_main_menu(FormMain& form, skinner::MenuItem& menu) {
    skinner::Properties& p = *form.get_properties();
    skinner::build_language_menu(p, menu);
    menu.mark_last_child();
    append_help_about_exit(menu, p, {u"Help", u"About", u"Exit"});
}

bool ProgramVariant::on_language_command(FormMain& form, const std::u16string& command) {
    return skinner::on_language_command(*form.get_properties(), language_title, command);
}

void ProgramVariant::load_settings(FormMain&, SettingsFile&) {}

void ProgramVariant::save_settings(FormMain&, SettingsFile&) {}

std::u16string ProgramVariant::about_title() { return app::about_title; }

void install_program_variant(std::unique_ptr<ProgramVariant> variant) { installed_variant() = std::move(variant); }

ProgramVariant& program_variant() {
    static ProgramVariant current;
    ProgramVariant* variant = installed_variant().get();
    return variant ? *variant : current;
}

void append_help_about_exit(skinner::MenuItem& menu, skinner::Properties& properties, const char16_t* const (&keys)[3]) {
    const char16_t* const commands[3] = {u"Help", u"About", u"Exit"};
    for (int i = 0; i < 3; ++i) menu.children.push_back(skinner::MenuItem(commands[i], properties.get_string(keys[i])));
}

}  // namespace app
