#pragma once
// What kind of device the framework runs on, which picks the Smartphone or the Pocket PC
// variants of forms, buttons and menu bars.

namespace skinner {

// True on a Smartphone, false on a Pocket PC (any other platform text).
bool static_capability_is_smartphone();

// Whether the device has soft keys: a Smartphone, or a Pocket PC of major version 5 or later.
bool device_has_soft_keys();

}  // namespace skinner
