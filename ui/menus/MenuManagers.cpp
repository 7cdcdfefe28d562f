// The menu bar a form window gets: the device decides.
#include "ui/device/DeviceCapability.h"
#include "ui/forms/MenuManager.h"
#include "ui/menus/MenuManagerImplPocket.h"
#include "ui/menus/MenuManagerSmartphone.h"

namespace skinner {

// A Pocket PC of major version 5 and later has two soft keys in place of a tool bar.
std::unique_ptr<MenuManager> MenuManager::create_for_device() {
    if (static_capability_is_smartphone()) return std::make_unique<MenuManagerSmartphone>();
    return std::make_unique<MenuManagerImplPocket>(device_has_soft_keys());
}

}  // namespace skinner
