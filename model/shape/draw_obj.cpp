#include "model/shape/draw_obj.h"

#include <algorithm>
#include <limits>

#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/shape/shape_region.h"

namespace qv {

namespace {

std::int32_t saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// Middle of two coordinates, rounded toward the first as integer division does.
std::int32_t middle(std::int32_t a, std::int32_t b) { return saturate(a + (std::int64_t(b) - a) / 2); }

LogFont zeroFont()
{
    LogFont f;
    f.lfHeight = f.lfWidth = f.lfEscapement = f.lfOrientation = f.lfWeight = 0;
    f.lfItalic = f.lfUnderline = f.lfStrikeOut = f.lfCharSet = 0;
    f.lfOutPrecision = f.lfClipPrecision = f.lfQuality = f.lfPitchAndFamily = 0;
    f.lfFaceName.fill(0);
    return f;
}

LogFont defaultFont()
{
    LogFont f = zeroFont();
    f.lfHeight = 16;
    f.lfWidth = 8;
    f.lfWeight = 400;
    f.lfCharSet = 134;   // GB2312
    f.setFaceName("黑体");
    return f;
}

bool hasRoundCorner(ShapeKind kind) { return kind == ShapeKind::RoundRect || kind == ShapeKind::Button; }
bool holdsFourStateTexts(ShapeKind kind) { return kind == ShapeKind::BitSwitch || kind == ShapeKind::Indicator; }

// What every Duplicate copies: pen, brush, strings and the parameter block.
void copyDuplicatedBase(const CDrawObj& from, CDrawObj& to)
{
    to.m_bHasPen = from.m_bHasPen;
    to.m_penInfo = from.m_penInfo;
    to.m_bHasBrush = from.m_bHasBrush;
    to.m_brushInfo = from.m_brushInfo;
    to.m_strFiles = from.m_strFiles;
    to.m_Params = from.m_Params;
}

} // namespace

CDrawObj::CDrawObj() : m_logfont(zeroFont()) {}

CDrawObj::CDrawObj(const Rect& position)
    : m_strName("文字"),
      m_rcPosition(position),
      m_bHasPen(1),
      m_penInfo{PS_INSIDEFRAME, 3, 3, 0},
      m_bHasBrush(1),
      m_brushInfo{BS_SOLID, 0x00FFFFFF, 0},
      m_logfont(defaultFont()),
      m_clrTransparent(0x00FFFFFF)
{
}

CDrawObj::CDrawObj(std::string nameGbk) : m_strName(std::move(nameGbk)), m_logfont(zeroFont()) {}

CDrawRect::CDrawRect(const Rect& position) : CDrawObj(position)
{
    SetKind(ShapeKind::Rectangle);
    m_cornerSize = kDefaultCornerSize;
}

// ---- handles -----------------------------------------------------------------------------

Point CDrawObj::HandlePoint(int handle) const
{
    const Rect& r = m_rcPosition;
    const std::int32_t cx = middle(r.left, r.right);
    const std::int32_t cy = middle(r.top, r.bottom);
    switch (handle) {
    case 1: return {r.left, r.top};
    case 2: return {cx, r.top};
    case 3: return {r.right, r.top};
    case 4: return {r.right, cy};
    case 5: return {r.right, r.bottom};
    case 6: return {cx, r.bottom};
    case 7: return {r.left, r.bottom};
    case 8: return {r.left, cy};
    default: return {cx, cy};
    }
}

HandleCursor CDrawObj::HandleCursorFor(int handle) const
{
    switch (handle) {
    case 2: case 6: return HandleCursor::SizeNS;
    case 3: case 7: return HandleCursor::SizeNESW;
    case 4: case 8: return HandleCursor::SizeWE;
    default: return HandleCursor::SizeNWSE;
    }
}

Rect CDrawObj::HandleRect(int handle, const ShapeView* view) const
{
    Point p = HandlePoint(handle);
    if (view)
        p = view->DocToClientPoint(p);
    Rect r{p.x - 3, p.y - 3, p.x + 3, p.y + 3};
    return view ? view->ClientToDocRect(r) : r;
}

int CDrawObj::HandleAtPoint(Point p, const ShapeView* view, bool selected) const
{
    if (!selected)
        return m_rcPosition.contains(p.x, p.y) ? 1 : 0;
    const int count = CountHandles();
    for (int h = 1; h <= count; ++h)
        if (HandleRect(h, view).normalized().contains(p.x, p.y))
            return h;
    return 0;
}

int CDrawRect::CountHandles() const
{
    if (Kind() == ShapeKind::Line)
        return 2;
    return hasRoundCorner(Kind()) ? 9 : 8;
}

Point CDrawRect::HandlePoint(int handle) const
{
    if (Kind() == ShapeKind::Line && handle == 2)
        return CDrawObj::HandlePoint(5);
    if (handle == 9 && hasRoundCorner(Kind())) {
        const Rect n = m_rcPosition.normalized();
        return {saturate(std::int64_t(n.right) - m_cornerSize.cx / 2), saturate(std::int64_t(n.bottom) - m_cornerSize.cy / 2)};
    }
    return CDrawObj::HandlePoint(handle);
}

HandleCursor CDrawRect::HandleCursorFor(int handle) const
{
    if (Kind() == ShapeKind::Line && handle == 2)
        return CDrawObj::HandleCursorFor(5);
    if (handle == 9 && hasRoundCorner(Kind()))
        return HandleCursor::SizeAll;
    return CDrawObj::HandleCursorFor(handle);
}

// ---- position ----------------------------------------------------------------------------

void CDrawObj::Invalidate(ShapeView* view)
{
    if (view)
        view->InvalidateObject(this);
    else
        Redraw();
}

void CDrawObj::Redraw()
{
    // The owner's views show the object; another document's views would not.
    if (m_pOwnerDoc)
        m_pOwnerDoc->UpdateAllViews(nullptr, 0, this);
}

void CDrawObj::SetPenColor(ColorRef color)
{
    m_penInfo.color = color;
    Redraw();
}

void CDrawObj::SetBrushColor(ColorRef color)
{
    m_brushInfo.color = color;
    Redraw();
}

void CDrawObj::SetPosition(const Rect& position, ShapeView* view)
{
    if (position == m_rcPosition)
        return;
    Invalidate(view);
    m_rcPosition = position;
    Invalidate(view);
}

bool CDrawObj::Overlaps(const Rect& r) const
{
    return !m_rcPosition.normalized().intersected(r.normalized()).isEmpty();
}

bool CDrawRect::Overlaps(const Rect& r) const
{
    const Rect q = r.normalized();
    const Rect n = m_rcPosition.normalized();
    switch (Kind()) {
    case ShapeKind::Line: {
        // The band follows the line as drawn (not the normalised diagonal), and a
        // horizontal or vertical line, whose box has no area, can still be hit.
        const int dx = saturate((std::int64_t(m_penInfo.widthX) + 5) / 2);
        const int dy = saturate((std::int64_t(m_penInfo.widthY) + 5) / 2);
        return region::LineBandMeets({m_rcPosition.left, m_rcPosition.top}, {m_rcPosition.right, m_rcPosition.bottom}, dx, dy, q);
    }
    case ShapeKind::RoundRect:
    case ShapeKind::Button:
    case ShapeKind::RealTimeNumber:
        return region::RoundRectMeets(n, m_cornerSize, q);
    case ShapeKind::Ellipse:
    case ShapeKind::Circle:
        return region::EllipseMeets(n, q);
    default:
        return CDrawObj::Overlaps(r);
    }
}

bool CDrawObj::IsInsideRect(const Rect& r) const
{
    const Rect n = m_rcPosition.normalized();
    const Rect q = r.normalized();
    return n.left >= q.left && n.top >= q.top && n.right < q.right && n.bottom < q.bottom;
}

void CDrawObj::DragHandle(int handle, Point p, ShapeView* view)
{
    Rect r = m_rcPosition;
    switch (handle) {
    case 1: r.left = p.x; r.top = p.y; break;
    case 2: r.top = p.y; break;
    case 3: r.right = p.x; r.top = p.y; break;
    case 4: r.right = p.x; break;
    case 5: r.right = p.x; r.bottom = p.y; break;
    case 6: r.bottom = p.y; break;
    case 7: r.left = p.x; r.bottom = p.y; break;
    case 8: r.left = p.x; break;
    default: return;
    }
    if (view)
        r = view->ClampRectToWindow(r);
    SetPosition(r, view);
}

void CDrawRect::DragHandle(int handle, Point p, ShapeView* view)
{
    if (Kind() == ShapeKind::Line && handle == 2)
        handle = 5;
    if (handle == 9 && hasRoundCorner(Kind())) {
        const Rect n = m_rcPosition.normalized();
        const std::int32_t x = p.x > n.right - std::int64_t(1) ? saturate(std::int64_t(n.right) - 1) : std::max(p.x, middle(n.left, n.right));
        const std::int32_t y = p.y > n.bottom - std::int64_t(1) ? saturate(std::int64_t(n.bottom) - 1) : std::max(p.y, middle(n.top, n.bottom));
        m_cornerSize = {saturate(2 * (std::int64_t(n.right) - x)), saturate(2 * (std::int64_t(n.bottom) - y))};
        Invalidate(view);
        return;
    }
    CDrawObj::DragHandle(handle, p, view);
}

// ---- copies ------------------------------------------------------------------------------

std::unique_ptr<CDrawObj> CDrawObj::Duplicate() const
{
    auto copy = std::make_unique<CDrawObj>(m_rcPosition);
    copyDuplicatedBase(*this, *copy);
    return copy;
}

std::unique_ptr<CDrawObj> CDrawRect::Duplicate() const
{
    auto copy = std::make_unique<CDrawRect>(m_rcPosition);
    copyDuplicatedBase(*this, *copy);
    copy->m_nKind = m_nKind;
    copy->m_cornerSize = m_cornerSize;
    copy->m_clrTransparent = m_clrTransparent;
    copy->m_bTransparent = m_bTransparent;
    copy->m_bOriginalSize = m_bOriginalSize;
    copy->m_strName = m_strName;
    copy->m_logfont = m_logfont;
    copy->m_bControl = m_bControl;
    return copy;
}

CDrawObj* CDrawObj::DuplicateInto(CDrawDoc& doc) const
{
    return doc.AddObject(Duplicate());
}

void CDrawRect::PadStateTexts()
{
    if (holdsFourStateTexts(Kind()) && m_strFiles.size() == 2) {
        m_strFiles.emplace_back();
        m_strFiles.emplace_back();
    }
}

// ---- parameter block ---------------------------------------------------------------------

std::int32_t CDrawObj::ParamI32(std::size_t offset) const
{
    return offset > kParamBlockSize ? 0 : blockReadI32(m_Params, static_cast<int>(offset));
}

void CDrawObj::SetParamI32(std::size_t offset, std::int32_t value)
{
    if (offset <= kParamBlockSize)
        blockWriteI32(m_Params, static_cast<int>(offset), value);
}

std::uint8_t CDrawObj::ParamU8(std::size_t offset) const
{
    return offset >= kParamBlockSize ? 0 : m_Params[offset];
}

void CDrawObj::SetParamU8(std::size_t offset, std::uint8_t value)
{
    if (offset < kParamBlockSize)
        m_Params[offset] = value;
}

} // namespace qv
