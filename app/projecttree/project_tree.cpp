#include "app/projecttree/project_tree.h"

#include "model/app/editor_app.h"
#include "model/tree/tree_menus.h"
#include "platform/qt/qtext.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

namespace qv {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;
const QColor kSystemColour(255, 0, 0);

QStyle::StandardPixmap iconOf(TreeItemKind kind)
{
    switch (kind) {
    case TreeItemKind::Root: return QStyle::SP_DirHomeIcon;
    case TreeItemKind::ScreensFolder:
    case TreeItemKind::SubWindowsFolder: return QStyle::SP_DirIcon;
    case TreeItemKind::Simulator: return QStyle::SP_ComputerIcon;
    default: return QStyle::SP_FileIcon;
    }
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
    model_.onChanged = [this] { Rebuild(); };
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
    for (QTreeWidgetItemIterator it(const_cast<CProjectTree*>(this)); *it; ++it)
        if (refOf(*it) == ref)
            return *it;
    return nullptr;
}

TreeItemRef CProjectTree::refOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return {};
    return {static_cast<TreeItemKind>(item->data(0, kKindRole).toInt()), item->data(0, kIndexRole).toInt()};
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
        item->setText(0, toQString(model_.ItemText(ref)));
        item->setIcon(0, style()->standardIcon(iconOf(ref.kind)));
        item->setData(0, kKindRole, static_cast<int>(ref.kind));
        item->setData(0, kIndexRole, ref.index);
        if (model_.IsSystemItem(ref))
            item->setForeground(0, kSystemColour);
    }
    expandAll();
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
