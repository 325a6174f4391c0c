#pragma once
// The curve's parameter block (kind 11): the chart's look and range, the plot area the painter
// stores for the compiler, the curve records, the sampling and the hide reference.
#include "model/params/blocks/link_fields.h"
#include "model/params/param_field.h"

#include <cstdint>

namespace qv {

struct CurveBlockTag {};

namespace blocks::curve {
template <class T>
using Field = ParamField<T, CurveBlockTag>;
using Link = LinkFields<CurveBlockTag>;

inline constexpr Field<std::int32_t> kLabelColor{0};
inline constexpr Field<std::int32_t> kGridColor{4};
inline constexpr Field<std::int32_t> kBackColor{8};
inline constexpr Field<std::int32_t> kGridWidth{12};
inline constexpr Field<std::int32_t> kTransparent{16};
inline constexpr Field<std::int32_t> kNoGrid{20};
inline constexpr Field<std::int32_t> kVerticalDivisions{24};
inline constexpr Field<std::int32_t> kHorizontalDivisions{28};
inline constexpr Field<std::int32_t> kNoLabels{32};
inline constexpr Field<std::int32_t> kTopValue{36};
inline constexpr Field<std::int32_t> kLabelDecimals{40};
inline constexpr Field<std::int32_t> kLabelCount{44};
inline constexpr Field<std::int32_t> kBottomValue{48};
inline constexpr Field<std::int32_t> kBottomMargin{52};
inline constexpr Field<std::int32_t> kLeftMargin{56};
inline constexpr Field<std::int32_t> kLargestSize{60};  // written by the painter
// The plot area the painter stores for the compiler.
inline constexpr Field<std::uint16_t> kPlotLeft{64};
inline constexpr Field<std::uint16_t> kPlotBottom{66};
inline constexpr Field<std::uint16_t> kPlotWidth{68};
inline constexpr Field<std::uint16_t> kPlotHeight{70};
inline constexpr Field<std::int32_t> kPointCount{76};  // samples per curve
inline constexpr Field<std::int32_t> kCurveCount{80};

// The curve records: record i at kRecordBase + kRecordSize * i, at most kMaxRecords (they
// end where the hide switch is).
inline constexpr int kRecordBase = 84;
inline constexpr int kRecordSize = 12;
inline constexpr int kMaxRecords = 64;
// Within a record.
inline constexpr int kRecordIndex = 0, kRecordColor = 4, kRecordStyle = 8, kRecordType = 9, kRecordLineWidth = 10;
struct Record {
    Field<std::int32_t> index;  // the variable; a negative index ends the list
    Field<std::int32_t> color;
    Field<std::uint8_t> style;  // CurveStyle
    Field<std::uint8_t> type;   // the variable's cached type
    Field<std::uint16_t> lineWidth;  // pen width, dot size or bar width
};
constexpr Record record(int i)
{
    const int at = kRecordBase + kRecordSize * i;
    return {{at + kRecordIndex}, {at + kRecordColor}, {at + kRecordStyle}, {at + kRecordType}, {at + kRecordLineWidth}};
}
enum CurveStyle : int { kPolyline = 0, kDots = 1, kBars = 2 };

inline constexpr Field<std::uint8_t> kHideOption{853};
inline constexpr Field<std::int32_t> kHideIndex{860};
inline constexpr Field<std::uint8_t> kHideType{865};
inline constexpr Field<std::int32_t> kHideAddress{872};
inline constexpr Field<std::int32_t> kShiftDirection{876};  // history curve: 0 left, 1 right
inline constexpr Field<std::int32_t> kCurveType{880};       // 0 real-time, 1 history (timed sampling)
inline constexpr Field<std::int32_t> kSamplePeriod{884};    // ms
inline constexpr Field<std::int32_t> kSampleElapsed{888};   // ms, the run time's
inline constexpr Link kHideLink{892};
inline constexpr Field<std::int32_t> kHideBit = kHideLink.bit();
inline constexpr Field<std::uint8_t> kStopOutOfRange{948};  // skip points out of range instead of clamping
// The item compiler tests all four bytes from kStopOutOfRange, the painter and the page one.
inline constexpr Field<std::int32_t> kStopOutOfRangeWord{kStopOutOfRange.offset};
} // namespace blocks::curve

using CurveBlock = ParamView<CurveBlockTag>;
using CurveBlockEdit = ParamView<CurveBlockTag, std::uint8_t>;

} // namespace qv
