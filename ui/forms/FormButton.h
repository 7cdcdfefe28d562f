#pragma once
// FormButton: a button as its form sees it. Enter and Back press the form's default and cancel
// buttons, the caption bar's OK clicks its OK button; the buttons themselves stand above the
// forms (ui/controls/ControlButton.h).

namespace skinner {

class FormButton {
public:
    // Enabled and visible: the form passes over a button that is not.
    virtual bool can_be_pressed() const = 0;
    // The program's press: the release fires as a key's does.
    virtual void set_pressed(bool pressed) = 0;
    // Fires as a tap in the middle does.
    virtual void click() = 0;

protected:
    ~FormButton() = default;
};

}  // namespace skinner
