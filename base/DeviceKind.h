#pragma once
// A few known device models, told apart by the OEM information text. Only kind 8 changes
// behaviour (its display reports the orientation a quarter turn off).
#include <string>

namespace skinner {

constexpr int device_kind_none = 0;
constexpr int device_kind_moto_q = 8;

// The kind whose model name begins the OEM text, ignoring case; 0 for none.
int device_kind_of_oem(const std::u16string& oem_text);

// The kind of this device, asked of the system once and kept.
int device_kind();

}  // namespace skinner
