#include "ui/skin/LanguageChoice.h"

#include "base/FileSystem.h"
#include "base/LanguageTable.h"
#include "base/Registry.h"
#include "ui/skin/Properties.h"

namespace skinner {

namespace {

std::u16string settings_key(const std::u16string& title) { return u"HKEY_CURRENT_USER\\Software\\ZEPH\\" + title; }

std::u16string language_path(const std::u16string& name) { return u"%app_path%/" + name + u".lng"; }

// Tries the files of the search in the order they come until one loads.
class FirstLanguageThatLoads : public FileVisitor {
public:
    explicit FirstLanguageThatLoads(Properties& properties) : properties_(properties) {}
    bool on_file(const std::u16string& path) override {
        loaded = properties_.load_strings(path);
        return !loaded;
    }
    bool on_directory(const std::u16string&) override { return true; }
    bool loaded = false;

private:
    Properties& properties_;
};

}  // namespace

bool select_language(Properties& properties, const std::u16string& title) {
    std::u16string name;
    registry_read_string(settings_key(title), u"Language", name);
    if (properties.load_strings(language_path(name))) return true;
    if (properties.load_strings(language_path(get_user_language_name()))) return true;
    if (properties.load_strings(language_path(u"english"))) return true;
    FirstLanguageThatLoads visitor(properties);
    find_files(visitor, u"%app_path%", u"*.lng", u"do_not_search", false);
    return visitor.loaded;
}

bool on_language_command(Properties& properties, const std::u16string& title, const std::u16string& command) {
    const std::u16string prefix = u"Language#";
    if (command.compare(0, prefix.size(), prefix) != 0) return false;
    const std::u16string name = command.substr(prefix.size());
    const std::u16string path = language_path(name);
    if (path == properties.get_strings_path()) return false;
    if (!properties.load_strings(path)) return false;
    registry_write_string(settings_key(title), u"Language", name);
    return true;
}

}  // namespace skinner
