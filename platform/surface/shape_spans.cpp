#include "platform/surface/shape_spans.h"

#include <algorithm>
#include <cstdint>

namespace qv {
namespace {

std::int64_t isqrt(std::int64_t v)
{
    if (v <= 0)
        return 0;
    std::int64_t r = 0;
    std::int64_t bit = std::int64_t{1} << 62;
    while (bit > v)
        bit >>= 2;
    while (bit != 0) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return r;
}

// Left inset of row `yy` (counted from the nearest horizontal edge) inside a corner
// ellipse of cw x ch pixels. Works in doubled coordinates so pixel centres are integers.
int cornerInset(int cw, int ch, int yy)
{
    if (cw <= 1 || ch <= 1)
        return 0;
    const std::int64_t a = cw - 1;           // doubled horizontal radius
    const std::int64_t b = ch - 1;           // doubled vertical radius
    const std::int64_t dy = 2 * yy - b;      // doubled distance from the ellipse's centre row
    const std::int64_t room = (b * b - dy * dy) * a * a / (b * b);
    const std::int64_t reach = 1 + isqrt(room); // doubled half-width, one half pixel of slack
    const std::int64_t inset = (a - reach + 1) / 2;
    return static_cast<int>(std::max<std::int64_t>(inset, 0));
}

} // namespace

bool rowSpan(const RoundedBox& shape, int y, int& x0, int& x1)
{
    const Rect& r = shape.box;
    if (r.isEmpty() || y < r.top || y >= r.bottom)
        return false;
    const int cw = std::clamp(shape.cornerW, 0, r.width());
    const int ch = std::clamp(shape.cornerH, 0, r.height());
    const int yy = std::min(y - r.top, r.bottom - 1 - y);
    int inset = 0;
    if (yy < ch / 2)
        inset = cornerInset(cw, ch, yy);
    x0 = r.left + inset;
    x1 = r.right - 1 - inset;
    return x0 <= x1;
}

RoundedBox shrunk(const RoundedBox& shape, int d)
{
    RoundedBox s = shape;
    s.box = shape.box.deflated(d);
    const bool wasEllipse = shape.cornerW >= shape.box.width() && shape.cornerH >= shape.box.height();
    if (wasEllipse) {
        s.cornerW = s.box.width();
        s.cornerH = s.box.height();
    } else {
        s.cornerW = std::max(0, shape.cornerW - 2 * d);
        s.cornerH = std::max(0, shape.cornerH - 2 * d);
    }
    return s;
}

} // namespace qv
