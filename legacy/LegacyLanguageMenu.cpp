#include "legacy/LegacyLanguageMenu.h"

#include <algorithm>
#include <vector>

#include "base/FileSystem.h"
#include "base/Path.h"
#include "ui/menus/LanguageMenu.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

// A folder of that name is no language file: the search goes on to the next candidate.
bool is_file(const std::u16string& path) {
    const FileInfo info(path);
    return info.exists() && (info.attributes & 0x10) == 0;
}

}  // namespace

void load_language_by_name(Properties& properties, const std::u16string& name) {
    std::u16string path = legacy_fallback_language_file;
    if (!name.empty() && is_file(name)) {
        path = name;
    } else if (const std::u16string beside = u"%app_path%/" + name + u".lng"; is_file(beside)) {
        path = beside;
    }
    properties.load_strings(path);
}

void build_legacy_language_menu(MenuItem& menu, const std::u16string& caption, const std::u16string& current) {
    std::vector<std::u16string> titles;
    for (const std::u16string& path : installed_language_files()) titles.push_back(get_file_title(path));
    if (titles.empty()) return;
    std::stable_sort(titles.begin(), titles.end());

    MenuItem languages(u"Language", caption);
    for (const std::u16string& title : titles) {
        MenuItem entry(legacy_language_prefix + title, title);
        entry.checked = title == current;
        languages.children.push_back(entry);
    }
    menu.children.push_back(languages);
}

bool legacy_language_of(const std::u16string& command, std::u16string& name) {
    const std::u16string prefix = legacy_language_prefix;
    if (command.compare(0, prefix.size(), prefix) != 0) return false;
    name = command.substr(prefix.size());
    return true;
}

}  // namespace skinner
