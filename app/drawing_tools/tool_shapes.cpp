#include "app/drawing_tools/tool_shapes.h"

#include "app/commands/command_table.h"
#include "model/shape/shape_kind.h"

#include <algorithm>

namespace qv {
namespace {

constexpr ToolShapeDef kToolShapes[] = {
    {0, cmd::ToolSelect.key.id, std::nullopt},
    {1, cmd::ToolLine.key.id, ShapeKind::Line},
    {2, cmd::ToolRect.key.id, ShapeKind::Rectangle},
    {3, cmd::ToolRoundRect.key.id, ShapeKind::RoundRect},
    {4, cmd::ToolEllipse.key.id, ShapeKind::Ellipse},
    {5, cmd::ToolCircle.key.id, ShapeKind::Circle},
    {7, cmd::ToolPicture.key.id, ShapeKind::Picture},
    {8, cmd::ToolText.key.id, ShapeKind::Text},
    {9, cmd::ToolButton.key.id, ShapeKind::Button},
    {10, cmd::ToolDynamicPicture.key.id, ShapeKind::DynamicPicture},
    {11, cmd::ToolNumber.key.id, ShapeKind::RealTimeNumber},
    {12, cmd::ToolNumericInput.key.id, ShapeKind::NumericInput},
    {13, cmd::ToolCurve.key.id, ShapeKind::Curve},
    {14, cmd::ToolLight.key.id, ShapeKind::Indicator},
    {15, cmd::ToolPipeJoint.key.id, ShapeKind::PipeJoint},
    {16, cmd::ToolPipe.key.id, ShapeKind::Pipe},
    {17, cmd::ToolScale.key.id, ShapeKind::Scale},
    {18, cmd::ToolNeedle.key.id, ShapeKind::Reserved16},
    {19, 0, ShapeKind::Reserved17},
    {20, 0, ShapeKind::Reserved18},
    {21, 0, ShapeKind::Reserved19},
    {22, cmd::ToolBitSwitch.key.id, ShapeKind::BitSwitch},
    {23, 0, ShapeKind::Reserved21},
    {24, cmd::ToolRadio.key.id, ShapeKind::RadioButton},
    {25, cmd::ToolProgress.key.id, ShapeKind::ProgressBar},
    {26, cmd::ToolTable.key.id, ShapeKind::Table},
    {27, cmd::ToolCharacter.key.id, ShapeKind::Character},
    {28, cmd::ToolArea.key.id, ShapeKind::AreaControl},
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
