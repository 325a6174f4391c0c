#pragma once
// The tool shapes: which command selects each drawing tool and which kind of object its drag
// makes. Shape 0 is the selection tool; shape 6 has no tool; shapes 19, 20, 21 and 23 have
// tools that no command selects.
#include <optional>
#include <span>

#include "model/shape/shape_kind.h"

namespace qv {

struct ToolShapeDef {
    int shape;
    int commandId;   // 0: no command selects it
    std::optional<ShapeKind> kind; // kind of the object made; none for the selection tool
};

inline constexpr int kSelectionShape = 0;
inline constexpr int kPictureShape = 7;

std::span<const ToolShapeDef> toolShapes();

// nullptr for a shape without a tool.
const ToolShapeDef* toolShapeByShape(int shape);
const ToolShapeDef* toolShapeByCommand(int commandId);

} // namespace qv
