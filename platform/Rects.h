#pragma once
// Rectangle arithmetic the platform's pieces share: right and bottom are exclusive.
#include <algorithm>

#include "platform/Types.h"

namespace platform {

inline bool rect_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

inline bool rect_contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

inline bool rect_overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The smallest rectangle holding both.
inline RECT rect_bounds(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace platform
