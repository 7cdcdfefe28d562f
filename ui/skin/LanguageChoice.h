#pragma once
// Which language file the program loads: the start-up choice and the "Language#" command.
#include <string>

namespace skinner {

class Properties;

// The start-up choice, first file that loads: the registry's "Language" value under
// "HKEY_CURRENT_USER\Software\ZEPH\" + title, the user's own language, "english", then every
// "*.lng" file of the program folder. Returns whether some language loaded.
bool select_language(Properties& properties, const std::u16string& title);

// "Language#" + name switches to "%app_path%/" + name + ".lng" and remembers the name in the
// registry; true when the language changed.
bool on_language_command(Properties& properties, const std::u16string& title, const std::u16string& command);

}  // namespace skinner
