// The skin image loads every listed picture and font, and hands out pictures with the
// rectangles of their property nodes, scaled.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fixtures/DeviceRoot.h"
#include "ui/skin/Properties.h"

using namespace skinner;

namespace {

// The main skin as built, copied into a device root at \skins\default.
class SkinPictures : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "bin/skins/default";
        std::filesystem::create_directories(root.host("skins/default"));
        for (const auto& entry : std::filesystem::directory_iterator(built))
            std::filesystem::copy_file(entry.path(), root.host("skins/default/" + entry.path().filename().string()));
    }
    fixtures::DeviceRoot root;
};

}  // namespace

TEST_F(SkinPictures, LoadsEveryPictureAndFontAtTheSkinScale) {
    for (int scale : {1, 2}) {
        const Point screen = scale == 1 ? Point(240, 320) : Point(480, 640);
        Properties p(u"\\skins\\default\\default.skin", screen, {screen.x, screen.y - 52 * scale});
        ASSERT_TRUE(p.is_loaded()) << scale;
        ASSERT_TRUE(p.check_version(u"Vantrel_1.1", screen));
        EXPECT_EQ(p.impl().image().scale(), scale);
        ASSERT_EQ(p.impl().pictures().size(), 14u);
        for (const Picture& picture : p.impl().pictures()) EXPECT_TRUE(picture.is_loaded());
        EXPECT_EQ(p.impl().fonts().size(), 5u);
        for (const Font& font : p.impl().fonts()) EXPECT_NE(font.rep(), nullptr);

        const Picture frame = p.get_picture(u"FormMain", u"pbPosition", u"Right", Picture());
        EXPECT_EQ(frame.origin(), Point(0, 0));
        EXPECT_EQ(frame.border_min(), Point(7 * scale, 7 * scale));
        EXPECT_EQ(frame.border_max(), Point(17 * scale, 17 * scale));
        EXPECT_EQ(frame.end(), Point(24 * scale, 24 * scale));
        EXPECT_TRUE(frame.stretches());
        ASSERT_NE(frame.rep(), nullptr);
        EXPECT_EQ(frame.rep()->width, 44 * scale);  // position.bmp, or position_x2.bmp at scale 2

        const Picture background = p.get_form_picture(u"FormMain", u"Background", Picture());
        EXPECT_EQ(background.get_size(), Point(32 * scale, 64 * scale));
        EXPECT_EQ(p.get_picture(u"FormMain", u"pbPosition", u"Missing", Picture()).rep(), nullptr);
        EXPECT_NE(p.get_font(u"panelFile", u"lstFiles", u"ItemNormal", Font()).rep(), nullptr);
        EXPECT_EQ(p.get_font(u"panelFile", u"lstFiles", u"Missing", Font()).rep(), nullptr);
    }
}

TEST_F(SkinPictures, SkinWithAMissingPictureIsNotLoaded) {
    std::filesystem::remove(root.host("skins/default/signs.bmp"));
    std::filesystem::remove(root.host("skins/default/signs_x2.bmp"));
    Properties p(u"\\skins\\default\\default.skin", {240, 320}, {240, 268});
    EXPECT_FALSE(p.is_loaded());
    EXPECT_FALSE(p.check_version(u"Vantrel_1.1", {240, 320}));
}
