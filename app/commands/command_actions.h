#pragma once
// The Qt side of the command table: one QAction per command, owned by the main window and
// added to it (the view's commands to the document windows instead), so shortcuts keep
// working while the menu bar and toolbars are hidden. A
// command runs its bound handler; a command without a handler is greyed.
#include "app/commands/command_table.h"
#include "app/commands/menu_layout.h"

#include <QList>
#include <QStringList>
#include <QObject>
#include <functional>
#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace qv::cmd {

class CommandActions : public QObject {
public:
    explicit CommandActions(QWidget* host);

    QAction* action(CommandKey key) const;     // nullptr for a key not in the table
    void bind(CommandKey key, std::function<void()> handler);
    bool isBound(CommandKey key) const;

    // Runs after every command, so the frame refreshes the rules with the new state.
    void setAfterCommand(std::function<void()> after) { after_ = std::move(after); }

    // Enables and checks every action from the rules; unbound commands stay greyed.
    void refresh(const ShellState& state);

    // Fills a menu bar from a layout; the menus refresh through `aboutToShow`.
    void fillMenuBar(QMenuBar* bar, std::span<const MenuDef> menus,
                     const std::function<void()>& beforeShow);

    // The view commands that have keys: each document window takes them, so they act only
    // while the focus is inside one.
    const QList<QAction*>& editingShortcuts() const { return editingShortcuts_; }

    // Runs a command as if chosen: only when bound and enabled by the last refresh.
    bool trigger(CommandKey key);

    // Entries a menu lists in place of a command (the recent files in place of "最近文件"),
    // built each time the menu opens and enabled by that command's rule. The command's own
    // item shows, greyed, only while there are none.
    struct MenuEntries {
        std::function<QStringList()> texts;
        std::function<void(int index)> run;
    };
    void setMenuEntries(CommandKey key, MenuEntries entries);
    // The entries a menu shows now (after it opened).
    QList<QAction*> menuEntryActions(const QMenu* menu) const;

private:
    void run(CommandKey key);
    void fillMenu(QMenu* menu, const MenuDef& def, const std::function<void()>& beforeShow);
    void expandEntries(QMenu* menu, CommandKey key);

    QWidget* host_;
    std::map<CommandKey, QAction*> actions_;
    QList<QAction*> editingShortcuts_;
    std::map<CommandKey, std::function<void()>> handlers_;
    std::function<void()> after_;
    ShellState lastState_;
    std::map<CommandKey, MenuEntries> entries_;
    std::map<const QMenu*, QList<QAction*>> shownEntries_;
};

} // namespace qv::cmd
