#pragma once
// A point or a size (x is the width, y the height) in pixels.
#include <algorithm>
#include <cstdint>

namespace skinner {

struct Point {
    int32_t x = 0;
    int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(int32_t px, int32_t py) : x(px), y(py) {}

    friend constexpr bool operator==(const Point&, const Point&) = default;
    friend constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
    friend constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
    // Truncates toward zero, as the centre of a control (size / 2.0) expects.
    friend constexpr Point operator/(Point a, double divisor) {
        double f = 1.0 / divisor;
        return {static_cast<int32_t>(a.x * f), static_cast<int32_t>(a.y * f)};
    }
};

constexpr Point max_point(Point a, Point b) {
    return {std::max(a.x, b.x), std::max(a.y, b.y)};
}

constexpr Point min_point(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y)};
}

}  // namespace skinner
