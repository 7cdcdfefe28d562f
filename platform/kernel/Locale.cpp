#include "platform/kernel/Locale.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Language {
    const char* code;  // ISO 639-1, lower case
    WORD primary;
};

// Primary language identifiers of the platform's LANG_* numbering.
constexpr Language languages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"iw", 0x0D},
    {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"no", 0x14},
    {"nb", 0x14}, {"nn", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A},
    {"sr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"ur", 0x20},
    {"id", 0x21}, {"in", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26},
    {"lt", 0x27}, {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C}, {"eu", 0x2D}, {"mk", 0x2F},
    {"af", 0x36}, {"ka", 0x37}, {"fo", 0x38}, {"hi", 0x39}, {"ms", 0x3E}, {"kk", 0x3F}, {"sw", 0x41},
    {"uz", 0x43}, {"tt", 0x44}, {"bn", 0x45}, {"pa", 0x46}, {"gu", 0x47}, {"or", 0x48}, {"ta", 0x49},
    {"te", 0x4A}, {"kn", 0x4B}, {"ml", 0x4C}, {"as", 0x4D}, {"mr", 0x4E}, {"sa", 0x4F}, {"sd", 0x59},
    {"ks", 0x60}, {"ne", 0x61},
};

struct Region {
    const char* locale;  // language_TERRITORY
    WORD sublanguage;
};

// Sublanguages other than the default (1) for the territories that have one.
constexpr Region regions[] = {
    {"de_CH", 2}, {"de_AT", 3}, {"de_LU", 4}, {"de_LI", 5}, {"en_GB", 2}, {"en_AU", 3}, {"en_CA", 4},
    {"en_NZ", 5}, {"en_IE", 6}, {"en_ZA", 7}, {"fr_BE", 2}, {"fr_CA", 3}, {"fr_CH", 4}, {"fr_LU", 5},
    {"it_CH", 2}, {"nl_BE", 2}, {"pt_PT", 2}, {"sv_FI", 2}, {"es_MX", 2}, {"es_ES", 3}, {"zh_CN", 2},
    {"zh_HK", 3}, {"zh_SG", 4}, {"nn_NO", 2}, {"sr_RS", 3},
};

constexpr LANGID english_us = 0x0409;
constexpr LANGID neutral = 0x0400;

}  // namespace

namespace platform {

LANGID langid_of_locale(const char* locale) {
    if (!locale || !*locale || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0 ||
        std::strncmp(locale, "C.", 2) == 0) {
        return english_us;
    }
    // language[_TERRITORY][.codeset][@modifier]
    std::string name(locale, std::strcspn(locale, ".@"));
    std::string language = name.substr(0, name.find('_'));
    for (char& c : language) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    WORD primary = 0;
    for (const Language& l : languages) {
        if (language == l.code) {
            primary = l.primary;
            break;
        }
    }
    if (primary == 0) {
        return neutral;
    }
    WORD sublanguage = 1;
    for (const Region& r : regions) {
        if (name == r.locale) {
            sublanguage = r.sublanguage;
            break;
        }
    }
    return static_cast<LANGID>(primary | (sublanguage << 10));
}

}  // namespace platform

LANGID GetUserDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return platform::langid_of_locale(value);
        }
    }
    return english_us;
}
