#pragma once
// The demo's main screen: the pad, a bar that fills with the pad's text, a bar that follows the
// pen, a status line, and buttons that open a dialog and clear the pad;
// PageDown opens the list screen, PageUp the name screen.
#include "tests/helpers/form_demo/DemoPad.h"
#include "ui/ControlButton.h"
#include "ui/ControlLabel.h"
#include "ui/ControlProgressBar.h"
#include "ui/Form.h"

namespace form_demo {

class DemoMain : public skinner::Form {
public:
    explicit DemoMain(skinner::Properties* properties);

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    // The pen on the track bar: the bar takes every value it reports.
    void on_value_changed(skinner::Control* sender, double value) override;
    // The pad's text changed: the text bar shows how full it is.
    void on_text_changed(skinner::Control* sender) override;
    bool on_keydown(skinner::Key key) override;

    DemoPad& pad() { return pad_; }
    skinner::ControlButton& dialog_button() { return dialog_; }
    skinner::ControlButton& clear_button() { return clear_; }
    skinner::ControlProgressBarImpl& track_bar() { return track_; }
    int dialogs_closed() const { return dialogs_closed_; }

private:
    void open_dialog();
    void open_list();
    void open_name();

    skinner::ControlLabelImpl title_;
    skinner::ControlLabelImpl help_;
    DemoPad pad_;
    skinner::ControlProgressBarImpl text_bar_;
    skinner::ControlProgressBarImpl track_;
    skinner::ControlLabelImpl status_;
    skinner::ControlButton dialog_;
    skinner::ControlButton clear_;
    int dialogs_closed_ = 0;
};

}  // namespace form_demo
