#include "ui/skin/SkinFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/fixtures/SkinCompiler.h"
#include "tests/fixtures/TempDir.h"

using namespace skinner;

namespace {

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }
uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

// The smallest file the header checks accept: magic, empty identifier and letters, no forms.
std::vector<uint8_t> bare_header(size_t size = SkinLayout::HeaderSize) {
    std::vector<uint8_t> b(size, 0);
    for (int i = 0; i < 4; ++i) put16(b, 2 * i, SkinLayout::Magic[i]);
    return b;
}

const char* kTestSkin = R"({
  // comments are allowed in sources
  "identifier": "Vantrel_1.1",
  "devices": "SP",
  "screens": [[240, 320], [320, 240]],
  "pictures": ["main", "icons"],
  "fonts": {"normal": "9 0 0 0 DejaVu Sans", "bold": "9 1 0 0 DejaVu Sans"},
  "kinds": {"kindScrollUp": {"Size": [12, 12]}},
  "forms": {
    "FormMain": {
      "properties": {"Size": [240, 268], "Devices": "P", "StartPosition": 3},
      "controls": {
        "btnSave": {
          "Position": [-5, 7], "Size": [80, 30], "Text": "Save", "ZOrder": 1,
          "Normal": {"picture": {"file": "main", "rect": [0, 0, 80, 30], "borders": [4, 4, 4, 4], "stretch": true},
                     "font": "bold", "color": "#102030"},
          "Far": {"picture": {"file": "icons", "rect": [40000, 10, 10, 10]}}
        },
        "lstFiles": {"ItemHeight": 20},
        "frmTitle": {"Text": "Title"}
      },
      "auto": [["frmTitle", "Auto.Frame"]]
    },
    "FormMainSmall": {"variant_of": "FormMain", "properties": {"Size": [240, 200]},
                      "controls": {"btnSave": {}, "lstFiles": {}, "frmTitle": {}}},
    "Zeta": {}, "alpha": {}, "A": {}
  }
})";

class CompiledSkin : public ::testing::Test {
protected:
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(fixtures::compile_skin(fixtures::skinc_path(VANTREL_TEST_BINARY_DIR), dir.path(), "test", kTestSkin, "", &messages), 0)
            << messages;
        bytes = fixtures::read_bytes(dir.file("test.skin"));
        std::string error;
        ASSERT_TRUE(skin.load(bytes, &error)) << error;
    }
    SkinNode form(const char16_t* name) { return skin.find(skin.forms_root(), name); }
    SkinNode control(const char16_t* f, const char16_t* c) { return skin.find(skin.controls_root(form(f)), c); }

    fixtures::TempDir dir;
    std::vector<uint8_t> bytes;
    SkinFile skin;
};

}  // namespace

TEST(SkinHeader, ChecksLengthTerminationAndMagicInOrder) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> change;
        HeaderFault fault;
    };
    const Case cases[] = {
        {"valid 540 bytes", [](auto&) {}, HeaderFault::None},
        {"539 bytes", [](auto& b) { b.resize(539); }, HeaderFault::TooShort},
        {"identifier of 32 units without terminator",
         [](auto& b) {
             for (int i = 0; i < 32; ++i) put16(b, 8 + 2 * i, 'x');
         },
         HeaderFault::BadIdentifier},
        {"identifier with a unit after its terminator", [](auto& b) { put16(b, 8 + 2 * 31, 'x'); }, HeaderFault::BadIdentifier},
        {"identifier of 31 units", [](auto& b) {
             for (int i = 0; i < 31; ++i) put16(b, 8 + 2 * i, 'x');
         }, HeaderFault::None},
        {"device letters without terminator",
         [](auto& b) {
             for (int i = 0; i < 32; ++i) put16(b, 476 + 2 * i, 'S');
         },
         HeaderFault::BadDeviceLetters},
        {"device letters with a unit after the terminator", [](auto& b) { put16(b, 476 + 2 * 5, 'P'); }, HeaderFault::BadDeviceLetters},
        {"bad magic, checked after the fields", [](auto& b) { put16(b, 6, 0x043E); }, HeaderFault::BadMagic},
        {"bad magic and bad identifier", [](auto& b) { put16(b, 0, 0); put16(b, 8 + 2 * 31, 'x'); }, HeaderFault::BadIdentifier},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = bare_header();
        c.change(b);
        EXPECT_EQ(check_header(b), c.fault) << c.what;
        SkinFile f;
        EXPECT_EQ(f.load(b), c.fault == HeaderFault::None) << c.what;
    }
}

TEST(SkinHeader, BareHeaderLoadsWithNothingToFind) {
    SkinFile f;
    std::string error;
    ASSERT_TRUE(f.load(bare_header(), &error)) << error;
    EXPECT_FALSE(f.find(f.forms_root(), u"FormMain"));
    EXPECT_FALSE(f.find(f.kinds_root(), u"kind"));
    EXPECT_TRUE(f.picture_names().empty());
    EXPECT_TRUE(f.identifier().empty());
}

TEST(SkinNames, CompareCodeUnitsUnsignedWithPrefixFirst) {
    struct Case {
        std::u16string a, b;
        int order;
    };
    const Case cases[] = {
        {u"Form", u"FormMain", -1},     // a prefix sorts first
        {u"Z", u"a", -1},               // 'a' 0x61 after 'Z' 0x5A: no case folding
        {u"abc", u"abc", 0},
        {u"a", u"\xFFFF", -1},          // unsigned units
        {u"", u"A", -1},
        {u"b", u"abc", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compare_names(c.a, c.b), c.order) << std::string(c.a.begin(), c.a.end());
        EXPECT_EQ(compare_names(c.b, c.a), -c.order);
    }
}

TEST_F(CompiledSkin, RoundTripsHeaderAndNameList) {
    EXPECT_EQ(skin.identifier(), u"Vantrel_1.1");
    EXPECT_EQ(skin.device_letters(), u"SP");
    EXPECT_EQ(skin.screen_size(0).width, 240);
    EXPECT_EQ(skin.screen_size(1).width, 320);
    EXPECT_EQ(skin.screen_size(2).width, 0);
    ASSERT_EQ(skin.picture_names().size(), 2u);
    EXPECT_EQ(skin.picture_names()[1], u"icons");
    ASSERT_EQ(skin.font_specs().size(), 2u);
    EXPECT_EQ(skin.font_specs()[0], u"9 1 0 0 DejaVu Sans");  // "bold" sorts before "normal"
}

TEST_F(CompiledSkin, CopiesKeepTheirOwnNames) {
    SkinFile copy;
    {
        SkinFile original = skin;
        copy = original;
    }
    ASSERT_EQ(copy.picture_names().size(), 2u);
    EXPECT_EQ(copy.picture_names()[0], u"main");
    EXPECT_EQ(copy.font_specs()[1], u"9 0 0 0 DejaVu Sans");
    SkinFile moved = std::move(copy);
    EXPECT_TRUE(moved.is_loaded());
    EXPECT_EQ(moved.picture_names()[1], u"icons");
    EXPECT_FALSE(copy.is_loaded());  // NOLINT: a moved-from file is empty
    EXPECT_FALSE(copy.find(copy.forms_root(), u"FormMain"));
}

TEST_F(CompiledSkin, FindsEveryFormInTheTreeWithCaseSensitiveOrder) {
    for (const char16_t* name : {u"A", u"FormMain", u"FormMainSmall", u"Zeta", u"alpha"}) EXPECT_TRUE(form(name)) << "form";
    EXPECT_FALSE(form(u"ALPHA"));
    EXPECT_FALSE(form(u"Form"));
    EXPECT_TRUE(skin.find(skin.kinds_root(), u"kindScrollUp"));
}

TEST_F(CompiledSkin, ReadsTypedPropertiesAndScalesThem) {
    const SkinNode b = control(u"FormMain", u"btnSave");
    ASSERT_TRUE(b);
    EXPECT_EQ(skin.find_integer(b, u"ZOrder"), 1);
    EXPECT_EQ(skin.find_string(b, u"Text"), u"Save");
    const SkinPoint p = *skin.find_point(b, u"Position");
    EXPECT_EQ(p, (SkinPoint{-5, 7}));
    EXPECT_EQ(scale_point(p, 2), (SkinPoint{-10, 14}));
    EXPECT_EQ(skin.find_color(b, u"Normal"), (SkinColor{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(skin.find_font(b, u"Normal"), 0u);
    const SkinPicture pic = *skin.find_picture(b, u"Normal");
    EXPECT_EQ(pic.border_min, (SkinPoint{4, 4}));
    EXPECT_EQ(pic.border_max, (SkinPoint{76, 26}));
    EXPECT_TRUE(pic.stretch);
    const SkinPicture far = scale_picture(*skin.find_picture(b, u"Far"), 2);
    EXPECT_EQ(far.origin.x, 80000);  // picture coordinates are unsigned
    EXPECT_EQ(far.picture, 1u);
    // The same name in arrays of different types; a name missing from one type.
    EXPECT_FALSE(skin.find_integer(b, u"Normal"));
    EXPECT_FALSE(skin.find_point(b, u"Text"));
}

TEST_F(CompiledSkin, EmptyArraysFindNothing) {
    const SkinNode b = control(u"FormMainSmall", u"btnSave");
    ASSERT_TRUE(b);
    for (int t = 0; t < kPropertyTypeCount; ++t) EXPECT_EQ(skin.record_count(b, PropertyType(t)), 0u);
    EXPECT_FALSE(skin.find_point(b, u"Size"));
    EXPECT_FALSE(skin.find_picture(b, u"Normal"));
    EXPECT_FALSE(skin.find_point(form(u"Zeta"), u"Size"));
}

TEST_F(CompiledSkin, ReadsAutomaticControlEntries) {
    const SkinNode f = form(u"FormMain");
    ASSERT_EQ(skin.auto_control_count(f), 1u);
    EXPECT_EQ(skin.auto_control(f, 0).name, u"frmTitle");
    EXPECT_EQ(skin.auto_control(f, 0).type, u"Auto.Frame");
    EXPECT_EQ(skin.auto_control(f, 1).name, u"");
}

TEST_F(CompiledSkin, RejectsFilesWhoseOffsetsOrIndexesBreakTheRules) {
    const SkinNode main = form(u"FormMain");
    const SkinNode save = control(u"FormMain", u"btnSave");
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    // Offsets of btnSave's arrays: the picture array is the fourth pair.
    const uint32_t pictures = get32(bytes, save.offset + 36);
    const uint32_t fonts = get32(bytes, save.offset + 52);
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"forms root outside the file", [&](auto& b) { put32(b, SkinLayout::FormsRoot, size + 4); }, "forms tree"},
        {"misaligned kinds root", [&](auto& b) { put32(b, SkinLayout::KindsRoot, get32(b, SkinLayout::KindsRoot) + 2); }, "bad node offset"},
        {"node that is its own left child", [&](auto& b) { put32(b, main.offset, main.offset); }, "cycle"},
        {"controls tree pointing back at its form", [&](auto& b) { put32(b, save.offset + 4, save.offset); }, "cycle"},
        {"array end beyond the file", [&](auto& b) { put32(b, save.offset + 40, size + 20); }, "outside the file"},
        {"array end before its start", [&](auto& b) { put32(b, save.offset + 40, pictures - 20); }, "outside the file"},
        {"partial record", [&](auto& b) { put32(b, save.offset + 40, get32(b, save.offset + 40) - 1); }, "whole number of records"},
        {"misaligned integer array",
         [&](auto& b) {
             put32(b, save.offset + 12, get32(b, save.offset + 12) + 2);
             put32(b, save.offset + 16, get32(b, save.offset + 16) + 2);
         },
         "aligned"},
        {"picture index beyond the picture count", [&](auto& b) { b[pictures + 18] = 2; }, "picture index"},
        {"font index beyond the font count", [&](auto& b) { put32(b, fonts + 4, 2); }, "font index"},
        {"property name at an odd offset", [&](auto& b) { put16(b, pictures, 541); }, "even offset"},
        {"node name without terminator",
         [&](auto& b) {
             put32(b, main.offset + 8, size - 2);
             put16(b, size - 2, 'x');
         },
         "terminator"},
        {"picture borders out of order", [&](auto& b) { put16(b, pictures + 6, 79); }, "out of order"},
        {"automatic-control count beyond the file", [&](auto& b) { put32(b, main.offset + 64, 0x40000000); }, "automatic-control"},
        {"name list beyond the file", [&](auto& b) { put32(b, SkinLayout::NameList, size + 2); }, "picture name"},
        {"font count past the name list", [&](auto& b) { put32(b, SkinLayout::FontCount, 0x7FFFFFFF); }, "font specification"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = bytes;
        c.change(b);
        SkinFile f;
        std::string error;
        EXPECT_FALSE(f.load(b, &error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_FALSE(f.is_loaded()) << c.what;
    }
}

TEST(SkinScale, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(scale_value(40000, 2), 80000);
    EXPECT_EQ(scale_value(-5, 2), -10);
    EXPECT_EQ(scale_value(0x7FFFFFFF, 2), 0x7FFFFFFF);
    EXPECT_EQ(scale_value(-0x7FFFFFFF - 1, 2), -0x7FFFFFFF - 1);
}
