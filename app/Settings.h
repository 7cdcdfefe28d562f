#pragma once
// The main form's remembered place: the file list's folder and its selected entry, read back
// right after the form is built and written when it has closed. Without a stored folder the list
// shows the root, or on a desktop the user's documents folder.
#include <string>

#include "app/SettingsFile.h"

namespace app {

class FormMain;

void load_settings(FormMain& form, const std::u16string& path = settings_file_path);
void save_settings(FormMain& form, const std::u16string& path = settings_file_path);

}  // namespace app
