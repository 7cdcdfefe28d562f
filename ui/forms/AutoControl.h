#pragma once
// The automatic controls: those a skin form lists by type ("Auto.Button", "Auto.Frame",
// "Auto.Picture", "Auto.Panel") instead of the application building them.
#include <cstdint>
#include <string>

namespace skinner {

class Control;
class FormBase;

// A new control of the type (owned by the caller), or null for a type that builds nothing. The
// controls stand above the forms, so this is defined among them (ui/controls/AutoControl.cpp).
Control* create_auto_control(const std::u16string& type, FormBase* form, const std::u16string& name, int32_t kind);

}  // namespace skinner
