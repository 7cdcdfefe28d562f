#pragma once
// The registry store's file as text: ASCII lines of "[key path]" and of "name"=dword: or =sz:
// values; every character outside printable ASCII, and the characters that delimit the fields,
// written as %uXXXX. Lines it cannot read are kept as they are, in their places: they may be
// another program's.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Types.h"
#include "platform/registry/Registry.h"

namespace platform::registry_text {

inline constexpr const char16_t* root_names[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER", u"HKEY_LOCAL_MACHINE",
                                                 u"HKEY_USERS"};

// Key paths and value names compare through their folded (lower-case) text.
std::u16string fold(std::u16string_view text);

struct Value {
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::u16string path;                   // as first written, e.g. HKEY_CURRENT_USER\Software
    std::map<std::u16string, Value> values;  // by folded name
};

using Keys = std::map<std::u16string, Key>;  // by folded path

// memcpy, but an empty copy may have null pointers (an empty vector's data).
void copy_bytes(void* to, const void* from, size_t count);

// Splits a key path at '\'; empty components are refused.
std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path);

// Adds the key and every key above it.
Key& add_key(Keys& keys, const std::vector<std::u16string>& parts);

// One line of the store file as it was read.
struct Line {
    enum Kind { verbatim, key_line, value_line };
    Kind kind = verbatim;
    std::string text;       // as read, without its '\n'
    std::u16string key;     // folded path: of the key line, or of the key that holds the value
    std::u16string value;   // folded name of a value line's value
    std::string canonical;  // a value line: the value as it was read, written out again
};

// The store: its keys, and the file's lines in their order.
struct Document {
    Keys keys;
    std::vector<Line> lines;
    int problems = 0;
};

// The lines as they were, each value line as its value is now (unchanged lines keep their
// bytes, removed values drop out), the values new to a key at the end of its first section,
// and new keys at the end.
std::string serialise(const Document& doc);

// Bad lines are reported (when told to) and kept as they are; values under a bad key line are
// kept with it.
Document parse(const std::string& text, const std::string& file, bool report);

}  // namespace platform::registry_text
