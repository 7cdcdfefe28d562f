#include "ui/skin/Properties.h"

#include <gtest/gtest.h>

#include "base/Log.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/SkinCompiler.h"

using namespace skinner;

namespace {

const char* kSkin = R"({
  "identifier": "Vantrel_1.1", "screens": [[240, 320]],
  "kinds": {"kindPart": {"Width": 5}},
  "forms": {"F": {"properties": {"Size": [100, 100], "Count": 3},
                  "controls": {"c": {"Text": "Hello_key", "Plain": "Not a key", "Width": 7, "Spot": [3, -4],
                                     "Ink": {"color": "#01020304"}, "Cursor": "HAND", "Odd": "hand"}},
                  "auto": [["c", "Auto.Frame"]]}}
})";

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(fixtures::compile_skin(fixtures::skinc_path(VANTREL_TEST_BINARY_DIR), root.path(), "t", kSkin, "", &messages), 0)
            << messages;
        fixtures::write_file(root.host("english.lng"), "Hello_key=Hello\nTitle=Vantrel\n");
        fixtures::write_file(root.host("german.lng"), "Hello_key=Hallo\n");
    }
    fixtures::DeviceRoot root;
};

}  // namespace

TEST_F(PropertiesTest, LoadsChecksAndScalesTheSkin) {
    Properties p(u"\\t.skin", {480, 640}, {480, 536});
    ASSERT_TRUE(p.is_loaded());
    EXPECT_TRUE(p.check_version(u"Vantrel_1.1", {480, 640}));
    EXPECT_FALSE(p.check_version(u"Vantrel_1.0", {480, 640}));
    EXPECT_EQ(p.get_skin_path(), u"\\t.skin");
    EXPECT_EQ(p.get_scaled_int(u"F", u"c", u"Width", 1), 14);
    EXPECT_EQ(p.get_int(u"F", u"c", u"Width", 1), 7);
    EXPECT_EQ(p.get_scaled_int(u"F", u"c", u"Missing", 3), 3);  // defaults are not scaled
    EXPECT_EQ(p.get_point(u"F", u"c", u"Spot", {}), Point(6, -8));
    EXPECT_EQ(p.get_point(u"F", u"c", u"Missing", {3, 4}), Point(3, 4));
    EXPECT_EQ(p.get_color(u"F", u"c", u"Ink", {}), (Color{1, 2, 3, 4}));
    EXPECT_EQ(p.get_int(u"", u"kindPart", u"Width", 0), 5);
    EXPECT_EQ(p.get_form_int(u"F", u"Count", 0), 3);
    EXPECT_EQ(p.get_form_point(u"F", u"Size", {}), Point(200, 200));
    EXPECT_EQ(p.get_cursor(u"F", u"c", u"Cursor", Cursor()).handle(), Cursor::from_name(u"HAND").handle());
    EXPECT_FALSE(p.get_cursor(u"F", u"c", u"Cursor", Cursor()).is_empty());
    const Cursor arrow = Cursor::from_name(u"ARROW");
    EXPECT_EQ(p.get_cursor(u"F", u"c", u"Odd", arrow).handle(), arrow.handle());  // names are case-sensitive
    EXPECT_EQ(p.get_cursor(u"F", u"c", u"Missing", arrow).handle(), arrow.handle());
    EXPECT_EQ(p.get_auto_control_count(u"F"), 1u);
    EXPECT_EQ(p.get_auto_control(u"F", 0), (std::pair<std::u16string, std::u16string>(u"c", u"Auto.Frame")));
}

TEST_F(PropertiesTest, FilesThatAreNoSkinsStayUnloaded) {
    const std::string good = fixtures::read_file(root.host("t.skin"));
    fixtures::write_file(root.host("short.skin"), good.substr(0, 539));
    std::string broken = good;
    broken[72] = char(0xF1);  // forms root far outside the file
    broken[73] = char(0xFF);
    fixtures::write_file(root.host("broken.skin"), broken);
    for (const char16_t* path : {u"\\missing.skin", u"\\short.skin", u"\\broken.skin"}) {
        Properties p(path, {240, 320}, {240, 268});
        EXPECT_FALSE(p.is_loaded());
        EXPECT_FALSE(p.check_version(u"Vantrel_1.1", {240, 320}));
    }
}

TEST_F(PropertiesTest, StringPropertiesPassThroughTheLanguage) {
    Properties p(u"\\t.skin", {240, 320}, {240, 268});
    EXPECT_EQ(p.get_string_property(u"F", u"c", u"Text", u"x"), u"Hello_key");  // no language yet
    ASSERT_TRUE(p.load_strings(u"\\english.lng"));
    EXPECT_EQ(p.get_string_property(u"F", u"c", u"Text", u"x"), u"Hello");
    EXPECT_EQ(p.get_string_property(u"F", u"c", u"Plain", u"x"), u"Not a key");
    EXPECT_EQ(p.get_string_property(u"F", u"c", u"Missing", u"Hello_key"), u"Hello_key");  // defaults untranslated
    EXPECT_EQ(p.get_string(u"Title"), u"Vantrel");
    EXPECT_EQ(p.get_string(u"Nope"), u"Nope");
    EXPECT_EQ(p.get_string(u"Nope", u"dflt"), u"dflt");
    EXPECT_EQ(p.get_strings_path(), u"\\english.lng");
    // A failed load keeps the old strings; a new one replaces them whole.
    EXPECT_FALSE(p.load_strings(u"\\french.lng"));
    EXPECT_EQ(p.get_string(u"Title"), u"Vantrel");
    EXPECT_EQ(p.get_strings_path(), u"\\english.lng");
    ASSERT_TRUE(p.load_strings(u"\\german.lng"));
    EXPECT_EQ(p.get_string_property(u"F", u"c", u"Text", u"x"), u"Hallo");
    EXPECT_EQ(p.get_string(u"Title"), u"Title");
}

TEST_F(PropertiesTest, ReloadingTheSkinReplacesTheImage) {
    Properties p(u"\\t.skin", {240, 320}, {240, 268});
    EXPECT_EQ(p.get_scaled_int(u"F", u"c", u"Width", 0), 7);
    p.load_skin(u"\\t.skin", {480, 640}, {480, 536});
    EXPECT_EQ(p.get_scaled_int(u"F", u"c", u"Width", 0), 14);
}

TEST_F(PropertiesTest, MissingControlsKindsAndSkinsEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Properties p(u"\\t.skin", {240, 320}, {240, 268});
    EXPECT_EXIT(p.get_int(u"F", u"nope", u"Width", 0), ::testing::ExitedWithCode(gluck_exit_code), "");
    EXPECT_EXIT(p.get_int(u"", u"kindNope", u"Width", 0), ::testing::ExitedWithCode(gluck_exit_code), "");
    EXPECT_EXIT(p.get_form_int(u"Nope", u"Count", 0), ::testing::ExitedWithCode(gluck_exit_code), "");
    Properties none(u"\\missing.skin", {240, 320}, {240, 268});
    EXPECT_EXIT(none.get_int(u"F", u"c", u"Width", 0), ::testing::ExitedWithCode(gluck_exit_code), "");
    EXPECT_EQ(p.get_int(u"", u"", u"Width", 9), 9);  // nothing asked, nothing reported
}
