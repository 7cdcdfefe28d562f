#pragma once
// A button that, while held, raises its control event again and again: first after the first
// delay, then after delays that shrink by the factor down to the repeat delay. It starts and
// ends with its pressed look, so the pen, Enter and a press by the program all repeat.
#include <string>

#include "base/ActiveScheduler.h"
#include "ui/controls/ControlButton.h"

namespace app {

class RepeatButton : public skinner::ControlButton, private skinner::TimerListener {
public:
    RepeatButton(skinner::FormBase* form, const std::u16string& name, int32_t kind = KIND_SKIN);

    void set_delays(double first, double repeat, double factor);
    void notify_state_changed() override;

    double get_current_delay() const { return current_; }
    double get_first_delay() const { return first_; }
    double get_repeat_delay() const { return repeat_; }
    double get_factor() const { return factor_; }

private:
    void on_timer(skinner::Timer& timer) override;
    void on_pressed();
    void on_released();

    bool fired_ = false;
    double current_ = 0.5;
    double first_ = 0.5;
    double repeat_ = 0.05;
    double factor_ = 0.5;
    skinner::Timer timer_;
    bool was_pressed_ = false;
};

}  // namespace app
