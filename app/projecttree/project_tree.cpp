#include "app/projecttree/project_tree.h"

#include "model/app/editor_app.h"
#include "model/tree/tree_menus.h"
#include "platform/qt/qtext.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

#include <map>

namespace qv {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;
const QColor kSystemColour(255, 0, 0);

QStyle::StandardPixmap pixmapOf(TreeItemKind kind)
{
    switch (kind) {
    case TreeItemKind::Root: return QStyle::SP_DirHomeIcon;
    case TreeItemKind::ScreensFolder:
    case TreeItemKind::SubWindowsFolder: return QStyle::SP_DirIcon;
    case TreeItemKind::Simulator: return QStyle::SP_ComputerIcon;
    default: return QStyle::SP_FileIcon;
    }
}

// The style decodes its standard icons anew on every request: each is made once per process.
QIcon iconOf(TreeItemKind kind, const QStyle& style)
{
    static std::map<QStyle::StandardPixmap, QIcon> icons;
    const QStyle::StandardPixmap pixmap = pixmapOf(kind);
    auto it = icons.find(pixmap);
    if (it == icons.end())
        it = icons.emplace(pixmap, style.standardIcon(pixmap)).first;
    return it->second;
}

} // namespace

CProjectTree::CProjectTree(CEditorApp& app, std::unique_ptr<ProjectTreeHost> host, std::unique_ptr<WindowDialogs> dialogs,
                           QWidget* parent)
    : QTreeWidget(parent), app_(app), host_(std::move(host)), dialogs_(std::move(dialogs)), model_(&app),
      commands_(app, model_, *dialogs_, *host_)
{
    setObjectName(QStringLiteral("projectTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::NoContextMenu);
    model_.onChanged = [this](const TreeChange& change) { Apply(change); };
    model_.onSelectionChanged = [this] { ShowSelection(); };
    // Keyboard moves keep the model's selection, which the commands act on.
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !rebuilding_)
            model_.Select(refOf(item));
    });
    Rebuild();
}

CProjectTree::~CProjectTree()
{
    model_.onChanged = nullptr;
    model_.onSelectionChanged = nullptr;
}

void CProjectTree::SetDialogs(std::unique_ptr<WindowDialogs> dialogs)
{
    commands_.SetDialogs(*dialogs);
    dialogs_ = std::move(dialogs);
}

QTreeWidgetItem* CProjectTree::itemFor(const TreeItemRef& ref) const
{
    // The items stand where the model's order puts them: root, then the folders (or the
    // simulator) below it, each window at its position in its folder.
    QTreeWidgetItem* item = nullptr;
    QTreeWidgetItem* root = topLevelItem(0);
    switch (ref.kind) {
    case TreeItemKind::Root: item = root; break;
    case TreeItemKind::ScreensFolder: item = FolderItem(WindowKind::Screen); break;
    case TreeItemKind::SubWindowsFolder: item = FolderItem(WindowKind::SubWindow); break;
    case TreeItemKind::Simulator: item = root ? root->child(root->childCount() - 1) : nullptr; break;
    case TreeItemKind::Screen:
    case TreeItemKind::SubWindow:
        if (QTreeWidgetItem* folder = FolderItem(WindowKindOf(ref.kind)))
            item = folder->child(ref.index);
        break;
    }
    return item && refOf(item) == ref ? item : nullptr;
}

TreeItemRef CProjectTree::refOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return {};
    return {static_cast<TreeItemKind>(item->data(0, kKindRole).toInt()), item->data(0, kIndexRole).toInt()};
}

void CProjectTree::ShowItem(QTreeWidgetItem* item, const TreeItemRef& ref)
{
    item->setText(0, toQString(model_.ItemText(ref)));
    item->setIcon(0, iconOf(ref.kind, *style()));
    item->setData(0, kKindRole, static_cast<int>(ref.kind));
    item->setData(0, kIndexRole, ref.index);
    if (model_.IsSystemItem(ref))
        item->setForeground(0, kSystemColour);
    else
        item->setData(0, Qt::ForegroundRole, QVariant());
}

void CProjectTree::Rebuild()
{
    rebuilding_ = true;
    clear();
    QTreeWidgetItem* root = nullptr;
    QTreeWidgetItem* folder = nullptr;
    for (const TreeItemRef& ref : model_.Items()) {
        QTreeWidgetItem* item = nullptr;
        switch (ref.kind) {
        case TreeItemKind::Root: item = root = new QTreeWidgetItem(this); break;
        case TreeItemKind::ScreensFolder:
        case TreeItemKind::SubWindowsFolder:
        case TreeItemKind::Simulator: item = folder = new QTreeWidgetItem(root); break;
        case TreeItemKind::Screen:
        case TreeItemKind::SubWindow: item = new QTreeWidgetItem(folder); break;
        }
        ShowItem(item, ref);
    }
    expandAll();
    rebuilding_ = false;
    ShowSelection();
}

QTreeWidgetItem* CProjectTree::FolderItem(WindowKind kind) const
{
    const TreeItemKind folderKind = kind == WindowKind::Screen ? TreeItemKind::ScreensFolder : TreeItemKind::SubWindowsFolder;
    QTreeWidgetItem* root = topLevelItem(0);
    QTreeWidgetItem* folder = root ? root->child(kind == WindowKind::Screen ? 0 : 1) : nullptr;
    return folder && refOf(folder).kind == folderKind ? folder : nullptr;
}

void CProjectTree::Apply(const TreeChange& change)
{
    // One window's change touches its folder's items only (the numbers after a removal);
    // anything else, or a tree that does not match the model, is drawn anew.
    QTreeWidgetItem* folder = change.what == TreeChange::What::Everything ? nullptr : FolderItem(change.kind);
    const int count = folder ? folder->childCount() : -1;
    const int expected = folder ? static_cast<int>(model_.Windows(change.kind).size()) : -2;
    const bool fits = folder && change.index >= 0 &&
                      (change.what == TreeChange::What::WindowAdded     ? count + 1 == expected && change.index == count
                       : change.what == TreeChange::What::WindowRemoved ? count - 1 == expected && change.index < count
                                                                        : count == expected && change.index < count);
    if (!fits) {
        Rebuild();
        return;
    }
    const TreeItemKind itemKind = change.kind == WindowKind::Screen ? TreeItemKind::Screen : TreeItemKind::SubWindow;
    rebuilding_ = true;
    switch (change.what) {
    case TreeChange::What::WindowAdded: ShowItem(new QTreeWidgetItem(folder), {itemKind, change.index}); break;
    case TreeChange::What::WindowRemoved:
        delete folder->takeChild(change.index);
        for (int i = change.index; i < folder->childCount(); ++i)
            ShowItem(folder->child(i), {itemKind, i});
        break;
    default: ShowItem(folder->child(change.index), {itemKind, change.index}); break;
    }
    // As a full redraw would, the change leaves its folder open.
    folder->parent()->setExpanded(true);
    folder->setExpanded(true);
    rebuilding_ = false;
    ShowSelection();
}

void CProjectTree::ShowSelection()
{
    QTreeWidgetItem* selected = itemFor(model_.Selected());
    if (!selected || selected == currentItem())
        return;
    rebuilding_ = true;
    setCurrentItem(selected);
    rebuilding_ = false;
}

QRect CProjectTree::labelRect(const QTreeWidgetItem* item) const
{
    const QRect row = visualItemRect(item);
    const int icon = iconSize().isValid() ? iconSize().width() : style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int text = fontMetrics().horizontalAdvance(item->text(0));
    return {row.left(), row.top(), std::min(row.width(), icon + text + 12), row.height()};
}

QTreeWidgetItem* CProjectTree::LabelItemAt(const QPoint& pos) const
{
    QTreeWidgetItem* item = itemAt(pos);
    return item && labelRect(item).contains(pos) ? item : nullptr;
}

void CProjectTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    if (app_.m_bCompiling.load() != 0)
        return;
    QTreeWidgetItem* item = LabelItemAt(event->position().toPoint());
    if (!item)
        return;
    const TreeItemRef ref = refOf(item);
    model_.Select(ref);
    if (event->button() == Qt::LeftButton)
        OpenKeepingFocus(ref);
    else if (event->button() == Qt::RightButton)
        ShowContextMenu(ref, event->globalPosition().toPoint());
}

void CProjectTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click opens as a single one does (no expanding or collapsing).
    if (event->button() != Qt::LeftButton || app_.m_bCompiling.load() != 0)
        return;
    if (QTreeWidgetItem* item = LabelItemAt(event->position().toPoint()))
        OpenKeepingFocus(refOf(item));
}

void CProjectTree::OpenKeepingFocus(const TreeItemRef& ref)
{
    // Bringing a window to the front hands its view the focus; keys typed next belong to
    // the tree the user clicked, never to the drawing (Delete would delete its selection).
    commands_.Open(ref);
    setFocus(Qt::MouseFocusReason);
}

void CProjectTree::ShowContextMenu(const TreeItemRef& ref, const QPoint& globalPos)
{
    if (menu_) {
        menu_->close();
        menu_->deleteLater();
        menu_ = nullptr;
    }
    const tree_cmd::TreeMenu* def = tree_cmd::MenuForItem(ref.kind);
    if (!def)
        return;
    menu_ = new QMenu(this);
    menu_->setAttribute(Qt::WA_DeleteOnClose);
    const bool compiling = app_.m_bCompiling.load() != 0;
    const bool runMode = host_->FocusViewIsRunMode();
    for (const tree_cmd::MenuEntry& entry : def->entries) {
        QAction* action = menu_->addAction(toQString(entry.text));
        action->setData(entry.command);
        action->setEnabled(tree_cmd::IsEntryEnabled(entry, ref.kind, compiling, runMode));
        const int command = entry.command;
        // Queued, so the menu has closed before a dialog opens or the tree is rebuilt.
        connect(action, &QAction::triggered, this, [this, command] { commands_.Run(command); }, Qt::QueuedConnection);
    }
    menu_->popup(globalPos);
}

} // namespace qv
