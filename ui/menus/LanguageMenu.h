#pragma once
// The Language submenu: one entry per installed "*.lng" file, the one in use checked; choosing
// one issues "Language#" + its name (see on_language_command).
#include <string>
#include <vector>

namespace skinner {

class MenuItem;
class Properties;

// Appends the submenu to the menu when more than one language is installed.
void build_language_menu(Properties& properties, MenuItem& menu);

// The paths of the "*.lng" files in the program folder, in the order the search returns them.
std::vector<std::u16string> installed_language_files();

}  // namespace skinner
