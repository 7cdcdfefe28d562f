#include "app/Settings.h"

#include "app/FormMain.h"
#include "app/ProgramVariant.h"
#include "base/Path.h"

namespace app {

namespace {

// Where a first start opens: the root, where the device keeps My Documents among its folders;
// on a desktop, whose root is the whole host file system and whose documents folder lies deep
// inside it, that folder itself.
std::u16string first_folder() {
    const std::u16string documents = skinner::expand_path(u"%my_documents%");
    if (documents.empty() || skinner::get_parent_directory(documents) == u"\\") return u"";
    return documents;
}

}  // namespace

void load_settings(FormMain& form, const std::u16string& path) {
    SettingsFile settings(path);
    const std::u16string folder = settings.read(settings_key_current_folder, first_folder());
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
