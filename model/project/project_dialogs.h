#pragma once
// The dialogs of the project commands: the new-project dialog, the open-file dialog, the
// folder picker and the save prompt. The Qt side shows them; tests script the answers.
// Messages go through UiPrompts.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// What the new-project dialog gives on OK.
struct NewProjectChoice {
    std::filesystem::path location; // host folder the project folder is made in
    std::string nameGbk;            // the project's name, also its folder's and file's name
    int width = 0;                  // resolution
    int height = 0;
};

class ProjectDialogs {
public:
    // Answers of the save prompt, as the commands store them.
    enum SaveChoice { Cancel = 0, Save = 1, DontSave = 2 };

    virtual ~ProjectDialogs() = default;
    // The location field starts at `presetLocation`. nullopt on cancel.
    virtual std::optional<NewProjectChoice> NewProject(const std::filesystem::path& presetLocation) = 0;
    // Open-file dialog for "工程(*.hmi)|*.hmi||" (default extension "hmi"). nullopt on cancel.
    virtual std::optional<std::filesystem::path> ChooseProjectFile() = 0;
    // Folder picker titled `titleGbk`. nullopt on cancel.
    virtual std::optional<std::filesystem::path> ChooseFolder(std::string_view titleGbk) = 0;
    // The save prompt shown when documents are modified.
    virtual SaveChoice AskSaveProject() = 0;
};

// Cancels every dialog: what answers while no user interface is attached.
class CancellingProjectDialogs : public ProjectDialogs {
public:
    std::optional<NewProjectChoice> NewProject(const std::filesystem::path&) override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseProjectFile() override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseFolder(std::string_view) override { return std::nullopt; }
    SaveChoice AskSaveProject() override { return Cancel; }
};

} // namespace qv
