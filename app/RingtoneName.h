#pragma once
// The ringtone's file name: the free name the save flow proposes, and the checks a name
// passes before the conversion, with the language keys of their reports.
#include <cstddef>
#include <string>
#include <string_view>

namespace app {

// Full paths of this many characters or more are refused by the name check.
constexpr size_t ringtone_path_limit = 255;

// join_path(expand_path(folder), title) + "_NNN." + extension for the first counter 001-999
// whose file does not exist (999 when they all do). Each character of the title that the name
// check refuses becomes "_", so that the proposal passes it. A title that would take the path to the
// limit is cut and ends in "~", so that the proposal is one character short of it.
std::u16string make_default_name(std::u16string_view folder, std::u16string_view title,
                                 std::u16string_view extension);

enum class NameCheck { Accepted, Empty_name, Too_long_name, Bad_name, Same_name, Replace_existing_file };

// The language key of the report or question ("" for Accepted).
const char16_t* name_check_key(NameCheck check);

// The file an accepted name is saved to: join_path(expand_path(folder), name + ".mp3").
std::u16string ringtone_target(std::u16string_view folder, std::u16string_view name);

// The save form's checks of a typed name, in order: Empty_name, Too_long_name (the target
// path at the limit or longer), Bad_name (any of : / \ > < + * ?); else Accepted.
NameCheck check_typed_name(std::u16string_view folder, std::u16string_view name);

// The checks after the save form has closed: Same_name when the target is the source file,
// Replace_existing_file when the target exists; else Accepted.
NameCheck check_target(std::u16string_view target, std::u16string_view source);

}  // namespace app
