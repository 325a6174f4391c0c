#pragma once
// Integer rectangles and points with the platform's conventions: a rectangle covers
// [left, right) x [top, bottom); it is not necessarily normalised. Coordinates come from
// files, so sizes and moved edges are worked out in 64 bits and saturate to the int range
// instead of wrapping.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace qv {

constexpr int saturateToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    std::int64_t width64() const { return std::int64_t{right} - left; }
    std::int64_t height64() const { return std::int64_t{bottom} - top; }
    int width() const { return saturateToInt(width64()); }
    int height() const { return saturateToInt(height64()); }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    // Edges worked out in 64 bits, each held to the int range.
    static constexpr Rect saturated(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b)
    {
        return {saturateToInt(l), saturateToInt(t), saturateToInt(r), saturateToInt(b)};
    }
    Rect deflated(int d) const { return deflated(d, d); }
    Rect deflated(int dx, int dy) const
    {
        return saturated(std::int64_t{left} + dx, std::int64_t{top} + dy, std::int64_t{right} - dx, std::int64_t{bottom} - dy);
    }
    Rect offset(int dx, int dy) const
    {
        return saturated(std::int64_t{left} + dx, std::int64_t{top} + dy, std::int64_t{right} + dx, std::int64_t{bottom} + dy);
    }
    Rect intersected(const Rect& o) const
    {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        if (r.isEmpty())
            return {};
        return r;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace qv
