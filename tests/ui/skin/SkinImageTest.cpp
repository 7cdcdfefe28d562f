#include "ui/skin/SkinImage.h"

#include <gtest/gtest.h>

#include "tests/fixtures/SkinCompiler.h"
#include "tests/fixtures/TempDir.h"

using namespace skinner;

namespace {

struct Report {
    std::u16string message;
    std::string place;
    int count = 0;
};

std::string narrow_text(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Compiles a test skin with the given header fields and forms and loads it.
SkinFile compile(const std::string& header, const std::string& forms, const std::string& kinds = "{}") {
    fixtures::TempDir dir;
    const std::string source = "{" + header + R"(, "kinds": )" + kinds + R"(, "forms": )" + forms + "}";
    std::string messages;
    EXPECT_EQ(fixtures::compile_skin(fixtures::skinc_path(VANTREL_TEST_BINARY_DIR), dir.path(), "t", source, "", &messages), 0) << messages;
    SkinFile f;
    std::string error;
    EXPECT_TRUE(f.load(fixtures::read_bytes(dir.file("t.skin")), &error)) << error;
    return f;
}

SkinImage image(const SkinFile& file, Point screen, Point work, bool smartphone, Report& report) {
    SkinImage i(u"\\skins\\t.skin", screen, work, smartphone, [&report](const std::u16string& m, const char* place) {
        report.message = m;
        report.place = place;
        ++report.count;
    });
    i.set_file(file);
    return i;
}

}  // namespace

TEST(SkinImageFit, ChoosesScaleAndEntryThatFitTheScreen) {
    struct Case {
        const char* what;
        std::string header;
        Point screen;
        bool smartphone;
        const char16_t* identifier;
        bool fits;
        int32_t scale;
        Point entry;
    };
    const std::string both = R"("identifier": "Vantrel_1.1", "screens": [[240, 320], [480, 640]])";
    const std::string small = R"("identifier": "Vantrel_1.1", "screens": [[240, 320]])";
    const Case cases[] = {
        {"exact entry at scale 1", both, {240, 320}, false, u"Vantrel_1.1", true, 1, {240, 320}},
        {"larger entry at scale 1 beats the doubled small one", both, {480, 640}, false, u"", true, 1, {480, 640}},
        {"only the small entry, doubled", small, {480, 640}, false, u"", true, 2, {240, 320}},
        {"nothing fits a landscape screen", small, {320, 240}, false, u"", false, 1, {0, 0}},
        {"no screen size: fits", small, {0, 0}, false, u"Vantrel_1.1", true, 1, {0, 0}},
        {"another identifier", small, {240, 320}, false, u"Vantrel_1.0", false, 1, {0, 0}},
        {"Pocket PC letters on a Smartphone", R"("identifier": "x", "devices": "P", "screens": [[240, 320]])", {240, 320}, true, u"", false, 1, {0, 0}},
        {"Smartphone letters on a Smartphone", R"("identifier": "x", "devices": "SP", "screens": [[240, 320]])", {240, 320}, true, u"", true, 1, {240, 320}},
        {"width waste decides before height waste", R"("identifier": "x", "screens": [[200, 320], [240, 200]])", {240, 320}, false, u"", true, 1, {240, 200}},
    };
    for (const Case& c : cases) {
        const SkinFile f = compile(c.header, "{}");
        int32_t scale = 7;
        Point entry(9, 9);
        EXPECT_EQ(check_skin_header(&f, c.identifier, c.screen, c.smartphone, scale, entry), c.fits) << c.what;
        EXPECT_EQ(scale, c.scale) << c.what;
        EXPECT_EQ(entry, c.entry) << c.what;
    }
    int32_t scale = 0;
    Point entry;
    EXPECT_FALSE(check_skin_header(nullptr, u"", {240, 320}, false, scale, entry));
}

TEST(SkinImageFit, ImageStaysLoadedWhenTheVersionCheckFails) {
    Report report;
    SkinImage i = image(compile(R"("identifier": "x", "devices": "P", "screens": [[240, 320]])", "{}"), {240, 320}, {240, 268}, true, report);
    EXPECT_TRUE(i.is_loaded());
    EXPECT_FALSE(i.check_version(u"x", {240, 320}));
}

TEST(SkinImageFit, WorkAreaIsTheScreenLessTheBars) {
    struct Case {
        SkinDevice device;
        Point area;
    };
    const Case cases[] = {
        {{{240, 320}, 96, true}, {240, 266}},   // Smartphone bars of 27 at width 240
        {{{176, 220}, 96, true}, {176, 180}},
        {{{300, 400}, 96, true}, {300, 400}},   // unknown width: no bars
        {{{240, 320}, 96, false}, {240, 268}},  // Pocket PC bars by dpi
        {{{480, 640}, 131, false}, {480, 570}},
        {{{480, 640}, 192, false}, {480, 536}},
    };
    for (const Case& c : cases) EXPECT_EQ(work_area_for(c.device), c.area) << c.device.screen.x << " " << c.device.dpi;
}

TEST(SkinImageVariants, LargestFittingVariantWinsWhateverTheOrder) {
    // In the first skin the taller variant is visited first, in the second one last.
    const char* skins[] = {
        R"({"Dlg": {"properties": {"Size": [240, 268], "Id": 1}}, "DlgB": {"variant_of": "Dlg", "properties": {"Size": [240, 294], "Id": 2}}})",
        R"({"Dlg": {"properties": {"Size": [240, 294], "Id": 2}}, "DlgA": {"variant_of": "Dlg", "properties": {"Size": [240, 268], "Id": 1}}})",
    };
    for (const char* forms : skins) {
        const SkinFile f = compile(R"("identifier": "x", "screens": [[240, 320]])", forms);
        Report report;
        SkinImage tall = image(f, {240, 320}, {240, 294}, false, report);
        EXPECT_EQ(tall.form_integer(u"Dlg", u"Id"), 2) << forms;
        SkinImage shorter = image(f, {240, 320}, {240, 280}, false, report);
        EXPECT_EQ(shorter.form_integer(u"Dlg", u"Id"), 1) << forms;
        EXPECT_EQ(report.count, 0);
    }
}

TEST(SkinImageVariants, DevicesFullscreenScaleAndTies) {
    const SkinFile f = compile(R"("identifier": "x", "screens": [[240, 320]])", R"({
        "F": {"properties": {"Size": [200, 200], "Id": 1}},
        "Fa": {"variant_of": "F", "properties": {"Size": [200, 200], "Id": 2}},
        "Fb": {"variant_of": "F", "properties": {"Size": [200, 200], "Id": 3}},
        "Fs": {"variant_of": "F", "properties": {"Size": [240, 260], "Devices": "S", "Id": 4}},
        "Wide": {"properties": {"Size": [240, 320], "Fullscreen": 1, "Id": 5}},
        "G": {"properties": {"Size": [240, 268], "Id": 6}}})");
    Report report;
    // Equal sizes: the last visited in pre-order (Fs, Fa, F, Fb for this tree) wins.
    SkinImage pocket = image(f, {240, 320}, {240, 268}, false, report);
    EXPECT_EQ(pocket.form_integer(u"F", u"Id"), 3);
    // A variant whose Devices exclude this device is never chosen.
    SkinImage phone = image(f, {240, 320}, {240, 266}, true, report);
    EXPECT_EQ(phone.form_integer(u"F", u"Id"), 4);
    // Fullscreen forms are measured against the screen, not the work area.
    EXPECT_EQ(pocket.form_integer(u"Wide", u"Id"), 5);
    // Sizes are scaled before they are compared: 240 by 268 doubled fits a 480 by 536 work area.
    SkinImage big = image(f, {480, 640}, {480, 536}, false, report);
    EXPECT_EQ(big.scale(), 2);
    EXPECT_EQ(big.form_integer(u"G", u"Id"), 6);
    EXPECT_EQ(big.form_point(u"G", u"Size"), Point(480, 536));
    EXPECT_EQ(report.count, 0);
    // The report of the last choice lists every form, + for the candidates.
    pocket.select_form(u"G");
    EXPECT_NE(pocket.forms_list().find(u"+G Size=240 268 Devices= good_for_device\n"), std::u16string::npos) << narrow_text(pocket.forms_list());
    EXPECT_NE(pocket.forms_list().find(u"-F\n"), std::u16string::npos);
    pocket.select_form(u"F");
    EXPECT_NE(pocket.forms_list().find(u"+Fs Size=240 260 Devices=S\n"), std::u16string::npos) << narrow_text(pocket.forms_list());
}

TEST(SkinImageProperties, ScaledValuesAndMissingOnes) {
    const SkinFile f = compile(R"("identifier": "x", "screens": [[240, 320]], "pictures": ["p"], "fonts": {"a": "9 0 0 0 X"})", R"({
        "F": {"properties": {"Size": [10, 10]}, "controls": {"c": {
            "Position": [-5, 3], "Count": 7, "Text": "Hello", "Normal": {"color": [1, 2, 3, 4], "font": "a",
            "picture": {"file": "p", "rect": [2, 2, 40000, 20], "borders": [1, 1, 1, 1], "stretch": true}}}},
         "auto": [["c", "Auto.Button"]]}})",
                               R"({"kindA": {"Count": 9}})");
    Report report;
    SkinImage i = image(f, {480, 640}, {480, 536}, false, report);
    ASSERT_EQ(i.scale(), 2);
    EXPECT_EQ(i.point(u"F", u"c", u"Position"), Point(-10, 6));
    EXPECT_EQ(i.integer(u"F", u"c", u"Count"), 7);  // scaling integers is the caller's choice
    EXPECT_EQ(i.string(u"F", u"c", u"Text"), u"Hello");
    EXPECT_EQ(i.color(u"F", u"c", u"Normal"), (Color{1, 2, 3, 4}));
    EXPECT_EQ(i.font(u"F", u"c", u"Normal"), 0u);
    const SkinPictureRead p = *i.picture(u"F", u"c", u"Normal");
    EXPECT_EQ(p.origin, Point(4, 4));
    EXPECT_EQ(p.border_min, Point(6, 6));
    EXPECT_EQ(p.border_max, Point(80002, 42));
    EXPECT_EQ(p.end, Point(80004, 44));
    EXPECT_TRUE(p.stretch);
    EXPECT_FALSE(i.point(u"F", u"c", u"Size"));
    EXPECT_FALSE(i.string(u"F", u"c", u"Count"));
    EXPECT_EQ(i.integer(u"", u"kindA", u"Count"), 9);
    EXPECT_EQ(i.auto_control_count(u"F"), 1u);
    EXPECT_EQ(i.auto_control(u"F", 0).type, u"Auto.Button");
    EXPECT_EQ(i.auto_control(u"F", 1).name, u"");
    // An empty form name with an empty control name yields nothing, without a report.
    EXPECT_FALSE(i.integer(u"", u"", u"Count"));
    EXPECT_EQ(report.count, 0);
}

TEST(SkinImageProperties, MissingFormsControlsAndKindsAreReported) {
    const SkinFile f = compile(R"("identifier": "x", "screens": [[240, 320]])",
                               R"({"F": {"properties": {"Size": [100, 100]}, "controls": {"c": {}}}, "Huge": {"properties": {"Size": [999, 999]}}})");
    struct Case {
        const char* what;
        std::function<void(SkinImage&)> ask;
        std::u16string message;
        const char* place;
    };
    const Case cases[] = {
        {"control", [](SkinImage& i) { i.integer(u"F", u"nope", u"X"); }, u"Skin file {\\skins\\t.skin} form {F} has no control {nope}",
         "report_no_control"},
        {"kind", [](SkinImage& i) { i.integer(u"", u"kindNope", u"X"); }, u"Skin file {\\skins\\t.skin} has no kind {kindNope}",
         "report_no_form"},
        {"form of a control", [](SkinImage& i) { i.integer(u"Nope", u"c", u"X"); },
         u"Skin file {\\skins\\t.skin} form {Nope} has no control {c}", "report_no_control"},
        {"form", [](SkinImage& i) { i.form_integer(u"Huge", u"X"); },
         u"Skin file {\\skins\\t.skin} has no form {Huge} for workarea_size=240 268. list of all forms:\n+Huge Size=999 999 Devices= good_for_device\n-F\n",
         "report_no_form"},
    };
    for (const Case& c : cases) {
        Report report;
        SkinImage i = image(f, {240, 320}, {240, 268}, false, report);
        c.ask(i);
        EXPECT_EQ(report.count, 1) << c.what;
        EXPECT_EQ(report.message, c.message) << c.what << ": " << narrow_text(report.message);
        EXPECT_EQ(report.place, c.place) << c.what;
    }
    Report report;
    SkinImage empty(u"\\skins\\none.skin", {240, 320}, {240, 268}, false, [&](const std::u16string& m, const char* place) {
        report.message = m;
        report.place = place;
        ++report.count;
    });
    empty.set_file(SkinFile());
    EXPECT_FALSE(empty.is_loaded());
    EXPECT_FALSE(empty.check_version(u"x", {240, 320}));
    empty.point(u"F", u"c", u"Size");
    EXPECT_EQ(report.message, u"Skin file {\\skins\\none.skin} was invalid, but no check_version performed");
    EXPECT_EQ(report.place, "report_no_skin");
}

TEST(SkinImageProperties, LookupCachesFollowTheLastFormAndKind) {
    const SkinFile f = compile(R"("identifier": "x", "screens": [[240, 320]])",
                               R"({"A": {"controls": {"c": {"V": 1}}}, "B": {"controls": {"c": {"V": 2}}}})", R"({"k": {"V": 3}})");
    Report report;
    SkinImage i = image(f, {240, 320}, {240, 268}, false, report);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(i.integer(u"A", u"c", u"V"), 1);
        EXPECT_EQ(i.integer(u"A", u"c", u"V"), 1);
        EXPECT_EQ(i.integer(u"B", u"c", u"V"), 2);
        EXPECT_EQ(i.integer(u"", u"k", u"V"), 3);
        EXPECT_EQ(i.integer(u"B", u"c", u"V"), 2);
    }
    EXPECT_EQ(report.count, 0);
}
