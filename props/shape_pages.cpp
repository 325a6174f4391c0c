#include "props/shape_pages.h"

namespace qv {

RectPage LoadRectPage(const CDrawObj& obj)
{
    RectPage page;
    page.showFill = obj.Kind() != ShapeKind::Line;
    page.showLineType = obj.Kind() == ShapeKind::Rectangle;
    if (obj.Kind() == ShapeKind::Rectangle) {
        LoadBlockFields<RectPage>(kRectangleBlockFields, obj.m_Params, page);
        return page;
    }
    page.noFill = obj.m_bHasBrush == 0 ? 1 : 0;
    page.lineWidth = obj.m_bHasPen != 0 ? static_cast<std::uint32_t>(obj.m_penInfo.widthX) : 0;
    page.lineColor = obj.m_penInfo.color;
    page.fillColor = obj.m_brushInfo.color;
    return page;
}

void CommitRectPage(const RectPage& page, CDrawObj& obj)
{
    if (obj.Kind() == ShapeKind::Rectangle) {
        CommitBlockFields<RectPage>(kRectangleBlockFields, page, obj.m_Params);
        return;
    }
    // Only what the user changed goes back, so a shape whose stored flags are not plain
    // 0/1 keeps its bytes when the page is closed unchanged.
    if ((page.noFill == 0) != (obj.m_bHasBrush != 0))
        obj.m_bHasBrush = page.noFill == 0 ? 1 : 0;
    obj.m_brushInfo.color = page.fillColor;
    if ((page.lineWidth != 0) != (obj.m_bHasPen != 0))
        obj.m_bHasPen = page.lineWidth != 0 ? 1 : 0;
    // A width of 0 removes the pen but keeps its width and colour for a later edit.
    if (page.lineWidth != 0) {
        obj.m_penInfo.widthX = static_cast<std::int32_t>(page.lineWidth);
        obj.m_penInfo.widthY = static_cast<std::int32_t>(page.lineWidth);
        obj.m_penInfo.color = page.lineColor;
    }
}

TextPage LoadTextPage(const CDrawObj& obj)
{
    return {obj.m_strName, static_cast<std::uint32_t>(obj.m_bTransparent), obj.m_penInfo.color, obj.m_brushInfo.color,
            obj.m_logfont};
}

void CommitTextPage(const TextPage& page, CDrawObj& obj)
{
    if ((page.transparent != 0) != (obj.m_bTransparent != 0))
        obj.m_bTransparent = page.transparent != 0 ? 1 : 0;
    obj.m_strName = page.text;
    obj.m_penInfo.color = page.textColor;
    obj.m_brushInfo.color = page.backColor;
    obj.m_logfont = page.font;
}

PositionPage LoadPositionPage(const CDrawObj& obj, const WindowFrame& frame, bool showOriginalSize)
{
    const Rect r = obj.Kind() == ShapeKind::Line ? obj.m_rcPosition : obj.m_rcPosition.normalized();
    PositionPage page;
    page.position = ToFrameRect(r, frame);
    page.locked = static_cast<std::uint32_t>(obj.m_bLocked);
    page.originalSize = showOriginalSize ? static_cast<std::uint32_t>(obj.m_bOriginalSize) : 0;
    page.showOriginalSize = showOriginalSize;
    return page;
}

} // namespace qv
