#pragma once
// The project tree's content without any widget: the root, the folders "画面" and "子窗口"
// with one item per window (numbered by position, so every change renumbers), the simulator
// item and the selection. It mirrors the project document's name lists: the project's open
// sequence fills it through ProjectTreeSink, the document manager tells it when the project
// and the simulator document come and go, and the tree's commands change it. The Qt tree
// follows each change `onChanged` describes: one window's add, removal or rename is
// applied in place, anything else redraws the whole tree.
#include "model/app/doc_manager.h"
#include "model/tree/window_names.h"

#include <functional>
#include <string>
#include <vector>

namespace qv {

class CEditorApp;

enum class TreeItemKind { Root, ScreensFolder, SubWindowsFolder, Screen, SubWindow, Simulator };

struct TreeItemRef {
    TreeItemKind kind = TreeItemKind::Root;
    int index = -1;  // position in the folder for windows, else -1
    friend bool operator==(const TreeItemRef&, const TreeItemRef&) = default;
};

inline constexpr std::string_view kTreeRootText = "工程";
inline constexpr std::string_view kScreensFolderText = "画面";
inline constexpr std::string_view kSubWindowsFolderText = "子窗口";

// What changed: one window item of a folder, or everything.
struct TreeChange {
    enum class What { Everything, WindowAdded, WindowRemoved, WindowRenamed };
    What what = What::Everything;
    WindowKind kind = WindowKind::Screen;
    int index = -1;
};

class ProjectTreeModel : public ProjectTreeSink, public DocTemplateObserver {
public:
    // With an application the model follows its documents (and installs itself as the
    // project tree the open sequence fills); without one it is driven by hand.
    explicit ProjectTreeModel(CEditorApp* app = nullptr);
    ~ProjectTreeModel() override;
    ProjectTreeModel(const ProjectTreeModel&) = delete;
    ProjectTreeModel& operator=(const ProjectTreeModel&) = delete;

    // ProjectTreeSink: "%d:name" texts from the project's open sequence.
    void AddScreenItem(std::string_view textGbk) override;
    void AddSubWindowItem(std::string_view textGbk) override;

    // DocTemplateObserver: the project document gives the root its text and the folders;
    // the simulator document gives the simulator item; closing the project empties the tree.
    void DocumentOpened(DocTemplate& tmpl, CDrawDoc& doc) override;
    void DocumentClosing(DocTemplate& tmpl, CDrawDoc& doc) override;

    // Only the root with `rootText`; the folders when `withFolders`.
    void Reset(std::string rootText, bool withFolders);
    TreeItemRef AppendWindow(WindowKind kind, std::string fileNameGbk);
    void RemoveWindow(WindowKind kind, int index);
    void RenameWindow(WindowKind kind, int index, std::string fileNameGbk);
    void SetSimulator(bool present);

    // Position of the window named `fileNameGbk` in its folder, or -1.
    int FindWindow(WindowKind kind, std::string_view fileNameGbk) const;
    const std::vector<std::string>& Windows(WindowKind kind) const;

    const std::string& RootText() const { return rootText_; }
    bool HasFolders() const { return hasFolders_; }
    bool HasSimulator() const { return hasSimulator_; }
    bool Exists(const TreeItemRef& ref) const;

    // Every item in display order: root, "画面" and its screens, "子窗口" and its
    // sub-windows, the simulator item.
    std::vector<TreeItemRef> Items() const;
    std::string ItemText(const TreeItemRef& ref) const;
    // The window name of a window item (the text after its number), the simulator's title
    // for the simulator item, else empty.
    std::string ItemName(const TreeItemRef& ref) const;
    // Drawn red: the system screen and the ten system sub-windows.
    bool IsSystemItem(const TreeItemRef& ref) const;

    void Select(const TreeItemRef& ref);
    const TreeItemRef& Selected() const { return selected_; }

    // Items added, removed or renamed: one window's change, or everything.
    std::function<void(const TreeChange&)> onChanged;
    // Only the selection moved.
    std::function<void()> onSelectionChanged;

private:
    std::vector<std::string>& windows(WindowKind kind);
    void changed(const TreeChange& change = {});

    CEditorApp* app_;
    std::string rootText_{kTreeRootText};
    bool hasFolders_ = false;
    bool hasSimulator_ = false;
    std::vector<std::string> screens_;
    std::vector<std::string> subWindows_;
    TreeItemRef selected_;
};

WindowKind WindowKindOf(TreeItemKind kind);
bool IsWindowItem(TreeItemKind kind);

} // namespace qv
