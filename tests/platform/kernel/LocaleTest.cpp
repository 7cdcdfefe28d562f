#include "platform/kernel/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(Locale, LangIdOfLocaleNames) {
    struct Case {
        const char* locale;
        LANGID expected;
    } cases[] = {
        {"de_CH.UTF-8", 0x0807}, {"de_DE.UTF-8", 0x0407}, {"en_US.UTF-8", 0x0409}, {"en_GB", 0x0809},
        {"fr_CA.ISO-8859-1@euro", 0x0C0C}, {"lv_LV.UTF-8", 0x0426}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},
        {"ru", 0x0419}, {"C", 0x0409}, {"POSIX", 0x0409}, {"C.UTF-8", 0x0409}, {"", 0x0409},
        {"xx_YY", 0x0400}, {"DE_ch", 0x0407},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::langid_of_locale(c.locale), c.expected) << c.locale;
    }
}

// Restores the three locale variables however the test ends.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(names[i]);
            saved[i] = value ? value : "";
            had[i] = value != nullptr;
            unsetenv(names[i]);
        }
    }
    void TearDown() override {
        for (int i = 0; i < 3; ++i) {
            had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
        }
    }
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3] = {};
};

TEST_F(LocaleEnvironment, FirstSetVariableWinsInOrderLcAllLcMessagesLang) {
    EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x040C);
    setenv("LC_MESSAGES", "de_CH.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0807);
    setenv("LC_ALL", "it_IT", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0410);
    setenv("LC_ALL", "", 1);  // empty counts as unset
    EXPECT_EQ(GetUserDefaultLangID(), 0x0807);
}

}  // namespace
