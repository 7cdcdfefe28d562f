#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/LanguageTable.h"

using skinner::get_user_language_name;
using skinner::language_name_of;

TEST(LanguageTable, NamesAndCodesByPrimaryLanguage) {
    struct Case {
        LANGID id;
        std::u16string name;
        std::u16string code;
    };
    const Case cases[] = {
        {0x0409, u"ENGLISH", u"EN"},  {0x0807, u"GERMAN", u"DE"},   {0x0426, u"LATVIAN", u""},
        {0x0445, u"BENGALI", u""},    {0x0423, u"BYELORUSSIAN", u"BE"}, {0x0461, u"NEPALI", u"NE"},
        {0x0417, u"", u""},           {0x0062, u"", u""},           {0x03FF, u"", u""},
        {0x0000, u"", u""},           {0x0430, u"", u""},
    };
    for (const Case& c : cases) {
        std::u16string code = u"stale";
        EXPECT_EQ(language_name_of(c.id, &code), c.name) << std::hex << c.id;
        EXPECT_EQ(code, c.code) << std::hex << c.id;
    }
    EXPECT_EQ(language_name_of(0x0410), u"ITALIAN");
}

TEST(LanguageTable, UserLanguageComesFromTheLocale) {
    const char* saved = std::getenv("LC_ALL");
    std::string old = saved ? saved : "";
    setenv("LC_ALL", "de_CH.UTF-8", 1);
    std::u16string code;
    EXPECT_EQ(get_user_language_name(&code), u"GERMAN");
    EXPECT_EQ(code, u"DE");
    if (saved) {
        setenv("LC_ALL", old.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}
