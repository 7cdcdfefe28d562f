#pragma once
// The older build's languages: a language is loaded by a name that may also be a path, the menu
// lists every installed language (one file is enough) and issues "Language_" + its name.
#include <string>

namespace skinner {

class MenuItem;
class Properties;

constexpr const char16_t* legacy_language_prefix = u"Language_";
constexpr const char16_t* legacy_default_language = u"English";
constexpr const char16_t* legacy_fallback_language_file = u"%app_path%/English.lng";

// The file named, when it exists; else "%app_path%/" + name + ".lng", when that exists; else
// "%app_path%/English.lng". A file that does not load keeps the old strings.
void load_language_by_name(Properties& properties, const std::u16string& name);

// Appends the Language submenu with the given caption, one entry per installed "*.lng" file
// sorted by title; the entry whose title equals current exactly is checked. No files, no submenu.
void build_legacy_language_menu(MenuItem& menu, const std::u16string& caption, const std::u16string& current);

// The language a "Language_" command names; false for any other command.
bool legacy_language_of(const std::u16string& command, std::u16string& name);

}  // namespace skinner
