#include "app/tools/tool_shapes.h"

#include "model/shape/shape_kind.h"

#include <algorithm>

namespace qv {
namespace {

constexpr ToolShapeDef kToolShapes[] = {
    {0, 32774, std::nullopt},                 // 选择
    {1, 32773, ShapeKind::Line},              // 直线
    {2, 32775, ShapeKind::Rectangle},         // 直角矩形
    {3, 32776, ShapeKind::RoundRect},         // 圆角矩形
    {4, 32777, ShapeKind::Ellipse},           // 椭圆
    {5, 32778, ShapeKind::Circle},            // 正圆
    {7, 32793, ShapeKind::Picture},           // 图片
    {8, 32834, ShapeKind::Text},              // 文字
    {9, 32839, ShapeKind::Button},            // 操作按钮
    {10, 32840, ShapeKind::DynamicPicture},   // 动态图片
    {11, 32841, ShapeKind::RealTimeNumber},   // 实时数据
    {12, 32868, ShapeKind::NumericInput},     // 数字输入框
    {13, 32873, ShapeKind::Curve},            // 曲线
    {14, 32877, ShapeKind::Indicator},        // 信号灯
    {15, 32883, ShapeKind::PipeJoint},        // 管道接口
    {16, 32882, ShapeKind::Pipe},             // 管道
    {17, 32881, ShapeKind::Scale},            // 刻度
    {18, 32879, ShapeKind::Reserved16},       // 表针
    {19, 0, ShapeKind::Reserved17},
    {20, 0, ShapeKind::Reserved18},
    {21, 0, ShapeKind::Reserved19},
    {22, 32875, ShapeKind::BitSwitch},        // 位开关
    {23, 0, ShapeKind::Reserved21},
    {24, 32876, ShapeKind::RadioButton},      // 单选按钮
    {25, 32874, ShapeKind::ProgressBar},      // 进度条
    {26, 32895, ShapeKind::Table},            // 表格
    {27, 32906, ShapeKind::Character},        // 字符
    {28, 32907, ShapeKind::AreaControl},      // 区域控制
};

} // namespace

std::span<const ToolShapeDef> toolShapes() { return kToolShapes; }

const ToolShapeDef* toolShapeByShape(int shape)
{
    const auto it = std::find_if(std::begin(kToolShapes), std::end(kToolShapes), [&](const auto& d) { return d.shape == shape; });
    return it == std::end(kToolShapes) ? nullptr : &*it;
}

const ToolShapeDef* toolShapeByCommand(int commandId)
{
    if (commandId == 0)
        return nullptr;
    const auto it = std::find_if(std::begin(kToolShapes), std::end(kToolShapes), [&](const auto& d) { return d.commandId == commandId; });
    return it == std::end(kToolShapes) ? nullptr : &*it;
}

} // namespace qv
