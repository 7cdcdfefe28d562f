// The skin compiler: its checks refuse broken sources with messages naming the node, and the
// pictures it builds are the files the picture cache looks for.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/SkinCompiler.h"
#include "tests/fixtures/TempDir.h"
#include "ui/skin/SkinFile.h"

namespace {

const std::string kSkinc = fixtures::skinc_path(VANTREL_TEST_BINARY_DIR);

std::string skin_with_forms(const std::string& forms, const std::string& extra = "") {
    return R"({"identifier": "T", "pictures": ["pic"], "fonts": {"f": "9 0 0 0 DejaVu Sans"}, )" + extra + R"("forms": {)" + forms + "}}";
}

// A 32 by 16 picture with a transparent half, rendered and built like the real skins' pictures.
void make_picture(const fixtures::TempDir& dir, const std::string& name, const std::string& fill_opacity = "1") {
    fixtures::write_file(dir.file(name + ".svg"),
                         R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="16"><rect width="16" height="16" fill="#ff0000" fill-opacity=")" +
                             fill_opacity + R"("/></svg>)");
    ASSERT_EQ(fixtures::run_command("rsvg-convert -z 1 -o '" + dir.file(name + ".png") + "' '" + dir.file(name + ".svg") + "'"), 0);
    ASSERT_EQ(fixtures::run_command("'" + kSkinc + "' picture '" + dir.file(name + ".png") + "' '" + dir.file(name) + "'"), 0);
}

}  // namespace

TEST(SkinCompiler, RefusesBrokenSourcesNamingTheNode) {
    fixtures::TempDir dir;
    make_picture(dir, "pic");
    struct Case {
        const char* what;
        std::string source;
        const char* message;
    };
    const Case cases[] = {
        {"unknown property type", skin_with_forms(R"("F": {"properties": {"Size": {"pnt": [1, 2]}}})"),
         "forms.F.Size: unknown property type 'pnt'"},
        {"form name that is a prefix of another form", skin_with_forms(R"("Form": {}, "FormX": {})"),
         "forms.FormX: its name begins with form 'Form'"},
        {"variant lacking a control",
         skin_with_forms(R"("F": {"controls": {"a": {}, "b": {}}}, "Fs": {"variant_of": "F", "controls": {"a": {}}})"),
         "forms.Fs: variant lacks control 'b' that 'F' has"},
        {"variant_of that is no beginning of the name", skin_with_forms(R"("F": {}, "G": {"variant_of": "F"})"),
         "variant_of 'F' must be a beginning"},
        {"picture rectangle outside its file",
         skin_with_forms(R"("F": {"controls": {"c": {"Normal": {"picture": {"file": "pic", "rect": [20, 0, 16, 16]}}}}})"),
         "forms.F.controls.c.Normal: rect [20, 0, 16, 16] lies outside picture 'pic' of 32 by 16"},
        {"borders out of order",
         skin_with_forms(R"("F": {"controls": {"c": {"Normal": {"picture": {"file": "pic", "rect": [0, 0, 8, 8], "borders": [5, 0, 4, 0]}}}}})"),
         "borders out of order"},
        {"missing picture file", R"({"pictures": ["nothere"]})", "skin.pictures.nothere: missing picture file"},
        {"picture not listed", skin_with_forms(R"("F": {"controls": {"c": {"Normal": {"picture": "other"}}}})"),
         "picture 'other' is not listed"},
        {"unknown font", skin_with_forms(R"("F": {"controls": {"c": {"Normal": {"font": "g"}}}})"), "font values name an entry"},
        {"point outside 16 bits", skin_with_forms(R"("F": {"controls": {"c": {"Size": [40000, 1]}}})"), "is outside -32768..32767"},
        {"unknown automatic-control type", skin_with_forms(R"("F": {"controls": {"c": {}}, "auto": [["c", "Auto.Knob"]]})"),
         "unknown automatic-control type 'Auto.Knob'"},
        {"automatic control without a control node", skin_with_forms(R"("F": {"auto": [["c", "Auto.Frame"]]})"),
         "automatic control has no entry"},
        {"duplicate key", skin_with_forms(R"("F": {}, "F": {})"), "duplicate key 'F'"},
        {"unknown style", skin_with_forms(R"("F": {"controls": {"c": {"style": "nope"}}})"), "unknown style 'nope'"},
        {"identifier too long", R"({"identifier": "0123456789012345678901234567890123"})", "identifier is longer than 31 units"},
        {"bad device letter", R"({"devices": "X"})", "device letters are 'S'"},
        {"strings beyond the first 64 KiB",
         [] {
             std::string controls;
             for (int i = 0; i < 700; ++i)
                 controls += (i ? "," : "") + std::string("\"c") + std::to_string(i) + "\": {\"Text\": \"" + std::string(60, 'a') +
                             std::to_string(i) + "\"}";
             return skin_with_forms("\"F\": {\"controls\": {" + controls + "}}");
         }(),
         "must fit in the first 65536 bytes"},
        {"template naming no form", skin_with_forms(R"("F": {"controls": {"c": {"FormTemplate": "panelNope"}}})"),
         "forms.F.controls.c.FormTemplate: names no form 'panelNope'"},
        {"kind naming no kind", R"({"kinds": {"kindBar": {"KindMin": "kindNope"}}})", "kinds.kindBar.KindMin: names no kind 'kindNope'"},
        {"not JSON", "{", "not valid JSON"},
    };
    for (const Case& c : cases) {
        std::string messages;
        EXPECT_EQ(fixtures::compile_skin(kSkinc, dir.path(), "broken", c.source, dir.path(), &messages), 1) << c.what;
        EXPECT_NE(messages.find(c.message), std::string::npos) << c.what << ": " << messages;
        EXPECT_FALSE(std::filesystem::exists(dir.file("broken.skin"))) << c.what;
    }
}

TEST(SkinCompiler, MessagesNameTheSourceLine) {
    fixtures::TempDir dir;
    const std::string source = "{\n  \"forms\": {\n    \"F\": {\n      \"controls\": {\"c\": {\n        \"Size\": {\"dot\": [1, 2]}}}}}}\n";
    std::string messages;
    EXPECT_EQ(fixtures::compile_skin(kSkinc, dir.path(), "lines", source, "", &messages), 1);
    EXPECT_NE(messages.find("lines.json:5: forms.F.controls.c.Size: unknown property type 'dot'"), std::string::npos) << messages;
}

TEST(SkinCompiler, StylesAndExtendsFoldIntoTheNodes) {
    fixtures::TempDir dir;
    const std::string source = skin_with_forms(
        R"("F": {"properties": {"Size": [100, 50]}, "controls": {"b": {"style": "s", "Text": "own", "Normal": {"color": "#010203"}}}},
           "Fwide": {"variant_of": "F", "extends": "F", "properties": {"Size": [200, 50]}, "controls": {"b": {"Size": [9, 9]}}})",
        R"("styles": {"s": {"Text": "styled", "ZOrder": 4, "Normal": {"font": "f", "color": "#ffffff"}}}, )");
    std::string messages;
    ASSERT_EQ(fixtures::compile_skin(kSkinc, dir.path(), "styled", source, "", &messages), 0) << messages;
    skinner::SkinFile skin;
    ASSERT_TRUE(skin.load(fixtures::read_bytes(dir.file("styled.skin"))));
    const skinner::SkinNode b = skin.find(skin.controls_root(skin.find(skin.forms_root(), u"F")), u"b");
    EXPECT_EQ(skin.find_string(b, u"Text"), u"own");
    EXPECT_EQ(skin.find_integer(b, u"ZOrder"), 4);
    EXPECT_EQ(skin.find_font(b, u"Normal"), 0u);
    EXPECT_EQ(skin.find_color(b, u"Normal"), (skinner::SkinColor{1, 2, 3, 255}));
    const skinner::SkinNode wide = skin.find(skin.forms_root(), u"Fwide");
    EXPECT_EQ(skin.find_point(wide, u"Size"), (skinner::SkinPoint{200, 50}));
    const skinner::SkinNode wb = skin.find(skin.controls_root(wide), u"b");
    EXPECT_EQ(skin.find_string(wb, u"Text"), u"own");
    EXPECT_EQ(skin.find_point(wb, u"Size"), (skinner::SkinPoint{9, 9}));
}

TEST(SkinCompiler, BuildsTheBitmapsAndTheMaskThePictureNeeds) {
    fixtures::TempDir dir;
    make_picture(dir, "half", "1");   // opaque and fully transparent pixels only: 1-bit mask
    make_picture(dir, "soft", "0.5"); // partly transparent: 8-bit mask
    EXPECT_TRUE(std::filesystem::exists(dir.file("half.bmp")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("half_1.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("half_8.bmp")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("soft_8.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("soft_1.bmp")));
    // Behind a 1-bit mask the image is white where the mask is black: drawn with SRCAND there,
    // it leaves what lies below. Rows are bottom-up, 3 bytes a pixel; (4, 8) is red, (20, 8) clear.
    const std::vector<uint8_t> half = fixtures::read_bytes(dir.file("half.bmp"));
    const std::vector<uint8_t> half_mask = fixtures::read_bytes(dir.file("half_1.bmp"));
    ASSERT_EQ(half.size(), 54u + 32 * 3 * 16);
    ASSERT_EQ(half_mask.size(), half.size());
    auto pixel = [](const std::vector<uint8_t>& b, int x, int y) {
        const size_t at = 54 + size_t(15 - y) * 96 + size_t(x) * 3;
        return uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 1]) << 8 | b[at];
    };
    EXPECT_EQ(pixel(half, 4, 8), 0xFF0000u);
    EXPECT_EQ(pixel(half_mask, 4, 8), 0xFFFFFFu);
    EXPECT_EQ(pixel(half, 20, 8), 0xFFFFFFu);
    EXPECT_EQ(pixel(half_mask, 20, 8), 0x000000u);
    // Rebuilding a picture as the other kind removes the stale mask, which the cache would try first.
    fixtures::write_file(dir.file("half.svg"), R"(<svg xmlns="http://www.w3.org/2000/svg" width="32" height="16"><rect width="32" height="16" fill="#00ff00" fill-opacity="0.5"/></svg>)");
    ASSERT_EQ(fixtures::run_command("rsvg-convert -z 1 -o '" + dir.file("half.png") + "' '" + dir.file("half.svg") + "'"), 0);
    ASSERT_EQ(fixtures::run_command("'" + kSkinc + "' picture '" + dir.file("half.png") + "' '" + dir.file("half") + "'"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("half_1.bmp")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("half_8.bmp")));
    const std::vector<uint8_t> bmp = fixtures::read_bytes(dir.file("soft.bmp"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[18], 32);  // width
    EXPECT_EQ(bmp[22], 16);  // height
    EXPECT_EQ(bmp[28], 24);  // bits per pixel
}

TEST(SkinCompiler, BuildsTheProductSkinsBesideTheProgram) {
    const std::string bin = std::string(VANTREL_TEST_BINARY_DIR) + "/bin";
    for (const char* path : {"/skins/default/default.skin", "/skins/settings/dialogs.skin"}) {
        skinner::SkinFile skin;
        std::string error;
        ASSERT_TRUE(skin.load(fixtures::read_bytes(bin + path), &error)) << path << ": " << error;
        EXPECT_EQ(skin.identifier(), u"Vantrel_1.1");
        for (std::u16string_view picture : skin.picture_names()) {
            const std::string name(picture.begin(), picture.end());
            const std::string folder = bin + std::string(path).substr(0, std::string(path).rfind('/'));
            EXPECT_TRUE(std::filesystem::exists(folder + "/" + name + ".bmp")) << name;
            EXPECT_TRUE(std::filesystem::exists(folder + "/" + name + "_x2.bmp")) << name;
        }
    }
    for (const char* language : {"/english.lng", "/german.lng"}) {
        const std::vector<uint8_t> bytes = fixtures::read_bytes(bin + language);
        ASSERT_GE(bytes.size(), 2u) << language;
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
    }
}
