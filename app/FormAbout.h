#pragma once
// The About form, laid out from the dialogs skin: the product's title, its logo and two link
// buttons whose addresses come from the language file, and two buttons that close it.
#include <memory>
#include <string>

#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlLabel.h"
#include "ui/menus/ControlMenuItem.h"
#include "ui/controls/ControlPicture.h"
#include "ui/forms/Form.h"

namespace app {

constexpr const char16_t* about_title = u"ZEPH Vantrel 1.24";

// The form's controls and what the links do; not a control itself.
class AboutContainer {
public:
    AboutContainer(skinner::Form* owner, const std::u16string& title);
    ~AboutContainer();
    AboutContainer(const AboutContainer&) = delete;
    AboutContainer& operator=(const AboutContainer&) = delete;

    // The link buttons open their addresses ("LOGO_URL", "ZEPH_URL"); other controls: nothing.
    void on_command(skinner::Control* control);

    skinner::Form* owner;
    skinner::ControlLabelImpl product;
    skinner::ControlPicture logo_picture;
    skinner::ControlButton logo;
    skinner::ControlButton zeph;
    std::unique_ptr<skinner::ControlButton> close;
    std::unique_ptr<skinner::ControlButton> exit;
    std::u16string title;
};

class FormAbout : public skinner::Form {
public:
    FormAbout(skinner::Form* parent, skinner::Properties* dialogs_skin, const std::u16string& form_name,
              const std::u16string& title);
    ~FormAbout() override;

    // "btnClose" and "btnExit" close the form; every control goes on to the container.
    void on_control_event(skinner::Control* sender, const skinner::ButtonEvent& event) override;

    AboutContainer& container() { return container_; }

private:
    AboutContainer container_;
    skinner::ControlMenuMainImpl menu_;
};

}  // namespace app
