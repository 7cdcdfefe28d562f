#include "ui/device/WaitCursor.h"

#include "platform/window/Window.h"

namespace skinner {

WaitCursor::WaitCursor() : previous_(std::make_unique<HCURSOR>(GetCursor())) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

WaitCursor::~WaitCursor() {
    SetCursor(*previous_);
}

}  // namespace skinner
