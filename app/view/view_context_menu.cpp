#include "app/view/view_context_menu.h"

#include <QAction>
#include <QMenu>

namespace qv {
namespace {

constexpr ContextMenuEntry kEntries[] = {
    {u8"剪切(&T)", 57635}, {u8"复制(&C)", 57634}, {u8"粘贴(&P)", 57637},
    {u8"清除(&D)", 57632}, {u8"特性(&t)...", 32783}, {u8"锁定", 32908},
    {u8"解锁", 32909},     {u8"生成位图(&b)...", 32886},
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
