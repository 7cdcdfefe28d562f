#include "ui/skin/LanguageChoice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/Registry.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/skin/Properties.h"

using namespace skinner;

namespace {

const std::u16string kTitle = u"ZEPH Vantrel";
const std::u16string kKey = u"HKEY_CURRENT_USER\\Software\\ZEPH\\ZEPH Vantrel";

// Language files go beside the test program, which is the program folder (%app_path%).
class LanguageChoice : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(v);
            saved_.push_back({v, value ? value : "", value != nullptr});
        }
        set_user_language("fr_FR.UTF-8");  // a language without a file unless a test makes one
    }
    void TearDown() override {
        for (const std::string& f : files_) std::filesystem::remove(f);
        for (const Saved& s : saved_) {
            if (s.set)
                setenv(s.name, s.value.c_str(), 1);
            else
                unsetenv(s.name);
        }
    }
    void language_file(const std::string& name, const std::string& text) {
        const std::string path = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/" + name;
        fixtures::write_file(path, text);
        files_.push_back(path);
    }
    static void set_user_language(const char* locale) {
        setenv("LC_ALL", locale, 1);
    }

    fixtures::DeviceRoot root;
    Properties properties{u"\\none.skin", {240, 320}, {240, 268}};

private:
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved_;
    std::vector<std::string> files_;
};

}  // namespace

TEST_F(LanguageChoice, RegistryChoiceComesFirst) {
    language_file("english.lng", "Who=english\n");
    language_file("german.lng", "Who=german\n");
    ASSERT_TRUE(registry_write_string(kKey, u"Language", u"german"));
    EXPECT_TRUE(select_language(properties, kTitle));
    EXPECT_EQ(properties.get_string(u"Who"), u"german");
    EXPECT_EQ(properties.get_strings_path(), u"%app_path%/german.lng");
}

TEST_F(LanguageChoice, ThenTheUsersLanguageThenEnglish) {
    language_file("english.lng", "Who=english\n");
    language_file("german.lng", "Who=german\n");
    ASSERT_TRUE(registry_write_string(kKey, u"Language", u"klingon"));  // no such file: next step
    set_user_language("de_DE.UTF-8");
    EXPECT_TRUE(select_language(properties, kTitle));
    EXPECT_EQ(properties.get_string(u"Who"), u"german");  // "GERMAN" finds german.lng
    set_user_language("fr_FR.UTF-8");
    EXPECT_TRUE(select_language(properties, kTitle));
    EXPECT_EQ(properties.get_string(u"Who"), u"english");
    std::u16string stored;
    EXPECT_TRUE(registry_read_string(kKey, u"Language", stored));
    EXPECT_EQ(stored, u"klingon");  // the choice writes nothing
}

TEST_F(LanguageChoice, ThenAnyLanguageFileAndOtherwiseNone) {
    EXPECT_FALSE(select_language(properties, kTitle));
    EXPECT_TRUE(properties.get_strings_path().empty());
    language_file("zulu.lng", "Who=zulu\n");
    EXPECT_TRUE(select_language(properties, kTitle));
    EXPECT_EQ(properties.get_string(u"Who"), u"zulu");
}

TEST_F(LanguageChoice, CommandSwitchesAndRemembersTheLanguage) {
    language_file("english.lng", "Who=english\n");
    language_file("german.lng", "Who=german\n");
    ASSERT_TRUE(select_language(properties, kTitle));
    EXPECT_FALSE(on_language_command(properties, kTitle, u"About"));
    EXPECT_FALSE(on_language_command(properties, kTitle, u"language#german"));  // case-sensitive prefix
    EXPECT_TRUE(on_language_command(properties, kTitle, u"Language#german"));
    EXPECT_EQ(properties.get_string(u"Who"), u"german");
    std::u16string stored;
    EXPECT_TRUE(registry_read_string(kKey, u"Language", stored));
    EXPECT_EQ(stored, u"german");
    // The language already loaded: nothing reloads, nothing is written.
    ASSERT_TRUE(registry_write_string(kKey, u"Language", u"marker"));
    EXPECT_FALSE(on_language_command(properties, kTitle, u"Language#german"));
    EXPECT_TRUE(registry_read_string(kKey, u"Language", stored));
    EXPECT_EQ(stored, u"marker");
    // A language whose file is missing keeps the strings and the registry as they were.
    EXPECT_FALSE(on_language_command(properties, kTitle, u"Language#klingon"));
    EXPECT_EQ(properties.get_string(u"Who"), u"german");
    EXPECT_TRUE(registry_read_string(kKey, u"Language", stored));
    EXPECT_EQ(stored, u"marker");
}
