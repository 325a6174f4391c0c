#pragma once
// Plain integer geometry in document coordinates. A rectangle keeps the corners it was
// given (a line runs from (left, top) to (right, bottom)); Normalized() orders them.
#include <algorithm>
#include <cstdint>

namespace qv {

using ColorRef = std::uint32_t; // 0x00BBGGRR

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const Rect&, const Rect&) = default;

    Rect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Right and bottom edges are outside, as for every rectangle of the editor.
    bool Contains(Point p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
    // Both rectangles taken as given (normalise first); true when they share an area.
    bool Intersects(const Rect& o) const
    {
        return std::max(left, o.left) < std::min(right, o.right) && std::max(top, o.top) < std::min(bottom, o.bottom);
    }
    Rect Intersection(const Rect& o) const
    {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
};

} // namespace qv
