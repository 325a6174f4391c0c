#pragma once
// Objects, surfaces and colours for the painter tests; `using namespace test;` brings them in.
#include "model/paint/paint_context.h"
#include "model/paint/paint_dispatch.h"
#include "model/paint/paint_rules.h"
#include "model/shape/draw_obj.h"

#include <gtest/gtest.h>
#include <memory>

namespace qv::test {

// The surfaces' background.
constexpr ColorRef kWhite = 0x00FFFFFF;

inline std::unique_ptr<CDrawObj> makeShape(ShapeKind kind, Rect position)
{
    auto obj = std::make_unique<CDrawRect>(position);
    obj->SetKind(kind);
    obj->m_bHasPen = 1;
    obj->m_penInfo = {PS_SOLID, 1, 1, 0};
    obj->m_bHasBrush = 1;
    obj->m_brushInfo = {BS_SOLID, rgb(255, 0, 0), 0};
    return obj;
}

inline int countPixels(const Surface& s, ColorRef c, Rect area)
{
    area = area.intersected(s.bounds());
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += s.getPixel(x, y) == c;
    return n;
}

inline int countNot(const Surface& s, ColorRef c, Rect area)
{
    area = area.intersected(s.bounds());
    return area.width() * area.height() - countPixels(s, c, area);
}

// Pixels of `s` outside the object's box (either corner first) that are not `background`:
// whatever a painter makes of its block, it draws inside its own box.
inline int inkOutside(const Surface& s, ColorRef background, Rect box)
{
    return countNot(s, background, s.bounds()) - countNot(s, background, box.normalized());
}

} // namespace qv::test
