#include "tests/app/support/AppControls.h"

#include <cstdio>
#include <utility>

#include "platform/window/Window.h"
#include "tests/fixtures/SkinCompiler.h"
#include "ui/forms/FormImpl.h"
#include "ui/graphics/Painter.h"

namespace app_controls_test {

namespace {

std::string name_of(const skinner::Control* c) { return c ? narrow(c->get_name()) : "none"; }

// The colours of the test skin's pictures, by name.
std::string colour_name(uint32_t rgb) {
    struct Known {
        uint32_t rgb;
        const char* name;
    };
    static const Known known[] = {{0xff0000, "red"},  {0x00ff00, "green"},  {0x0000ff, "blue"},
                                  {0xffffff, "white"}, {0x000080, "navy"},  {0x00ffff, "cyan"},
                                  {0xffff00, "yellow"}, {0x804000, "brown"}, {0xff00ff, "magenta"},
                                  {0x808080, "grey"},  {0x000000, "black"}};
    for (const Known& k : known) {
        if (k.rgb == rgb) return k.name;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "%06x", rgb);
    return hex;
}

}  // namespace

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

void RecordingForm::on_command(const std::u16string& command) { events_.push_back("command " + narrow(command)); }

void RecordingForm::on_value_changed(skinner::Control* sender, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    events_.push_back("value " + name_of(sender) + " " + text);
}

void RecordingForm::on_state_changed(skinner::Control* sender) { events_.push_back("state " + name_of(sender)); }

std::vector<std::string> RecordingForm::take_events() { return std::exchange(events_, {}); }

void RecordingForm::settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

skinner::Point RecordingForm::invalid_size() const { return get_window()->get_invalid_size(); }

AppControlsWorld::AppControlsWorld() {
    if (!fixtures::install_built_skin(std::string(VANTREL_TEST_BINARY_DIR) + "/tests/skins/appcontrols", root_.host("skins")))
        return;
    application_ = std::make_unique<skinner::Application>(nullptr, u"AppControlsTest");
    properties_ = std::make_unique<skinner::Properties>(u"\\skins\\appcontrols.skin", skinner::Point(480, 640),
                                                        skinner::Point(480, 536));
    if (!properties_->is_loaded()) return;
    form_ = std::make_unique<RecordingForm>(properties_.get());
    form_->show(true);
}

AppControlsWorld::~AppControlsWorld() {
    form_.reset();
    properties_.reset();
    application_.reset();
}

void Canvas::paint(skinner::Control& control) {
    skinner::Painter painter(dc(), {0, 0}, {width(), height()});
    control.paint(painter, {0, 0}, {width(), height()});
}

std::string Canvas::runs(int y, int x, int count) {
    std::string out;
    int i = 0;
    while (i < count) {
        const uint32_t rgb = at(x + i, y) & 0xFFFFFF;
        int j = i;
        while (j < count && (at(x + j, y) & 0xFFFFFF) == rgb) ++j;
        out += (out.empty() ? "" : " ") + colour_name(rgb) + "*" + std::to_string(j - i);
        i = j;
    }
    return out;
}

}  // namespace app_controls_test
