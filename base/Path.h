#pragma once
// Path macros, the program's own path, special folders and pure helpers on path text.
// '\' and '/' both separate; expansion turns every '/' into '\'.
#include <cstddef>
#include <string>
#include <string_view>

namespace skinner {

// A leading "%app_full_name%", "%app_path%", "%app_name%", "%my_documents%", "%windows%",
// "%startup%", "%programs%", "%start_menu%" or "%program_files%" (exact case) is replaced
// by its value; then every '/' becomes '\'.
std::u16string expand_path_macros(std::u16string_view path);
std::u16string expand_path(std::u16string_view path);

// The program file's full path; a fatal error when it does not fit 1024 characters.
std::u16string get_app_path();
// The path of a special folder by CSIDL; empty when the shell does not know it.
std::u16string get_special_folder(int csidl);

// Position of the last '.' when no separator follows it, else npos.
size_t find_extension_dot(std::u16string_view path);
// Up to and including the last separator; empty when there is none.
std::u16string get_directory(std::u16string_view path);
// After the last separator; the whole text when there is none.
std::u16string get_file_name(std::u16string_view path);
// After the extension dot; empty when there is none.
std::u16string get_extension(std::u16string_view path);
// Before the extension dot; the whole text when there is none.
std::u16string remove_extension(std::u16string_view path);
std::u16string get_file_title(std::u16string_view path);
// Without one final separator.
std::u16string remove_trailing_separator(std::u16string_view path);
// The folder above: \A\B\ gives \A\.
std::u16string get_parent_directory(std::u16string_view path);
// folder (without its trailing separator) + '\' + name; just the name for an empty folder.
std::u16string join_path(std::u16string_view folder, std::u16string_view name);
// Expanded, without trailing separator, lower-cased: the comparison key of a path.
std::u16string normalize_path(std::u16string_view path);
bool paths_equal(std::u16string_view a, std::u16string_view b);
// The path's first characters name the same folder as `folder` (as long as its text).
bool is_path_prefix(std::u16string_view folder, std::u16string_view path);
// The expanded path up to and including its first '\'; empty when there is none.
std::u16string get_path_root(std::u16string_view path);
// When text begins with prefix (exact case), rest gets what follows and the result is true.
bool split_prefix(std::u16string_view text, std::u16string_view prefix, std::u16string& rest);
// Each occurrence of what, left to right, replaced by with; the replacement and the text
// after it are searched again when with is no longer than what (so it always ends); a
// longer with is not searched again. An empty what leaves the text unchanged.
std::u16string replace_all(std::u16string_view text, std::u16string_view what, std::u16string_view with);

}  // namespace skinner
