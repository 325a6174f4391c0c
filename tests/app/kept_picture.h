#pragma once
// The editing view's kept picture after every pending paint, to compare the picture that
// partial repaints built with a full repaint of the same state.
#include "app/view/draw_view.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv::test {

inline std::vector<std::uint32_t> keptPicture(const CDrawView& view)
{
    QCoreApplication::processEvents();
    const Surface& s = view.PaintSurface();
    return {s.bits(), s.bits() + static_cast<std::size_t>(s.width()) * s.height()};
}

// Pixels that differ; every pixel when the sizes differ.
inline std::size_t differingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        differing += a[i] != b[i] ? 1 : 0;
    return differing;
}

} // namespace qv::test
