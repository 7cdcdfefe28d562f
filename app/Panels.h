#pragma once
// The main form's six panels, each a container that embeds the skin form of its name and binds
// its controls inside it: the file list, the two one-button panels that mark the start and the
// finish, the save panel, and the two fine-tuning panels. The mode ("Start" or "Finish") picks
// which of the template's controls a one-button or fine-tuning panel binds.
#include <string>

#include "app/FileList.h"
#include "app/RepeatButton.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"

namespace app {

class PanelFile : public skinner::ControlContainer {
public:
    explicit PanelFile(skinner::FormBase* form);

    skinner::ControlMenuButtonImpl menu;
    skinner::ControlMenuItemImpl select;
    FileList files;
};

class PanelOneButton : public skinner::ControlContainer {
public:
    PanelOneButton(skinner::FormBase* form, const std::u16string& mode);

    const std::u16string mode;
    skinner::ControlMenuItemImpl cancel;
    skinner::ControlMenuItemImpl mode_item;
    skinner::ControlButton button;
    skinner::ControlLabelImpl label;
};

class PanelSave : public skinner::ControlContainer {
public:
    explicit PanelSave(skinner::FormBase* form);

    skinner::ControlMenuItemImpl cancel;
    skinner::ControlCheckBoxImpl play;
    skinner::ControlButton exact;
    skinner::ControlButton save;
    skinner::ControlButton assign;
    skinner::ControlButton exit;
};

// The label and the confirm button above the arrows of a fine-tuning panel.
class PanelConfirm : public skinner::ControlContainer {
public:
    PanelConfirm(skinner::FormBase* form, const std::u16string& mode);

    skinner::ControlLabelImpl label;
    skinner::ControlButton confirm;
};

class PanelExact : public skinner::ControlContainer {
public:
    // The arrows repeat after half a second, then every tenth.
    static constexpr double first_delay = 0.5;
    static constexpr double repeat_delay = 0.1;
    static constexpr double delay_factor = 0.0;

    PanelExact(skinner::FormBase* form, const std::u16string& mode);

    // Left and Right press the arrows, Enter the confirm button, for as long as they are held.
    bool on_keydown(skinner::Key key) override;
    bool on_keyup(skinner::Key key) override;

    const std::u16string mode;
    skinner::ControlMenuItemImpl cancel;
    skinner::ControlMenuItemImpl confirm_item;
    PanelConfirm confirm_panel;
    RepeatButton left;
    RepeatButton right;

private:
    skinner::ControlButtonBase* button_for(skinner::Key key);
};

}  // namespace app
