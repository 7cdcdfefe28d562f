#pragma once
// The Language submenu: one entry per installed "*.lng" file, the one in use checked; choosing
// one issues "Language#" + its name (see on_language_command).
namespace skinner {

class MenuItem;
class Properties;

// Appends the submenu to the menu when more than one language is installed.
void build_language_menu(Properties& properties, MenuItem& menu);

}  // namespace skinner
