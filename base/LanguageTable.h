#pragma once
// The user's language as an upper-case English name ("ENGLISH", "GERMAN") and a two-letter
// code, from the primary language of GetUserDefaultLangID.
#include <string>

#include "platform/Types.h"

namespace skinner {

// The name of the user's language; empty when the table has none. code, when given,
// receives the two-letter code (empty for a language without one).
std::u16string get_user_language_name(std::u16string* code = nullptr);

// The same for a given language identifier (its low 10 bits pick the row).
std::u16string language_name_of(LANGID id, std::u16string* code = nullptr);

}  // namespace skinner
