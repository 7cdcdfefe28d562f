#pragma once
// The desktop keyboard as the device's keys.
#include <SDL.h>

#include "platform/Types.h"
#include "platform/device/DeviceProfile.h"

namespace platform {

// The device key of a desktop key, as the SDL display hands it on; 0 for keys the device has
// not (their text, if any, arrives as characters).
UINT device_key(SDL_Keycode key, Uint16 modifiers, DeviceType device);

}  // namespace platform
