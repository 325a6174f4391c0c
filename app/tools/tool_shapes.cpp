#include "app/tools/tool_shapes.h"

#include "app/commands/command_table.h"
#include "model/shape/shape_kind.h"

#include <algorithm>

namespace qv {
namespace {

constexpr ToolShapeDef kToolShapes[] = {
    {0, cmd::ToolSelect.key.id, -1},
    {1, cmd::ToolLine.key.id, kKindLine},
    {2, cmd::ToolRect.key.id, kKindRectangle},
    {3, cmd::ToolRoundRect.key.id, kKindRoundRect},
    {4, cmd::ToolEllipse.key.id, kKindEllipse},
    {5, cmd::ToolCircle.key.id, kKindCircle},
    {7, cmd::ToolPicture.key.id, kKindPicture},
    {8, cmd::ToolText.key.id, kKindText},
    {9, cmd::ToolButton.key.id, kKindButton},
    {10, cmd::ToolDynamicPicture.key.id, kKindDynamicPicture},
    {11, cmd::ToolNumber.key.id, kKindRealTimeNumber},
    {12, cmd::ToolNumericInput.key.id, kKindNumericInput},
    {13, cmd::ToolCurve.key.id, kKindCurve},
    {14, cmd::ToolLight.key.id, kKindIndicator},
    {15, cmd::ToolPipeJoint.key.id, kKindPipeJoint},
    {16, cmd::ToolPipe.key.id, kKindPipe},
    {17, cmd::ToolScale.key.id, kKindScale},
    {18, cmd::ToolNeedle.key.id, kKindReserved16},
    {19, 0, kKindReserved17},
    {20, 0, kKindReserved18},
    {21, 0, kKindReserved19},
    {22, cmd::ToolBitSwitch.key.id, kKindBitSwitch},
    {23, 0, kKindReserved21},
    {24, cmd::ToolRadio.key.id, kKindRadioButton},
    {25, cmd::ToolProgress.key.id, kKindProgressBar},
    {26, cmd::ToolTable.key.id, kKindTable},
    {27, cmd::ToolCharacter.key.id, kKindCharacter},
    {28, cmd::ToolArea.key.id, kKindAreaControl},
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
