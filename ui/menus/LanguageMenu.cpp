#include "ui/menus/LanguageMenu.h"

#include <algorithm>
#include <utility>

#include "base/FileSystem.h"
#include "base/Path.h"
#include "base/Strings.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

class LanguageFiles : public FileVisitor {
public:
    bool on_file(const std::u16string& path) override {
        paths.push_back(path);
        return true;
    }
    bool on_directory(const std::u16string&) override { return true; }
    std::vector<std::u16string> paths;
};

}  // namespace

std::vector<std::u16string> installed_language_files() {
    LanguageFiles files;
    find_files(files, u"%app_path%", u"*.lng", u"do_not_search", false);
    return std::move(files.paths);
}

void build_language_menu(Properties& properties, MenuItem& menu) {
    std::vector<std::u16string> paths = installed_language_files();
    if (paths.size() < 2) return;
    std::sort(paths.begin(), paths.end());

    MenuItem languages(u"Language", properties.get_string(u"Language"));
    const std::u16string current = to_upper(get_file_title(properties.get_strings_path()));
    for (const std::u16string& path : paths) {
        const std::u16string title = get_file_title(path);
        MenuItem entry(u"Language#" + title, title);
        entry.checked = to_upper(title) == current;
        languages.children.push_back(entry);
    }
    menu.children.push_back(languages);
}

}  // namespace skinner
