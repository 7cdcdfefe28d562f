#pragma once
// The demo's main screen: the pad, a bar that fills with the pad's text, a bar that follows the
// pen, a status line, and buttons that open a dialog and clear the pad;
// PageDown opens the list screen, PageUp the name screen. Its menu bar: the left soft key opens
// the dialog, the right one a menu with the Language submenu and Exit; a check box shows the
// hints (on a Smartphone the buttons and the check box are entries of the right key).
#include "tests/helpers/form_demo/DemoPad.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/controls/ControlProgressBar.h"
#include "ui/forms/Form.h"

namespace form_demo {

// The registry key under which the demo keeps its language.
extern const std::u16string language_title;

class DemoMain : public skinner::Form {
public:
    explicit DemoMain(skinner::Properties* properties);

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;
    // The pen on the track bar: the bar takes every value it reports.
    void on_value_changed(skinner::Control* sender, double value) override;
    // The pad's text changed: the text bar shows how full it is.
    void on_text_changed(skinner::Control* sender) override;
    bool on_keydown(skinner::Key key) override;
    void on_check_changed(skinner::Control* sender) override;
    // "Dialog", "Exit", and "Language#" + a language's name.
    void on_command(const std::u16string& command) override;
    // The menu of the "Menu" key: the languages, then Exit.
    void create_menu(skinner::MenuItem& menu) override;

    DemoPad& pad() { return pad_; }
    skinner::ControlButton& dialog_button() { return dialog_; }
    skinner::ControlButton& clear_button() { return clear_; }
    skinner::ControlCheckBoxImpl& hints_check_box() { return hints_; }
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
    skinner::ControlCheckBoxImpl hints_;
    skinner::ControlMenuMainImpl menu_main_;
    skinner::ControlMenuItemImpl dialog_item_;
    skinner::ControlMenuButtonImpl menu_button_;
    int dialogs_closed_ = 0;
};

}  // namespace form_demo
