#include "app/view/view_context_menu.h"

#include "app/commands/command_table.h"

#include <QAction>
#include <QMenu>

namespace qv {
namespace {

constexpr ContextMenuEntry kEntries[] = {
    {u8"剪切(&T)", cmd::Cut.key.id},
    {u8"复制(&C)", cmd::Copy.key.id},
    {u8"粘贴(&P)", cmd::Paste.key.id},
    {u8"清除(&D)", cmd::Clear.key.id},
    {u8"特性(&t)...", cmd::Properties.key.id},
    {u8"锁定", cmd::LockSelection.key.id},
    {u8"解锁", cmd::UnlockSelection.key.id},
    {u8"生成位图(&b)...", cmd::SaveAsBitmap.key.id},
};

QString textOf(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

} // namespace

std::span<const ContextMenuEntry> viewContextMenuEntries() { return kEntries; }

QMenu* BuildViewContextMenu(QWidget* parent, const std::function<bool(int)>& enabled,
                            const std::function<void(int)>& run)
{
    auto* menu = new QMenu(parent);
    for (const ContextMenuEntry& entry : kEntries) {
        QAction* action = menu->addAction(textOf(entry.text));
        action->setData(entry.commandId);
        action->setEnabled(run && (!enabled || enabled(entry.commandId)));
        const int id = entry.commandId;
        if (run)
            QObject::connect(action, &QAction::triggered, menu, [run, id] { run(id); });
    }
    return menu;
}

} // namespace qv
