#pragma once
// The desktop clipboard's side of the shape format "Plenhart Shapes": our own payload bytes
// under one MIME type of their own, so only copies of this program read them.
#include <QString>
#include <optional>
#include <string>

namespace qv::edit {

inline constexpr char kShapeClipboardFormat[] = "Plenhart Shapes";

QString shapeMimeType();

// False when there is no clipboard to put them on.
bool putShapesOnClipboard(std::string payload);
// The payload on the clipboard, or nullopt when it holds no shapes.
std::optional<std::string> shapesFromClipboard();
bool clipboardHasShapes();

} // namespace qv::edit
