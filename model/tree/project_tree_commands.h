#pragma once
// The project tree's commands without any widget: open a window by clicking its item, new,
// import, rename and delete of screens and sub-windows, sub-window placement, and the import
// of the special sub-windows. Each keeps the tree, the project document's name lists, the
// files of the project's "window" folder and the open documents in step; a refused name or
// placement changes none of them.
#include "model/app/new_project_steps.h"
#include "model/tree/project_tree_model.h"
#include "model/tree/window_dialogs.h"
#include "platform/surface/geometry.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class CEditorApp;
class CDrawDoc;

// Sub-window options in a window document's settings block.
namespace window_settings {
inline constexpr std::size_t kModelessByte = 0;   // byte: a click outside closes it in run mode
inline constexpr std::size_t kCentred = 76;       // int: centred in the screen
inline constexpr std::size_t kThirdLayer = 80;    // int: shown in the third layer
} // namespace window_settings

// Installs itself as the application's new-project steps for its lifetime, so every new
// project gets the special sub-windows as the import command gives them.
class ProjectTreeCommands final : public NewProjectSteps {
public:
    ProjectTreeCommands(CEditorApp& app, ProjectTreeModel& model, WindowDialogs& dialogs, ProjectTreeHost& host);
    ~ProjectTreeCommands() override;
    ProjectTreeCommands(const ProjectTreeCommands&) = delete;
    ProjectTreeCommands& operator=(const ProjectTreeCommands&) = delete;

    // The dialogs the commands show from now on (tests script them).
    void SetDialogs(WindowDialogs& dialogs) { dialogs_ = &dialogs; }

    // A click on an item's label: activates (or opens) the window's document.
    void Open(const TreeItemRef& ref);

    // Runs a tree command (ids of tree_menus.h) on the selected item; false for other ids.
    bool Run(int command);

    void NewScreen();
    void NewSubWindow();
    void ImportWindow(WindowKind kind);
    // The command: what could not be imported is shown in one message.
    void ImportSpecialSubWindows();
    // A new project gets the same import; its notes go to the output bar.
    void NewProjectCreated() override;
    // On the selected item; nothing when it is not a window of that kind.
    void WindowProperties(WindowKind kind);
    void DeleteWindow(WindowKind kind);

private:
    bool Ready() const;
    void Message(std::string_view textGbk) const;
    std::optional<std::filesystem::path> WindowFile(std::string_view fileNameGbk) const;
    bool WindowFileExists(std::string_view fileNameGbk) const;
    CDrawDoc* OpenWindowDocument(const std::string& fileNameGbk);
    CDrawDoc* OpenedWindowDocument(const std::string& fileNameGbk) const;
    // Why a new window cannot take this file name, or nullopt.
    std::optional<std::string> NameTaken(WindowKind kind, const std::string& fileNameGbk, std::string_view suffix) const;
    // Why a new window cannot take this name (typed, without extension), or nullopt.
    std::optional<std::string> NewNameRefusal(WindowKind kind, const std::string& stemGbk) const;
    void AddWindow(WindowKind kind, const std::string& fileNameGbk);
    // A new window document, filled by `fill`, saved into the window folder and listed.
    void CreateWindow(WindowKind kind, const std::string& fileName, Point origin, int width, int height,
                      const std::function<void(CDrawDoc&)>& fill);
    // Why the window cannot take the new name, or nullopt.
    std::optional<std::string> RenameRefusal(WindowKind kind, const std::string& oldName, const std::string& newName) const;
    // Moves the file (saving unsaved edits first), renames the entries and reopens it.
    bool RenameWindowFile(WindowKind kind, int index, const std::string& oldName, const std::string& newName);
    void ScreenProperties(int index);
    void SubWindowProperties(int index);
    void CopyPicturesOf(const CDrawDoc& doc, const std::filesystem::path& sourceProject);
    void FitSubWindowToScreen(CDrawDoc& doc);
    // Imports the seven undeletable sub-windows and their pictures; the lines (GBK) saying
    // what was not imported and why.
    std::vector<std::string> ImportSpecialWindowFiles();

    CEditorApp& app_;
    ProjectTreeModel& model_;
    WindowDialogs* dialogs_;
    ProjectTreeHost& host_;
};

} // namespace qv
