#pragma once
// A test skin, compiled by the build into build/tests/skins/NAME, copied into a device root of
// its own with the Application and the skin's properties. It lives for the whole test program
// as a gtest environment, so that it goes before the statics do.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/skin/Properties.h"

namespace ui_test {

class SkinEnvironment : public ::testing::Environment {
public:
    SkinEnvironment(std::string skin, std::u16string application, skinner::Point screen, skinner::Point work_area)
        : skin_(std::move(skin)), application_name_(std::move(application)), screen_(screen), work_area_(work_area) {}

    void TearDown() override {
        properties_.reset();
        application_.reset();
        root_.reset();
    }

    // Built at the first call.
    skinner::Properties& properties() {
        if (!properties_) build();
        return *properties_;
    }

private:
    void build() {
        root_ = std::make_unique<fixtures::DeviceRoot>();
        const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "tests/skins" / skin_;
        std::filesystem::create_directories(root_->host("skins"));
        for (const auto& entry : std::filesystem::directory_iterator(built)) {
            std::filesystem::copy_file(entry.path(), root_->host("skins/" + entry.path().filename().string()));
        }
        application_ = std::make_unique<skinner::Application>(nullptr, application_name_);
        const std::u16string path = u"\\skins\\" + std::u16string(skin_.begin(), skin_.end()) + u".skin";
        properties_ = std::make_unique<skinner::Properties>(path, screen_, work_area_);
        EXPECT_TRUE(properties_->is_loaded());
    }

    std::string skin_;
    std::u16string application_name_;
    skinner::Point screen_;
    skinner::Point work_area_;
    std::unique_ptr<fixtures::DeviceRoot> root_;
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> properties_;
};

// The program's one environment of the skin, registered with gtest at the first call.
inline SkinEnvironment& skin_environment(const std::string& skin, const std::u16string& application, skinner::Point screen,
                                         skinner::Point work_area) {
    static SkinEnvironment* e = static_cast<SkinEnvironment*>(
        ::testing::AddGlobalTestEnvironment(new SkinEnvironment(skin, application, screen, work_area)));
    return *e;
}

}  // namespace ui_test
