#include "tests/ui/edit/support/EditTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/clipboard/Clipboard.h"
#include "platform/display/Headless.h"
#include "platform/window/Input.h"
#include "platform/window/Window.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/Application.h"
#include "ui/Painter.h"

namespace edit_test {

namespace {

constexpr int canvas_width = 240;
constexpr int canvas_height = 120;

// Lives for the whole program; torn down by gtest before the statics go.
class SkinEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        properties_.reset();
        application_.reset();
        root_.reset();
    }

    skinner::Properties& properties() {
        if (!properties_) build();
        return *properties_;
    }

private:
    void build() {
        root_ = std::make_unique<fixtures::DeviceRoot>();
        const std::filesystem::path built = std::filesystem::path(VANTREL_TEST_BINARY_DIR) / "tests/skins/edit";
        std::filesystem::create_directories(root_->host("skins"));
        for (const auto& entry : std::filesystem::directory_iterator(built)) {
            std::filesystem::copy_file(entry.path(), root_->host("skins/" + entry.path().filename().string()));
        }
        application_ = std::make_unique<skinner::Application>(nullptr, u"EditTest");
        properties_ = std::make_unique<skinner::Properties>(u"\\skins\\edit.skin", skinner::Point(240, 320),
                                                            skinner::Point(240, 294));
        EXPECT_TRUE(properties_->is_loaded());
    }

    std::unique_ptr<fixtures::DeviceRoot> root_;
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> properties_;
};

SkinEnvironment* environment() {
    static SkinEnvironment* e = static_cast<SkinEnvironment*>(::testing::AddGlobalTestEnvironment(new SkinEnvironment));
    return e;
}

struct Script {
    std::vector<std::function<void()>> steps;
    size_t next = 0;
    uintptr_t timer = 0;
    HWND form = nullptr;
};

Script* script = nullptr;

void run_step(HWND, UINT, uintptr_t, DWORD) {
    if (!script) return;
    if (script->next == script->steps.size()) {
        KillTimer(nullptr, script->timer);
        PostMessageW(script->form, WM_CLOSE, 0, 0);
        ++script->next;
        return;
    }
    if (script->next > script->steps.size()) return;
    // Taken before it runs: a step that opens a modal loop runs the next ones from inside it.
    std::function<void()> step = script->steps[script->next++];
    step();
}

}  // namespace

skinner::Properties& properties() { return environment()->properties(); }

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

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void run_modal(skinner::Form& form, std::vector<std::function<void()>> steps) {
    Script s;
    s.steps = std::move(steps);
    s.form = form.get_hwnd();
    script = &s;
    s.timer = SetTimer(nullptr, 0, 10, run_step);
    form.do_modal();
    KillTimer(nullptr, s.timer);
    script = nullptr;
}

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
