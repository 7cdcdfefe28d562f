// The older build's skin load: the skin path may name an archive holding the skin image and its
// pictures; a plain skin file, and pictures the archive lacks, come from the files instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "legacy/ArchivePictures.h"
#include "legacy/ArchiveSkinLoader.h"
#include "legacy/SkinArchive.h"
#include "platform/gdi/Gdi.h"
#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/LoggedRun.h"
#include "tests/fixtures/SkinCompiler.h"
#include "tests/fixtures/TempDir.h"
#include "tests/legacy/support/SkinArchives.h"
#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/support/PictureFiles.h"
#include "ui/graphics/Painter.h"
#include "ui/skin/Properties.h"

using namespace skinner;
using legacy_test::pack;
using legacy_test::pixel_of;

namespace {

const char* kSkin = R"({
  "identifier": "Vantrel_1.1", "screens": [[240, 320]], "pictures": ["pic"],
  "forms": {"F": {"properties": {"Size": [100, 100], "Background": {"picture": {"file": "pic", "rect": [0, 0, 4, 2]}}}}}
})";

std::string plain_bmp(uint32_t color, int width = 4, int height = 2) {
    return ui_test::bmp_bytes(width, height, [color](int, int) { return color; });
}

class ArchiveSkins : public ::testing::Test {
protected:
    void SetUp() override {
        fixtures::TempDir work;
        fixtures::write_file(work.file("pic.bmp"), plain_bmp(0xFF0000));
        std::string messages;
        ASSERT_EQ(fixtures::compile_skin(fixtures::skinc_path(VANTREL_TEST_BINARY_DIR), work.path(), "t", kSkin, work.path(), &messages), 0)
            << messages;
        skin = fixtures::read_file(work.file("t.skin"));
        std::filesystem::create_directories(root.host("skins"));
        install_archive_skin_loader();
    }
    void TearDown() override { install_skin_image_loader(nullptr); }

    void write(const std::string& relative, const std::string& bytes) { fixtures::write_file(root.host(relative), bytes); }

    std::unique_ptr<Properties> load(Point screen = {240, 320}) {
        return std::make_unique<Properties>(u"\\skins\\t.skin", screen, Point{screen.x, screen.y - 52});
    }

    // The picture the skin lists, as the skin image holds it.
    static const PictureRep* listed(Properties& p) {
        return p.impl().pictures().size() == 1 ? p.impl().pictures()[0].rep() : nullptr;
    }

    fixtures::DeviceRoot root;
    std::string skin;
    const std::string red = plain_bmp(0xFF0000);
    const std::string blue = plain_bmp(0x0000FF);
};

}  // namespace

TEST_F(ArchiveSkins, APlainSkinFileTakesItsPicturesFromTheFilesBesideIt) {
    write("skins/t.skin", skin);
    const struct {
        const char* file;
        std::string bytes;
    } cases[] = {
        {"pic.bmp", red},
        {"pic.gif", legacy_test::converted(red, "gif")},
        {"pic.jpg", legacy_test::converted(red, "jpg")},
    };
    for (const auto& c : cases) {
        for (const char* other : {"skins/pic.bmp", "skins/pic.gif", "skins/pic.jpg"}) std::filesystem::remove(root.host(other));
        write(std::string("skins/") + c.file, c.bytes);
        std::unique_ptr<Properties> p = load();
        ASSERT_TRUE(p->is_loaded()) << c.file;
        EXPECT_TRUE(p->check_version(u"Vantrel_1.1", {240, 320})) << c.file;
        const PictureRep* rep = listed(*p);
        ASSERT_TRUE(rep && rep->image) << c.file;
        EXPECT_EQ(rep->width, 4) << c.file;
        const COLORREF color = pixel_of(rep->image, 1, 1);
        EXPECT_GT(GetRValue(color), 200) << c.file;
        EXPECT_LT(GetBValue(color), 60) << c.file;
    }
}

TEST_F(ArchiveSkins, TheSkinEntryIsFoundBehindAnotherEntryAndItsPicturesInside) {
    write("skins/t.skin", pack({{"readme.txt", "not the skin"}, {"T.Skin", skin}, {"Pic.BMP", blue}}));
    write("skins/pic.bmp", red);  // beside the archive, but the entry comes first
    std::unique_ptr<Properties> p = load();
    ASSERT_TRUE(p->is_loaded());
    EXPECT_TRUE(p->check_version(u"Vantrel_1.1", {240, 320}));
    const PictureRep* rep = listed(*p);
    ASSERT_TRUE(rep && rep->image);
    EXPECT_EQ(pixel_of(rep->image, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(p->get_form_picture(u"F", u"Background", Picture()).get_size(), Point(4, 2));
}

TEST_F(ArchiveSkins, ACompressedFirstEntryLeavesTheArchiveToBeReadAsAPlainSkin) {
    write("skins/t.skin", legacy_test::zip_archive({{"readme.txt", std::string(4000, 'a')}}, {{"t.skin", skin}, {"pic.bmp", blue}}));
    write("skins/pic.bmp", red);
    std::unique_ptr<Properties> p = load();
    EXPECT_FALSE(p->is_loaded());
    EXPECT_FALSE(p->check_version(u"Vantrel_1.1", {240, 320}));
}

TEST_F(ArchiveSkins, PicturesAreSearchedGifEntryBmpEntryThenFiles) {
    const std::string red_gif = legacy_test::converted(red, "gif");
    const struct {
        const char* what;
        legacy_test::Entries entries;
        bool loose_blue_bmp;
        COLORREF color;  // 0: no picture, and so no skin
    } cases[] = {
        {"the GIF entry wins over the BMP entry", {{"pic.bmp", blue}, {"pic.gif", red_gif}}, false, RGB(255, 0, 0)},
        {"the BMP entry wins over the file", {{"pic.bmp", red}}, true, RGB(255, 0, 0)},
        {"without entries, the file beside the archive", {}, true, RGB(0, 0, 255)},
        {"a BMP entry that cannot be read ends the search", {{"pic.bmp", "BM broken"}}, true, 0},
        {"a GIF entry that cannot be decoded ends the search", {{"pic.gif", "GIF89a broken"}, {"pic.bmp", red}}, true, 0},
        {"no picture anywhere", {}, false, 0},
    };
    fixtures::enable_log(root);
    for (const auto& c : cases) {
        legacy_test::Entries entries{{"t.skin", skin}};
        entries.insert(entries.end(), c.entries.begin(), c.entries.end());
        write("skins/t.skin", pack(entries));
        std::filesystem::remove(root.host("skins/pic.bmp"));
        if (c.loose_blue_bmp) write("skins/pic.bmp", blue);
        std::unique_ptr<Properties> p = load();
        EXPECT_EQ(p->is_loaded(), c.color != 0) << c.what;
        const PictureRep* rep = listed(*p);
        ASSERT_NE(rep, nullptr) << c.what;
        if (c.color != 0) {
            ASSERT_NE(rep->image, nullptr) << c.what;
            EXPECT_EQ(pixel_of(rep->image, 1, 1), c.color) << c.what;
        } else {
            EXPECT_EQ(rep->image, nullptr) << c.what;
            const std::string log = fixtures::read_logs(root);
            EXPECT_NE(log.find("PropertiesImpl::PropertiesImpl picture failed to load {pic}\n"), std::string::npos) << c.what << log;
        }
    }
}

TEST_F(ArchiveSkins, BmpEntriesAreDecodedAtTheDepthAskedAndOnesTheDecoderRefusesEndTheSearch) {
    legacy_test::Bmp indexed;
    indexed.width = 4;
    indexed.height = 2;
    indexed.bits = 8;
    indexed.palette = {0xFF0000};
    indexed.colors_used = 1;
    const std::string red8 = legacy_test::bmp_file(indexed);
    // Run-length pixels, which the decompressor does not read.
    const std::string run_length = legacy_test::with32(red8, 30, 1);
    const struct {
        const char* what;
        std::string entry;
        int depth;
        int bits;  // 0: no bitmap
    } cases[] = {
        {"an 8-bit entry at the screen's depth", red8, 0, 32},
        {"an 8-bit entry at 24 bits, as opacity masks are asked for", red8, 24, 24},
        {"a run-length entry, with a file of the name beside the archive", run_length, 0, 0},
    };
    write("skins/pic.bmp", blue);
    for (const auto& c : cases) {
        write("skins/t.skin", pack({{"t.skin", skin}, {"pic.bmp", c.entry}}));
        SkinArchive archive(u"\\skins\\t.skin");
        HBITMAP bitmap = load_picture_bitmap(u"pic", u"\\skins", archive, c.depth);
        if (c.bits == 0) {
            EXPECT_EQ(bitmap, nullptr) << c.what;
            if (bitmap) DeleteObject(bitmap);
            continue;
        }
        ASSERT_NE(bitmap, nullptr) << c.what;
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmBitsPixel, c.bits) << c.what;
        EXPECT_EQ(pixel_of(bitmap, 3, 1), RGB(255, 0, 0)) << c.what;
        DeleteObject(bitmap);
    }
}

TEST_F(ArchiveSkins, MasksComeFromTheirEntries) {
    const std::string mask = plain_bmp(0xFFFFFF);
    const struct {
        const char* what;
        legacy_test::Entries entries;
        bool has_mask, mask_is_8bit;
    } cases[] = {
        {"no mask", {}, false, false},
        {"a 1-bit mask", {{"pic_1.bmp", mask}}, true, false},
        {"an opacity mask", {{"pic_8.bmp", mask}}, true, true},
        {"the 1-bit mask before the opacity mask", {{"pic_8.bmp", mask}, {"pic_1.bmp", mask}}, true, false},
    };
    for (const auto& c : cases) {
        legacy_test::Entries entries{{"t.skin", skin}, {"pic.bmp", red}};
        entries.insert(entries.end(), c.entries.begin(), c.entries.end());
        write("skins/t.skin", pack(entries));
        std::unique_ptr<Properties> p = load();
        ASSERT_TRUE(p->is_loaded()) << c.what;
        const PictureRep* rep = listed(*p);
        ASSERT_NE(rep, nullptr);
        EXPECT_EQ(rep->mask != nullptr, c.has_mask) << c.what;
        EXPECT_EQ(rep->mask_is_8bit, c.mask_is_8bit) << c.what;
    }
}

TEST_F(ArchiveSkins, AtScaleTwoTheVariantEntryIsUsedElseThePictureIsStretched) {
    const struct {
        const char* what;
        legacy_test::Entries entries;
        int32_t file_width;
        COLORREF color;
    } cases[] = {
        {"the _x2 entry at its own size", {{"pic_x2.bmp", plain_bmp(0x00FF00, 8, 4)}}, 8, RGB(0, 255, 0)},
        {"the plain entry stretched twice", {}, 4, RGB(255, 0, 0)},
    };
    for (const auto& c : cases) {
        legacy_test::Entries entries{{"t.skin", skin}, {"pic.bmp", red}};
        entries.insert(entries.end(), c.entries.begin(), c.entries.end());
        write("skins/t.skin", pack(entries));
        std::unique_ptr<Properties> p = load({480, 640});
        ASSERT_TRUE(p->is_loaded()) << c.what;
        EXPECT_EQ(p->impl().image().scale(), 2);
        const PictureRep* rep = listed(*p);
        ASSERT_TRUE(rep && rep->image) << c.what;
        EXPECT_EQ(rep->width, c.file_width) << c.what;
        EXPECT_EQ(rep->bitmap_width, 8) << c.what;
        EXPECT_EQ(rep->bitmap_height, 4) << c.what;
        EXPECT_EQ(pixel_of(rep->image, 7, 3), c.color) << c.what;
        EXPECT_EQ(p->get_form_picture(u"F", u"Background", Picture()).get_size(), Point(8, 4)) << c.what;
    }
}

TEST_F(ArchiveSkins, OneCacheEntryPerArchiveNameAndScale) {
    write("skins/t.skin", pack({{"pic.bmp", red}, {"other.bmp", blue}}));
    {
        Picture a = archive_picture(u"\\skins\\t.skin", u"pic", false, 1);
        Picture b = archive_picture(u"\\skins\\t.skin", u"pic", true, 1);
        Picture other_name = archive_picture(u"\\skins\\t.skin", u"other", false, 1);
        Picture other_scale = archive_picture(u"\\skins\\t.skin", u"pic", false, 2);
        Picture other_path = archive_picture(u"\\SKINS\\t.skin", u"pic", false, 1);
        EXPECT_TRUE(a.is_loaded());
        EXPECT_EQ(a.rep(), b.rep());
        EXPECT_TRUE(b.stretches());
        for (const Picture* p : {&other_name, &other_scale, &other_path}) {
            EXPECT_TRUE(p->is_loaded());
            EXPECT_NE(p->rep(), a.rep());
        }
        EXPECT_EQ(pixel_of(other_name.rep()->image, 0, 0), RGB(0, 0, 255));
        // A file picture of the same path is a picture of its own.
        Picture file(u"\\skins\\t.skin", false, 1);
        EXPECT_NE(file.rep(), a.rep());
        EXPECT_EQ(PictureCache::size(), 5u);
    }
    EXPECT_EQ(PictureCache::size(), 0u);
}

TEST_F(ArchiveSkins, TheBuiltArchiveHoldsTheMainSkinWhosePicturesDrawLikeTheLooseFiles) {
    const std::string bin = std::string(VANTREL_TEST_BINARY_DIR) + "/bin";
    std::filesystem::create_directories(root.host("legacy/skins/default"));
    std::filesystem::copy_file(bin + "/legacy/skins/default/default.skin", root.host("legacy/skins/default/default.skin"));
    std::filesystem::create_directories(root.host("plain/skins/default"));
    for (const auto& entry : std::filesystem::directory_iterator(bin + "/skins/default"))
        std::filesystem::copy_file(entry.path(), root.host("plain/skins/default/" + entry.path().filename().string()));
    SkinArchive archive(u"\\legacy\\skins\\default\\default.skin");
    EXPECT_EQ(archive.next_entry(), u"default.skin");

    for (int scale : {1, 2}) {
        const Point screen = scale == 1 ? Point(240, 320) : Point(480, 640);
        const Point work_area{screen.x, screen.y - 52 * scale};
        install_skin_image_loader(nullptr);
        Properties plain(u"\\plain\\skins\\default\\default.skin", screen, work_area);
        install_archive_skin_loader();
        Properties p(u"\\legacy\\skins\\default\\default.skin", screen, work_area);
        ASSERT_TRUE(plain.is_loaded()) << scale;
        ASSERT_TRUE(p.is_loaded()) << scale;
        ASSERT_TRUE(p.check_version(u"Vantrel_1.1", screen));
        EXPECT_EQ(p.impl().image().scale(), scale);
        ASSERT_EQ(p.impl().pictures().size(), 14u);
        const Picture left = p.get_picture(u"FormMain", u"pbPosition", u"Left", Picture());
        ASSERT_NE(left.rep(), nullptr);
        EXPECT_EQ(left.rep()->width, 44 * scale);  // the position_x2.bmp entry at scale 2
        EXPECT_EQ(p.get_form_picture(u"FormMain", u"Background", Picture()).get_size(), Point(32 * scale, 64 * scale));

        // Each whole picture, nine-sliced over a grey ground, draws the same pixels both ways.
        for (size_t i = 0; i < p.impl().pictures().size(); ++i) {
            const Picture& from_archive = p.impl().pictures()[i];
            const Picture& from_files = plain.impl().pictures()[i];
            ASSERT_TRUE(from_archive.is_loaded()) << i;
            ASSERT_EQ(from_archive.rep()->mask_is_8bit, from_files.rep()->mask_is_8bit) << i;
            const Point size = from_files.get_size() + from_files.get_size();
            gdi_test::Canvas32 a(size.x, size.y, 0x808080), b(size.x, size.y, 0x808080);
            Painter pa(a.dc(), {0, 0}, size), pb(b.dc(), {0, 0}, size);
            from_archive.draw(pa, {0, 0}, size);
            from_files.draw(pb, {0, 0}, size);
            for (int y = 0; y < size.y; ++y) ASSERT_EQ(a.row(y), b.row(y)) << "picture " << i << " row " << y << " scale " << scale;
        }
    }
}
