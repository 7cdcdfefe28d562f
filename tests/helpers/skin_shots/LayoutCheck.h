#pragma once
// What skin_shots checks on every screen it takes, beside the pixels: each drawn label's and
// button's text, measured with the font it is drawn in, fits inside the control; no drawn
// control lies off the work area (off the screen, under the caption bar or the soft keys);
// Down walks each form's controls in reading order; and a focused button stands out from the
// same button unfocused as plainly as a ring twice the skin scale thick, in a colour of three
// times the contrast. Each fault becomes one line of the report.
#include <functional>
#include <string>
#include <vector>

namespace skinner {
class Control;
class Form;
class FormBase;
}  // namespace skinner

namespace shots {

class LayoutCheck {
public:
    // settle: handles the messages waiting, so that the screen shows the latest paint.
    LayoutCheck(int scale, std::function<void()> settle) : scale_(scale), settle_(std::move(settle)) {}

    // Texts and placement of every drawn control of the form, its containers' forms included.
    void check_form(const skinner::Form& form, const std::string& where);
    // The label named shows each text in turn (the last one stays) and each must fit.
    void check_label_texts(const skinner::Form& form, const std::u16string& label, const std::vector<std::u16string>& texts,
                           const std::string& where);
    // Down (the focus order) in each form of the screen against the order the eye reads it.
    void check_focus_order(const skinner::Form& form, const std::string& where);
    // Each focusable button of the active form, focused and not; the focus goes back after.
    void check_focus_looks(const skinner::Form& form, const std::string& where);

    const std::vector<std::string>& faults() const { return faults_; }

private:
    void check_control(skinner::Control& control, const std::string& where);
    void check_placement(skinner::Control& control, const std::string& where);
    void check_focus_look(skinner::Control& control, const std::string& where);
    void fault(const skinner::Control& control, const std::string& where, const std::string& what);

    int scale_;
    std::function<void()> settle_;
    std::vector<std::string> faults_;
};

}  // namespace shots
