#pragma once
// GetUserDefaultLangID: the user's language from the locale environment (LC_ALL, then
// LC_MESSAGES, then LANG), as a LANGID: primary language | sublanguage << 10.
#include "platform/Types.h"

// "C", "POSIX" or nothing set: English (United States), 0x0409. A language without a
// LANGID: LANG_NEUTRAL with SUBLANG_DEFAULT, 0x0400.
LANGID GetUserDefaultLangID();

namespace platform {

// The LANGID of one locale name such as "de_CH.UTF-8" (what GetUserDefaultLangID uses).
LANGID langid_of_locale(const char* locale);

}  // namespace platform
