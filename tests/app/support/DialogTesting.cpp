#include "tests/app/support/DialogTesting.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "ui/FormImpl.h"

namespace dialog_test {

namespace fs = std::filesystem;

namespace {

Script* running = nullptr;

}  // namespace

void DialogTest::SetUp() {
    const fs::path program = fs::path(VANTREL_TEST_BINARY_DIR) / "bin";
    fs::create_directories(root.host("skins"));
    for (const char* folder : {"default", "settings"}) {
        fs::copy(program / "skins" / folder, root.host(std::string("skins/") + folder), fs::copy_options::recursive);
    }
    fs::copy_file(program / "english.lng", root.host("english.lng"));
    application_ = std::make_unique<skinner::Application>(nullptr, u"Vantrel");
    skin_ = std::make_unique<skinner::Properties>(u"\\skins\\default\\default.skin",
                                                  skinner::FormImpl::get_screen_size(nullptr), skinner::Point());
    ASSERT_TRUE(skin_->is_loaded());
    ASSERT_TRUE(skin_->load_strings(u"\\english.lng"));
}

void DialogTest::TearDown() {
    pump();
    skin_.reset();
    application_.reset();
}

Script::Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    running = this;
    timer_ = SetTimer(nullptr, 0, 10, tick);
}

Script::~Script() {
    KillTimer(nullptr, timer_);
    running = nullptr;
}

void Script::tick(HWND, UINT, uintptr_t, DWORD) {
    Script* script = running;
    if (!script || script->done()) return;
    // Taken before it runs: a step that opens a modal form runs the next ones from inside it.
    std::function<void()> step = script->steps_[script->next_++];
    step();
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool wait_for(const std::function<bool()>& condition, int limit_ms) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace dialog_test
