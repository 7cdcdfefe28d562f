#pragma once
// The modal tracking of an open menu, shared by TrackPopupMenuEx and the menu bar's drop-downs.
#include <vector>

#include "platform/Types.h"

namespace platform::menu {

struct TrackRequest {
    HMENU menu = nullptr;
    HWND owner = nullptr;   // a window of the calling thread; tracking ends if it goes away
    POINT anchor;           // screen coordinates
    UINT align = 0;         // TPM_ alignment flags
    bool select_first = false;  // opened by a key: the first item starts highlighted
};

// Shows the menu and runs its loop; the chosen item's identifier, or 0 when it was dismissed.
UINT track(const TrackRequest& request);
// Whether a menu is open (on any thread).
bool tracking();

// While a menu is open on the calling thread: the screen rectangles of the items of its level
// `depth` (0 the menu, 1 its open submenu...); nothing when that level is not open.
std::vector<RECT> open_menu_items(int depth);

// Where a menu of this size goes for an anchor and alignment: below the top bar, on the screen.
RECT place_menu(SIZE size, POINT anchor, UINT align);

}  // namespace platform::menu
