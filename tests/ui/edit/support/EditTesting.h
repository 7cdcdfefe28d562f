#pragma once
// What the edit tests share: the edit test skin (built from its sources beside the tests) in a
// device root with the Application; a form of three edits that writes down the events they
// raise; modifier keys held for a scope; the clipboard as another program would fill it; and a
// canvas to paint an edit on.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/platform/gdi/support/Canvas32.h"
#include "tests/ui/support/ModalScript.h"
#include "ui/edit/ControlEdit.h"
#include "ui/forms/Form.h"
#include "ui/skin/Properties.h"

namespace edit_test {

// The skin's properties; the skin is built at the first call.
skinner::Properties& properties();

// "FormEdit": edtName, edtReadonly (readonly, "fixed text") and edtOther. Events arrive as
// "text edtName" and "fire edtName 0 x y".
class EditForm : public skinner::Form {
public:
    EditForm();

    void on_text_changed(skinner::Control* sender) override;
    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    // The events since the last call.
    std::vector<std::string> take_events();

    skinner::ControlEditImpl name;
    skinner::ControlEditImpl readonly;
    skinner::ControlEditImpl other;

private:
    std::vector<std::string> events_;
};

// GetTickCount (and so every timer) stands still while it lives, unless stepped.
class TestClock {
public:
    TestClock();
    ~TestClock();
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;
};

using ui_test::pump;
using ui_test::run_modal;

// Virtual keys held down (as GetKeyState reports them) while the scope lasts.
class HeldKeys {
public:
    explicit HeldKeys(std::vector<unsigned> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    std::vector<unsigned> keys_;
};

// The clipboard as a program fills it: a text block with its zero, or raw bytes of any size.
void put_clipboard_text(const std::u16string& text);
void put_clipboard_bytes(const void* bytes, unsigned size);
// What the clipboard holds as text, and whether it holds any.
std::u16string clipboard_text();
bool clipboard_has_data();
void clear_clipboard();

// A canvas of the form's size, filled with one colour, to paint an edit on.
class Canvas : public gdi_test::Canvas32 {
public:
    explicit Canvas(uint32_t fill = 0x404040);
    void paint(skinner::Control& control);
    uint32_t pixel(int x, int y) { return at(x, y) & 0xFFFFFF; }
};

std::string narrow(const std::u16string& text);

}  // namespace edit_test
