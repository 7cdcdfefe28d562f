#pragma once
// FormReport: a modal message with one button, "btnOk" (Enter and Esc press it too).
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/Form.h"

namespace app {

class FormReport : public skinner::Form {
public:
    FormReport(skinner::Form* parent, skinner::Properties* properties, const std::u16string& text);
    ~FormReport() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    const std::u16string& get_text() const { return message_.get_text(); }

private:
    skinner::ControlMenuMainImpl menu_;
    skinner::ControlButton ok_;
    skinner::ControlLabelImpl message_;
};

// Builds the report for a language key, runs it and deletes it.
void show_report(skinner::Form* parent, skinner::Properties* properties, const std::u16string& key);

}  // namespace app
