#pragma once
// The key=value text of language and settings files: one entry per line, the key up to the first
// blank or '=', the value to the end of the line as it stands (no escapes, no comments).
#include <map>
#include <string>
#include <string_view>

namespace skinner {

using KeyValueMap = std::map<std::u16string, std::u16string>;

// Parses the whole text into the map, adding to what is there; a later key replaces an earlier one.
void parse_key_values(std::u16string_view text, KeyValueMap& map);

}  // namespace skinner
