#include "props/kind_sheets.h"

#include "model/shape/shape_kind.h"

#include <array>

namespace qv {
namespace {

using P = PageId;

constexpr PageId kRectPages[] = {P::Rect, P::Position};
constexpr PageId kPicturePages[] = {P::Picture, P::Position};
constexpr PageId kTextPages[] = {P::Text, P::Position};
constexpr PageId kButtonPages[] = {P::ButtonShape, P::ButtonControl, P::Hide, P::WriteEnable, P::Position};
constexpr PageId kDynamicPicturePages[] = {P::PictureGroup, P::PictureDisplayControl, P::Move, P::Hide, P::Position};
constexpr PageId kNumberPages[] = {P::NumberShape, P::NumberControl, P::ColorControl, P::Hide,
                                   P::Move,        P::WriteEnable,   P::Position};
constexpr PageId kNumericInputPages[] = {P::NumericInput, P::Position};
constexpr PageId kCurvePages[] = {P::CurveShape, P::CurveControl, P::Hide, P::Position};
constexpr PageId kIndicatorPages[] = {P::SwitchShape, P::IndicatorControl, P::Hide, P::Position};
constexpr PageId kPipeJointPages[] = {P::PipeJoint, P::Position};
constexpr PageId kPipePages[] = {P::Pipe, P::Position};
constexpr PageId kScalePages[] = {P::Scale, P::Position};
constexpr PageId kBitSwitchPages[] = {P::SwitchShape, P::SwitchControl, P::Hide, P::WriteEnable, P::Position};
constexpr PageId kRadioPages[] = {P::RadioShape, P::RadioControl, P::Hide, P::WriteEnable, P::Position};
constexpr PageId kProgressPages[] = {P::ProgressShape, P::ProgressControl, P::Hide, P::Position};
constexpr PageId kTablePages[] = {P::Table, P::Position};
constexpr PageId kCharacterPages[] = {P::CharacterShape, P::CharacterControl, P::ColorControl, P::Hide,
                                      P::Move,           P::WriteEnable,      P::Position};
constexpr PageId kAreaPages[] = {P::AreaControl, P::Position};

constexpr KindSheet generic(std::span<const PageId> pages, bool originalSize = false)
{
    return {SheetFamily::Generic, u8"属性", pages, false, originalSize};
}
constexpr KindSheet perKind(const char8_t* caption, std::span<const PageId> pages, bool rebuild = true,
                            bool originalSize = false)
{
    return {SheetFamily::PerKind, caption, pages, rebuild, originalSize};
}

constexpr std::array<KindSheet, kKindCount> kSheets = {{
    generic(kRectPages),                                      // 0 rectangle
    generic(kRectPages),                                      // 1 round rectangle
    generic(kRectPages),                                      // 2 ellipse
    generic(kRectPages),                                      // 3 line
    generic(kRectPages),                                      // 4 circle
    generic(kPicturePages, true),                             // 5 picture
    generic(kTextPages),                                      // 6 text
    perKind(u8"操作按钮属性", kButtonPages, false),           // 7
    perKind(u8"动态图片属性", kDynamicPicturePages, true, true), // 8
    perKind(u8"实时数据属性", kNumberPages),                  // 9
    perKind(u8"数字输入框属性", kNumericInputPages, false),   // 10
    perKind(u8"曲线属性", kCurvePages),                       // 11
    perKind(u8"指示灯属性", kIndicatorPages),                 // 12
    perKind(u8"管道接口属性", kPipeJointPages),               // 13
    perKind(u8"管道属性", kPipePages),                        // 14
    perKind(u8"刻度属性", kScalePages),                       // 15
    generic(kRectPages), generic(kRectPages), generic(kRectPages), generic(kRectPages),  // 16..19
    perKind(u8"位开关属性", kBitSwitchPages),                 // 20
    generic(kRectPages),                                      // 21
    perKind(u8"单选按钮属性", kRadioPages),                   // 22
    perKind(u8"进度条属性", kProgressPages),                  // 23
    perKind(u8"表格属性", kTablePages),                       // 24
    perKind(u8"字符控件属性", kCharacterPages),               // 25
    perKind(u8"区域控制属性", kAreaPages),                    // 26
}};

constexpr KindSheet kUnknownKindSheet = generic(kRectPages);

} // namespace

const KindSheet& KindSheetOf(ShapeKind kind) { return IsKnownKind(kind) ? kSheets[KindCode(kind)] : kUnknownKindSheet; }

EditRoute RouteEdit(ShapeKind kind, int selectedCount)
{
    if (selectedCount <= 1)
        return EditRoute::Sheet;
    if (kind == ShapeKind::Character)
        return EditRoute::CharacterBatch;
    // A real-time number edits only the first selected object, whatever the count.
    return kind == ShapeKind::RealTimeNumber ? EditRoute::Sheet : EditRoute::Nothing;
}

} // namespace qv
