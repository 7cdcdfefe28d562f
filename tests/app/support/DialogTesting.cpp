#include "tests/app/support/DialogTesting.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/PcmSamples.h"
#include "ui/forms/FormImpl.h"

namespace dialog_test {

namespace {

Script* running = nullptr;

}  // namespace

void DialogTest::SetUp() {
    app_test::install_program_files(root);
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

void ToneReader::read(audio::AudioBlock& out, int) {
    out = audio::AudioBlock();
    const int count = std::min(1000, frames_ - position_);
    if (count <= 0) return;
    out.buffer = skinner::SharedBuffer(static_cast<uint32_t>(count * 2));
    for (int i = 0; i < count; ++i) {
        audio::write_s16(out.buffer.data() + 2 * i, static_cast<int16_t>(8192 * std::sin((position_ + i) * 0.06)));
    }
    out.channels = 1;
    out.bits = 16;
    out.sample_rate = 44100;
    position_ += count;
}

void ToneReader::seek(int position) { position_ = std::clamp(position, 0, frames_); }

bool ToneReader::push_units(int count) {
    {
        std::lock_guard hold(lock);
        pushes.push_back(count);
    }
    return FrameCountedReader::push_units(count);
}

std::unique_ptr<audio::AudioFormat> tone_format(int frames, ToneReader** reader) {
    auto tone = std::make_unique<ToneReader>(frames);
    if (reader) *reader = tone.get();
    return std::make_unique<audio::AudioFormat>(std::move(tone), u"\\tone.ogg", u"Vorbis");
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
