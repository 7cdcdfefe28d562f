// The one place where a skinned button gets its platform role. Until the soft keys and the
// form's OK and Close roles exist, every Action makes a plain button that is drawn and
// takes the focus.
#include "ui/ControlButton.h"

namespace skinner {

std::unique_ptr<ControlButtonImpl> ControlButton::create_impl(ControlButtonBase& button) {
    return std::make_unique<ControlButtonImplPlain>(button, true, true);
}

}  // namespace skinner
