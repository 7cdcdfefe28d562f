// The older build's languages: loaded by a name that may be a path, with "%app_path%/English.lng"
// as the fallback, and offered by a submenu that one installed file already shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "legacy/LegacyLanguageMenu.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/legacy/support/LegacyTesting.h"
#include "ui/menus/MenuItem.h"
#include "ui/skin/Properties.h"

using legacy_test::ProgramLanguageFile;
using legacy_test::render;
using skinner::MenuItem;

namespace {

std::string menu_after_build(const std::u16string& current) {
    MenuItem menu(u"Menu", u"Menu");
    menu.children.push_back(MenuItem(u"Help", u"Help"));
    skinner::build_legacy_language_menu(menu, u"Languages", current);
    return render(menu);
}

// The program folder lies outside every device root, where "%app_path%" finds it; tests
// without a root would see it at its host path instead, for the rest of the process.
class LegacyLanguageMenu : public ::testing::Test {
protected:
    fixtures::DeviceRoot root;
};

}  // namespace

TEST_F(LegacyLanguageMenu, ListsEveryInstalledLanguageAndChecksTheCurrentOneByItsExactName) {
    EXPECT_EQ(menu_after_build(u"English"), "Menu=Menu[Help=Help]");  // no language file: no submenu
    {
        const ProgramLanguageFile german("German.lng", "Select=Auswahl\n");
        EXPECT_EQ(menu_after_build(u"English"), "Menu=Menu[Help=Help,Languages=Language[German=Language_German]]");
    }
    const ProgramLanguageFile german("German.lng", "Select=Auswahl\n");
    const ProgramLanguageFile english("English.lng", "Select=Select\n");
    const ProgramLanguageFile french("french.lng", "Select=Choisir\n");
    const struct {
        const char16_t* current;
        const char* menu;
    } cases[] = {
        {u"English", "Menu=Menu[Help=Help,Languages=Language[English=Language_English*,German=Language_German,french=Language_french]]"},
        {u"french", "Menu=Menu[Help=Help,Languages=Language[English=Language_English,German=Language_German,french=Language_french*]]"},
        // Letter case counts: nothing is checked.
        {u"ENGLISH", "Menu=Menu[Help=Help,Languages=Language[English=Language_English,German=Language_German,french=Language_french]]"},
        {u"", "Menu=Menu[Help=Help,Languages=Language[English=Language_English,German=Language_German,french=Language_french]]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menu_after_build(c.current), c.menu) << std::string(c.current, c.current + std::char_traits<char16_t>::length(c.current));
    }
}

TEST_F(LegacyLanguageMenu, OnlyTheLanguageCommandNamesALanguage) {
    const struct {
        const char16_t* command;
        std::optional<std::u16string> name;
    } cases[] = {
        {u"Language_German", u"German"},
        {u"Language_", u""},
        {u"Language_\\Langs\\Custom.lng", u"\\Langs\\Custom.lng"},
        {u"Language#German", std::nullopt},
        {u"language_German", std::nullopt},
        {u"Language", std::nullopt},
        {u"About", std::nullopt},
    };
    for (const auto& c : cases) {
        std::u16string name = u"untouched";
        EXPECT_EQ(skinner::legacy_language_of(c.command, name), c.name.has_value());
        EXPECT_EQ(name, c.name.value_or(u"untouched"));
    }
}

TEST_F(LegacyLanguageMenu, ALanguageIsLoadedByPathThenByNameThenEnglish) {
    // A folder is no language file: the name is looked for beside the program instead.
    std::filesystem::create_directories(root.host("German"));
    fixtures::write_file(root.host("Langs/Custom.lng"), "Select=Custom\n");
    const ProgramLanguageFile english("English.lng", "Select=Select\n");
    const ProgramLanguageFile german("German.lng", "Select=Auswahl\n");
    const struct {
        const char16_t* name;
        const char16_t* select;
    } cases[] = {
        {u"\\Langs\\Custom.lng", u"Custom"},  // a full path
        {u"German", u"Auswahl"},              // beside the program, not the folder "\German"
        {u"german", u"Auswahl"},              // files are found whatever their case
        {u"Klingon", u"Select"},              // no such file: English
        {u"", u"Select"},
    };
    for (const auto& c : cases) {
        skinner::Properties properties(u"\\no.skin", {240, 320}, {240, 268});
        ASSERT_TRUE(properties.load_strings(u"%app_path%/German.lng"));
        skinner::load_language_by_name(properties, c.name);
        EXPECT_EQ(properties.get_string(u"Select"), c.select);
    }
}

TEST_F(LegacyLanguageMenu, WithoutEnglishTheOldStringsStay) {
    const ProgramLanguageFile german("German.lng", "Select=Auswahl\n");
    skinner::Properties properties(u"\\no.skin", {240, 320}, {240, 268});
    ASSERT_TRUE(properties.load_strings(u"%app_path%/German.lng"));
    skinner::load_language_by_name(properties, u"Klingon");
    EXPECT_EQ(properties.get_string(u"Select"), u"Auswahl");
}
