#pragma once
// Shows the wait cursor for its lifetime, then the cursor that was shown before.
#include <memory>

#include "platform/Types.h"

namespace skinner {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    std::unique_ptr<HCURSOR> previous_;
};

}  // namespace skinner
