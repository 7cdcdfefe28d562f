#include "legacy/LegacyBuild.h"

#include "app/FormMain.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "base/Log.h"
#include "base/Path.h"
#include "legacy/ArchiveSkinLoader.h"
#include "ui/menus/MenuItem.h"
#include "ui/graphics/Picture.h"
#include "ui/skin/Properties.h"
#include "ui/skin/SkinImageLoader.h"

namespace skinner {

std::u16string LegacyFrameworkVariant::window_caption(const std::u16string& app_name, Properties*,
                                                      const std::u16string&) {
    return app_name;
}

std::u16string LegacyFrameworkVariant::dialog_class() { return u"#32770"; }

std::u16string LegacyFrameworkVariant::picture_failure_text(const Picture& picture) {
    // An archive's picture is keyed by its name and the archive; a picture file by its path.
    std::u16string name = picture.get_name();
    std::u16string base_path = picture.get_path();
    if (name.empty() && !base_path.empty()) {
        name = get_file_name(base_path);
        base_path = get_directory(base_path);
    }
    return u"name=" + name + u"\nbase_path=" + base_path + picture_scale_text(picture);
}

}  // namespace skinner

namespace app {

void LegacyProgramVariant::load_start_language(skinner::Properties& properties) {
    properties.load_strings(skinner::legacy_fallback_language_file);
}

void LegacyProgramVariant::load_dialogs_language(skinner::Properties& properties) {
    skinner::load_language_by_name(properties, language_);
}

void LegacyProgramVariant::create_main_menu(FormMain& form, skinner::MenuItem& menu) {
    skinner::Properties& p = *form.get_properties();
    skinner::build_legacy_language_menu(menu, p.get_string(u"Menu_Language"), language_);
    menu.mark_last_child();
    append_help_about_exit(menu, p, {u"Menu_Help", u"Menu_About", u"Menu_Exit"});
}

bool LegacyProgramVariant::on_language_command(FormMain& form, const std::u16string& command) {
    std::u16string name;
    if (!skinner::legacy_language_of(command, name)) return false;
    language_ = name;
    skinner::load_language_by_name(*form.get_properties(), language_);
    app::save_settings(form, settings_path_);
    return true;
}

void LegacyProgramVariant::load_settings(FormMain& form, SettingsFile& settings) {
    settings_path_ = settings.path();
    language_ = settings.read(settings_key_language, skinner::legacy_default_language);
    skinner::load_language_by_name(*form.get_properties(), language_);
}

void LegacyProgramVariant::save_settings(FormMain&, SettingsFile& settings) {
    settings.write(settings_key_language, language_);
}

std::u16string LegacyProgramVariant::about_title() { return legacy_about_title; }

void install_legacy_build() {
    skinner::set_log_name_time_stamped(false);
    skinner::install_archive_skin_loader();
    skinner::install_framework_variant(std::make_unique<skinner::LegacyFrameworkVariant>());
    install_program_variant(std::make_unique<LegacyProgramVariant>());
}

void uninstall_legacy_build() {
    skinner::set_log_name_time_stamped(true);
    skinner::install_skin_image_loader(nullptr);
    skinner::install_framework_variant(nullptr);
    install_program_variant(nullptr);
}

}  // namespace app
