#include "tests/ui/edit/support/EditTesting.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/clipboard/Clipboard.h"
#include "platform/display/Headless.h"
#include "platform/window/Input.h"
#include "platform/window/Window.h"
#include "tests/ui/support/SkinEnvironment.h"
#include "ui/graphics/Painter.h"

namespace edit_test {

namespace {

constexpr int canvas_width = 240;
constexpr int canvas_height = 120;

}  // namespace

skinner::Properties& properties() {
    return ui_test::skin_environment("edit", u"EditTest", {240, 320}, {240, 294}).properties();
}

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

EditForm::EditForm()
    : skinner::Form(nullptr, &properties(), u"FormEdit"),
      name(this, u"edtName", skinner::Control::KIND_SKIN),
      readonly(this, u"edtReadonly", skinner::Control::KIND_SKIN),
      other(this, u"edtOther", skinner::Control::KIND_SKIN) {}

void EditForm::on_text_changed(skinner::Control* sender) { events_.push_back("text " + narrow(sender->get_name())); }

void EditForm::on_control_event(skinner::Control* sender, const skinner::ButtonEvent& e) {
    events_.push_back("fire " + narrow(sender->get_name()) + " " + std::to_string(e.value) + " " + std::to_string(e.x) + " " +
                      std::to_string(e.y));
}

std::vector<std::string> EditForm::take_events() { return std::exchange(events_, {}); }

TestClock::TestClock() { platform::headless::use_test_clock(1000); }
TestClock::~TestClock() { platform::headless::release_clock(); }

HeldKeys::HeldKeys(std::vector<unsigned> keys) : keys_(std::move(keys)) {
    for (unsigned vk : keys_) platform::set_key_down(vk, true);
}

HeldKeys::~HeldKeys() {
    for (unsigned vk : keys_) platform::set_key_down(vk, false);
}

void put_clipboard_bytes(const void* bytes, unsigned size) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HLOCAL memory = LocalAlloc(LMEM_MOVEABLE, size);
    ASSERT_NE(memory, nullptr);
    std::memcpy(LocalLock(memory), bytes, size);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) LocalFree(memory);
    CloseClipboard();
}

void put_clipboard_text(const std::u16string& text) {
    put_clipboard_bytes(text.c_str(), static_cast<unsigned>((text.size() + 1) * sizeof(char16_t)));
}

std::u16string clipboard_text() {
    if (!OpenClipboard(nullptr)) return u"(closed)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::u16string text = data ? platform::local_text(data) : u"(none)";
    CloseClipboard();
    return text;
}

bool clipboard_has_data() {
    if (!OpenClipboard(nullptr)) return false;
    const bool has = GetClipboardData(CF_UNICODETEXT) != nullptr;
    CloseClipboard();
    return has;
}

void clear_clipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

Canvas::Canvas(uint32_t fill) : Canvas32(canvas_width, canvas_height, fill) {}

void Canvas::paint(skinner::Control& control) {
    skinner::Painter painter(dc(), {0, 0}, {canvas_width, canvas_height});
    control.paint(painter, {0, 0}, {canvas_width, canvas_height});
}

}  // namespace edit_test
