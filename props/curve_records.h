#pragma once
// The curve page's list: records read from and written to the block, add and delete on the
// page's copy, the row texts, the interval's rounding and the checks OK makes before the
// painter and the compiler divide by what the user typed.
#include "model/document/draw_doc.h"
#include "model/vars/var_bank.h"
#include "props/data_control_pages.h"

#include <span>
#include <string>

namespace qv {

CurveRecord ReadCurveRecord(std::span<const std::uint8_t> block, int i);
void WriteCurveRecord(std::span<std::uint8_t> block, int i, const CurveRecord& record);

// Appends a record; the refusal text ("最多支持64条曲线!!!") when the page is full.
std::string AddCurve(CurveControlPage& page, const CurveRecord& record);
// Removes record `row`; the records after it move down one place. Nothing for a bad row.
void DeleteCurve(CurveControlPage& page, int row);

inline constexpr const char* kTooManyCurves = "最多支持64条曲线!!!";

// The list's columns "曲线序号", "地址类型", "首地址", "末地址" for record `i` (GBK); a
// variable outside the table shows "?" in the last three.
struct CurveRowText {
    std::string number, type, start, end;
};
CurveRowText CurveRowTextOf(const CurveRecord& record, int i, std::uint32_t samples, const HmiVarTable& table);

// The interval as stored: rounded up to the next multiple of 50 ms.
std::uint32_t RoundCurveInterval(std::uint32_t interval);

// The checks of OK across both curve pages (GBK message, empty when the sheet may close).
std::string CheckCurvePages(const CurveShapePage& shape, const CurveControlPage& control, const HmiVarTable& table);

inline constexpr std::uint32_t kMinCurveSamples = 2;
inline constexpr std::uint32_t kMinCurveLabels = 2;
inline constexpr std::uint32_t kMaxCurveLineWidth = 65535;

} // namespace qv
