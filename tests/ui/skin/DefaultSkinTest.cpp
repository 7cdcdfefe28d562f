// The product's skins, as built beside the program, serve every device the program knows: every
// form the program asks for has a variant that fits, with every control the program binds laid
// out inside it; the language files give every text the program and the skins ask for, in
// both languages; and every screen of the program is drawn whole on every device.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"
#include "tests/fixtures/SkinCompiler.h"
#include "tests/fixtures/TempDir.h"
#include "ui/skin/KeyValueText.h"
#include "ui/skin/SkinImage.h"

using namespace skinner;

namespace {

using Forms = std::map<std::u16string, std::vector<std::u16string>>;

// The forms the program builds and the controls it binds in them by name.
const Forms kMainForms = {
    {u"FormMain", {u"MenuMain", u"panelFile", u"panelOneButton", u"panelSave", u"panelExact", u"pbPosition"}},
    {u"panelFile", {u"lstFiles"}},
    {u"panelOneButton", {u"btnStart", u"btnFinish", u"frmStart", u"frmFinish"}},
    {u"panelSave", {u"chkPlay", u"btnExact", u"btnSave", u"btnAssign", u"btnExit"}},
    {u"panelExact", {u"panelConfirm", u"btnLeftStart", u"btnRightStart", u"btnLeftFinish", u"btnRightFinish"}},
    {u"panelConfirm", {u"frmConfirmStart", u"frmConfirmFinish", u"btnConfirm"}},
    {u"FormReport", {u"MenuMain", u"btnOk", u"frmReport"}},
    {u"FormYesNo", {u"MenuMain", u"btnYes", u"btnNo", u"frmReport"}},
    {u"FormSave", {u"MenuMain", u"btnOk", u"btnCancel", u"frmReport", u"edtName"}},
    {u"FormConverting", {u"MenuMain", u"btnCancel", u"pbConverting", u"frmConverting"}},
};
const Forms kDialogForms = {
    {u"FormAbout", {u"MenuMain", u"frmProduct", u"frmLOGO", u"btnLOGO", u"btnZEPH", u"btnClose", u"btnExit"}},
};

struct Device {
    const char* what;
    SkinDevice device;
    int32_t scale;
};
const Device kDevices[] = {
    {"Pocket PC 240x320", {{240, 320}, 96, false}, 1},
    {"Pocket PC 480x640", {{480, 640}, 192, false}, 2},
    {"Pocket PC landscape 320x240", {{320, 240}, 96, false}, 1},
    {"Pocket PC square 240x240", {{240, 240}, 96, false}, 1},
    {"Pocket PC 480x480", {{480, 480}, 192, false}, 2},
    {"Pocket PC 176x220", {{176, 220}, 96, false}, 1},
    {"Pocket PC turned 220x176", {{220, 176}, 96, false}, 1},
    {"Pocket PC 352x440", {{352, 440}, 96, false}, 2},
    {"Pocket PC turned 440x352", {{440, 352}, 96, false}, 2},
    {"Pocket PC turned 640x480", {{640, 480}, 192, false}, 2},
    {"Smartphone 176x220", {{176, 220}, 96, true}, 1},
    {"Smartphone 240x320", {{240, 320}, 131, true}, 1},
    {"Smartphone landscape 320x240", {{320, 240}, 131, true}, 1},
    {"Smartphone square 240x240", {{240, 240}, 131, true}, 1},
    {"Smartphone 480x640", {{480, 640}, 192, true}, 2},
};

std::string narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

// Every control that a form's chosen variant draws: the bound ones and the automatic ones.
std::vector<std::u16string> drawn_controls(SkinImage& image, const std::u16string& form, const std::vector<std::u16string>& bound) {
    std::vector<std::u16string> controls = bound;
    for (uint32_t i = 0; i < image.auto_control_count(form); ++i) controls.push_back(std::u16string(image.auto_control(form, i).name));
    return controls;
}

// Reads through every form and control the program asks for on each device; a missing one is
// a report (in the program, the fatal error).
void check_skin(const std::string& path, const Forms& forms) {
    SkinFile file;
    std::string error;
    ASSERT_TRUE(file.load(fixtures::read_bytes(path), &error)) << path << ": " << error;
    for (const Device& d : kDevices) {
        SCOPED_TRACE(d.what);
        int reports = 0;
        std::u16string last;
        SkinImage image(u"skin", d.device.screen, work_area_for(d.device), d.device.smartphone,
                        [&](const std::u16string& m, const char*) {
                            ++reports;
                            last = m;
                        });
        image.set_file(file);
        EXPECT_TRUE(image.check_version(u"Vantrel_1.1", d.device.screen));
        EXPECT_EQ(image.scale(), d.scale);
        for (const auto& [form, bound] : forms) {
            ASSERT_TRUE(image.find_form_node(form)) << narrow(last);
            const Point form_size = image.form_point(form, u"Size").value_or(Point());
            for (const std::u16string& control : drawn_controls(image, form, bound)) {
                image.find_node(form, control);
                // Laid out inside the form as drawn, so that nothing stands off its edge.
                const Point at = image.point(form, control, u"Position").value_or(Point());
                const Point size = image.point(form, control, u"Size").value_or(Point());
                EXPECT_TRUE(at.x >= 0 && at.y >= 0 && at.x + size.x <= form_size.x && at.y + size.y <= form_size.y)
                    << narrow(form) << "." << narrow(control) << " at " << at.x << "," << at.y << " size " << size.x << "x"
                    << size.y << " in " << form_size.x << "x" << form_size.y;
                // Templates and kinds named by the controls must exist too.
                if (auto t = image.string(form, control, u"FormTemplate")) {
                    EXPECT_TRUE(image.find_form_node(std::u16string(*t)));
                }
                for (const char16_t* k : {u"KindScroll", u"KindHScroll"}) {
                    const auto kind = image.string(form, control, k);
                    if (!kind) continue;
                    const std::u16string bar(*kind);
                    EXPECT_TRUE(image.find_node(u"", bar));
                    for (const char16_t* part : {u"KindMin", u"KindMax", u"KindSpace", u"KindTrack"}) {
                        if (auto p = image.string(u"", bar, part)) {
                            EXPECT_TRUE(image.find_node(u"", std::u16string(*p)));
                        }
                    }
                }
            }
        }
        EXPECT_EQ(reports, 0) << narrow(last);
    }
}

// A language file as installed beside the program: UTF-16LE after its byte-order mark.
KeyValueMap read_language(const std::string& name) {
    const std::string bytes = fixtures::read_file(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/" + name);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    KeyValueMap map;
    parse_key_values(text, map);
    return map;
}

// Texts of the skins' controls that are shown as they stand rather than looked up.
bool is_glyph(std::u16string_view text) { return text.size() == 1 && text[0] > 0x7f; }

}  // namespace

TEST(ProductSkins, MainSkinServesEveryDevice) {
    check_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/skins/default/default.skin", kMainForms);
}

TEST(ProductSkins, DialogsSkinServesEveryDevice) {
    check_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/skins/settings/dialogs.skin", kDialogForms);
}

TEST(ProductLanguages, EveryTextTheProgramAndTheSkinsShowIsInEveryLanguage) {
    // The keys the program reads from the language files itself.
    std::set<std::u16string> wanted = {
        u"skin_ProgramName", u"Language", u"Menu", u"Select", u"Start", u"Finish", u"Cancel", u"Confirm", u"Help",
        u"About", u"Exit", u"Help_link", u"LOGO_URL", u"ZEPH_URL", u"No_opener", u"Invalid_media_type", u"Too_short_selection", u"Converting1", u"Converting2",
        u"Ringtone_will_be_assigned", u"Ringtone_will_be_saved", u"Empty_name", u"Too_long_name", u"Bad_name",
        u"Same_name", u"Replace_existing_file", u"Can't_make_ringtone", u"menuSoftButtonOk", u"menuSoftButtonMenu",
        u"menuCut", u"menuCopy", u"menuPaste", u"menuDelete", u"menuSelectAll", u"on_picture_failed_to_load",
        u"Menu_Language", u"Menu_Help", u"Menu_About", u"Menu_Exit"};
    // And the texts the skins' controls name, on every device.
    const std::pair<const char*, const Forms*> skins[] = {{"default/default.skin", &kMainForms}, {"settings/dialogs.skin", &kDialogForms}};
    for (const auto& [path, forms] : skins) {
        SkinFile file;
        ASSERT_TRUE(file.load(fixtures::read_bytes(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/skins/" + path)));
        for (const Device& d : kDevices) {
            SkinImage image(u"skin", d.device.screen, work_area_for(d.device), d.device.smartphone, [](const std::u16string&, const char*) {});
            image.set_file(file);
            for (const auto& [form, bound] : *forms) {
                for (const std::u16string& control : drawn_controls(image, form, bound)) {
                    for (const char16_t* property : {u"Text", u"CheckedText"}) {
                        auto text = image.string(form, control, property);
                        if (text && !is_glyph(*text)) wanted.insert(std::u16string(*text));
                    }
                }
            }
        }
    }
    const KeyValueMap english = read_language("english.lng");
    const KeyValueMap german = read_language("german.lng");
    for (const std::u16string& key : wanted) {
        EXPECT_FALSE(english.count(key) == 0 || english.at(key).empty()) << "english: " << narrow(key);
        EXPECT_FALSE(german.count(key) == 0 || german.at(key).empty()) << "german: " << narrow(key);
    }
    std::set<std::u16string> english_keys, german_keys;
    for (const auto& [key, value] : english) english_keys.insert(key);
    for (const auto& [key, value] : german) german_keys.insert(key);
    EXPECT_EQ(english_keys, german_keys);
    // The help page of each language is installed beside the program.
    for (const KeyValueMap* language : {&english, &german}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/" + narrow(language->at(u"Help_link"))))
            << narrow(language->at(u"Help_link"));
    }
}

// The real program's forms on the product's skins (the older build's packed one too), for both
// kinds of device, every screen the skins declare at either scale and turned, and every
// language: none misses a control (which would end the program), every screen is painted to its
// edges, every text fits its control in the font it is drawn in, no control lies under the
// bars, Down follows reading order and a focused button shows plainly (the helper's check).
TEST(ProductSkins, EveryScreenIsDrawnWholeAndFitsOnEverySetupAndLanguage) {
    fixtures::TempDir dir;
    const std::string log = dir.file("out.txt");
    const std::string program = std::string(VANTREL_TEST_BINARY_DIR) + "/tests/helpers/skin_shots";
    ASSERT_EQ(fixtures::run_command(program + " " + dir.path() + " > " + log + " 2>&1"), 0) << fixtures::run_command("cat " + log);
    for (const char* shot : {"english-smartphone-176x220/about.png", "german-pocketpc-480x640/exact-finish.png",
                             "german-pocketpc-220x176/turned-save.png", "legacy-german-pocketpc-240x320/exact-start.png"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.file(shot))) << shot;
    }
}
