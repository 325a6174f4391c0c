#pragma once
// The drawing and controls tool commands: each stores its tool shape as the current one;
// "选择" cancels the tool; the picture command first copies a chosen picture into the project.
#include <filesystem>
#include <functional>
#include <optional>

class QWidget;

namespace qv {

class CEditorApp;

namespace cmd {
class CommandActions;
}

struct ToolCommandServices {
    // The active document is the simulator's (tools do nothing there).
    std::function<bool()> activeIsRunMode;
    // The picture to place (nullopt: cancelled). Empty: an open-file dialog over `dialogParent`.
    std::function<std::optional<std::filesystem::path>()> choosePicture;
    QWidget* dialogParent = nullptr;
};

void BindToolCommands(cmd::CommandActions& actions, CEditorApp& app, ToolCommandServices services);

// Selects the tool of a command id; false for an id that is no tool command.
bool SelectToolForCommand(int commandId);

// The picture command after its dialog: copies `chosen` into the project's picture folder
// and makes the picture tool current with that name. False (tool unchanged) when cancelled,
// without a project, or when the file cannot be taken (the user is told why).
bool PlacePicture(CEditorApp& app, const std::optional<std::filesystem::path>& chosen);

} // namespace qv
