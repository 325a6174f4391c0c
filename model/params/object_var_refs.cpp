#include "model/params/object_var_refs.h"

#include "model/vars/hmi_var_table.h"

#include <algorithm>

namespace qv {

namespace {
int scaleAxis(int value, int base, int oldSize, int newSize, int shift)
{
    if (oldSize == 0)
        return value - shift;
    return static_cast<int>(std::int64_t{value - base} * newSize / oldSize + base - shift);
}
int scaleLength(int length, int oldSize, int newSize)
{
    return oldSize == 0 ? length : static_cast<int>(std::int64_t{newSize} * length / oldSize);
}
} // namespace

Rect rescaleRect(const Rect& r, const RescaleFrame& frame, int oldWidth, int oldHeight, int newWidth,
                 int newHeight, int dx, int dy)
{
    Rect out;
    out.left = scaleAxis(r.left, frame.margin.x + frame.origin.x, oldWidth, newWidth, dx);
    out.top = scaleAxis(r.top, frame.margin.y + frame.origin.y, oldHeight, newHeight, dy);
    out.right = out.left + scaleLength(r.right - r.left, oldWidth, newWidth);
    out.bottom = out.top + scaleLength(r.bottom - r.top, oldHeight, newHeight);
    return out;
}

VarResolver resolverFor(const HmiVarTable* table)
{
    return [table](std::int32_t row) { return table ? varBindingOf(*table, row) : VarBinding{}; };
}

VarExtentResolver extentResolverFor(const HmiVarTable* table)
{
    return [table](std::int32_t row) { return table ? varExtentOf(*table, row) : std::nullopt; };
}

bool IsBindingValid(const CDrawObj& obj) { return isBindingValid(obj.Kind(), obj.m_Params); }

void CollectVarSizes(const CDrawObj& obj, std::span<unsigned> sizes, const HmiVarTable& table)
{
    collectVarSizes(obj.Kind(), obj.m_Params, sizes, [&](std::int32_t row) {
        const auto extent = varExtentOf(table, row);
        return extent ? extent->width : 0;
    });
}

VarReferenceOps::VarReferenceOps(std::function<const HmiVarTable*()> projectTable)
    : m_projectTable(std::move(projectTable))
{
}

const HmiVarTable* VarReferenceOps::Table() const
{
    if (m_projectTable)
        return m_projectTable();
    const CDrawDoc* project = documentEnvironment().ProjectDocument();
    return project ? &project->m_varTable : nullptr;
}

void VarReferenceOps::RenumberAfterVarDelete(CDrawObj& obj, int row)
{
    renumberAfterVarDelete(obj.Kind(), obj.m_Params, row, resolverFor(Table()));
}

void VarReferenceOps::ClearVarReferences(CDrawObj& obj) { clearVarRefs(obj.Kind(), obj.m_Params, resolverFor(Table())); }

void VarReferenceOps::RefreshVarReferences(CDrawObj& obj, std::string_view)
{
    refreshVarRefs(obj.Kind(), obj.m_Params, resolverFor(Table()));
}

void VarReferenceOps::RenumberAfterVarSwap(CDrawObj& obj, int row)
{
    renumberAfterVarSwap(obj.Kind(), obj.m_Params, row, resolverFor(Table()));
}

void VarReferenceOps::RenumberAfterVarMove(CDrawObj& obj, int target)
{
    renumberAfterVarMove(obj.Kind(), obj.m_Params, m_nMoveSource, target, resolverFor(Table()));
}

void VarReferenceOps::UpdateCurveAddressMax(CDrawObj& obj)
{
    if (const auto end = curveAddressEnd(obj.Kind(), obj.m_Params, extentResolverFor(Table())))
        m_nCurveAddressMax = std::max(m_nCurveAddressMax, *end);
}

void VarReferenceOps::UpdateStringAddressMax(CDrawObj& obj)
{
    if (const auto end = stringAddressEnd(obj.Kind(), obj.m_Params, extentResolverFor(Table())))
        m_nStringAddressMax = std::max(m_nStringAddressMax, *end);
}

void VarReferenceOps::RescaleRect(CDrawObj& obj, int oldWidth, int oldHeight, int newWidth, int newHeight, int dx, int dy)
{
    const Point margins = documentEnvironment().PageMargins();
    const Point origin = obj.m_pOwnerDoc ? obj.m_pOwnerDoc->m_ptWindowOrigin : Point{};
    obj.m_rcPosition = rescaleRect(obj.m_rcPosition, {margins, origin}, oldWidth, oldHeight, newWidth, newHeight, dx, dy);
}

} // namespace qv
