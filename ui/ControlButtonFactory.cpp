// The one place where a skinned button gets its platform role, by its "Action" and the device.
// On a Smartphone the OK, Yes, Cancel and Close buttons and the focusable skin buttons without
// an Action live in the soft keys and are neither drawn nor hit.
#include "ui/Application.h"
#include "ui/ControlButton.h"
#include "ui/ControlButtonImpl.h"

namespace skinner {

namespace {

std::unique_ptr<ControlButtonImpl> plain(ControlButtonBase& button, bool drawn, bool focusable) {
    return std::make_unique<ControlButtonImplPlain>(button, drawn, focusable);
}

std::unique_ptr<ControlButtonImpl> for_smartphone(ControlButtonBase& button) {
    switch (button.get_action()) {
    case ButtonAction::CAPTION: return std::make_unique<ControlButtonCaptionSmartphone>(button);
    case ButtonAction::BUTTON_CLOSE: return std::make_unique<ControlButtonCloseSmartphone>(button);
    case ButtonAction::BUTTON_SYSMENU: return nullptr;
    case ButtonAction::BUTTON_OK:
    case ButtonAction::BUTTON_YES: return std::make_unique<ControlButtonSoftKey>(button, placement_ok);
    case ButtonAction::BUTTON_CANCEL: return std::make_unique<ControlButtonSoftKey>(button, placement_menu);
    case ButtonAction::BUTTON_NO_MENU: return plain(button, true, true);
    case ButtonAction::BORDER_LEFT:
    case ButtonAction::BORDER_RIGHT:
    case ButtonAction::BORDER_BOTTOM:
    case ButtonAction::BORDER_TOP:
    case ButtonAction::CORNER_BOTTOM_LEFT:
    case ButtonAction::CORNER_BOTTOM_RIGHT:
    case ButtonAction::CORNER_TOP_LEFT:
    case ButtonAction::CORNER_TOP_RIGHT:
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
    case ButtonAction::BORDER_LEFT:
    case ButtonAction::BORDER_RIGHT:
    case ButtonAction::BORDER_BOTTOM:
    case ButtonAction::BORDER_TOP:
    case ButtonAction::CORNER_BOTTOM_LEFT:
    case ButtonAction::CORNER_BOTTOM_RIGHT:
    case ButtonAction::CORNER_TOP_LEFT:
    case ButtonAction::CORNER_TOP_RIGHT: return plain(button, false, false);
    default: return plain(button, true, true);
    }
}

}  // namespace

std::unique_ptr<ControlButtonImpl> ControlButton::create_impl(ControlButtonBase& button) {
    return static_capability_is_smartphone() ? for_smartphone(button) : for_pocket(button);
}

}  // namespace skinner
