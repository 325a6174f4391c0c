#include "model/paint/gradient.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace qv {
namespace {

// Rectangles come from project files: no gradient needs more bands than a panel has pixels.
constexpr int kMaxBands = 1 << 16;

// Calls band(k, colour) for k = 0 .. count-1 with the colour of band k.
template <typename Band>
void walkGradient(ColorRef from, ColorRef to, int count, Band&& band)
{
    count = std::min(count, kMaxBands);
    std::array<int, 3> c{redOf(from), greenOf(from), blueOf(from)};
    const std::array<int, 3> t{redOf(to), greenOf(to), blueOf(to)};
    for (int n = count, k = 0; n >= 1; --n, ++k) {
        band(k, rgb(c[0], c[1], c[2]));
        for (int i = 0; i < 3; ++i)
            c[i] = c[i] + (n / 2 + t[i] - c[i]) / n;
    }
}

} // namespace

void FillGradientVertical(Surface& dc, ColorRef from, ColorRef to, const Rect& r)
{
    if (r.width() <= 0)
        return;
    walkGradient(from, to, r.height(), [&](int k, ColorRef c) { dc.fillRect({r.left, r.top + k, r.right, r.top + k + 1}, c); });
}

void FillGradientHorizontal(Surface& dc, ColorRef from, ColorRef to, const Rect& r)
{
    if (r.height() <= 0)
        return;
    // The bands are columns: one row of them, copied down every row.
    thread_local std::vector<std::uint32_t> row;
    row.clear();
    walkGradient(from, to, r.width(), [&](int, ColorRef c) { row.push_back(toPixel(c)); });
    dc.fillRows({r.left, r.top, r.left + static_cast<int>(row.size()), r.bottom}, row);
}

void CopyRotated90(Surface& target, int x, int, int, int bottom, const Surface& source, int left, int top, int right,
                   int bottom2)
{
    // Only pixels the source has can be copied; the mapping of the others is unchanged.
    const Rect block = Rect{left, top, right, bottom2}.intersected(source.bounds());
    for (int i = block.top; i < block.bottom; ++i)
        for (int j = block.left; j < block.right; ++j)
            target.setPixel(x + (i - top), bottom - 1 - (j - left), source.getPixel(j, i));
}

} // namespace qv
