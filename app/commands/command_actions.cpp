#include "app/commands/command_actions.h"

#include "res/icons/command_icons.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace qv::cmd {
namespace {

QString utf8(const char8_t* text) { return QString::fromUtf8(text); }

} // namespace

CommandActions::CommandActions(QWidget* host) : QObject(host), host_(host)
{
    for (const CommandDef& def : commandTable()) {
        auto* act = new QAction(utf8(def.text), host);
        const bool editing = def.key.owner == Owner::View;
        if (def.shortcut != nullptr) {
            act->setShortcut(QKeySequence(QString::fromLatin1(def.shortcut)));
            // An editing key acts only where it was typed into an editing view: the tree and
            // the output bar keep Delete, Ctrl+A and the clipboard keys to themselves.
            act->setShortcutContext(editing ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut);
            if (editing)
                editingShortcuts_.push_back(act);
        }
        if (def.icon != nullptr)
            act->setIcon(res::commandIcon(def.icon));
        act->setCheckable(isCheckable(def));
        act->setEnabled(false);
        const CommandKey key = def.key;
        connect(act, &QAction::triggered, this, [this, key] { run(key); });
        if (!editing)
            host->addAction(act);
        actions_.emplace(key, act);
    }
}

QAction* CommandActions::action(CommandKey key) const
{
    auto it = actions_.find(key);
    return it == actions_.end() ? nullptr : it->second;
}

void CommandActions::bind(CommandKey key, std::function<void()> handler)
{
    if (actions_.count(key) != 0)
        handlers_[key] = std::move(handler);
}

bool CommandActions::isBound(CommandKey key) const { return handlers_.count(key) != 0; }

void CommandActions::refresh(const ShellState& state)
{
    lastState_ = state;
    for (const CommandDef& def : commandTable()) {
        QAction* act = actions_.at(def.key);
        act->setEnabled(isBound(def.key) && isEnabled(def, state));
        if (act->isCheckable())
            act->setChecked(isChecked(def, state));
    }
}

void CommandActions::fillMenuBar(QMenuBar* bar, std::span<const MenuDef> menus,
                                 const std::function<void()>& beforeShow)
{
    bar->clear();
    for (const MenuDef& menu : menus) {
        if (menu.title[0] == u8'\0') {
            // A command placed on the menu bar itself.
            for (const MenuEntry& e : menu.entries)
                if (QAction* act = action({e.owner, e.id}))
                    bar->addAction(act);
            continue;
        }
        fillMenu(bar->addMenu(utf8(menu.title)), menu, beforeShow);
    }
}

void CommandActions::fillMenu(QMenu* m, const MenuDef& menu, const std::function<void()>& beforeShow)
{
    std::vector<CommandKey> expanded;
    for (const MenuEntry& e : menu.entries) {
        if (e.submenu != nullptr)
            fillMenu(m->addMenu(utf8(e.submenu->title)), *e.submenu, beforeShow);
        else if (e.id == 0)
            m->addSeparator();
        else if (QAction* act = action({e.owner, e.id})) {
            m->addAction(act);
            expanded.push_back({e.owner, e.id});
        }
    }
    QObject::connect(m, &QMenu::aboutToShow, m, beforeShow);
    // After the refresh, so the entries take the rule's current answer.
    for (const CommandKey key : expanded)
        QObject::connect(m, &QMenu::aboutToShow, m, [this, m, key] { expandEntries(m, key); });
    QObject::connect(m, &QObject::destroyed, this, [this, m] { shownEntries_.erase(m); });
}

void CommandActions::setMenuEntries(CommandKey key, MenuEntries entries) { entries_[key] = std::move(entries); }

QList<QAction*> CommandActions::menuEntryActions(const QMenu* menu) const
{
    const auto it = shownEntries_.find(menu);
    return it == shownEntries_.end() ? QList<QAction*>{} : it->second;
}

void CommandActions::expandEntries(QMenu* menu, CommandKey key)
{
    const auto source = entries_.find(key);
    const CommandDef* def = findCommand(key);
    QAction* placeholder = action(key);
    if (source == entries_.end() || def == nullptr || placeholder == nullptr)
        return;
    QList<QAction*>& shown = shownEntries_[menu];
    qDeleteAll(shown);
    shown.clear();
    const QStringList texts = source->second.texts ? source->second.texts() : QStringList{};
    const bool enabled = isEnabled(*def, lastState_);
    for (int i = 0; i < texts.size(); ++i) {
        auto* act = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(texts[i]), menu);
        act->setEnabled(enabled);
        connect(act, &QAction::triggered, this, [this, key, i] {
            const auto it = entries_.find(key);
            if (it != entries_.end() && it->second.run) {
                auto run = it->second.run; // the handler may change the entries while it runs
                run(i);
            }
            if (after_)
                after_();
        });
        menu->insertAction(placeholder, act);
        shown.push_back(act);
    }
    placeholder->setVisible(texts.isEmpty());
    placeholder->setEnabled(false);
}

bool CommandActions::trigger(CommandKey key)
{
    QAction* act = action(key);
    if (act == nullptr || !act->isEnabled())
        return false;
    act->trigger();
    return true;
}

void CommandActions::run(CommandKey key)
{
    auto it = handlers_.find(key);
    if (it != handlers_.end()) {
        auto handler = it->second; // the handler may rebind commands while it runs
        handler();
    }
    if (after_)
        after_();
}

} // namespace qv::cmd
