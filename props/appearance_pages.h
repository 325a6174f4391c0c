#pragma once
// Page models of the appearance pages that live wholly in the parameter block (table, pipe,
// pipe joint, scale, numeric input box): plain members, each with its block field in the
// page's table. The Qt pages show and edit these members and never touch the object.
#include "model/params/blocks/numeric_input_block.h"
#include "model/params/blocks/shape_block.h"
#include "model/params/blocks/table_block.h"
#include "platform/surface/color.h"
#include "platform/surface/gdi.h"
#include "props/block_fields.h"

#include <span>

namespace qv {

struct TablePage {  // "表格属性"
    std::uint32_t lineColor = 0;
    std::uint32_t lineWidth = 0;  // 1..255
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    static constexpr std::uint32_t kMinLineWidth = 1;
    static constexpr std::uint32_t kMaxLineWidth = 255;
};

struct PipePage {  // "管道属性"
    std::uint32_t outerColor = 0;
    std::uint32_t fillColor = 0;
    std::uint32_t vertical = 0;
};

struct PipeJointPage {  // "管道接口属性"
    std::uint32_t outerColor = 0;
    std::uint32_t fillColor = 0;
    std::uint32_t direction = 0;  // "顶端左", "顶端右", "底端左", "底端右"
};

struct ScalePage {  // "刻度属性"
    std::uint32_t color = 0;
    std::uint32_t direction = 0;  // "向左", "向右", "向上", "向下"
    std::uint32_t showAxis = 0;
    std::uint32_t mainTicks = 0;
    std::uint32_t minorTicks = 0;
    std::uint32_t mainTickWidth = 0;
    std::uint32_t minorTickWidth = 0;
    std::uint32_t axisWidth = 0;
};

struct NumericInputPage {  // "数字输入框属性"
    std::uint32_t textColor = 0;
    std::uint32_t password = 0;
    std::uint32_t backColor = 0;
    std::uint32_t leftAligned = 0;
    std::uint32_t function = 0;  // keypad input, show minimum, show maximum
    LogFont font;                // the object's font
};

inline constexpr BlockField<TablePage> kTablePageFields[] = {
    {&TablePage::lineColor, blocks::table::kLineColor}, {&TablePage::lineWidth, blocks::table::kLineWidth},
    {&TablePage::rows, blocks::table::kRows}, {&TablePage::columns, blocks::table::kColumns}};

inline constexpr BlockField<PipePage> kPipePageFields[] = {{&PipePage::outerColor, blocks::pipe::kEdgeColor},
                                                           {&PipePage::fillColor, blocks::pipe::kCentreColor},
                                                           {&PipePage::vertical, blocks::pipe::kOrientation}};

inline constexpr BlockField<PipeJointPage> kPipeJointPageFields[] = {{&PipeJointPage::outerColor, blocks::pipe::kEdgeColor},
                                                                     {&PipeJointPage::fillColor, blocks::pipe::kCentreColor},
                                                                     {&PipeJointPage::direction, blocks::pipe::kOrientation}};

inline constexpr BlockField<ScalePage> kScalePageFields[] = {
    {&ScalePage::color, blocks::scale::kColor},
    {&ScalePage::direction, blocks::scale::kOrientation},
    {&ScalePage::showAxis, blocks::scale::kBaseLine},
    {&ScalePage::mainTicks, blocks::scale::kMajorCount},
    {&ScalePage::minorTicks, blocks::scale::kMinorCount},
    {&ScalePage::mainTickWidth, blocks::scale::kMajorThickness},
    {&ScalePage::minorTickWidth, blocks::scale::kMinorThickness},
    {&ScalePage::axisWidth, blocks::scale::kBaseWidth}};

inline constexpr BlockField<NumericInputPage> kNumericInputPageFields[] = {
    {&NumericInputPage::textColor, blocks::numeric_input::kTextColor},
    {&NumericInputPage::password, lowByte(blocks::numeric_input::kPassword)},
    {&NumericInputPage::backColor, blocks::numeric_input::kBackColor},
    {&NumericInputPage::leftAligned, lowByte(blocks::numeric_input::kLeftAligned)},
    {&NumericInputPage::function, blocks::numeric_input::kMode}};

// The choices of the pages' combos, in stored order (UTF-8, for the Qt pages).
inline constexpr const char8_t* kPipeJointDirections[] = {u8"顶端左", u8"顶端右", u8"底端左", u8"底端右"};
inline constexpr const char8_t* kScaleDirections[] = {u8"向左", u8"向右", u8"向上", u8"向下"};
inline constexpr const char8_t* kNumericInputFunctions[] = {u8"显示数字键盘输入", u8"显示变量的最小值",
                                                            u8"显示变量的最大值"};

} // namespace qv
