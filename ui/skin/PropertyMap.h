#pragma once
// A map of key=value entries read from a text file: the language strings and the settings.
#include <string>

#include "ui/skin/KeyValueText.h"

namespace skinner {

class PropertyMap {
public:
    PropertyMap() = default;
    // Stores the path and reads the file into the map; a file that cannot be opened leaves it empty.
    explicit PropertyMap(const std::u16string& path);
    virtual ~PropertyMap() = default;

    // Adds the entries of the file to the map; false when the file cannot be opened.
    bool load(const std::u16string& path);
    // Replaces the whole map by the file's entries; on failure nothing changes.
    bool reload(const std::u16string& path);

    // The stored value, or the default itself.
    const std::u16string& get(const std::u16string& key, const std::u16string& default_value) const;
    bool get(const std::u16string& key, std::u16string& out) const;

    // The path last loaded by the constructor or reload, as given (macros unexpanded).
    const std::u16string& path() const { return path_; }
    const KeyValueMap& entries() const { return map_; }

private:
    KeyValueMap map_;
    std::u16string path_;
};

}  // namespace skinner
