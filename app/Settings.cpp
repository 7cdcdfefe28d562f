#include "app/Settings.h"

#include "app/FormMain.h"
#include "app/ProgramVariant.h"

namespace app {

void load_settings(FormMain& form, const std::u16string& path) {
    SettingsFile settings(path);
    const std::u16string folder = settings.read(settings_key_current_folder, u"");
    const std::u16string selected = settings.read(settings_key_selected_path, u"");
    form.open_folder(folder);
    form.file_list().select_path(selected);
    program_variant().load_settings(form, settings);
}

void save_settings(FormMain& form, const std::u16string& path) {
    SettingsFile settings(path);
    settings.write(settings_key_current_folder, form.file_list().get_folder());
    settings.write(settings_key_selected_path, form.file_list().get_selected_path());
    program_variant().save_settings(form, settings);
}

}  // namespace app
