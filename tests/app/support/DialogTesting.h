#pragma once
// What the tests of the save flow's dialogs share: the program's built skins and English
// strings in a fresh device root with an Application, a script of steps that run from inside
// modal loops, and a look-up of a form's controls by name.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "tests/app/support/MainFormTesting.h"
#include "tests/fixtures/DeviceRoot.h"
#include "ui/application/Application.h"
#include "ui/forms/Control.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

namespace dialog_test {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    skinner::Properties& skin() { return *skin_; }
    // The English text of a language key.
    std::u16string text(const char16_t* key) const { return skin_->get_string(key); }

    fixtures::DeviceRoot root;

private:
    std::unique_ptr<skinner::Application> application_;
    std::unique_ptr<skinner::Properties> skin_;
};

// Runs the steps one by one from a thread timer, each once the messages before it were
// handled; a step may open a modal form, and the next ones then run inside its loop. The
// script is over when the last step has run.
class Script {
public:
    explicit Script(std::vector<std::function<void()>> steps);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    bool done() const { return next_ >= steps_.size(); }

private:
    static void tick(HWND, UINT, uintptr_t, DWORD);

    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    uintptr_t timer_ = 0;
};

using app_test::pump;

// 16-bit mono at 44100 Hz counted in sample frames, a tone at a quarter of full scale, 1000
// frames a read; it notes every push it is asked for.
class ToneReader : public audio::FrameCountedReader {
public:
    explicit ToneReader(int frames) : frames_(frames) {}
    void read(audio::AudioBlock& out, int frames) override;
    bool is_open() override { return true; }
    bool at_end() override { return position_ >= frames_; }
    int get_channels() override { return 1; }
    int get_sample_rate() override { return 44100; }
    int get_bitrate() override { return 705600; }
    int get_length() override { return frames_; }
    int get_position() override { return position_; }
    void seek(int position) override;
    bool push_time_span(double) override { return false; }
    bool push_units(int count) override;

    std::mutex lock;
    std::vector<int> pushes;

private:
    int frames_;
    int position_ = 0;
};

// A format over a ToneReader of that many frames; reader (when given) receives the reader.
std::unique_ptr<audio::AudioFormat> tone_format(int frames, ToneReader** reader = nullptr);

// Waits (without handling messages) until the condition holds; false after the limit.
bool wait_for(const std::function<bool()>& condition, int limit_ms = 20000);

// The form's control of that name and type; fails the test when there is none.
template <class T>
T* control(skinner::FormBase& form, const std::u16string& name) {
    for (skinner::Control* c : form.get_controls()) {
        if (c->get_name() == name) {
            if (T* typed = dynamic_cast<T*>(c)) return typed;
        }
    }
    ADD_FAILURE() << "no control " << std::string(name.begin(), name.end());
    return nullptr;
}

// The innermost modal form as the type expected; null (and a failure) otherwise.
template <class T>
T* modal() {
    T* form = dynamic_cast<T*>(skinner::Form::get_modal_form());
    if (!form) ADD_FAILURE() << "the innermost modal form is not the one expected";
    return form;
}

}  // namespace dialog_test
