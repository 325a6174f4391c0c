#include "app/drawing_tools/tool_commands.h"

#include "app/commands/command_actions.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "model/app/editor_app.h"
#include "model/params/user_picture.h"

#include <QFileDialog>

namespace qv {
namespace {

std::optional<std::filesystem::path> askForPicture(QWidget* parent)
{
    const QString filter = QString::fromUtf8(u8"图片(*.jpg *.jpeg *.bmp *.gif *.wmf *.JPG *.JPEG *.BMP *.GIF *.WMF)");
    const QString file = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    if (file.isEmpty())
        return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

} // namespace

bool SelectToolForCommand(int commandId)
{
    const ToolShapeDef* def = toolShapeByCommand(commandId);
    if (def == nullptr)
        return false;
    if (def->shape == kSelectionShape)
        PointerTool().OnCancelTool();
    else
        CEditTool::s_nCurShape = def->shape;
    return true;
}

bool PlacePicture(CEditorApp& app, const std::optional<std::filesystem::path>& chosen)
{
    if (!chosen || app.m_strProjectDir.empty())
        return false;
    std::string error;
    const auto stored = copyUserPictureFile(app.m_strProjectDir, *chosen, &error);
    if (!stored) {
        app.Prompt().ShowMessage(error, UiPrompts::Icon::Error);
        return false;
    }
    CRectTool::s_strNewPicture = *stored;
    CEditTool::s_nCurShape = kPictureShape;
    return true;
}

void BindToolCommands(cmd::CommandActions& actions, CEditorApp& app, ToolCommandServices services)
{
    for (const ToolShapeDef& def : toolShapes()) {
        if (def.commandId == 0)
            continue;
        const cmd::CommandKey key{cmd::Owner::View, def.commandId};
        if (def.shape != kPictureShape) {
            actions.bind(key, [id = def.commandId] { SelectToolForCommand(id); });
            continue;
        }
        actions.bind(key, [&app, services] {
            if (services.activeIsRunMode && services.activeIsRunMode())
                return;
            PlacePicture(app, services.choosePicture ? services.choosePicture() : askForPicture(services.dialogParent));
        });
    }
}

} // namespace qv
