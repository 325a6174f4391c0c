#include "app/tools/tool_shapes.h"

#include "model/shape/shape_kind.h"

#include <algorithm>

namespace qv {
namespace {

constexpr ToolShapeDef kToolShapes[] = {
    {0, 32774, -1},                       // 选择
    {1, 32773, kKindLine},                // 直线
    {2, 32775, kKindRectangle},           // 直角矩形
    {3, 32776, kKindRoundRect},           // 圆角矩形
    {4, 32777, kKindEllipse},             // 椭圆
    {5, 32778, kKindCircle},              // 正圆
    {7, 32793, kKindPicture},             // 图片
    {8, 32834, kKindText},                // 文字
    {9, 32839, kKindButton},              // 操作按钮
    {10, 32840, kKindDynamicPicture},     // 动态图片
    {11, 32841, kKindRealTimeNumber},     // 实时数据
    {12, 32868, kKindNumericInput},       // 数字输入框
    {13, 32873, kKindCurve},              // 曲线
    {14, 32877, kKindIndicator},          // 信号灯
    {15, 32883, kKindPipeJoint},          // 管道接口
    {16, 32882, kKindPipe},               // 管道
    {17, 32881, kKindScale},              // 刻度
    {18, 32879, kKindReserved16},         // 表针
    {19, 0, kKindReserved17},
    {20, 0, kKindReserved18},
    {21, 0, kKindReserved19},
    {22, 32875, kKindBitSwitch},          // 位开关
    {23, 0, kKindReserved21},
    {24, 32876, kKindRadioButton},        // 单选按钮
    {25, 32874, kKindProgressBar},        // 进度条
    {26, 32895, kKindTable},              // 表格
    {27, 32906, kKindCharacter},          // 字符
    {28, 32907, kKindAreaControl},        // 区域控制
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
