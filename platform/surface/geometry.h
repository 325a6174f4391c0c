#pragma once
// Integer rectangles and points with the platform's conventions: a rectangle covers
// [left, right) x [top, bottom); it is not necessarily normalised.
#include <algorithm>

namespace qv {

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

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }

    Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    Rect deflated(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    Rect deflated(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
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
