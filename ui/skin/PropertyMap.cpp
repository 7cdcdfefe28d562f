#include "ui/skin/PropertyMap.h"

#include "base/File.h"
#include "base/TextFile.h"

namespace skinner {

PropertyMap::PropertyMap(const std::u16string& path) : path_(path) { load(path); }

bool PropertyMap::load(const std::u16string& path) {
    File file(path, File::read_existing);
    if (!file.is_open()) return false;
    parse_key_values(read_text_file_wide(file, 0x7FFFFFFF), map_);
    return true;
}

bool PropertyMap::reload(const std::u16string& path) {
    PropertyMap fresh;
    if (!fresh.load(path)) return false;
    path_ = path;
    map_.swap(fresh.map_);
    return true;
}

const std::u16string& PropertyMap::get(const std::u16string& key, const std::u16string& default_value) const {
    auto it = map_.find(key);
    return it == map_.end() ? default_value : it->second;
}

bool PropertyMap::get(const std::u16string& key, std::u16string& out) const {
    auto it = map_.find(key);
    if (it == map_.end()) return false;
    out = it->second;
    return true;
}

}  // namespace skinner
