#pragma once
// What the tests of the save flow's dialogs share: the program's built skins and English
// strings in a fresh device root with an Application, a script of steps that run from inside
// modal loops, and a look-up of a form's controls by name.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/fixtures/DeviceRoot.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Properties.h"

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

// Handles every message waiting for this thread.
void pump();

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
