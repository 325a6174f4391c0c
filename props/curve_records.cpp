#include "props/curve_records.h"

#include "model/params/block_bytes.h"
#include "model/vars/hmi_var_table.h"

#include <algorithm>

namespace qv {

CurveRecord ReadCurveRecord(std::span<const std::uint8_t> block, int i)
{
    const int at = kCurveRecordBase + kCurveRecordSize * i;
    CurveRecord r;
    r.varIndex = blockReadI32(block, at);
    r.color = blockReadU(block, at + 4, 4);
    r.style = static_cast<std::uint8_t>(blockReadU(block, at + 8, 1));
    r.typeCode = static_cast<std::uint8_t>(blockReadU(block, at + 9, 1));
    r.lineWidth = static_cast<std::uint16_t>(blockReadU(block, at + 10, 2));
    return r;
}

void WriteCurveRecord(std::span<std::uint8_t> block, int i, const CurveRecord& r)
{
    const int at = kCurveRecordBase + kCurveRecordSize * i;
    blockWriteI32(block, at, r.varIndex);
    blockWriteU(block, at + 4, 4, r.color);
    blockWriteU(block, at + 8, 1, r.style);
    blockWriteU(block, at + 9, 1, r.typeCode);
    blockWriteU(block, at + 10, 2, r.lineWidth);
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
