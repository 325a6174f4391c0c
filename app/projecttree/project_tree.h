#pragma once
// CProjectTree: the tree in the project bar. It draws the headless tree content (root,
// "画面", "子窗口", numbered windows, the simulator item; system windows in red), opens a
// window's document when its label is clicked, and offers the context menu of the item's
// kind on a right click. The commands themselves are ProjectTreeCommands'.
#include "model/tree/project_tree_commands.h"
#include "model/tree/project_tree_model.h"

#include <QMenu>
#include <QPointer>
#include <QTreeWidget>
#include <memory>


namespace qv {

class CEditorApp;

class CProjectTree : public QTreeWidget {
public:
    // The tree follows `app`'s documents and becomes the tree its open sequence fills.
    CProjectTree(CEditorApp& app, std::unique_ptr<ProjectTreeHost> host, std::unique_ptr<WindowDialogs> dialogs,
                 QWidget* parent = nullptr);
    ~CProjectTree() override;

    ProjectTreeModel& model() { return model_; }
    ProjectTreeCommands& commands() { return commands_; }
    // Replaces the dialogs the commands show (tests script them).
    void SetDialogs(std::unique_ptr<WindowDialogs> dialogs);

    QTreeWidgetItem* itemFor(const TreeItemRef& ref) const;
    TreeItemRef refOf(const QTreeWidgetItem* item) const;
    // The label's box (icon and text) of an item, in viewport coordinates.
    QRect labelRect(const QTreeWidgetItem* item) const;
    // The context menu last opened (tests drive it), or nullptr.
    QMenu* contextMenu() const { return menu_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Rebuild();
    void Apply(const TreeChange& change);
    // Text, icon, reference and colour of the item that shows `ref`.
    void ShowItem(QTreeWidgetItem* item, const TreeItemRef& ref);
    QTreeWidgetItem* FolderItem(WindowKind kind) const;
    void ShowSelection();
    QTreeWidgetItem* LabelItemAt(const QPoint& pos) const;
    void ShowContextMenu(const TreeItemRef& ref, const QPoint& globalPos);
    void OpenKeepingFocus(const TreeItemRef& ref);

    CEditorApp& app_;
    std::unique_ptr<ProjectTreeHost> host_;
    std::unique_ptr<WindowDialogs> dialogs_;
    ProjectTreeModel model_;
    ProjectTreeCommands commands_;
    QPointer<QMenu> menu_;
    bool rebuilding_ = false;
};

} // namespace qv
