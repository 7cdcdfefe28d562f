#include "app/Panels.h"

#include "ui/forms/SoftButton.h"

namespace app {

namespace {

using skinner::Control;

// Soft-key items are made with order 0 and a text that only stands in for their translation.
constexpr const char16_t* untranslated = u":)";

}  // namespace

PanelFile::PanelFile(skinner::FormBase* form)
    : ControlContainer(form, u"panelFile", KIND_SKIN),
      menu(&form_, u"Menu", untranslated, 0, skinner::placement_menu),
      select(&form_, u"Select", untranslated, 0, skinner::placement_ok),
      files(&form_, u"lstFiles") {}

PanelOneButton::PanelOneButton(skinner::FormBase* form, const std::u16string& mode_)
    : ControlContainer(form, u"panelOneButton", KIND_SKIN),
      mode(mode_),
      cancel(&form_, u"Cancel", untranslated, 0, skinner::placement_menu),
      mode_item(&form_, mode_, untranslated, 0, skinner::placement_ok),
      button(&form_, u"btn" + mode_, KIND_SKIN),
      label(&form_, u"frm" + mode_, KIND_SKIN) {}

PanelSave::PanelSave(skinner::FormBase* form)
    : ControlContainer(form, u"panelSave", KIND_SKIN),
      cancel(&form_, u"Cancel", untranslated, 0, skinner::placement_menu),
      play(&form_, u"chkPlay", KIND_SKIN),
      exact(&form_, u"btnExact", KIND_SKIN),
      save(&form_, u"btnSave", KIND_SKIN),
      assign(&form_, u"btnAssign", KIND_SKIN),
      exit(&form_, u"btnExit", KIND_SKIN) {}

PanelConfirm::PanelConfirm(skinner::FormBase* form, const std::u16string& mode)
    : ControlContainer(form, u"panelConfirm", KIND_SKIN),
      label(&form_, u"frmConfirm" + mode, KIND_SKIN),
      confirm(&form_, u"btnConfirm", KIND_SKIN) {}

PanelExact::PanelExact(skinner::FormBase* form, const std::u16string& mode_)
    : ControlContainer(form, u"panelExact", KIND_SKIN),
      mode(mode_),
      cancel(&form_, u"Cancel", untranslated, 0, skinner::placement_menu),
      confirm_item(&form_, u"Confirm", untranslated, 0, skinner::placement_ok),
      confirm_panel(&form_, mode_),
      left(&form_, u"btnLeft" + mode_),
      right(&form_, u"btnRight" + mode_) {
    for (RepeatButton* arrow : {&left, &right}) {
        arrow->set_delays(first_delay, repeat_delay, delay_factor);
        arrow->set_want_focus(false);
    }
}

skinner::ControlButtonBase* PanelExact::button_for(skinner::Key key) {
    switch (key) {
    case skinner::Key::Left: return &left;
    case skinner::Key::Right: return &right;
    case skinner::Key::Enter: return &confirm_panel.confirm;
    default: return nullptr;
    }
}

bool PanelExact::on_keydown(skinner::Key key) {
    if (skinner::ControlButtonBase* button = button_for(key)) {
        button->set_pressed(true);
        return true;
    }
    return ControlContainer::on_keydown(key);
}

bool PanelExact::on_keyup(skinner::Key key) {
    if (skinner::ControlButtonBase* button = button_for(key)) {
        button->set_pressed(false);
        return true;
    }
    return ControlContainer::on_keyup(key);
}

}  // namespace app
