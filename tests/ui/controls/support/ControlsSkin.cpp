#include "tests/ui/controls/support/ControlsSkin.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/window/Window.h"
#include "tests/ui/support/SkinEnvironment.h"
#include "ui/forms/FormImpl.h"
#include "ui/graphics/Painter.h"

namespace controls_test {

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 300;

std::string name_of(const skinner::Control* c) { return c ? narrow(c->get_name()) : "none"; }

std::string runs_of(const std::vector<uint32_t>& pixels) {
    std::string out;
    size_t i = 0;
    while (i < pixels.size()) {
        size_t j = i;
        while (j < pixels.size() && pixels[j] == pixels[i]) ++j;
        char run[32];
        std::snprintf(run, sizeof run, "%s%06x*%zu", out.empty() ? "" : " ", pixels[i], j - i);
        out += run;
        i = j;
    }
    return out;
}

}  // namespace

skinner::Properties& properties() {
    return ui_test::skin_environment("controls", u"ControlsTest", {240, 320}, {240, 294}).properties();
}

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TestForm::TestForm(const std::u16string& form_name) : skinner::Form(nullptr, &properties(), form_name) {}

void TestForm::on_control_event(skinner::Control* sender, const skinner::ButtonEvent& e) {
    events_.push_back("fire " + name_of(sender) + " " + std::to_string(e.value) + " " + std::to_string(e.x) + " " +
                      std::to_string(e.y));
}

void TestForm::on_state_changed(skinner::Control* sender) { events_.push_back("state " + name_of(sender)); }

void TestForm::on_value_changed(skinner::Control* sender, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    events_.push_back("value " + name_of(sender) + " " + text);
}

void TestForm::on_command(const std::u16string& command) { events_.push_back("command " + narrow(command)); }

std::vector<std::string> TestForm::take_events() { return std::exchange(events_, {}); }

void TestForm::settle() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

skinner::Point TestForm::invalid_size() const { return get_window()->get_invalid_size(); }

Canvas::Canvas(uint32_t fill) : Canvas32(kWidth, kHeight, fill) {}

void Canvas::paint(skinner::Control& control) {
    skinner::Painter painter(dc(), {0, 0}, {kWidth, kHeight});
    control.paint(painter, {0, 0}, {kWidth, kHeight});
}

std::string Canvas::row_runs(int y, int x, int count) {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < count; ++i) pixels.push_back(at(x + i, y) & 0xFFFFFF);
    return runs_of(pixels);
}

std::string Canvas::column_runs(int x, int y, int count) {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < count; ++i) pixels.push_back(at(x, y + i) & 0xFFFFFF);
    return runs_of(pixels);
}

int Canvas::differences(Canvas& other) {
    int n = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) n += (at(x, y) & 0xFFFFFF) != (other.at(x, y) & 0xFFFFFF);
    }
    return n;
}

}  // namespace controls_test
