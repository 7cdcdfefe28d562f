// The product's skins, as built beside the program, serve every device the program knows: every
// form the program asks for has a variant that fits, with every control the program binds.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tests/fixtures/SkinCompiler.h"
#include "ui/SkinImage.h"

using namespace skinner;

namespace {

const std::map<std::u16string, std::vector<std::u16string>> kMainForms = {
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
const std::map<std::u16string, std::vector<std::u16string>> kDialogForms = {
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
    {"Smartphone 176x220", {{176, 220}, 96, true}, 1},
    {"Smartphone 240x320", {{240, 320}, 131, true}, 1},
};

void check_skin(const std::string& path, const std::map<std::u16string, std::vector<std::u16string>>& forms) {
    SkinFile file;
    std::string error;
    ASSERT_TRUE(file.load(fixtures::read_bytes(path), &error)) << path << ": " << error;
    for (const Device& d : kDevices) {
        int reports = 0;
        std::u16string last;
        SkinImage image(u"skin", d.device.screen, work_area_for(d.device), d.device.smartphone,
                        [&](const std::u16string& m, const char*) {
                            ++reports;
                            last = m;
                        });
        image.set_file(file);
        EXPECT_TRUE(image.check_version(u"Vantrel_1.1", d.device.screen)) << d.what;
        EXPECT_EQ(image.scale(), d.scale) << d.what;
        for (const auto& [form, controls] : forms) {
            ASSERT_TRUE(image.find_form_node(form)) << d.what << ": " << std::string(last.begin(), last.end());
            for (const std::u16string& control : controls) {
                image.find_node(form, control);
                // Templates and kinds named by the controls must exist too.
                if (auto t = image.string(form, control, u"FormTemplate")) {
                    EXPECT_TRUE(image.find_form_node(std::u16string(*t))) << d.what;
                }
                for (const char16_t* k : {u"KindScroll", u"KindHScroll"}) {
                    const auto kind = image.string(form, control, k);
                    if (!kind) continue;
                    const std::u16string bar(*kind);
                    EXPECT_TRUE(image.find_node(u"", bar)) << d.what;
                    for (const char16_t* part : {u"KindMin", u"KindMax", u"KindSpace", u"KindTrack"}) {
                        if (auto p = image.string(u"", bar, part)) {
                            EXPECT_TRUE(image.find_node(u"", std::u16string(*p))) << d.what;
                        }
                    }
                }
            }
        }
        EXPECT_EQ(reports, 0) << d.what << ": " << std::string(last.begin(), last.end());
    }
}

}  // namespace

TEST(ProductSkins, MainSkinServesEveryDevice) {
    check_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/skins/default/default.skin", kMainForms);
}

TEST(ProductSkins, DialogsSkinServesEveryDevice) {
    check_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/bin/skins/settings/dialogs.skin", kDialogForms);
}
