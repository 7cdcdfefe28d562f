// The one place where a skinned button gets its platform role, by its "Action" and the device.
// On a Smartphone the OK, Yes, Cancel and Close buttons and the focusable skin buttons without
// an Action live in the soft keys and are neither drawn nor hit.
#include "ui/application/Application.h"
#include "ui/controls/ControlButton.h"
#include "ui/controls/ControlCheckBox.h"
#include "ui/menus/ControlButtonImpl.h"
#include "ui/device/DeviceCapability.h"

namespace skinner {

namespace {

std::unique_ptr<ControlButtonImpl> plain(ControlButtonBase& button, bool drawn, bool focusable) {
    return std::make_unique<ControlButtonImplPlain>(button, drawn, focusable);
}

// The borders and corners of a window frame: never drawn, never focused.
bool is_frame_piece(ButtonAction action) {
    return action >= ButtonAction::BORDER_LEFT && action <= ButtonAction::CORNER_TOP_RIGHT;
}

std::unique_ptr<ControlButtonImpl> for_smartphone(ControlButtonBase& button) {
    if (is_frame_piece(button.get_action())) return plain(button, false, false);
    switch (button.get_action()) {
    case ButtonAction::CAPTION: return std::make_unique<ControlButtonCaptionSmartphone>(button);
    case ButtonAction::BUTTON_CLOSE: return std::make_unique<ControlButtonCloseSmartphone>(button);
    case ButtonAction::BUTTON_SYSMENU: return nullptr;
    case ButtonAction::BUTTON_OK:
    case ButtonAction::BUTTON_YES: return std::make_unique<ControlButtonSoftKey>(button, placement_ok);
    case ButtonAction::BUTTON_CANCEL: return std::make_unique<ControlButtonSoftKey>(button, placement_menu);
    case ButtonAction::BUTTON_NO_MENU: return plain(button, true, true);
    case ButtonAction::BUTTON_MINIMIZE:
    case ButtonAction::BUTTON_MAXIMIZE:
    case ButtonAction::BUTTON_SIMPLE_OK: return plain(button, false, false);
    default:
        if (button.get_kind() == Control::KIND_SKIN && button.wants_focus())
            return std::make_unique<ControlButtonSoftKey>(button, u"");
        return plain(button, true, false);
    }
}

std::unique_ptr<ControlButtonImpl> for_pocket(ControlButtonBase& button) {
    if (is_frame_piece(button.get_action())) return plain(button, false, false);
    const bool soft_keys = device_has_soft_keys();
    switch (button.get_action()) {
    case ButtonAction::CAPTION: return std::make_unique<ControlButtonImplCaptionPocket>(button);
    case ButtonAction::BUTTON_CLOSE: return std::make_unique<ControlButtonImplClosePocket>(button);
    case ButtonAction::BUTTON_SYSMENU: return nullptr;
    case ButtonAction::BUTTON_OK:
    case ButtonAction::BUTTON_YES: {
        const bool solid = button.get_action() == ButtonAction::BUTTON_YES;
        if (soft_keys) return std::make_unique<ControlButtonOKSmartphone>(button, solid);
        return std::make_unique<ControlButtonImplOKPocket>(button, solid);
    }
    case ButtonAction::BUTTON_CANCEL:
        if (soft_keys) return std::make_unique<ControlButtonSoftKey>(button, placement_menu, true, true);
        return plain(button, true, true);
    case ButtonAction::BUTTON_SIMPLE_OK: return std::make_unique<ControlButtonImplOKPocket>(button, false);
    default: return plain(button, true, true);
    }
}

}  // namespace

std::unique_ptr<ControlButtonImpl> ControlButton::create_impl(ControlButtonBase& button) {
    return static_capability_is_smartphone() ? for_smartphone(button) : for_pocket(button);
}

// A check box of the skin that takes the focus is a soft key on a Smartphone.
std::unique_ptr<ControlButtonImpl> ControlCheckBoxImpl::create_impl(ControlCheckBoxImpl& box) {
    if (static_capability_is_smartphone() && box.get_action() != ButtonAction::BUTTON_NO_MENU) {
        if (box.get_kind() == Control::KIND_SKIN && box.wants_focus()) return std::make_unique<ControlCheckBoxSoftKey>(box);
        return std::make_unique<ControlButtonImplPlain>(box, true, false);
    }
    return std::make_unique<ControlButtonImplPlain>(box, true, true);
}

}  // namespace skinner
