#pragma once
// FormSave: asks for the ringtone's name. The edit field starts with the proposed name, fully
// selected so that typing replaces it. "btnOk" (or Enter) checks the name and either accepts
// it or reports why not; either way the form closes, and a rejected name leaves the result
// empty. "btnCancel" (or Esc) closes it with an empty result.
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/edit/ControlEdit.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/forms/Form.h"

namespace app {

class FormSave : public skinner::Form {
public:
    // folder: the target folder with its macros, for the length check.
    FormSave(skinner::Form* parent, skinner::Properties* properties, const std::u16string& prompt,
             const std::u16string& proposed_name, const std::u16string& folder);
    ~FormSave() override;

    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    // The accepted name; empty when cancelled or rejected.
    const std::u16string& name() const { return name_; }
    skinner::ControlEditImpl& edit() { return edit_; }
    const std::u16string& get_prompt() const { return prompt_.get_text(); }

private:
    void accept();

    skinner::ControlMenuMainImpl menu_;
    skinner::ControlButton ok_;
    skinner::ControlButton cancel_;
    skinner::ControlLabelImpl prompt_;
    skinner::ControlEditImpl edit_;
    std::u16string name_;
    std::u16string folder_;
};

}  // namespace app
