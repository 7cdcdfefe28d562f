#pragma once
// FormConverting: the modal progress form of a conversion. Its worker turns the span of the
// source into a mono MP3 file (a pass that measures the peak, a pass that encodes with the
// gain); a 0.1 s timer shows the worker's progress and stage and closes the form when the
// worker has ended. Cancel (or Esc) stops the worker, which leaves no new file and whatever was
// under the target's name as it was.
#include <cstdint>
#include <memory>
#include <string>

#include "app/ConversionWorker.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/controls/ControlProgressBar.h"
#include "ui/forms/Form.h"

namespace app {

class FormConverting : public skinner::Form {
public:
    static constexpr double timer_period = 0.1;

    FormConverting(skinner::Form* parent, skinner::Properties* properties, const std::u16string& source_path,
                   const std::u16string& target_path, int start, int finish);
    // Converts from a format already opened (null: no source).
    FormConverting(skinner::Form* parent, skinner::Properties* properties, std::unique_ptr<audio::AudioFormat> format,
                   const std::u16string& target_path, int start, int finish);
    ~FormConverting() override;

    // Room on the target's volume for the estimated output.
    virtual bool has_enough_space();
    // Starts the worker and the timer and runs the form; false when it was cancelled.
    virtual bool run();

    void on_timer(uint32_t id) override;
    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    // A close while the worker runs (not by Cancel) cancels as Cancel does.
    bool can_close() override;

    // Whether the worker wrote a complete target file.
    bool succeeded() const { return worker_.succeeded(); }
    ConversionWorker& worker() { return worker_; }
    int get_output_bitrate() const { return worker_.converter().get_output_bitrate(); }
    int get_source_bitrate() const { return worker_.converter().get_source_bitrate(); }
    uint32_t get_timer_id() const { return timer_; }
    const std::u16string& get_status() const { return status_.get_text(); }
    double get_shown_progress() const { return progress_.get_value(); }

private:
    void cancel();
    void show_stage(int stage);
    void stop_timer();

    ConversionWorker worker_;
    skinner::ControlMenuMainImpl menu_;
    skinner::ControlButton cancel_;
    skinner::ControlProgressBarImpl progress_;
    skinner::ControlLabelImpl status_;
    std::u16string target_path_;
    uint32_t timer_ = 0;
    int shown_stage_ = 1;
    bool result_ = true;
};

}  // namespace app
