#include "props/curve_records.h"

#include "model/params/blocks/curve_block.h"
#include "model/vars/hmi_var_table.h"

#include <algorithm>

namespace qv {

CurveRecord ReadCurveRecord(std::span<const std::uint8_t> block, int i)
{
    const blocks::curve::Record f = blocks::curve::record(i);
    const CurveBlock curve(block);
    CurveRecord r;
    r.varIndex = curve.get(f.index);
    r.color = static_cast<std::uint32_t>(curve.get(f.color));
    r.style = curve.get(f.style);
    r.typeCode = curve.get(f.type);
    r.lineWidth = curve.get(f.lineWidth);
    return r;
}

void WriteCurveRecord(std::span<std::uint8_t> block, int i, const CurveRecord& r)
{
    const blocks::curve::Record f = blocks::curve::record(i);
    const CurveBlockEdit curve(block);
    curve.set(f.index, r.varIndex);
    curve.set(f.color, static_cast<std::int32_t>(r.color));
    curve.set(f.style, r.style);
    curve.set(f.type, r.typeCode);
    curve.set(f.lineWidth, r.lineWidth);
}

std::string AddCurve(CurveControlPage& page, const CurveRecord& record)
{
    if (page.count >= kMaxCurves)
        return kTooManyCurves;
    page.records[static_cast<std::size_t>(std::max(page.count, 0))] = record;
    page.count = std::max(page.count, 0) + 1;
    return {};
}

void DeleteCurve(CurveControlPage& page, int row)
{
    if (row < 0 || row >= page.count)
        return;
    std::copy(page.records.begin() + row + 1, page.records.begin() + page.count, page.records.begin() + row);
    --page.count;
}

CurveRowText CurveRowTextOf(const CurveRecord& record, int i, std::uint32_t samples, const HmiVarTable& table)
{
    CurveRowText text{std::to_string(i), "?", "?", "?"};
    const std::optional<VarExtent> extent = varExtentOf(table, record.varIndex);
    if (record.varIndex < 0 || static_cast<std::size_t>(record.varIndex) >= table.size() || !extent)
        return text;
    text.type = table.type[static_cast<std::size_t>(record.varIndex)];
    text.start = std::to_string(extent->address);
    text.end = std::to_string(extent->address + static_cast<std::int64_t>(extent->width) * samples);
    return text;
}

std::uint32_t RoundCurveInterval(std::uint32_t interval)
{
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(interval) + 49) / 50 * 50);
}

std::string CheckCurvePages(const CurveShapePage& shape, const CurveControlPage& control, const HmiVarTable& table)
{
    // The painter divides by the samples less one, the labels less one and the range.
    if (control.samples < kMinCurveSamples)
        return "“采样数”不能小于2";
    if (shape.noLabels == 0 && static_cast<std::int32_t>(shape.labelCount) < static_cast<std::int32_t>(kMinCurveLabels))
        return "“标注个数”不能小于2";
    if (static_cast<std::int64_t>(shape.maximum) == static_cast<std::int64_t>(static_cast<std::int32_t>(shape.minimum)))
        return "“最大值”不能等于“最小值”";
    if (shape.interval > kMaxCurveInterval)
        return "“间隔”必须在0到10000之间";
    for (int i = 0; i < control.count && i < kMaxCurves; ++i) {
        const std::optional<VarExtent> extent = varExtentOf(table, control.records[static_cast<std::size_t>(i)].varIndex);
        if (extent && extent->address + static_cast<std::int64_t>(extent->width) * control.samples > kVarMemSize)
            return "曲线" + std::to_string(i) + "的“末地址”超出了变量内存（65536字节）";
    }
    return {};
}

} // namespace qv
