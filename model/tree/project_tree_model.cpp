#include "model/tree/project_tree_model.h"

#include "model/app/editor_app.h"
#include "model/tree/system_windows.h"
#include "model/vars/hmi_vars.h"
#include "platform/text/gbk.h"

namespace qv {

WindowKind WindowKindOf(TreeItemKind kind)
{
    return kind == TreeItemKind::Screen || kind == TreeItemKind::ScreensFolder ? WindowKind::Screen : WindowKind::SubWindow;
}

bool IsWindowItem(TreeItemKind kind) { return kind == TreeItemKind::Screen || kind == TreeItemKind::SubWindow; }

ProjectTreeModel::ProjectTreeModel(CEditorApp* app) : app_(app)
{
    if (app_) {
        app_->GetDocManager().AddObserver(this);
        app_->SetProjectTree(this);
    }
}

ProjectTreeModel::~ProjectTreeModel()
{
    if (app_) {
        app_->GetDocManager().RemoveObserver(this);
        app_->SetProjectTree(nullptr);
    }
}

void ProjectTreeModel::AddScreenItem(std::string_view textGbk)
{
    AppendWindow(WindowKind::Screen, WindowNameOfItemText(textGbk));
}

void ProjectTreeModel::AddSubWindowItem(std::string_view textGbk)
{
    AppendWindow(WindowKind::SubWindow, WindowNameOfItemText(textGbk));
}

void ProjectTreeModel::DocumentOpened(DocTemplate& tmpl, CDrawDoc& doc)
{
    if (!app_)
        return;
    if (&tmpl == app_->m_pProjectTemplate) {
        // An opened project is named after its file; a new one (no file yet) after the
        // name the user gave, with a colon.
        if (!doc.GetPathName().empty()) {
            const std::string name = utf8ToGbk(doc.GetPathName().stem().string()).value_or(app_->m_strProjectName);
            Reset(std::string(kTreeRootText) + "‘" + name + "’", true);
        } else {
            Reset(std::string(kTreeRootText) + ":‘" + app_->m_strProjectName + "’", true);
        }
    } else if (&tmpl == app_->m_pWindowTemplate && doc.GetTitle() == CEditorApp::kSimulatorTitle) {
        SetSimulator(true);
    }
}

void ProjectTreeModel::DocumentClosing(DocTemplate& tmpl, CDrawDoc& doc)
{
    if (!app_)
        return;
    if (&tmpl == app_->m_pProjectTemplate && &doc == tmpl.FirstDocument())
        Reset(std::string(kTreeRootText), false);
    else if (&tmpl == app_->m_pWindowTemplate && doc.GetTitle() == CEditorApp::kSimulatorTitle)
        SetSimulator(false);
}

void ProjectTreeModel::Reset(std::string rootText, bool withFolders)
{
    rootText_ = std::move(rootText);
    hasFolders_ = withFolders;
    hasSimulator_ = false;
    screens_.clear();
    subWindows_.clear();
    selected_ = {};
    changed();
}

std::vector<std::string>& ProjectTreeModel::windows(WindowKind kind)
{
    return kind == WindowKind::Screen ? screens_ : subWindows_;
}

const std::vector<std::string>& ProjectTreeModel::Windows(WindowKind kind) const
{
    return kind == WindowKind::Screen ? screens_ : subWindows_;
}

TreeItemRef ProjectTreeModel::AppendWindow(WindowKind kind, std::string fileNameGbk)
{
    const bool hadFolders = hasFolders_;
    hasFolders_ = true;
    auto& list = windows(kind);
    list.push_back(std::move(fileNameGbk));
    const int index = static_cast<int>(list.size()) - 1;
    changed(hadFolders ? TreeChange{TreeChange::What::WindowAdded, kind, index} : TreeChange{});
    return {kind == WindowKind::Screen ? TreeItemKind::Screen : TreeItemKind::SubWindow, index};
}

void ProjectTreeModel::RemoveWindow(WindowKind kind, int index)
{
    auto& list = windows(kind);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return;
    list.erase(list.begin() + index);
    // The selection follows the items that moved up; a removed selection goes to the folder.
    if (IsWindowItem(selected_.kind) && WindowKindOf(selected_.kind) == kind) {
        if (selected_.index == index)
            selected_ = {kind == WindowKind::Screen ? TreeItemKind::ScreensFolder : TreeItemKind::SubWindowsFolder, -1};
        else if (selected_.index > index)
            --selected_.index;
    }
    changed({TreeChange::What::WindowRemoved, kind, index});
}

void ProjectTreeModel::RenameWindow(WindowKind kind, int index, std::string fileNameGbk)
{
    auto& list = windows(kind);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return;
    list[static_cast<std::size_t>(index)] = std::move(fileNameGbk);
    changed({TreeChange::What::WindowRenamed, kind, index});
}

void ProjectTreeModel::SetSimulator(bool present)
{
    hasSimulator_ = present;
    if (!present && selected_.kind == TreeItemKind::Simulator)
        selected_ = {};
    changed();
}

int ProjectTreeModel::FindWindow(WindowKind kind, std::string_view fileNameGbk) const
{
    const auto& list = Windows(kind);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == fileNameGbk)
            return static_cast<int>(i);
    return -1;
}

bool ProjectTreeModel::Exists(const TreeItemRef& ref) const
{
    switch (ref.kind) {
    case TreeItemKind::Root: return true;
    case TreeItemKind::ScreensFolder:
    case TreeItemKind::SubWindowsFolder: return hasFolders_;
    case TreeItemKind::Simulator: return hasSimulator_;
    case TreeItemKind::Screen:
    case TreeItemKind::SubWindow:
        return ref.index >= 0 && ref.index < static_cast<int>(Windows(WindowKindOf(ref.kind)).size());
    }
    return false;
}

std::vector<TreeItemRef> ProjectTreeModel::Items() const
{
    std::vector<TreeItemRef> items{{TreeItemKind::Root, -1}};
    if (hasFolders_) {
        items.push_back({TreeItemKind::ScreensFolder, -1});
        for (int i = 0; i < static_cast<int>(screens_.size()); ++i)
            items.push_back({TreeItemKind::Screen, i});
        items.push_back({TreeItemKind::SubWindowsFolder, -1});
        for (int i = 0; i < static_cast<int>(subWindows_.size()); ++i)
            items.push_back({TreeItemKind::SubWindow, i});
    }
    if (hasSimulator_)
        items.push_back({TreeItemKind::Simulator, -1});
    return items;
}

std::string ProjectTreeModel::ItemText(const TreeItemRef& ref) const
{
    switch (ref.kind) {
    case TreeItemKind::Root: return rootText_;
    case TreeItemKind::ScreensFolder: return std::string(kScreensFolderText);
    case TreeItemKind::SubWindowsFolder: return std::string(kSubWindowsFolderText);
    case TreeItemKind::Simulator: return CEditorApp::kSimulatorTitle;
    case TreeItemKind::Screen:
    case TreeItemKind::SubWindow:
        return Exists(ref) ? WindowItemText(ref.index, ItemName(ref)) : std::string();
    }
    return {};
}

std::string ProjectTreeModel::ItemName(const TreeItemRef& ref) const
{
    if (ref.kind == TreeItemKind::Simulator)
        return CEditorApp::kSimulatorTitle;
    if (!IsWindowItem(ref.kind) || !Exists(ref))
        return {};
    return Windows(WindowKindOf(ref.kind))[static_cast<std::size_t>(ref.index)];
}

bool ProjectTreeModel::IsSystemItem(const TreeItemRef& ref) const
{
    if (ref.kind == TreeItemKind::Screen)
        return ItemName(ref) == kSystemScreen;
    if (ref.kind == TreeItemKind::SubWindow)
        return IsSystemSubWindow(ItemName(ref));
    return false;
}

void ProjectTreeModel::Select(const TreeItemRef& ref)
{
    if (!Exists(ref) || ref == selected_)
        return;
    selected_ = ref;
    if (onSelectionChanged)
        onSelectionChanged();
}

void ProjectTreeModel::changed(const TreeChange& change)
{
    if (onChanged)
        onChanged(change);
}

} // namespace qv
