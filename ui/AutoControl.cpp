#include "ui/AutoControl.h"

namespace skinner {

// Each type joins here as its control class is built; until then a type builds nothing.
Control* create_auto_control(const std::u16string&, FormBase*, const std::u16string&, int32_t) { return nullptr; }

}  // namespace skinner
