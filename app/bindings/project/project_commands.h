#pragma once
// The application's project commands on the main window: 新建工程, 打开工程, 关闭工程,
// 保存工程 and 工程另存为 run the model's project operations, whose dialogs are the Qt ones here.
#include "model/project/project_dialogs.h"

#include <QPointer>
#include <QWidget>

namespace qv {

class CEditorApp;
class CMainFrame;

// The new-project dialog, the open-file dialog, the folder picker and the save prompt.
// Non-interactive runs (QV_NONINTERACTIVE) cancel every one.
class QtProjectDialogs : public ProjectDialogs {
public:
    explicit QtProjectDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<NewProjectChoice> NewProject(const std::filesystem::path& presetLocation) override;
    std::optional<std::filesystem::path> ChooseProjectFile() override;
    std::optional<std::filesystem::path> ChooseFolder(std::string_view titleGbk) override;
    SaveChoice AskSaveProject() override;

private:
    QPointer<QWidget> parent_;
};

// Binds the project commands of the command table to `app` and installs the Qt dialogs,
// owned by the frame.
void bindProjectCommands(CMainFrame& frame, CEditorApp& app);

} // namespace qv
